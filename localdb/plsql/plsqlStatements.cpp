// Statements: control flow, assignments and calls, embedded SQL, cursors, transactions.
#include "localdb/plsql/plsqlCompilerImpl.h"

#include <set>

namespace localdb::plsql {

int predefinedExceptionCode(const std::string &name);

namespace {

// Words that begin or end statements: after a name Oracle takes them as the next statement
// (";" substituted), where any other word is read as if ":=" stood before it.
bool isStatementWord(const std::string &w) {
    static const std::set<std::string, std::less<>> words = {
        "BEGIN", "CASE",   "CLOSE",  "COMMIT", "DECLARE", "DELETE", "ELSE",     "ELSIF",    "END",    "EXCEPTION",
        "EXIT",  "FETCH",  "FOR",    "GOTO",   "IF",      "INSERT", "LOOP",     "NULL",     "OPEN",   "RAISE",
        "RETURN", "ROLLBACK", "SAVEPOINT", "SELECT", "THEN", "UPDATE", "WHEN", "WHILE"};
    return words.count(w) > 0;
}

bool isTerminator(Compiler &c, std::initializer_list<std::string_view> terminators) {
    for (auto t : terminators)
        if (c.isWord(t))
            return true;
    return c.atEnd();
}

}  // namespace

void Compiler::statements(StmtList &list, std::initializer_list<std::string_view> terminators) {
    while (!isTerminator(*this, terminators)) {
        const int before = peek().offset;
        // <<label>> marks the next statement.
        if (isOp("<") && isOp("<", 1)) {
            advance();
            advance();
            const int offset = peek().offset;
            std::string name = identifier();
            expectOp(">");
            expectOp(">");
            int id = newLabel();
            labels[name] = id;
            (void)offset;
            list.labels[id] = list.items.size();
            if (isWord("LOOP") || isWord("WHILE") || isWord("FOR")) {
                const int line = lineOf(peek().offset);
                try {
                    StmtP s = isWord("FOR") ? forStatement(id, name) : loopStatement(id, name);
                    s->line = line;
                    list.items.push_back(std::move(s));
                } catch (const NestingTooDeep &) {
                    throw;
                } catch (const SyntaxError &) {
                    skipToSemicolon();
                }
                continue;
            }
            if (isWord("DECLARE") || isWord("BEGIN")) {
                const int line = lineOf(peek().offset);
                try {
                    StmtP s = nestedBlock(name);
                    s->line = line;
                    list.items.push_back(std::move(s));
                    expectOp(";");
                } catch (const NestingTooDeep &) {
                    throw;
                } catch (const SyntaxError &) {
                    skipToSemicolon();
                }
                continue;
            }
            if (isTerminator(*this, terminators)) {
                auto n = std::make_unique<NullStmt>();
                list.items.push_back(std::move(n));
            }
            continue;
        }
        const int line = lineOf(peek().offset);
        try {
            StmtP s = statement(list);
            if (s) {
                s->line = line;
                list.items.push_back(std::move(s));
            }
        } catch (const NestingTooDeep &) {
            throw;
        } catch (const SyntaxError &) {
            skipToSemicolon();
            if (peek().offset == before && !atEnd())
                advance();
        }
    }
}

StmtP Compiler::statement(StmtList &) {
    const Token &t = peek();
    // Nested statements take over the offset; the enclosing one gets it back when they end.
    struct KeepOffset {
        int &offset;
        int saved;
        ~KeepOffset() { offset = saved; }
    } keep{statementOffset, statementOffset};
    statementOffset = t.offset;
    Nesting nesting(*this, t.offset);
    if (t.kind == TokenKind::Identifier) {
        const std::string &w = t.text;
        if (w == "NULL") {
            advance();
            expectOp(";");
            return std::make_unique<NullStmt>();
        }
        if (w == "IF")
            return ifStatement();
        if (w == "CASE")
            return caseStatement();
        if (w == "LOOP" || w == "WHILE")
            return loopStatement(-1, "");
        if (w == "FOR")
            return forStatement(-1, "");
        if (w == "EXIT" || w == "CONTINUE")
            return exitStatement(w == "CONTINUE");
        if (w == "GOTO") {
            advance();
            const int offset = peek().offset;
            auto g = std::make_unique<GotoStmt>();
            gotos.push_back({g.get(), {identifier(), offset}});
            expectOp(";");
            return g;
        }
        if (w == "RETURN")
            return returnStatement();
        if (w == "RAISE")
            return raiseStatement();
        if (w == "DECLARE" || w == "BEGIN") {
            StmtP b = nestedBlock("");
            expectOp(";");
            return b;
        }
        if (w == "SELECT" || w == "INSERT" || w == "UPDATE" || w == "DELETE" || w == "MERGE" || w == "WITH" ||
            w == "LOCK")
            return sqlStatement();
        if (w == "COMMIT" || w == "ROLLBACK" || w == "SAVEPOINT")
            return transactionStatement();
        if (w == "SET" && isWord("TRANSACTION", 1)) {
            skipToSemicolon();
            return std::make_unique<NullStmt>();
        }
        if (w == "OPEN")
            return openStatement();
        if (w == "FETCH")
            return fetchStatement();
        if (w == "CLOSE")
            return closeStatement();
        if (w == "CREATE" || w == "DROP" || w == "ALTER" || w == "TRUNCATE" || w == "GRANT" || w == "REVOKE")
            syntaxError(kExpectStatement);
        if (w == "END" || w == "EXCEPTION" || w == "ELSE" || w == "ELSIF" || w == "WHEN" || w == "THEN")
            syntaxError(kExpectStatement);
        return assignmentOrCall();
    }
    if (t.kind == TokenKind::QuotedIdentifier || t.kind == TokenKind::Bind)
        return assignmentOrCall();
    if (t.isOperator("("))
        return sqlStatement();
    syntaxError(kExpectStatement);
}

StmtP Compiler::nestedBlock(const std::string &label) {
    Nesting nesting(*this, peek().offset);
    pushScope();
    StmtP b;
    {
        ScopeLabel named(*this, label);
        StmtList inits;
        if (acceptWord("DECLARE"))
            declarations(inits, false, false);
        expectWord("BEGIN", kExpectDeclaration);
        b = blockBody(std::move(inits), label);
    }
    popScope();
    return b;
}

StmtP Compiler::ifStatement() {
    expectWord("IF");
    auto s = std::make_unique<If>();
    do {
        const int offset = peek().offset;
        ExprP cond = expression();
        checkType(*cond, TypeKind::Boolean, offset);
        s->conditions.push_back(std::move(cond));
        expectWord("THEN", "* & = - + < / > at in is mod remainder not rem then\n"
                           "   <an exponent (**)> <> or != or ~= >= <= <> and or like like2\n"
                           "   like4 likec between || multiset member submultiset");
        s->branches.emplace_back();
        statements(s->branches.back(), {"ELSIF", "ELSE", "END"});
    } while (acceptWord("ELSIF"));
    if (acceptWord("ELSE")) {
        s->otherwise = std::make_unique<StmtList>();
        statements(*s->otherwise, {"END"});
    }
    expectWord("END");
    expectWord("IF", "if");
    expectOp(";");
    return s;
}

StmtP Compiler::caseStatement() {
    expectWord("CASE");
    auto s = std::make_unique<CaseStmt>();
    if (!isWord("WHEN"))
        s->selector = expression();
    while (acceptWord("WHEN")) {
        const int offset = peek().offset;
        s->whens.push_back(expression());
        if (!s->selector)
            checkType(*s->whens.back(), TypeKind::Boolean, offset);
        expectWord("THEN");
        s->branches.emplace_back();
        statements(s->branches.back(), {"WHEN", "ELSE", "END"});
    }
    if (acceptWord("ELSE")) {
        s->otherwise = std::make_unique<StmtList>();
        statements(*s->otherwise, {"END"});
    }
    expectWord("END");
    expectWord("CASE", "case");
    if (peek().kind == TokenKind::Identifier)
        advance();
    expectOp(";");
    return s;
}

StmtP Compiler::loopStatement(int label, const std::string &labelName) {
    auto s = std::make_unique<Loop>();
    s->label = label;
    if (acceptWord("WHILE")) {
        const int offset = peek().offset;
        s->whileCondition = expression();
        checkType(*s->whileCondition, TypeKind::Boolean, offset);
    }
    expectWord("LOOP");
    const bool saved = inLoop;
    inLoop = true;
    statements(s->body, {"END"});
    inLoop = saved;
    expectWord("END");
    expectWord("LOOP", "loop");
    if (peek().kind == TokenKind::Identifier && (labelName.empty() || peek().text == labelName))
        advance();
    expectOp(";");
    return s;
}

StmtP Compiler::forStatement(int label, const std::string &labelName) {
    expectWord("FOR");
    const int offset = peek().offset;
    std::string name = identifier();
    expectWord("IN");
    const bool reverse = acceptWord("REVERSE");
    pushScope();
    StmtP result;
    auto finishLoop = [&](StmtList &body) {
        expectWord("LOOP");
        const bool saved = inLoop;
        inLoop = true;
        statements(body, {"END"});
        inLoop = saved;
        expectWord("END");
        expectWord("LOOP", "loop");
        if (peek().kind == TokenKind::Identifier && (labelName.empty() || peek().text == labelName))
            advance();
        expectOp(";");
    };
    // FOR r IN (SELECT ...) / FOR r IN cursor[(args)]
    Symbol *cursorSymbol = peek().kind == TokenKind::Identifier ? lookup(peek().text) : nullptr;
    if (!reverse && isOp("(") && (isWord("SELECT", 1) || isWord("WITH", 1))) {
        advance();
        const int sqlStart = peek().offset;
        int depth = 0;
        while (!atEnd() && !(depth == 0 && isOp(")"))) {
            if (isOp("("))
                ++depth;
            if (isOp(")"))
                --depth;
            advance();
        }
        const int sqlEnd = peek().offset;
        expectOp(")");
        auto s = std::make_unique<CursorFor>();
        s->label = label;
        s->inlineCursor = std::make_unique<CursorDecl>();
        s->inlineCursor->index = frame->cursors++;
        s->inlineCursor->level = frame->level;
        popScope();
        compileSql(textBetween(sqlStart, sqlEnd), sqlStart, s->inlineCursor->sql, sqlStart);
        pushScope();
        s->inlineCursor->rowType = s->inlineCursor->sql.statement ? rowTypeOf(*s->inlineCursor->sql.statement)
                                                                  : std::make_shared<RecordType>();
        s->recordType.kind = TypeKind::Record;
        s->recordType.record = s->inlineCursor->rowType;
        s->recordSlot = newSlot(s->recordType);
        Symbol r;
        r.type = s->recordType;
        r.level = frame->level;
        r.slot = s->recordSlot;
        declare(name, offset, r);
        finishLoop(s->body);
        result = std::move(s);
    } else if (!reverse && cursorSymbol && cursorSymbol->kind == Symbol::Cursor) {
        advance();
        auto s = std::make_unique<CursorFor>();
        s->label = label;
        s->cursor = cursorSymbol->cursor;
        s->depth = frame->level - cursorSymbol->level;
        if (acceptOp("(")) {
            do
                s->args.push_back(expression());
            while (acceptOp(","));
            expectOp(")");
        }
        s->recordType.kind = TypeKind::Record;
        s->recordType.record = s->cursor->rowType;
        s->recordSlot = newSlot(s->recordType);
        Symbol r;
        r.type = s->recordType;
        r.level = frame->level;
        r.slot = s->recordSlot;
        declare(name, offset, r);
        finishLoop(s->body);
        result = std::move(s);
    } else {
        auto s = std::make_unique<ForRange>();
        s->label = label;
        s->reverse = reverse;
        s->low = additive();
        if (!(acceptOp(".") && acceptOp(".")))
            syntaxError("* & - + / at mod remainder rem .. <an exponent (**)> ||");
        s->high = additive();
        s->slot = newSlot(PlType::integer());
        Symbol v;
        v.type = PlType::integer();
        v.level = frame->level;
        v.slot = s->slot;
        v.readOnly = true;
        declare(name, offset, v);
        finishLoop(s->body);
        result = std::move(s);
    }
    popScope();
    return result;
}

StmtP Compiler::exitStatement(bool isContinue) {
    const int offset = peek().offset;
    advance();
    auto s = std::make_unique<ExitStmt>();
    s->isContinue = isContinue;
    if (peek().kind == TokenKind::Identifier && !isWord("WHEN")) {
        const int labelOffset = peek().offset;
        std::string name = identifier();
        auto it = labels.find(name);
        if (it == labels.end())
            error(labelOffset, 201, "identifier '" + name + "' must be declared");
        else
            s->label = it->second;
    }
    if (acceptWord("WHEN")) {
        const int condOffset = peek().offset;
        s->when = expression();
        checkType(*s->when, TypeKind::Boolean, condOffset);
    }
    if (!inLoop)
        error(offset, 376, std::string("illegal EXIT/CONTINUE statement; it must appear inside a loop"));
    expectOp(";", "<an identifier> <a double-quoted delimited-identifier>\n   when ;");
    return s;
}

StmtP Compiler::returnStatement() {
    const int offset = peek().offset;
    expectWord("RETURN");
    auto s = std::make_unique<ReturnStmt>();
    Subprogram *owner = frame->owner;
    if (!isOp(";")) {
        s->value = expression();
        if (owner && !owner->isFunction)
            error(offset, 372, "In a procedure, RETURN statement cannot contain an expression");
        if (owner)
            s->type = owner->returnType;
    } else if (owner && owner->isFunction) {
        error(offset, 503, "RETURN <value> statement required for this return from function");
    }
    expectOp(";");
    return s;
}

StmtP Compiler::raiseStatement() {
    expectWord("RAISE");
    auto s = std::make_unique<RaiseStmt>();
    if (isOp(";")) {
        advance();
        s->reraise = true;
        return s;
    }
    const int offset = peek().offset;
    std::string name = identifier();
    while (acceptOp("."))
        name = identifier();
    Symbol *sym = lookup(name);
    if (sym && sym->kind == Symbol::Exception)
        s->exception = sym->exception;
    else if (int code = predefinedExceptionCode(name))
        s->code = code;
    else
        error(offset, 201, "identifier '" + name + "' must be declared");
    expectOp(";");
    return s;
}

StmtP Compiler::assignmentOrCall() {
    const int start = peek().offset;
    bool wasCall = false;
    // A target followed by :=, or a procedure call.
    size_t save = 0;
    (void)save;
    const size_t errorsBefore = out.errors.size();
    ExprP e = nameExpression(true, &wasCall);
    // A second name where ":=" or ";" belongs (exitwhen x%notfound): one error for the statement.
    if (peek().kind == TokenKind::Identifier && !isStatementWord(peek().text)) {
        try {
            syntaxError(":= . ( @ % ;", ":=");
        } catch (const SyntaxError &) {
        }
        skipToSemicolon();
        acceptOp(";");
        return std::make_unique<NullStmt>();
    }
    if (acceptOp(":=")) {
        auto *t = dynamic_cast<Target *>(e.get());
        if (!t && out.errors.size() > errorsBefore) {
            expression();
            expectOp(";");
            return std::make_unique<NullStmt>();
        }
        if (!t) {
            error(start, 363, "expression '" + textBetween(start, peek().offset - 3) + "' cannot be used as an assignment target");
            expression();
            expectOp(";");
            return std::make_unique<NullStmt>();
        }
        if (t->isReadOnly()) {
            std::string name = textBetween(start, peek().offset);
            name = name.substr(0, name.find(":="));
            while (!name.empty() && name.back() == ' ')
                name.pop_back();
            for (char &ch : name)
                ch = char(std::toupper(static_cast<unsigned char>(ch)));
            errorPair(start, 363, "expression '" + name + "' cannot be used as an assignment target",
                      "PL/SQL: Statement ignored", start);
        }
        auto a = std::make_unique<Assign>();
        e.release();
        a->target.reset(t);
        const int valueOffset = peek().offset;
        a->value = expression();
        const TypeKind to = a->target->type.kind, from = a->value->type.kind;
        const bool scalar = to != TypeKind::Unknown && to != TypeKind::Record && to != TypeKind::Boolean;
        if ((to == TypeKind::Boolean && from != TypeKind::Boolean && from != TypeKind::Unknown) ||
            (scalar && from == TypeKind::Boolean))
            errorPair(valueOffset, 382, "expression is of wrong type", "PL/SQL: Statement ignored", start);
        expectOp(";");
        return a;
    }
    if (!e) {
        expectOp(";");
        return std::make_unique<NullStmt>();
    }
    if (auto *c = dynamic_cast<Call *>(e.get())) {
        auto s = std::make_unique<CallStmt>();
        s->call.callee = c->callee;
        s->call.args = std::move(c->args);
        s->call.linkDepth = c->linkDepth;
        s->call.line = c->line;
        expectOp(";", kExpectStatementEnd);
        return s;
    }
    if (auto *b = dynamic_cast<BuiltinStatementHolder *>(e.get())) {
        StmtP s = std::move(b->statement);
        expectOp(";", kExpectStatementEnd);
        return s;
    }
    expectOp(";", kExpectStatementEnd);
    return std::make_unique<NullStmt>();
}

StmtP Compiler::sqlStatement() {
    const int start = peek().offset;
    const bool isSelect = isWord("SELECT") || isWord("WITH") || isOp("(");
    // Collect the statement's tokens up to ";" at depth 0, finding INTO / RETURNING.
    int depth = 0;
    int intoStart = -1, intoEnd = -1, returningStart = -1;
    std::vector<std::pair<int, int>> intoTargets;  // token ranges
    size_t intoFirstToken = 0;
    (void)intoFirstToken;
    std::vector<TargetP> into;
    std::string returningColumns;
    while (!atEnd() && !(depth == 0 && isOp(";"))) {
        if (isOp("("))
            ++depth;
        else if (isOp(")"))
            --depth;
        if (depth == 0 && (isWord("RETURNING") || isWord("RETURN")) && !isSelect) {
            returningStart = peek().offset;
            advance();
            const int colsStart = peek().offset;
            while (!atEnd() && !isWord("INTO") && !isOp(";"))
                advance();
            returningColumns = textBetween(colsStart, peek().offset);
            expectWord("INTO");
            do
                into.push_back(target("INTO"));
            while (acceptOp(","));
            break;
        }
        if (depth == 0 && isWord("INTO") && isSelect && intoStart < 0) {
            intoStart = peek().offset;
            advance();
            do
                into.push_back(target("INTO"));
            while (acceptOp(","));
            intoEnd = peek().offset;
            continue;
        }
        advance();
    }
    const int end = peek().offset;
    expectOp(";");
    std::string sql;
    if (intoStart >= 0)
        sql = textBetween(start, intoStart) + std::string(size_t(intoEnd - intoStart), ' ') +
              textBetween(intoEnd, end);
    else if (returningStart >= 0)
        sql = textBetween(start, returningStart);
    else
        sql = textBetween(start, end);
    if (isSelect) {
        auto s = std::make_unique<SelectInto>();
        if (intoStart < 0) {
            error(start, 428, "an INTO clause is expected in this SELECT statement");
            return std::make_unique<NullStmt>();
        }
        if (compileSql(sql, start, s->sql, start)) {
            const auto &cols = s->sql.statement->columns;
            const bool record = into.size() == 1 && into[0]->type.kind == TypeKind::Record;
            if (!record && cols.size() != into.size())
                errorPair(intoStart, cols.size() < into.size() ? 913 : 912,
                          cols.size() < into.size() ? "too many values" : "not enough values",
                          "PL/SQL: SQL Statement ignored", start);
        }
        s->into = std::move(into);
        return s;
    }
    auto s = std::make_unique<DmlStmt>();
    if (returningStart >= 0) {
        // RETURNING runs in SQLite itself, over the columns of the changed row.
        std::string cols;
        size_t from = 0;
        while (from <= returningColumns.size()) {
            size_t comma = returningColumns.find(',', from);
            std::string c = returningColumns.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
            while (!c.empty() && std::isspace(static_cast<unsigned char>(c.front())))
                c.erase(0, 1);
            while (!c.empty() && std::isspace(static_cast<unsigned char>(c.back())))
                c.pop_back();
            for (char &ch : c)
                ch = char(std::toupper(static_cast<unsigned char>(ch)));
            if (!cols.empty())
                cols += ", ";
            cols += quoteIdent(c);
            if (comma == std::string::npos)
                break;
            from = comma + 1;
        }
        if (compileSql(sql, start, s->sql, start)) {
            auto &steps = s->sql.statement->steps;
            for (size_t i = 0; i < steps.size(); ++i)
                if (s->sql.statement->counted.empty() || s->sql.statement->counted[i]) {
                    steps[i] += " RETURNING " + cols;
                    break;
                }
            // The statement prepared while compiling has no RETURNING clause.
            s->sql.statement->idle.clear();
        }
    } else {
        compileSql(sql, start, s->sql, start);
    }
    s->returning = std::move(into);
    return s;
}

StmtP Compiler::transactionStatement() {
    auto s = std::make_unique<TransactionStmt>();
    if (acceptWord("COMMIT")) {
        acceptWord("WORK");
        s->kind = TransactionStmt::Commit;
    } else if (acceptWord("ROLLBACK")) {
        acceptWord("WORK");
        s->kind = TransactionStmt::Rollback;
        if (acceptWord("TO")) {
            acceptWord("SAVEPOINT");
            s->kind = TransactionStmt::RollbackTo;
            s->savepoint = identifier();
        }
    } else {
        expectWord("SAVEPOINT");
        s->kind = TransactionStmt::Savepoint;
        s->savepoint = identifier();
    }
    expectOp(";");
    return s;
}

namespace {

const Symbol *cursorNamed(Compiler &c, int &offset) {
    offset = c.peek().offset;
    std::string name = c.identifier();
    Symbol *s = c.lookup(name);
    if (!s || s->kind != Symbol::Cursor) {
        c.error(offset, 201, "identifier '" + name + "' must be declared");
        return nullptr;
    }
    return s;
}

}  // namespace

StmtP Compiler::openStatement() {
    expectWord("OPEN");
    int offset;
    const Symbol *s = cursorNamed(*this, offset);
    auto o = std::make_unique<OpenStmt>();
    if (acceptOp("(")) {
        do
            o->args.push_back(expression());
        while (acceptOp(","));
        expectOp(")");
    }
    expectOp(";");
    if (!s)
        return std::make_unique<NullStmt>();
    o->cursor = s->cursor;
    o->depth = frame->level - s->level;
    return o;
}

StmtP Compiler::fetchStatement() {
    expectWord("FETCH");
    int offset;
    const Symbol *s = cursorNamed(*this, offset);
    expectWord("INTO");
    auto f = std::make_unique<FetchStmt>();
    do
        f->into.push_back(target("INTO"));
    while (acceptOp(","));
    expectOp(";");
    if (!s)
        return std::make_unique<NullStmt>();
    f->cursor = s->cursor;
    f->depth = frame->level - s->level;
    const bool record = f->into.size() == 1 && f->into[0]->type.kind == TypeKind::Record;
    if (!record && s->cursor->rowType && s->cursor->rowType->names.size() != f->into.size())
        errorPair(offset, 394, "wrong number of values in the INTO list of a FETCH statement",
                  "PL/SQL: SQL Statement ignored", offset);
    return f;
}

StmtP Compiler::closeStatement() {
    expectWord("CLOSE");
    int offset;
    const Symbol *s = cursorNamed(*this, offset);
    expectOp(";");
    if (!s)
        return std::make_unique<NullStmt>();
    auto c = std::make_unique<CloseStmt>();
    c->cursor = s->cursor;
    c->depth = frame->level - s->level;
    return c;
}

}  // namespace localdb::plsql
