// Declarations: types, variables, constants, cursors, exceptions, pragmas, subprograms and
// packages.
#include "localdb/plsql/plsqlCompilerImpl.h"

#include <cstdlib>

namespace localdb::plsql {
namespace {

const std::map<std::string, int> &predefinedExceptions() {
    static const std::map<std::string, int> m = {
        {"NO_DATA_FOUND", 1403},       {"TOO_MANY_ROWS", 1422},         {"ZERO_DIVIDE", 1476},
        {"VALUE_ERROR", 6502},         {"INVALID_NUMBER", 1722},        {"DUP_VAL_ON_INDEX", 1},
        {"INVALID_CURSOR", 1001},      {"CURSOR_ALREADY_OPEN", 6511},   {"CASE_NOT_FOUND", 6592},
        {"PROGRAM_ERROR", 6501},       {"STORAGE_ERROR", 6500},         {"LOGIN_DENIED", 1017},
        {"NOT_LOGGED_ON", 1012},       {"ROWTYPE_MISMATCH", 6504},      {"TIMEOUT_ON_RESOURCE", 51},
        {"SYS_INVALID_ROWID", 1410},   {"ACCESS_INTO_NULL", 6530},      {"COLLECTION_IS_NULL", 6531},
        {"SUBSCRIPT_BEYOND_COUNT", 6533}, {"SUBSCRIPT_OUTSIDE_LIMIT", 6532}, {"SELF_IS_NULL", 30625},
    };
    return m;
}

int number(const Token &t) { return std::atoi(t.text.c_str()); }

}  // namespace

int predefinedExceptionCode(const std::string &name) {
    auto it = predefinedExceptions().find(name);
    return it == predefinedExceptions().end() ? 0 : it->second;
}

PlType Compiler::dataType(bool parameter) {
    const int offset = peek().offset;
    std::string name = identifier("<an identifier> <a double-quoted delimited-identifier>");
    PlType t;
    auto size = [&](bool allowScale) {
        if (!acceptOp("("))
            return;
        if (parameter)
            syntaxError(":= . ) , @ % default character");
        if (peek().kind != TokenKind::Number)
            syntaxError("<an integer literal>");
        int a = number(advance());
        if (allowScale) {
            t.precision = a;
            if (acceptOp(",")) {
                bool neg = acceptOp("-");
                t.scale = number(advance()) * (neg ? -1 : 1);
            } else {
                t.scale = 0;
            }
        } else {
            t.length = a;
            if (a < 1 || a > 32767)
                error(offset, 215, "String length constraints must be in range (1 .. 32767)");
            acceptWord("BYTE") || acceptWord("CHAR");
        }
        expectOp(")");
    };
    if (name == "NUMBER" || name == "DEC" || name == "DECIMAL" || name == "NUMERIC" || name == "FLOAT" ||
        name == "REAL") {
        t = PlType::number();
        size(name != "FLOAT");
        if (name == "FLOAT")
            t.precision = TypeSpec::None, t.scale = TypeSpec::None;
    } else if (name == "DOUBLE") {
        expectWord("PRECISION");
        t = PlType::number();
    } else if (name == "INTEGER" || name == "INT" || name == "SMALLINT") {
        t = PlType::number();
        t.scale = 0;
        t.precision = 38;
        t.name = "NUMBER";
    } else if (name == "PLS_INTEGER" || name == "BINARY_INTEGER" || name == "NATURAL" || name == "NATURALN" ||
               name == "POSITIVE" || name == "POSITIVEN" || name == "SIGNTYPE" || name == "SIMPLE_INTEGER") {
        t = PlType::integer();
        t.name = name == "PLS_INTEGER" ? "PLS_INTEGER" : "BINARY_INTEGER";
        t.notNull = name == "NATURALN" || name == "POSITIVEN" || name == "SIMPLE_INTEGER";
    } else if (name == "VARCHAR2" || name == "VARCHAR" || name == "NVARCHAR2" || name == "STRING") {
        t = PlType::text();
        t.name = name == "NVARCHAR2" ? "NVARCHAR2" : "VARCHAR2";
        size(false);
        if (!parameter && t.length == 0)
            error(peek().offset, 215, "String length constraints must be in range (1 .. 32767)");
    } else if (name == "CHAR" || name == "NCHAR" || name == "CHARACTER") {
        t = PlType::text();
        t.kind = TypeKind::Char;
        t.name = "CHAR";
        size(false);
        if (!parameter && t.length == 0)
            t.length = 1;
    } else if (name == "LONG") {
        if (acceptWord("RAW")) {
            t.kind = TypeKind::Raw;
            t.name = "LONG RAW";
        } else {
            t = PlType::text();
            t.length = 32760;
            t.name = "LONG";
        }
    } else if (name == "DATE") {
        t = PlType::date();
    } else if (name == "TIMESTAMP") {
        t = PlType::date();
        t.name = "TIMESTAMP";
        if (acceptOp("(")) {
            advance();
            expectOp(")");
        }
    } else if (name == "BOOLEAN") {
        t = PlType::boolean();
    } else if (name == "CLOB" || name == "NCLOB") {
        t = PlType::text();
        t.kind = TypeKind::Clob;
        t.name = "CLOB";
    } else if (name == "RAW" || name == "BLOB") {
        t.kind = TypeKind::Raw;
        t.name = name;
        size(false);
    } else if (name == "ROWID" || name == "UROWID") {
        t = PlType::text();
        t.name = "ROWID";
    } else {
        // name%TYPE, name%ROWTYPE, table.column%TYPE, a declared type or subtype.
        Name n;
        n.parts.push_back(name);
        n.offsets.push_back(offset);
        while (acceptOp(".")) {
            n.offsets.push_back(peek().offset);
            n.parts.push_back(identifier());
        }
        if (acceptOp("%")) {
            const int attrOffset = peek().offset;
            std::string attr = identifier("type rowtype");
            if (attr == "TYPE") {
                Symbol *s = n.parts.size() == 1 ? lookup(n.parts[0]) : nullptr;
                if (s && s->kind == Symbol::Variable) {
                    t = s->type;
                    t.notNull = false;
                } else if (n.parts.size() == 2 && lookup(n.parts[0]) &&
                           lookup(n.parts[0])->kind == Symbol::Variable &&
                           lookup(n.parts[0])->type.kind == TypeKind::Record) {
                    const PlType &rt = lookup(n.parts[0])->type;
                    int f = rt.record->find(n.parts[1]);
                    if (f < 0)
                        error(n.offsets[1], 302, "component '" + n.parts[1] + "' must be declared");
                    else
                        t = rt.record->types[size_t(f)];
                } else {
                    t = columnType(n, offset);
                }
            } else if (attr == "ROWTYPE") {
                Symbol *s = n.parts.size() == 1 ? lookup(n.parts[0]) : nullptr;
                t.kind = TypeKind::Record;
                t.name = "PL/SQL RECORD";
                if (s && s->kind == Symbol::Cursor)
                    t.record = s->cursor->rowType;
                else
                    t.record = tableRowType(n, offset);
                if (!t.record) {
                    t.record = std::make_shared<RecordType>();
                    t.kind = TypeKind::Unknown;
                }
            } else {
                error(attrOffset, 208, "identifier '" + attr + "' is not a legal cursor attribute");
            }
            return t;
        }
        Symbol *s = n.parts.size() == 1 ? lookup(n.parts[0]) : nullptr;
        if (s && s->kind == Symbol::Type)
            return s->type;
        if (!s && isOutputLinesType(n.parts))
            return outputLinesType();
        if (n.parts.size() == 1 && (n.parts[0] == "SYS_REFCURSOR"))
            error(offset, 201, "identifier '" + n.parts[0] + "' must be declared");
        else
            error(offset, 201, "identifier '" + n.parts.back() + "' must be declared");
        return PlType::unknown();
    }
    return t;
}

void Compiler::declarations(StmtList &inits, bool packageLevel, bool spec) {
    while (true) {
        if (atEnd() || isWord("BEGIN") || isWord("END")) {
            // A forward declaration in a block or subprogram needs its body in the same section.
            if (!packageLevel)
                for (const auto &[name, symbol] : scope->symbols)
                    if (symbol.kind == Symbol::Subprograms)
                        for (const Subprogram *s : symbol.subprograms)
                            if (!s->body && declaredAt.count(s))
                                error(declaredAt[s], 328,
                                      "A subprogram body must be defined for the forward declaration of " + name + ".");
            return;
        }
        const size_t before = peek().offset;
        try {
            if (isWord("PROCEDURE") || isWord("FUNCTION")) {
                subprogram(spec);
            } else if (isWord("CURSOR")) {
                cursorDeclaration(packageLevel);
            } else if (isWord("TYPE") || isWord("SUBTYPE")) {
                typeDeclaration();
            } else if (isWord("PRAGMA")) {
                pragma();
            } else if (peek().kind == TokenKind::Identifier || peek().kind == TokenKind::QuotedIdentifier) {
                declareVariable(inits, packageLevel);
            } else {
                syntaxError(kExpectDeclaration);
            }
        } catch (const NestingTooDeep &) {
            throw;
        } catch (const SyntaxError &) {
            skipToSemicolon();
            if (size_t(peek().offset) == before && !atEnd())
                advance();
        }
    }
}

void Compiler::declareVariable(StmtList &inits, bool packageLevel) {
    const int offset = peek().offset;
    std::string name = identifier();
    if (acceptWord("EXCEPTION")) {
        auto e = std::make_shared<ExceptionDecl>();
        e->name = name;
        exceptions.push_back(e);
        Symbol s;
        s.kind = Symbol::Exception;
        s.exception = e.get();
        if (packageLevel && unit)
            unit->publicExceptions[name] = e;
        declare(name, offset, s);
        expectOp(";");
        return;
    }
    bool constant = acceptWord("CONSTANT");
    const size_t errorsBefore = out.errors.size();
    PlType type = dataType();
    const bool malformed = out.errors.size() > errorsBefore && type.kind == TypeKind::Unknown;
    if (malformed)
        out.errors.push_back([&] {
            CompileError e{0, 0, "PL/SQL: Item ignored", 0};
            lineColumn(offset, e.line, e.column);
            return e;
        }());
    if (acceptWord("NOT")) {
        expectWord("NULL");
        type.notNull = true;
    }
    ExprP value;
    const int valueOffset = peek().offset;
    if (acceptOp(":=") || acceptWord("DEFAULT"))
        value = expression();
    else if (constant)
        error(offset, 322, "declaration of a constant '" + name + "' must contain an initialization assignment");
    else if (type.notNull)
        error(offset, 218, "a variable declared NOT NULL must have an initialization assignment");
    (void)valueOffset;
    expectOp(";", "  := . ( @ % ; not null range default character");
    Symbol s;
    s.type = type;
    s.malformed = malformed;
    s.level = frame->level;
    s.slot = newSlot(type);
    s.readOnly = constant;
    s.constant = constant;
    s.package = packageLevel ? package : nullptr;
    if (packageLevel && package) {
        package->initialisers.emplace_back(s.slot, std::move(value));
        if (unit) {
            unit->publicVariables[name] = s.slot;
            unit->publicVariableTypes[name] = type;
        }
    } else {
        auto init = std::make_unique<Initialise>();
        init->slot = s.slot;
        init->type = type;
        init->value = std::move(value);
        init->line = lineOf(offset);
        inits.items.push_back(std::move(init));
    }
    declare(name, offset, s);
}

void Compiler::cursorDeclaration(bool packageLevel) {
    expectWord("CURSOR");
    const int offset = peek().offset;
    std::string name = identifier();
    auto decl = std::make_unique<CursorDecl>();
    decl->name = name;
    decl->level = frame->level;
    decl->package = packageLevel ? package : nullptr;
    decl->index = frame->cursors++;
    pushScope();
    if (acceptOp("(")) {
        do {
            Param p;
            const int po = peek().offset;
            p.name = identifier();
            acceptWord("IN");
            p.type = dataType(true);
            if (acceptOp(":=") || acceptWord("DEFAULT"))
                p.defaultValue = expression();
            p.slot = newSlot(p.type);
            Symbol s;
            s.type = p.type;
            s.level = frame->level;
            s.slot = p.slot;
            s.readOnly = true;
            s.package = decl->package;
            declare(p.name, po, s);
            decl->params.push_back(std::move(p));
        } while (acceptOp(","));
        expectOp(")");
    }
    if (acceptWord("RETURN"))
        dataType();
    if (isOp(";")) {  // a cursor specification in a package: its body repeats it
        advance();
        popScope();
        return;
    }
    expectWord("IS");
    const int sqlStart = peek().offset;
    int depth = 0;
    while (!atEnd() && !(depth == 0 && isOp(";"))) {
        if (isOp("("))
            ++depth;
        if (isOp(")"))
            --depth;
        advance();
    }
    const int sqlEnd = peek().offset;
    expectOp(";");
    compileSql(textBetween(sqlStart, sqlEnd), sqlStart, decl->sql, sqlStart);
    popScope();
    if (decl->sql.statement)
        decl->rowType = rowTypeOf(*decl->sql.statement);
    else
        decl->rowType = std::make_shared<RecordType>();
    Symbol s;
    s.kind = Symbol::Cursor;
    s.level = frame->level;
    s.cursor = decl.get();
    s.package = decl->package;
    declare(name, offset, s);
    out.cursors.push_back(std::move(decl));
}

void Compiler::typeDeclaration() {
    const bool subtype = acceptWord("SUBTYPE");
    if (!subtype)
        expectWord("TYPE");
    const int offset = peek().offset;
    std::string name = identifier();
    expectWord("IS");
    Symbol s;
    s.kind = Symbol::Type;
    if (!subtype && acceptWord("RECORD")) {
        expectOp("(");
        auto rt = std::make_shared<RecordType>();
        do {
            rt->names.push_back(identifier());
            PlType ft = dataType();
            if (acceptWord("NOT")) {
                expectWord("NULL");
                ft.notNull = true;
            }
            if (acceptOp(":=") || acceptWord("DEFAULT"))
                expression();
            rt->types.push_back(ft);
        } while (acceptOp(","));
        expectOp(")");
        s.type.kind = TypeKind::Record;
        s.type.name = "PL/SQL RECORD";
        s.type.record = rt;
    } else if (!subtype) {
        // Collections and REF CURSOR types are not available yet.
        error(peek().offset, 103,
              "Encountered the symbol \"" + peek().text + "\" when expecting one of the following:\n\n   record");
        skipToSemicolon();
        declare(name, offset, s);
        return;
    } else {
        s.type = dataType();
        if (acceptWord("NOT")) {
            expectWord("NULL");
            s.type.notNull = true;
        }
    }
    expectOp(";");
    declare(name, offset, s);
}

void Compiler::pragma() {
    expectWord("PRAGMA");
    if (acceptWord("EXCEPTION_INIT")) {
        expectOp("(");
        const int offset = peek().offset;
        std::string name = identifier();
        expectOp(",");
        bool negative = acceptOp("-");
        if (peek().kind != TokenKind::Number)
            syntaxError("<an integer literal>");
        int code = number(advance());
        expectOp(")");
        expectOp(";");
        Symbol *s = lookup(name);
        if (!s || s->kind != Symbol::Exception) {
            error(offset, 109, "unknown exception name '" + name + "' in PRAGMA EXCEPTION_INIT");
            return;
        }
        // NO_DATA_FOUND's number is +100; other Oracle errors are negative.
        const_cast<ExceptionDecl *>(s->exception)->code = (!negative && code == 100) ? 1403 : code;
        return;
    }
    // AUTONOMOUS_TRANSACTION, RESTRICT_REFERENCES, SERIALLY_REUSABLE ... change nothing here.
    skipToSemicolon();
}

void Compiler::parameters(Subprogram &s) {
    if (!acceptOp("("))
        return;
    do {
        Param p;
        p.name = identifier();
        if (acceptWord("IN"))
            p.mode = acceptWord("OUT") ? 3 : 1;
        else if (acceptWord("OUT"))
            p.mode = 2;
        acceptWord("NOCOPY");
        p.type = dataType(true);
        if (isOp(":=") || isWord("DEFAULT")) {
            advance();
            const int from = peek().offset;
            p.defaultValue = expression();
            p.defaultText = textBetween(from, peek().offset);
            while (!p.defaultText.empty() && (p.defaultText.back() == ' ' || p.defaultText.back() == '\n'))
                p.defaultText.pop_back();
        }
        s.params.push_back(std::move(p));
    } while (acceptOp(","));
    expectOp(")", ":= . ) , @ % default character");
}

namespace {

bool sameSignature(const Subprogram &a, const Subprogram &b) {
    if (a.isFunction != b.isFunction || a.params.size() != b.params.size())
        return false;
    for (size_t i = 0; i < a.params.size(); ++i)
        if (a.params[i].name != b.params[i].name || a.params[i].type.kind != b.params[i].type.kind)
            return false;
    return true;
}

}  // namespace

Subprogram *Compiler::subprogram(bool spec) {
    const bool isFunction = peek().isWord("FUNCTION");
    advance();
    const int offset = peek().offset;
    std::string name = identifier();
    if (acceptOp(".")) {  // OWNER.NAME in CREATE
        name = identifier();
    }
    auto sub = std::make_unique<Subprogram>();
    sub->name = name;
    sub->isFunction = isFunction;
    sub->level = frame->level + 1;
    sub->program = program;
    sub->package = (package && frame->level == 0) ? package : nullptr;
    sub->line = lineOf(offset);
    sub->isPublic = spec || !package || frame->level > 0 ? spec : false;
    if (!package)
        sub->isPublic = true;
    parameters(*sub);
    if (isFunction) {
        expectWord("RETURN", "return");
        sub->returnType = dataType(true);
    }
    // A definition completes an earlier declaration with the same header.
    Symbol *existing = scope->symbols.count(name) ? &scope->symbols[name] : nullptr;
    Subprogram *declared = nullptr;
    if (existing && existing->kind == Symbol::Subprograms)
        for (Subprogram *d : existing->subprograms)
            if (!d->body && sameSignature(*d, *sub))
                declared = d;
    // Also the package specification's declaration of a subprogram.
    if (!declared && package && frame->level == 0)
        if (Symbol *specSym = lookup(name); specSym && specSym->kind == Symbol::Subprograms)
            for (Subprogram *d : specSym->subprograms)
                if (!d->body && sameSignature(*d, *sub))
                    declared = d;
    Subprogram *target = declared ? declared : sub.get();
    if (!declared) {
        Symbol s;
        s.kind = Symbol::Subprograms;
        if (existing && existing->kind == Symbol::Subprograms)
            s.subprograms = existing->subprograms;
        else if (Symbol *outer = lookup(name); outer && outer->kind == Symbol::Subprograms && package &&
                                               frame->level == 0)
            s.subprograms = outer->subprograms;
        s.subprograms.push_back(sub.get());
        if (s.subprograms.size() > 1) {
            int n = 0;
            for (Subprogram *x : s.subprograms)
                x->overload = ++n;
        }
        declare(name, offset, s);
        declaredAt[sub.get()] = offset;
        if (!package)
            sub->subprogramId = 1;
        subprograms.push_back(std::move(sub));
    } else {
        // The definition's parameter defaults and names are those of the declaration.
        declared->line = target->line;
    }
    if (acceptOp(";")) {
        if (!spec && frame->level > 0 && false)
            error(offset, 328, "A subprogram body must be defined for the forward declaration of " + name + ".");
        return target;
    }
    if (!acceptWord("IS") && !acceptWord("AS"))
        syntaxError("( ; is with authid as cluster compress order using compiled wrapped external deterministic\n"
                    "   parallel_enable pipelined result_cache accessible");
    if (declared)
        declared->line = lineOf(offset);
    subprogramBody(*target);
    return target;
}

void Compiler::subprogramBody(Subprogram &s) {
    Nesting nesting(*this, peek().offset);
    FrameLayout layout;
    layout.level = s.level;
    layout.owner = &s;
    FrameLayout *saved = frame;
    frame = &layout;
    pushScope();
    for (auto &p : s.params) {
        p.slot = newSlot(p.type);
        Symbol sym;
        sym.type = p.type;
        sym.level = s.level;
        sym.slot = p.slot;
        sym.readOnly = p.mode == 1;
        declare(p.name, 0, sym);
    }
    ScopeLabel named(*this, s.name);
    StmtList inits;
    declarations(inits, false, false);
    try {
        expectWord("BEGIN", kExpectDeclaration);
        s.body = blockBody(std::move(inits), s.name);
    } catch (const NestingTooDeep &) {
        throw;
    } catch (const SyntaxError &) {
        s.body = std::make_unique<NullStmt>();
    }
    popScope();
    s.frameSize = layout.slots;
    s.cursorCount = layout.cursors;
    frame = saved;
    expectOp(";");
}

// BEGIN already read: statements [EXCEPTION handlers] END [label]
std::unique_ptr<Block> Compiler::blockBody(StmtList inits, const std::string &label) {
    auto b = std::make_unique<Block>();
    b->declarations = std::move(inits);
    statements(b->body, {"EXCEPTION", "END"});
    if (b->body.items.empty() && !isWord("EXCEPTION"))
        syntaxError(kExpectStatement);
    if (acceptWord("EXCEPTION"))
        exceptionHandlers(*b);
    // Text that ends before END could still have gone on with any statement.
    expectWord("END", atEnd() ? kExpectStatement : "end");
    if (peek().kind == TokenKind::Identifier || peek().kind == TokenKind::QuotedIdentifier) {
        const int offset = peek().offset;
        std::string endName = advance().text;
        if (!label.empty() && endName != label) {
            int line, column;
            lineColumn(offset, line, column);
            error(offset, 113, "END identifier '" + endName + "' must match '" + label + "'");
        }
    }
    return b;
}

void Compiler::exceptionHandlers(Block &b) {
    while (acceptWord("WHEN")) {
        Handler h;
        const int offset = peek().offset;
        do {
            if (acceptWord("OTHERS")) {
                h.others = true;
                continue;
            }
            const int nameOffset = peek().offset;
            std::string name = identifier();
            while (acceptOp("."))
                name = identifier();
            Symbol *s = lookup(name);
            if (s && s->kind == Symbol::Exception)
                h.exceptions.push_back(s->exception);
            else if (int code = predefinedExceptionCode(name))
                h.codes.push_back(code);
            else
                error(nameOffset, 201, "identifier '" + name + "' must be declared");
        } while (acceptWord("OR"));
        if (!b.handlers.empty() && b.handlers.back().others)
            error(offset, 370, "OTHERS handler must be last among the exception handlers of a block");
        expectWord("THEN");
        statements(h.body, {"WHEN", "END"});
        b.handlers.push_back(std::move(h));
    }
}

void Compiler::packageSpec(CompiledUnit &u) {
    expectWord("PACKAGE");
    const int offset = peek().offset;
    std::string name = identifier();
    if (acceptOp("."))
        name = identifier();
    while (!isWord("IS") && !isWord("AS") && !atEnd())
        advance();  // AUTHID ...
    if (!acceptWord("IS"))
        expectWord("AS");
    StmtList unused;
    declarations(unused, true, true);
    expectWord("END", kExpectSpecDeclaration);
    if (peek().kind == TokenKind::Identifier)
        advance();
    expectOp(";");
    int id = 0;
    for (auto &s : subprograms)
        if (s->level == 1) {
            s->subprogramId = ++id;
            s->isPublic = true;
            u.publicSubprograms.push_back(s.get());
        }
    (void)offset;
}

void Compiler::packageBody(CompiledUnit &u) {
    expectWord("PACKAGE");
    expectWord("BODY");
    std::string name = identifier();
    if (acceptOp("."))
        name = identifier();
    if (!acceptWord("IS"))
        expectWord("AS");
    StmtList unused;
    declarations(unused, true, false);
    if (acceptWord("BEGIN")) {
        FrameLayout layout;
        layout.level = 1;
        FrameLayout *saved = frame;
        // The initialisation runs in the package frame itself.
        frame = saved;
        auto b = std::make_unique<StmtList>();
        statements(*b, {"EXCEPTION", "END"});
        auto block = std::make_unique<Block>();
        block->body = std::move(*b);
        if (acceptWord("EXCEPTION"))
            exceptionHandlers(*block);
        u.package->initialisation = std::move(block);
    }
    expectWord("END", kExpectDeclaration);
    if (peek().kind == TokenKind::Identifier)
        advance();
    expectOp(";");
}

}  // namespace localdb::plsql
