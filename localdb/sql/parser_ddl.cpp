// Parser: CREATE, ALTER, DROP, GRANT and REVOKE, data types, constraints and the physical
// clauses that are accepted and ignored.
#include "localdb/sql/parser.h"

#include "localdb/system/errors.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace localdb {
namespace {

std::string trimTrailingSpace(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
        s.pop_back();
    return s;
}

}  // namespace

// A ( ... ) group skipped as a whole, nested parentheses included.
void Parser::skipParenthesised() {
    expectOp("(", 906);
    int depth = 1;
    while (depth > 0) {
        if (atEnd())
            fail(907);
        const Token &t = advance();
        if (t.isOperator("("))
            ++depth;
        else if (t.isOperator(")"))
            --depth;
    }
}

// physical-attributes: { TABLESPACE name | STORAGE ( ... ) | PCTFREE n | PCTUSED n | INITRANS n
//   | MAXTRANS n | LOGGING | NOLOGGING | COMPRESS [n] | NOCOMPRESS | CACHE | NOCACHE
//   | PARALLEL [n] | NOPARALLEL | MONITORING | NOMONITORING | ORGANIZATION ( INDEX | HEAP )
//   | ( ENABLE | DISABLE ) ROW MOVEMENT | SEGMENT CREATION ( IMMEDIATE | DEFERRED )
//   | LOB ( ... ) STORE AS [ name ] [ ( ... ) ] | COMPUTE STATISTICS | ONLINE | REVERSE | NOSORT
//   | ON COMMIT ( DELETE | PRESERVE ) ROWS | PCTTHRESHOLD n | OVERFLOW | VISIBLE | INVISIBLE }
// These mean nothing to the storage underneath; they are accepted so that scripts load unchanged.
void Parser::skipPhysicalAttributes() {
    for (;;) {
        const Token &t = peek();
        if (t.kind != TokenKind::Identifier)
            return;
        const std::string &w = t.text;
        if (w == "TABLESPACE") {
            advance();
            identifier();
        } else if (w == "STORAGE") {
            advance();
            skipParenthesised();
        } else if (w == "PCTFREE" || w == "PCTUSED" || w == "INITRANS" || w == "MAXTRANS" ||
                   w == "PCTTHRESHOLD" || w == "FREELISTS") {
            advance();
            if (peek().kind == TokenKind::Number)
                advance();
        } else if (w == "LOGGING" || w == "NOLOGGING" || w == "NOCOMPRESS" || w == "CACHE" ||
                   w == "NOCACHE" || w == "NOPARALLEL" || w == "MONITORING" || w == "NOMONITORING" ||
                   w == "ONLINE" || w == "REVERSE" || w == "NOSORT" || w == "OVERFLOW" ||
                   w == "VISIBLE" || w == "INVISIBLE" || w == "NOROWDEPENDENCIES" || w == "ROWDEPENDENCIES") {
            advance();
        } else if (w == "COMPRESS" || w == "PARALLEL") {
            advance();
            if (peek().kind == TokenKind::Number)
                advance();
        } else if (w == "ORGANIZATION") {
            advance();
            advance();
        } else if ((w == "ENABLE" || w == "DISABLE") && peek(1).isWord("ROW")) {
            advance();
            advance();
            expectWord("MOVEMENT", 905);
        } else if (w == "SEGMENT") {
            advance();
            expectWord("CREATION", 905);
            advance();
        } else if (w == "LOB") {
            advance();
            skipParenthesised();
            expectWord("STORE", 905);
            expectWord("AS", 905);
            if (peek().kind == TokenKind::Identifier && !peek().isOperator("("))
                advance();
            if (peek().isOperator("("))
                skipParenthesised();
        } else if (w == "COMPUTE") {
            advance();
            expectWord("STATISTICS", 905);
        } else if (w == "ON" && peek(1).isWord("COMMIT")) {
            advance();
            advance();
            advance();
            expectWord("ROWS", 905);
        } else {
            return;
        }
    }
}

double Parser::signedNumber() {
    bool negative = false;
    if (acceptOp("-"))
        negative = true;
    else
        acceptOp("+");
    if (peek().kind != TokenKind::Number)
        fail(922);
    double v = std::strtod(advance().text.c_str(), nullptr);
    return negative ? -v : v;
}

// A sequence option's value: a whole number of at most 28 digits, read exactly.
SequenceNumber Parser::sequenceValue() {
    bool negative = false;
    if (acceptOp("-"))
        negative = true;
    else
        acceptOp("+");
    if (peek().kind != TokenKind::Number)
        fail(922);
    auto v = parseSequenceNumber(peek().text);
    if (!v || *v > sequenceNumberLimit())
        fail(922);
    advance();
    return negative ? -*v : *v;
}

// datatype: NUMBER [ ( precision | * [ , scale ] ) ] | NUMERIC | DECIMAL | INTEGER | INT | SMALLINT
//         | FLOAT [ ( n ) ] | REAL | DOUBLE PRECISION | VARCHAR2 ( n [ BYTE | CHAR ] ) | VARCHAR ( n )
//         | NVARCHAR2 ( n ) | CHAR [ ( n ) ] | NCHAR [ ( n ) ] | DATE | TIMESTAMP [ ( n ) ] [ WITH [LOCAL] TIME ZONE ]
//         | LONG [ RAW ] | RAW ( n ) | CLOB | NCLOB | BLOB | ROWID
TypeSpec Parser::dataType() {
    const Token &t = peek();
    if (t.kind != TokenKind::Identifier)
        fail(902);
    const int off = t.offset;
    std::string w = advance().text;
    TypeSpec s;
    auto lengthArg = [&](bool required, int deflt, int limit) {
        if (!peek().isOperator("(")) {
            if (required)
                fail(906);
            return deflt;
        }
        advance();
        if (peek().kind != TokenKind::Number)
            fail(936);
        int n = std::atoi(advance().text.c_str());
        if (peek().isWord("BYTE"))
            advance();
        else if (peek().isWord("CHAR")) {
            advance();
            s.charSemantics = true;
        }
        expectOp(")", 907);
        if (n < 1 || n > limit)
            raise(910, off);
        return n;
    };
    if (w == "NUMBER" || w == "NUMERIC" || w == "DECIMAL" || w == "DEC") {
        s.name = "NUMBER";
        if (acceptOp("(")) {
            if (acceptOp("*")) {
                s.precision = TypeSpec::None;
            } else {
                if (peek().kind != TokenKind::Number)
                    fail(1727);
                s.precision = std::atoi(advance().text.c_str());
                if (s.precision < 1 || s.precision > 38)
                    raise(1727, off);
            }
            if (acceptOp(",")) {
                s.scale = int(signedNumber());
                if (s.scale < -84 || s.scale > 127)
                    raise(1728, off);
            } else if (s.precision != TypeSpec::None) {
                s.scale = 0;
            }
            expectOp(")", 907);
        } else if (w != "NUMBER") {
            s.scale = 0;  // NUMERIC and DECIMAL without precision are integers
        }
    } else if (w == "INTEGER" || w == "INT" || w == "SMALLINT") {
        s.name = "NUMBER";
        s.scale = 0;
    } else if (w == "FLOAT") {
        s.name = "FLOAT";
        s.precision = 126;
        if (acceptOp("(")) {
            s.precision = std::atoi(advance().text.c_str());
            expectOp(")", 907);
        }
    } else if (w == "REAL") {
        s.name = "FLOAT";
        s.precision = 63;
    } else if (w == "DOUBLE") {
        expectWord("PRECISION", 905);
        s.name = "FLOAT";
        s.precision = 126;
    } else if (w == "BINARY_FLOAT" || w == "BINARY_DOUBLE") {
        s.name = w;
        s.length = w == "BINARY_FLOAT" ? 4 : 8;
    } else if (w == "VARCHAR2" || w == "VARCHAR" || w == "NVARCHAR2") {
        s.name = w == "NVARCHAR2" ? "NVARCHAR2" : "VARCHAR2";
        s.length = lengthArg(true, 1, 4000);
    } else if (w == "CHAR" || w == "NCHAR" || w == "CHARACTER") {
        if (acceptWord("VARYING")) {
            s.name = "VARCHAR2";
            s.length = lengthArg(true, 1, 4000);
        } else {
            s.name = w == "NCHAR" ? "NCHAR" : "CHAR";
            s.length = lengthArg(false, 1, 2000);
        }
    } else if (w == "DATE") {
        s.name = "DATE";
        s.length = 7;
    } else if (w == "TIMESTAMP") {
        int f = 6;
        if (acceptOp("(")) {
            if (peek().kind != TokenKind::Number)
                fail(30088);
            f = std::atoi(advance().text.c_str());
            if (f < 0 || f > 9)
                raise(30088, off);
            expectOp(")", 907);
        }
        Temporal kind = Temporal::Timestamp;
        if (acceptWord("WITH")) {
            kind = acceptWord("LOCAL") ? Temporal::TimestampLtz : Temporal::TimestampTz;
            expectWord("TIME", 905);
            expectWord("ZONE", 905);
        }
        s = temporalSpec(kind, 0, f);
    } else if (w == "INTERVAL") {
        // INTERVAL YEAR [(p)] TO MONTH | INTERVAL DAY [(p)] TO SECOND [(f)]
        std::string q = intervalQualifier();
        int leading = 2, fraction = 0;
        char first[8] = {}, last[8] = {};
        std::sscanf(q.c_str(), "%7s %7s %d %d", first, last, &leading, &fraction);
        const std::string from = first, to = last;
        if (from == "YEAR" && to == "MONTH")
            s = temporalSpec(Temporal::YearMonth, leading, 0);
        else if (from == "DAY" && to == "SECOND")
            s = temporalSpec(Temporal::DaySecond, leading, fraction);
        else
            raise(902, off);
    } else if (w == "LONG") {
        s.name = acceptWord("RAW") ? "LONG RAW" : "LONG";
        s.length = 0;
    } else if (w == "RAW") {
        s.name = "RAW";
        s.length = lengthArg(true, 1, 2000);
    } else if (w == "CLOB" || w == "NCLOB" || w == "BLOB") {
        s.name = w == "NCLOB" ? "CLOB" : w;
        s.length = 4000;
    } else if (w == "ROWID" || w == "UROWID") {
        s.name = "ROWID";
        s.length = 10;
    } else {
        raise(902, off);
    }
    return s;
}

// constraint-state: { ENABLE | DISABLE | VALIDATE | NOVALIDATE | RELY | NORELY | DEFERRABLE
//   | NOT DEFERRABLE | INITIALLY ( IMMEDIATE | DEFERRED ) | USING INDEX ( name | ( create-index ) | physical-attributes ) }
void Parser::constraintState(ConstraintDef &c) {
    for (;;) {
        if (acceptWord("ENABLE")) {
            c.disabled = false;
        } else if (acceptWord("DISABLE")) {
            c.disabled = true;
        } else if (acceptWord("VALIDATE") || acceptWord("NOVALIDATE") || acceptWord("RELY") ||
                   acceptWord("NORELY") || acceptWord("DEFERRABLE")) {
        } else if (peek().isWord("NOT") && peek(1).isWord("DEFERRABLE")) {
            advance();
            advance();
        } else if (acceptWord("INITIALLY")) {
            advance();
        } else if (peek().isWord("USING") && peek(1).isWord("INDEX")) {
            advance();
            advance();
            if (peek().isOperator("(")) {
                skipParenthesised();
            } else if (isIdentifierStart() && !peek().isWord("TABLESPACE") && !peek().isWord("PCTFREE") &&
                       !peek().isWord("STORAGE") && !peek().isWord("LOGGING") && !peek().isWord("NOLOGGING") &&
                       !peek().isWord("INITRANS") && !peek().isWord("COMPUTE") && !peek().isWord("ENABLE") &&
                       !peek().isWord("DISABLE")) {
                c.usingIndex = qualifiedName().last();
            }
            skipPhysicalAttributes();
        } else {
            return;
        }
    }
}

// column-definition: name [ datatype ] [ DEFAULT expression ] { [ CONSTRAINT name ]
//   ( NOT NULL | NULL | PRIMARY KEY | UNIQUE | CHECK ( condition )
//   | REFERENCES qualified-name [ ( column ) ] [ ON DELETE ( CASCADE | SET NULL ) ] ) constraint-state }
void Parser::columnDefinition(ColumnDef &col, std::vector<ConstraintDef> &constraints) {
    col.offset = peek().offset;
    col.name = identifier(904);
    if (peek().kind == TokenKind::Identifier && !peek().isWord("DEFAULT") && !peek().isWord("CONSTRAINT") &&
        !peek().isWord("NOT") && !peek().isWord("NULL") && !peek().isWord("PRIMARY") &&
        !peek().isWord("UNIQUE") && !peek().isWord("CHECK") && !peek().isWord("REFERENCES") &&
        !peek().isWord("GENERATED") && !peek().isWord("AS")) {
        col.type = dataType();
    } else {
        col.hasType = false;
    }
    for (;;) {
        if (peek().isWord("GENERATED") || peek().isWord("AS")) {
            generatedColumn(col);
            continue;
        }
        if (peek().isWord("DEFAULT")) {
            advance();
            if (peek().isWord("ON") && peek(1).isWord("NULL")) {
                advance();
                advance();
                col.defaultOnNull = true;
            }
            int start = peek().offset;
            col.defaultExpr = additive();
            int stop = peek().offset;
            col.defaultText = std::string(sql_.substr(size_t(start), size_t(stop - start)));
            col.hasDefault = true;
            continue;
        }
        std::string name;
        int off = peek().offset;
        if (acceptWord("CONSTRAINT"))
            name = identifier();
        if (peek().isWord("NOT") && peek(1).isWord("NULL")) {
            advance();
            advance();
            col.notNull = true;
            col.notNullName = name;
            ConstraintDef ignored;
            constraintState(ignored);
            continue;
        }
        if (acceptWord("NULL")) {
            col.explicitNull = true;
            continue;
        }
        ConstraintDef c;
        c.name = name;
        c.offset = off;
        c.columns.push_back(col.name);
        if (acceptWord("PRIMARY")) {
            expectWord("KEY", 905);
            c.type = 'P';
        } else if (acceptWord("UNIQUE")) {
            c.type = 'U';
        } else if (peek().isWord("CHECK")) {
            advance();
            c.type = 'C';
            expectOp("(", 906);
            int start = peek().offset;
            c.check = expression();
            c.checkText = trimTrailingSpace(std::string(sql_.substr(size_t(start), size_t(peek().offset - start))));
            expectOp(")", 907);
            c.columns.clear();
        } else if (acceptWord("REFERENCES")) {
            c.type = 'R';
            c.refTable = qualifiedName();
            if (acceptOp("(")) {
                c.refColumns.push_back(identifier());
                expectOp(")", 907);
            }
            if (acceptWord("ON")) {
                expectWord("DELETE", 905);
                if (acceptWord("CASCADE"))
                    c.deleteRule = "CASCADE";
                else {
                    expectWord("SET", 905);
                    expectWord("NULL", 905);
                    c.deleteRule = "SET NULL";
                }
            }
        } else {
            if (!name.empty())
                fail(902);
            return;
        }
        constraintState(c);
        constraints.push_back(std::move(c));
    }
}

// generated-column: GENERATED ( ALWAYS | BY DEFAULT [ ON NULL ] ) AS IDENTITY [ ( sequence-options ) ]
//                 | [ GENERATED ALWAYS ] AS ( expression ) [ VIRTUAL ]
void Parser::generatedColumn(ColumnDef &col) {
    bool always = true;
    if (acceptWord("GENERATED")) {
        if (!acceptWord("ALWAYS")) {
            expectWord("BY", 905);
            expectWord("DEFAULT", 905);
            always = false;
            if (peek().isWord("ON") && peek(1).isWord("NULL")) {
                advance();
                advance();
                col.defaultOnNull = true;
            }
        }
    }
    expectWord("AS", 905);
    if (acceptWord("IDENTITY")) {
        col.identity = always ? "ALWAYS" : "BY DEFAULT";
        if (peek().isOperator("(")) {
            int start = advance().offset + 1;
            SequenceOptions checked;
            sequenceOptions(checked);
            col.identityOptions = std::string(sql_.substr(size_t(start), size_t(peek().offset - start)));
            expectOp(")", 907);
        }
        return;
    }
    if (!always)
        fail(905);
    expectOp("(", 906);
    int start = peek().offset;
    col.defaultExpr = expression();
    col.defaultText = trimTrailingSpace(std::string(sql_.substr(size_t(start), size_t(peek().offset - start))));
    expectOp(")", 907);
    col.isVirtual = true;
    acceptWord("VIRTUAL");
}

// table-constraint: [ CONSTRAINT name ] ( PRIMARY KEY ( columns ) | UNIQUE ( columns )
//   | FOREIGN KEY ( columns ) REFERENCES qualified-name [ ( columns ) ] [ ON DELETE ( CASCADE | SET NULL ) ]
//   | CHECK ( condition ) ) constraint-state
ConstraintDef Parser::tableConstraint() {
    ConstraintDef c;
    c.offset = peek().offset;
    if (acceptWord("CONSTRAINT"))
        c.name = identifier();
    auto columnList = [&](std::vector<std::string> &out) {
        expectOp("(", 906);
        do
            out.push_back(identifier());
        while (acceptOp(","));
        expectOp(")", 907);
    };
    if (acceptWord("PRIMARY")) {
        expectWord("KEY", 905);
        c.type = 'P';
        columnList(c.columns);
    } else if (acceptWord("UNIQUE")) {
        c.type = 'U';
        columnList(c.columns);
    } else if (acceptWord("FOREIGN")) {
        expectWord("KEY", 905);
        c.type = 'R';
        columnList(c.columns);
        expectWord("REFERENCES", 905);
        c.refTable = qualifiedName();
        if (peek().isOperator("("))
            columnList(c.refColumns);
        if (acceptWord("ON")) {
            expectWord("DELETE", 905);
            if (acceptWord("CASCADE"))
                c.deleteRule = "CASCADE";
            else {
                expectWord("SET", 905);
                expectWord("NULL", 905);
                c.deleteRule = "SET NULL";
            }
        }
    } else if (acceptWord("CHECK")) {
        c.type = 'C';
        expectOp("(", 906);
        int start = peek().offset;
        c.check = expression();
        c.checkText = trimTrailingSpace(std::string(sql_.substr(size_t(start), size_t(peek().offset - start))));
        expectOp(")", 907);
    } else {
        fail(902);
    }
    constraintState(c);
    return c;
}

// create-table: CREATE [ GLOBAL TEMPORARY ] TABLE qualified-name
//   ( ( ( column-definition | table-constraint ) { , ... } ) physical-attributes [ AS query ]
//   | [ ( column { , column } ) ] physical-attributes AS query )
void Parser::createTable(Statement &st) {
    st.kind = Statement::CreateTable;
    st.command = "CREATE TABLE";
    auto &ct = *(st.createTable = std::make_unique<CreateTableStmt>());
    ct.table = qualifiedName(903);
    if (acceptOp("(")) {
        do {
            if (peek().isWord("CONSTRAINT") || peek().isWord("PRIMARY") || peek().isWord("UNIQUE") ||
                peek().isWord("FOREIGN") || peek().isWord("CHECK")) {
                ct.constraints.push_back(tableConstraint());
            } else {
                ColumnDef col;
                columnDefinition(col, ct.constraints);
                ct.columns.push_back(std::move(col));
            }
        } while (acceptOp(","));
        expectOp(")", 907);
    }
    skipPhysicalAttributes();
    if (acceptWord("AS")) {
        ct.asQuery = query();
    } else {
        for (const auto &c : ct.columns)
            if (!c.hasType && !c.isVirtual)
                raise(902, c.offset);
        if (ct.columns.empty())
            fail(906);
    }
    skipPhysicalAttributes();
}

// sequence-options: { START WITH n | INCREMENT BY n | MINVALUE n | NOMINVALUE | MAXVALUE n
//   | NOMAXVALUE | CYCLE | NOCYCLE | CACHE n | NOCACHE | ORDER | NOORDER }
void Parser::sequenceOptions(SequenceOptions &o) {
    for (;;) {
        if (acceptWord("START")) {
            expectWord("WITH", 905);
            o.start = sequenceValue();
            o.hasStart = true;
        } else if (acceptWord("INCREMENT")) {
            expectWord("BY", 924);
            o.increment = sequenceValue();
            o.hasIncrement = true;
        } else if (acceptWord("MINVALUE")) {
            o.minValue = sequenceValue();
            o.hasMin = true;
        } else if (acceptWord("MAXVALUE")) {
            o.maxValue = sequenceValue();
            o.hasMax = true;
        } else if (acceptWord("NOMINVALUE")) {
            o.noMin = true;
        } else if (acceptWord("NOMAXVALUE")) {
            o.noMax = true;
        } else if (acceptWord("CYCLE")) {
            o.cycle = true;
        } else if (acceptWord("NOCYCLE")) {
            o.cycle = false;
        } else if (acceptWord("CACHE")) {
            o.cache = (long long)signedNumber();
        } else if (acceptWord("NOCACHE")) {
            o.cache = 0;
        } else if (acceptWord("ORDER")) {
            o.order = true;
        } else if (acceptWord("NOORDER")) {
            o.order = false;
        } else {
            return;
        }
    }
}

// create: CREATE ( create-table | [ UNIQUE | BITMAP ] INDEX ... | [ OR REPLACE ] [ [NO] FORCE ] VIEW ...
//   | SEQUENCE ... | [ OR REPLACE ] [ PUBLIC ] SYNONYM ... | USER ... | ROLE ... )
void Parser::createStatement(Statement &st) {
    advance();
    bool orReplace = false;
    if (acceptWord("OR")) {
        expectWord("REPLACE", 922);
        orReplace = true;
    }
    bool temporary = false;
    if (acceptWord("GLOBAL")) {
        expectWord("TEMPORARY", 901);
        if (!peek().isWord("TABLE"))
            fail(901);
        temporary = true;
    }
    if (acceptWord("TABLE")) {
        createTable(st);
        st.createTable->temporary = temporary;
        return;
    }
    bool unique = false;
    if (acceptWord("UNIQUE"))
        unique = true;
    else
        acceptWord("BITMAP");
    if (acceptWord("INDEX")) {
        st.kind = Statement::CreateIndex;
        st.command = "CREATE INDEX";
        auto &ci = *(st.createIndex = std::make_unique<CreateIndexStmt>());
        ci.unique = unique;
        ci.index = qualifiedName();
        expectWord("ON", 905);
        ci.table = qualifiedName();
        expectOp("(", 906);
        do {
            ci.columnOffsets.push_back(peek().offset);
            ci.columns.push_back(identifier());
            bool desc = acceptWord("DESC");
            if (!desc)
                acceptWord("ASC");
            ci.descending.push_back(desc);
        } while (acceptOp(","));
        expectOp(")", 907);
        skipPhysicalAttributes();
        return;
    }
    if (unique)
        fail(901);
    bool force = false;
    if (acceptWord("FORCE"))
        force = true;
    else if (peek().isWord("NO") && peek(1).isWord("FORCE")) {
        advance();
        advance();
    } else
        acceptWord("NOFORCE");
    if (acceptWord("VIEW")) {
        st.kind = Statement::CreateView;
        st.command = "CREATE VIEW";
        auto &cv = *(st.createView = std::make_unique<CreateViewStmt>());
        cv.orReplace = orReplace;
        cv.force = force;
        cv.view = qualifiedName();
        if (acceptOp("(")) {
            do
                cv.columnAliases.push_back(identifier());
            while (acceptOp(","));
            expectOp(")", 907);
        }
        expectWord("AS", 905);
        int start = peek().offset;
        cv.query = query();
        cv.queryText = std::string(sql_.substr(size_t(start), size_t(lastEnd() - start)));
        if (acceptWord("WITH")) {
            if (acceptWord("READ")) {
                expectWord("ONLY", 905);
                cv.readOnly = true;
            } else {
                expectWord("CHECK", 905);
                expectWord("OPTION", 905);
                cv.checkOption = true;
            }
            if (acceptWord("CONSTRAINT"))
                cv.checkName = identifier();
        }
        return;
    }
    if (acceptWord("SEQUENCE")) {
        st.kind = Statement::CreateSequence;
        st.command = "CREATE SEQUENCE";
        st.createSequence = std::make_unique<CreateSequenceStmt>();
        st.createSequence->sequence = qualifiedName();
        sequenceOptions(st.createSequence->options);
        return;
    }
    bool isPublic = acceptWord("PUBLIC");
    if (acceptWord("SYNONYM")) {
        st.kind = Statement::CreateSynonym;
        st.command = "CREATE SYNONYM";
        auto &cs = *(st.createSynonym = std::make_unique<CreateSynonymStmt>());
        cs.isPublic = isPublic;
        cs.orReplace = orReplace;
        cs.synonym = qualifiedName();
        expectWord("FOR", 905);
        cs.target = qualifiedName();
        return;
    }
    if (isPublic)
        fail(901);
    if (acceptWord("USER")) {
        st.kind = Statement::CreateUser;
        st.command = "CREATE USER";
        auto &u = *(st.user = std::make_unique<UserStmt>());
        u.nameOffset = peek().offset;
        u.name = identifier();
        expectWord("IDENTIFIED", 922);
        expectWord("BY", 924);
        u.password = peek().text;
        if (peek().kind != TokenKind::Identifier && peek().kind != TokenKind::QuotedIdentifier)
            fail(922);
        advance();
        u.hasPassword = true;
        while (!atEnd()) {
            if (acceptWord("ACCOUNT")) {
                if (acceptWord("LOCK"))
                    u.lock = true;
                else
                    expectWord("UNLOCK", 922);
            } else {
                advance();  // DEFAULT TABLESPACE x, QUOTA ..., PROFILE x, PASSWORD EXPIRE
            }
        }
        return;
    }
    if (acceptWord("ROLE")) {
        st.kind = Statement::CreateRole;
        st.command = "CREATE ROLE";
        st.user = std::make_unique<UserStmt>();
        st.user->nameOffset = peek().offset;
        st.user->name = identifier();
        while (!atEnd())
            advance();
        return;
    }
    fail(901);
}

// alter: ALTER TABLE qualified-name alter-table-action | ALTER SESSION SET name = value { name = value }
//      | ALTER USER name ( IDENTIFIED BY password | ACCOUNT ( LOCK | UNLOCK ) | ... )
//      | ALTER SEQUENCE qualified-name sequence-options | ALTER ( INDEX | SYSTEM | ... ) anything
void Parser::alterStatement(Statement &st) {
    advance();
    if (acceptWord("SESSION")) {
        st.kind = Statement::AlterSession;
        st.command = "ALTER SESSION";
        expectWord("SET", 922);
        st.alterSession = std::make_unique<AlterSessionStmt>();
        st.alterSession->parameter = identifier(922);
        expectOp("=", 922);
        st.alterSession->valueOffset = peek().offset;
        const Token &v = advance();
        st.alterSession->value = v.text;
        while (!atEnd())
            advance();
        return;
    }
    if (acceptWord("USER")) {
        st.kind = Statement::AlterUser;
        st.command = "ALTER USER";
        auto &u = *(st.user = std::make_unique<UserStmt>());
        u.nameOffset = peek().offset;
        u.name = identifier();
        while (!atEnd()) {
            if (acceptWord("IDENTIFIED")) {
                expectWord("BY", 924);
                u.password = advance().text;
                u.hasPassword = true;
            } else if (acceptWord("ACCOUNT")) {
                if (acceptWord("LOCK"))
                    u.lock = true;
                else if (acceptWord("UNLOCK"))
                    u.unlock = true;
                else
                    fail(922);
            } else {
                advance();
            }
        }
        return;
    }
    if (acceptWord("SEQUENCE")) {
        st.kind = Statement::AlterSequence;
        st.command = "ALTER SEQUENCE";
        st.createSequence = std::make_unique<CreateSequenceStmt>();
        st.createSequence->sequence = qualifiedName();
        sequenceOptions(st.createSequence->options);
        return;
    }
    if (!acceptWord("TABLE")) {
        // ALTER INDEX ... REBUILD, ALTER SYSTEM, ALTER DATABASE: nothing to do for this storage.
        st.kind = Statement::Ignored;
        st.command = "ALTER " + peek().text;
        while (!atEnd())
            advance();
        return;
    }
    st.kind = Statement::AlterTable;
    st.command = "ALTER TABLE";
    auto &at = *(st.alterTable = std::make_unique<AlterTableStmt>());
    at.table = qualifiedName(903);
    if (acceptWord("ADD")) {
        bool paren = acceptOp("(");
        do {
            if (peek().isWord("CONSTRAINT") || peek().isWord("PRIMARY") || peek().isWord("UNIQUE") ||
                peek().isWord("FOREIGN") || peek().isWord("CHECK")) {
                at.action = AlterTableStmt::AddConstraint;
                at.constraints.push_back(tableConstraint());
            } else {
                at.action = AlterTableStmt::AddColumns;
                ColumnDef col;
                columnDefinition(col, at.constraints);
                if (!col.hasType && !col.isVirtual)
                    raise(902, col.offset);
                at.columns.push_back(std::move(col));
            }
        } while (paren && acceptOp(","));
        if (paren)
            expectOp(")", 907);
    } else if (acceptWord("MODIFY")) {
        if (acceptWord("CONSTRAINT")) {
            at.nameOffset = peek().offset;
            at.names.push_back(identifier());
            if (acceptWord("ENABLE"))
                at.action = AlterTableStmt::EnableConstraint;
            else {
                expectWord("DISABLE", 922);
                at.action = AlterTableStmt::DisableConstraint;
            }
            ConstraintDef ignored;
            constraintState(ignored);
        } else {
            at.action = AlterTableStmt::ModifyColumns;
            bool paren = acceptOp("(");
            do {
                ColumnDef col;
                columnDefinition(col, at.constraints);
                at.columns.push_back(std::move(col));
            } while (paren && acceptOp(","));
            if (paren)
                expectOp(")", 907);
        }
    } else if (acceptWord("DROP")) {
        if (acceptWord("CONSTRAINT")) {
            at.action = AlterTableStmt::DropConstraint;
            at.nameOffset = peek().offset;
            at.names.push_back(identifier());
        } else if (acceptWord("PRIMARY")) {
            expectWord("KEY", 905);
            at.action = AlterTableStmt::DropPrimaryKey;
        } else {
            at.action = AlterTableStmt::DropColumns;
            if (acceptWord("COLUMN")) {
                at.nameOffset = peek().offset;
                at.names.push_back(identifier());
            } else {
                expectOp("(", 906);
                at.nameOffset = peek().offset;
                do
                    at.names.push_back(identifier());
                while (acceptOp(","));
                expectOp(")", 907);
            }
        }
        if (acceptWord("CASCADE")) {
            at.cascade = true;
            acceptWord("CONSTRAINTS");
        }
    } else if (peek().isWord("ENABLE") || peek().isWord("DISABLE")) {
        at.action = advance().text == "ENABLE" ? AlterTableStmt::EnableConstraint : AlterTableStmt::DisableConstraint;
        acceptWord("VALIDATE") || acceptWord("NOVALIDATE");
        if (acceptWord("CONSTRAINT")) {
            at.nameOffset = peek().offset;
            at.names.push_back(identifier());
        } else if (acceptWord("PRIMARY")) {
            expectWord("KEY", 905);
            at.names.push_back("");  // the table's primary key
        } else {
            fail(922);
        }
        acceptWord("CASCADE");
    } else if (acceptWord("RENAME")) {
        if (acceptWord("COLUMN")) {
            at.action = AlterTableStmt::RenameColumn;
            at.nameOffset = peek().offset;
            at.names.push_back(identifier());
            expectWord("TO", 905);
            at.names.push_back(identifier());
        } else {
            expectWord("TO", 905);
            at.action = AlterTableStmt::RenameTable;
            at.names.push_back(identifier());
        }
    } else {
        // MOVE, STORAGE, PCTFREE ..., LOGGING: physical changes that mean nothing here.
        at.action = AlterTableStmt::Nothing;
        while (!atEnd())
            advance();
    }
    skipPhysicalAttributes();
}

// drop: DROP ( TABLE qualified-name [ CASCADE CONSTRAINTS ] [ PURGE ] | VIEW qualified-name
//   | INDEX qualified-name | SEQUENCE qualified-name | [ PUBLIC ] SYNONYM qualified-name [ FORCE ]
//   | USER name [ CASCADE ] | ROLE name )
void Parser::dropStatement(Statement &st) {
    advance();
    st.kind = Statement::Drop;
    auto &d = *(st.drop = std::make_unique<DropStmt>());
    d.isPublic = acceptWord("PUBLIC");
    const Token &t = peek();
    if (t.kind != TokenKind::Identifier)
        fail(950);
    std::string what = t.text;
    if (what != "TABLE" && what != "VIEW" && what != "INDEX" && what != "SEQUENCE" && what != "SYNONYM" &&
        what != "USER" && what != "ROLE")
        fail(950);
    if (d.isPublic && what != "SYNONYM")
        fail(950);
    advance();
    d.objectType = what;
    st.command = "DROP " + what;
    d.name = qualifiedName(what == "TABLE" ? 903 : 904);
    if (acceptWord("CASCADE")) {
        d.cascade = true;
        if (what == "TABLE")
            expectWord("CONSTRAINTS", 905);
    }
    acceptWord("PURGE");
    acceptWord("FORCE");
}

// grant: GRANT privilege { , privilege } [ ON qualified-name ] TO grantee { , grantee }
//        [ WITH ( GRANT | ADMIN ) OPTION ]
// revoke: REVOKE privilege { , privilege } [ ON qualified-name ] FROM grantee { , grantee }
void Parser::grantStatement(Statement &st, bool revoke) {
    advance();
    st.kind = revoke ? Statement::Revoke : Statement::Grant;
    st.command = revoke ? "REVOKE" : "GRANT";
    auto &g = *(st.grant = std::make_unique<GrantStmt>());
    do {
        std::string priv;
        while (peek().kind == TokenKind::Identifier && !peek().isWord("ON") && !peek().isWord("TO") &&
               !peek().isWord("FROM")) {
            if (!priv.empty())
                priv += ' ';
            priv += advance().text;
            if (peek().isOperator("("))
                skipParenthesised();  // UPDATE (col, ...) is granted on the whole table
        }
        if (priv.empty())
            fail(905);
        if (priv == "ALL PRIVILEGES")
            priv = "ALL";
        g.privileges.push_back(priv);
    } while (acceptOp(","));
    if (acceptWord("ON")) {
        g.onObject = true;
        g.object = qualifiedName();
    }
    expectWord(revoke ? "FROM" : "TO", 905);
    do
        g.grantees.push_back(peek().isWord("PUBLIC") ? advance().text : identifier());
    while (acceptOp(","));
    if (acceptWord("WITH")) {
        advance();
        expectWord("OPTION", 905);
        g.withOption = true;
    }
}

}  // namespace localdb
