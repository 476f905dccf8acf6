// Parser core: token access, names, and the statement dispatch by first word.
#include "localdb/sql/parser.h"

#include "localdb/system/errors.h"

#include <algorithm>
#include <iterator>

namespace localdb {
namespace {

// Sorted: looked up by binary search.
constexpr std::string_view kReserved[] = {
    "ACCESS", "ADD", "ALL", "ALTER", "AND", "ANY", "AS", "ASC", "AUDIT", "BETWEEN", "BY", "CHAR",
    "CHECK", "CLUSTER", "COLUMN", "COMMENT", "COMPRESS", "CONNECT", "CREATE", "CURRENT", "DATE",
    "DECIMAL", "DEFAULT", "DELETE", "DESC", "DISTINCT", "DROP", "ELSE", "EXCLUSIVE", "EXISTS",
    "FILE", "FLOAT", "FOR", "FROM", "GRANT", "GROUP", "HAVING", "IDENTIFIED", "IMMEDIATE", "IN",
    "INCREMENT", "INDEX", "INITIAL", "INSERT", "INTEGER", "INTERSECT", "INTO", "IS", "LEVEL",
    "LIKE", "LOCK", "LONG", "MAXEXTENTS", "MINUS", "MLSLABEL", "MODE", "MODIFY", "NOAUDIT",
    "NOCOMPRESS", "NOT", "NOWAIT", "NULL", "NUMBER", "OF", "OFFLINE", "ON", "ONLINE", "OPTION",
    "OR", "ORDER", "PCTFREE", "PRIOR", "PRIVILEGES", "PUBLIC", "RAW", "RENAME", "RESOURCE",
    "REVOKE", "ROW", "ROWID", "ROWNUM", "ROWS", "SELECT", "SESSION", "SET", "SHARE", "SIZE",
    "SMALLINT", "START", "SUCCESSFUL", "SYNONYM", "SYSDATE", "TABLE", "THEN", "TO", "TRIGGER",
    "UID", "UNION", "UNIQUE", "UPDATE", "USER", "VALIDATE", "VALUES", "VARCHAR", "VARCHAR2",
    "VIEW", "WHENEVER", "WHERE", "WITH",
};

}  // namespace

bool isReservedWord(std::string_view upperWord) {
    return std::binary_search(std::begin(kReserved), std::end(kReserved), upperWord);
}

ExprPtr makeExpr(ExprKind kind, int offset) { return std::make_unique<Expr>(kind, offset); }

bool Statement::isDdl() const {
    switch (kind) {
    case CreateTable: case AlterTable: case CreateIndex: case CreateView: case CreateSequence:
    case AlterSequence: case CreateSynonym: case Drop: case Truncate: case Rename: case Comment:
    case CreateUser: case AlterUser: case CreateRole: case Grant: case Revoke:
        return true;
    default:
        return false;
    }
}

Parser::Parser(std::string_view sql) : sql_(sql), tokens_(tokenize(sql)) {}

Parser::DepthGuard::DepthGuard(Parser &p) : parser(p) {
    // Oracle sets no limit to nesting; deeper than this the engine refuses the statement as one it
    // does not implement, rather than risk its stack.
    if (++parser.depth_ > 200) {
        --parser.depth_;
        raise(3001, parser.peek().offset);
    }
}

const Token &Parser::peek(int ahead) const {
    size_t i = std::min(pos_ + size_t(ahead), tokens_.size() - 1);
    return tokens_[i];
}

const Token &Parser::advance() {
    const Token &t = tokens_[pos_];
    if (pos_ + 1 < tokens_.size())
        ++pos_;
    return t;
}

int Parser::lastEnd() const { return pos_ == 0 ? 0 : tokens_[pos_ - 1].end(); }

bool Parser::acceptWord(std::string_view word) {
    if (!peek().isWord(word))
        return false;
    advance();
    return true;
}

bool Parser::acceptOp(std::string_view op) {
    if (!peek().isOperator(op))
        return false;
    advance();
    return true;
}

void Parser::expectWord(std::string_view word, int code) {
    if (!acceptWord(word))
        fail(code);
}

void Parser::expectOp(std::string_view op, int code) {
    if (!acceptOp(op))
        fail(code);
}

void Parser::fail(int code) const {
    const Token &t = peek();
    // A ";" where the statement should end is the classic "invalid character".
    if (t.isOperator(";"))
        raise(911, t.offset);
    if (code == 904)
        raise(904, t.offset, {"\"" + t.text + "\""});
    raise(code, t.offset);
}

bool Parser::isIdentifierStart() const {
    const Token &t = peek();
    return t.kind == TokenKind::QuotedIdentifier ||
           (t.kind == TokenKind::Identifier && !isReservedWord(t.text));
}

// identifier: unquoted-word-not-reserved | "quoted"
std::string Parser::identifier(int code) {
    const Token &t = peek();
    if (t.kind == TokenKind::QuotedIdentifier) {
        advance();
        return t.text;
    }
    if (t.kind != TokenKind::Identifier || isReservedWord(t.text))
        fail(code);
    if (t.text.size() > 128)
        raise(972, t.offset);
    advance();
    return t.text;
}

// qualified-name: identifier [ "." identifier ]...
Name Parser::qualifiedName(int code) {
    Name n;
    n.offsets.push_back(peek().offset);
    n.parts.push_back(identifier(code));
    while (peek().isOperator(".") &&
           (peek(1).kind == TokenKind::Identifier || peek(1).kind == TokenKind::QuotedIdentifier)) {
        advance();
        n.offsets.push_back(peek().offset);
        n.parts.push_back(identifier(code));
    }
    return n;
}

// statement: select | insert | update | delete | merge | create ... | drop ... | alter ...
//          | truncate | rename | comment | grant | revoke | commit | rollback | savepoint
//          | set transaction | explain plan | analyze
std::unique_ptr<Statement> Parser::statement() {
    auto st = std::make_unique<Statement>();
    const Token &first = peek();
    if (first.kind != TokenKind::Identifier && !first.isOperator("("))
        raise(900, first.offset);
    const std::string word = first.text;
    if (word == "SELECT" || word == "WITH" || first.isOperator("(")) {
        st->kind = Statement::Select;
        st->command = "SELECT";
        st->query = query();
    } else if (word == "INSERT") {
        st->kind = Statement::Insert;
        st->command = "INSERT";
        st->insert = insertStatement();
    } else if (word == "UPDATE") {
        st->kind = Statement::Update;
        st->command = "UPDATE";
        st->update = updateStatement();
    } else if (word == "DELETE") {
        st->kind = Statement::Delete;
        st->command = "DELETE";
        st->del = deleteStatement();
    } else if (word == "MERGE") {
        st->kind = Statement::Merge;
        st->command = "MERGE";
        st->merge = mergeStatement();
    } else if (word == "CREATE") {
        createStatement(*st);
    } else if (word == "DROP") {
        dropStatement(*st);
    } else if (word == "ALTER") {
        alterStatement(*st);
    } else if (word == "TRUNCATE") {
        advance();
        expectWord("TABLE", 905);
        st->kind = Statement::Truncate;
        st->command = "TRUNCATE TABLE";
        st->renameFrom = qualifiedName();
        while (peek().isWord("DROP") || peek().isWord("REUSE") || peek().isWord("STORAGE"))
            advance();
    } else if (word == "RENAME") {
        advance();
        st->kind = Statement::Rename;
        st->command = "RENAME";
        st->renameFrom = qualifiedName();
        expectWord("TO", 905);
        st->renameTo = qualifiedName();
    } else if (word == "COMMENT") {
        advance();
        expectWord("ON", 905);
        st->kind = Statement::Comment;
        st->command = "COMMENT";
        st->comment = std::make_unique<CommentStmt>();
        if (acceptWord("COLUMN"))
            st->comment->onColumn = true;
        else if (!acceptWord("TABLE"))
            fail(905);
        st->comment->target = qualifiedName();
        expectWord("IS", 905);
        if (peek().kind != TokenKind::String)
            fail(936);
        st->comment->text = advance().text;
    } else if (word == "GRANT" || word == "REVOKE") {
        grantStatement(*st, word == "REVOKE");
    } else if (word == "COMMIT") {
        advance();
        acceptWord("WORK");
        st->kind = Statement::Commit;
        st->command = "COMMIT";
    } else if (word == "ROLLBACK") {
        advance();
        acceptWord("WORK");
        st->kind = Statement::Rollback;
        st->command = "ROLLBACK";
        st->transaction = std::make_unique<TransactionStmt>();
        if (acceptWord("TO")) {
            acceptWord("SAVEPOINT");
            st->transaction->savepoint = identifier();
        }
    } else if (word == "SAVEPOINT") {
        advance();
        st->kind = Statement::Savepoint;
        st->command = "SAVEPOINT";
        st->transaction = std::make_unique<TransactionStmt>();
        st->transaction->savepoint = identifier();
    } else if (word == "SET") {
        advance();
        expectWord("TRANSACTION", 922);
        st->kind = Statement::SetTransaction;
        st->command = "SET TRANSACTION";
        while (!atEnd() && !peek().isOperator(";"))
            advance();
    } else if (word == "EXPLAIN") {
        advance();
        expectWord("PLAN", 905);
        st->kind = Statement::Explain;
        st->command = "EXPLAIN";
        st->explain = std::make_unique<ExplainStmt>();
        auto &ex = *st->explain;
        if (acceptWord("SET")) {
            expectWord("STATEMENT_ID", 905);
            expectOp("=", 927);
            if (peek().kind != TokenKind::String)
                fail(936);
            ex.statementId = advance().text;
            ex.hasStatementId = true;
        }
        if (acceptWord("INTO")) {
            ex.into = qualifiedName();
            ex.hasInto = true;
        }
        expectWord("FOR", 905);
        ex.statementOffset = peek().offset;
        ex.statementText = std::string(sql_.substr(size_t(peek().offset)));
        // The explained statement is parsed on its own later; check it parses here.
        try {
            Parser inner(ex.statementText);
            inner.statement();
        } catch (const Error &e) {
            throw Error(e.code(), e.what(), e.position() < 0 ? -1 : e.position() + ex.statementOffset);
        }
        pos_ = tokens_.size() - 1;
        return st;
    } else if (word == "LOCK") {
        // LOCK TABLE name [, name] IN mode MODE [NOWAIT]
        advance();
        expectWord("TABLE", 905);
        st->kind = Statement::LockTable;
        st->command = "LOCK TABLE";
        do
            st->renameFrom = qualifiedName();
        while (acceptOp(","));
        expectWord("IN", 905);
        while (!atEnd() && !peek().isWord("MODE"))
            advance();
        expectWord("MODE", 905);
        acceptWord("NOWAIT");
    } else if (word == "ANALYZE") {
        st->kind = Statement::Ignored;
        st->command = "ANALYZE";
        pos_ = tokens_.size() - 1;
        return st;
    } else {
        raise(900, first.offset);
    }
    if (!atEnd())
        fail(933);
    return st;
}

std::unique_ptr<Statement> parseStatement(std::string_view sql) {
    Parser p(sql);
    return p.statement();
}

}  // namespace localdb
