// Expressions: operators by Oracle's precedence, names resolved through the scopes, calls with
// positional and named arguments, and SQL's built-in functions.
#include "localdb/plsql/plsqlCompilerImpl.h"

#include "localdb/functions/decimal_number.h"
#include "localdb/functions/function_catalog.h"

#include <cmath>

namespace localdb::plsql {
namespace {

template <typename T>
std::unique_ptr<T> node(Compiler &c, int offset, PlType type) {
    auto n = std::make_unique<T>();
    n->type = std::move(type);
    c.lineColumn(offset, n->line, n->column);
    return n;
}

ExprP binary(Compiler &c, int offset, Binary::Op op, ExprP l, ExprP r) {
    auto b = node<Binary>(c, offset, PlType::unknown());
    b->op = op;
    b->left = std::move(l);
    b->right = std::move(r);
    return makeBinary(std::move(b));
}

bool isDateType(const Expr &e) { return e.type.kind == TypeKind::Date; }

// MOD(m, n): m - n * TRUNC(m / n), and m itself when n is 0.
Datum nativeMod(Context &ctx, const std::vector<Datum> &a) {
    if (isNull(a[0]) || isNull(a[1]))
        return {};
    Datum x = toNumber(a[0], ctx.session()), y = toNumber(a[1], ctx.session());
    if (auto *i = std::get_if<std::int64_t>(&x))
        if (auto *j = std::get_if<std::int64_t>(&y))
            return *j == 0 ? *i : *i % *j;
    double m = toDouble(x), d = toDouble(y);
    return d == 0 ? m : m - d * std::trunc(m / d);
}

}  // namespace

void Compiler::checkType(const Expr &e, TypeKind wanted, int offset) {
    if (e.type.kind == TypeKind::Unknown || e.type.kind == wanted)
        return;
    errorPair(offset, 382, "expression is of wrong type", "PL/SQL: Statement ignored", statementOffset);
}

ExprP Compiler::expression() {
    Nesting nesting(*this, peek().offset);
    return orExpr();
}

ExprP Compiler::orExpr() {
    ExprP l = andExpr();
    int operands = 1;
    while (isWord("OR")) {
        const int offset = advance().offset;
        countOperand(operands, offset);
        l = binary(*this, offset, Binary::Or, std::move(l), andExpr());
    }
    return l;
}

ExprP Compiler::andExpr() {
    ExprP l = notExpr();
    int operands = 1;
    while (isWord("AND")) {
        const int offset = advance().offset;
        countOperand(operands, offset);
        l = binary(*this, offset, Binary::And, std::move(l), notExpr());
    }
    return l;
}

ExprP Compiler::notExpr() {
    if (isWord("NOT")) {
        const int offset = advance().offset;
        Nesting nesting(*this, offset);
        auto u = node<Unary>(*this, offset, PlType::boolean());
        u->op = Unary::Not;
        u->operand = notExpr();
        return u;
    }
    return comparison();
}

ExprP Compiler::comparison() {
    const int start = peek().offset;
    ExprP l = additive();
    const int offset = peek().offset;
    static const std::pair<const char *, Binary::Op> ops[] = {
        {"=", Binary::Eq}, {"<>", Binary::Ne}, {"!=", Binary::Ne}, {"^=", Binary::Ne}, {"~=", Binary::Ne},
        {"<=", Binary::Le}, {">=", Binary::Ge}, {"<", Binary::Lt}, {">", Binary::Gt}};
    for (auto &[text, op] : ops) {
        // "<" "<" begins a label, never a comparison.
        if (isOp(text) && !(std::string_view(text) == "<" && isOp("<", 1))) {
            advance();
            ExprP r = additive();
            if (isDateType(*l) != isDateType(*r) && l->type.kind != TypeKind::Unknown &&
                r->type.kind != TypeKind::Unknown && (isDateType(*l) || isDateType(*r)) &&
                !(l->type.isText() || r->type.isText()))
                return sqlFallback(start, peek().offset);
            return binary(*this, offset, op, std::move(l), std::move(r));
        }
    }
    if (isWord("IS")) {
        advance();
        bool negated = acceptWord("NOT");
        expectWord("NULL");
        auto u = node<Unary>(*this, offset, PlType::boolean());
        u->op = negated ? Unary::IsNotNull : Unary::IsNull;
        u->operand = std::move(l);
        return u;
    }
    bool negated = false;
    if (isWord("NOT") && (isWord("BETWEEN", 1) || isWord("IN", 1) || isWord("LIKE", 1))) {
        advance();
        negated = true;
    }
    if (acceptWord("BETWEEN")) {
        auto b = node<Between>(*this, offset, PlType::boolean());
        b->value = std::move(l);
        b->low = additive();
        expectWord("AND");
        b->high = additive();
        b->negated = negated;
        return b;
    }
    if (acceptWord("IN")) {
        auto in = node<InList>(*this, offset, PlType::boolean());
        in->value = std::move(l);
        in->negated = negated;
        expectOp("(");
        do
            in->items.push_back(expression());
        while (acceptOp(","));
        expectOp(")");
        return in;
    }
    if (acceptWord("LIKE")) {
        additive();
        if (acceptWord("ESCAPE"))
            additive();
        return sqlFallback(start, peek().offset);
    }
    return l;
}

ExprP Compiler::additive() {
    const int start = peek().offset;
    ExprP l = multiplicative();
    int operands = 1;
    while (isOp("+") || isOp("-") || isOp("||")) {
        const Token &t = advance();
        const int offset = t.offset;
        countOperand(operands, offset);
        Binary::Op op = t.text == "+" ? Binary::Add : t.text == "-" ? Binary::Sub : Binary::Concat;
        ExprP r = multiplicative();
        // Date arithmetic is SQL's.
        if (op != Binary::Concat && (isDateType(*l) || isDateType(*r))) {
            l = sqlFallback(start, peek().offset);
            continue;
        }
        l = binary(*this, offset, op, std::move(l), std::move(r));
    }
    return l;
}

ExprP Compiler::multiplicative() {
    ExprP l = power();
    int operands = 1;
    while (isOp("*") || isOp("/") || isWord("MOD")) {
        const Token &t = advance();
        const int offset = t.offset;
        countOperand(operands, offset);
        if (t.text == "MOD") {
            auto f = node<NativeFunction>(*this, offset, PlType::number());
            f->fn = nativeMod;
            f->args.push_back(std::move(l));
            f->args.push_back(power());
            l = std::move(f);
            continue;
        }
        l = binary(*this, offset, t.text == "*" ? Binary::Mul : Binary::Div, std::move(l), power());
    }
    return l;
}

ExprP Compiler::power() {
    ExprP l = unary();
    if (isOp("*") && isOp("*", 1) && peek(1).offset == peek().offset + 1) {
        const int offset = advance().offset;
        advance();
        l = binary(*this, offset, Binary::Power, std::move(l), unary());
    }
    return l;
}

ExprP Compiler::unary() {
    if (isOp("-") || isOp("+")) {
        const Token &t = advance();
        const int offset = t.offset;
        Nesting nesting(*this, offset);
        ExprP operand = unary();
        if (t.text == "+")
            return operand;
        if (auto *lit = dynamic_cast<Literal *>(operand.get())) {
            if (auto *i = std::get_if<std::int64_t>(&lit->value)) {
                lit->value = -*i;
                return operand;
            }
            if (auto *d = std::get_if<double>(&lit->value)) {
                lit->value = -*d;
                return operand;
            }
        }
        auto u = node<Unary>(*this, offset, PlType::number());
        u->op = Unary::Neg;
        u->operand = std::move(operand);
        return u;
    }
    return primary();
}

ExprP Compiler::primary() {
    const Token &t = peek();
    const int offset = t.offset;
    switch (t.kind) {
    case TokenKind::Number: {
        advance();
        auto lit = node<Literal>(*this, offset, PlType::number());
        auto n = functions::DecimalNumber::parse(t.text);
        if (n && n->toInt64())
            lit->value = *n->toInt64();
        else if (n)
            lit->value = n->toDouble();
        // PL/SQL types an integer literal of the 32-bit range PLS_INTEGER (so 1024 * 1024 * 1024 * 2
        // overflows); 2.0 and 1E3 are NUMBER.
        if (t.text.find_first_not_of("0123456789") == std::string::npos && n && n->toInt64() &&
            *n->toInt64() <= 2147483647)
            lit->type = PlType::integer();
        return lit;
    }
    case TokenKind::String: {
        advance();
        auto lit = node<Literal>(*this, offset, PlType::text());
        if (!t.text.empty())
            lit->value = t.text;
        return lit;
    }
    case TokenKind::Operator:
        if (t.text == "(") {
            advance();
            ExprP e = expression();
            expectOp(")", ") , * & - + / at mod remainder rem <an exponent (**)> ||");
            return e;
        }
        syntaxError(kExpectExpression);
    case TokenKind::End:
        syntaxError(kExpectExpression);
    default:
        break;
    }
    if (t.kind == TokenKind::Identifier) {
        if (t.text == "NULL") {
            advance();
            return node<Literal>(*this, offset, PlType::unknown());
        }
        if (t.text == "TRUE" || t.text == "FALSE") {
            advance();
            auto lit = node<Literal>(*this, offset, PlType::boolean());
            lit->value = t.text == "TRUE";
            return lit;
        }
        if (t.text == "CASE")
            return caseExpression();
        if (t.text == "DATE" && peek(1).kind == TokenKind::String) {
            advance();
            advance();
            return sqlFallback(offset, peek().offset);
        }
        if (t.text == "SQLCODE") {
            advance();
            return node<SqlCodeExpr>(*this, offset, PlType::number());
        }
        if (t.text == "SQLERRM") {
            advance();
            auto e = node<SqlErrmExpr>(*this, offset, PlType::text());
            if (acceptOp("(")) {
                e->code = expression();
                expectOp(")");
            }
            return e;
        }
    }
    return nameExpression(false);
}

ExprP Compiler::caseExpression() {
    const int offset = peek().offset;
    expectWord("CASE");
    auto c = node<CaseExpr>(*this, offset, PlType::unknown());
    if (!isWord("WHEN"))
        c->selector = expression();
    while (acceptWord("WHEN")) {
        c->whens.push_back(expression());
        expectWord("THEN");
        c->thens.push_back(expression());
        if (c->type.kind == TypeKind::Unknown)
            c->type = c->thens.back()->type;
    }
    if (acceptWord("ELSE"))
        c->otherwise = expression();
    expectWord("END");
    return c;
}

ExprP Compiler::variableRef(const Symbol &s, const std::string &name) {
    if (s.package && s.package != package) {
        auto v = std::make_unique<PackageVar>();
        v->package = s.package;
        v->slot = s.slot;
        v->type = s.type;
        v->readOnly = s.readOnly;
        return v;
    }
    auto v = std::make_unique<VarRef>();
    v->depth = frame->level - s.level;
    v->slot = s.slot;
    v->type = s.type;
    v->readOnly = s.readOnly;
    v->name = name;
    return v;
}

ExprP Compiler::cursorAttribute(const Symbol *cursor, int offset) {
    const int attrOffset = peek().offset;
    std::string attr = identifier("found notfound isopen rowcount");
    auto a = node<CursorAttribute>(*this, offset, PlType::boolean());
    if (attr == "FOUND")
        a->kind = CursorAttribute::Found;
    else if (attr == "NOTFOUND")
        a->kind = CursorAttribute::NotFound;
    else if (attr == "ISOPEN")
        a->kind = CursorAttribute::IsOpen;
    else if (attr == "ROWCOUNT") {
        a->kind = CursorAttribute::RowCount;
        a->type = PlType::number();
    } else
        error(attrOffset, 208, "identifier '" + attr + "' is not a legal cursor attribute");
    if (cursor) {
        a->implicit = false;
        a->cursor = cursor->cursor->index;
        if (cursor->package && cursor->package != package)
            a->package = cursor->package;
        else
            a->depth = frame->level - cursor->level;
    }
    return a;
}

std::unique_ptr<Call> Compiler::call(const std::vector<Subprogram *> &candidates, int nameOffset,
                                     const std::string &name, bool wantFunction, bool external) {
    struct Arg {
        std::string name;
        ExprP value;
        int offset;
        std::string text;
    };
    std::vector<Arg> args;
    if (acceptOp("(")) {
        if (!isOp(")")) {
            do {
                Arg a;
                a.offset = peek().offset;
                if ((peek().kind == TokenKind::Identifier || peek().kind == TokenKind::QuotedIdentifier) &&
                    isOp("=>", 1)) {
                    a.name = advance().text;
                    advance();
                    a.offset = peek().offset;
                }
                a.value = expression();
                a.text = textBetween(a.offset, peek().offset);
                args.push_back(std::move(a));
            } while (acceptOp(","));
        }
        expectOp(")");
    }
    // Pick the overload whose parameters take these arguments, preferring same type families.
    Subprogram *best = nullptr;
    int bestScore = -1;
    bool ambiguous = false;
    for (Subprogram *s : candidates) {
        std::vector<int> slotOf(args.size(), -1);
        bool ok = true;
        size_t positional = 0;
        for (size_t i = 0; i < args.size() && ok; ++i) {
            if (args[i].name.empty()) {
                if (positional >= s->params.size())
                    ok = false;
                else
                    slotOf[i] = int(positional++);
            } else {
                int found = -1;
                for (size_t p = 0; p < s->params.size(); ++p)
                    if (s->params[p].name == args[i].name)
                        found = int(p);
                if (found < 0)
                    ok = false;
                slotOf[i] = found;
            }
        }
        if (!ok)
            continue;
        std::vector<bool> given(s->params.size(), false);
        for (int p : slotOf)
            given[size_t(p)] = true;
        for (size_t p = 0; p < s->params.size(); ++p)
            if (!given[p] && !s->params[p].defaultValue)
                ok = false;
        if (!ok)
            continue;
        int score = 0;
        for (size_t i = 0; i < args.size(); ++i) {
            const PlType &pt = s->params[size_t(slotOf[i])].type;
            const PlType &at = args[i].value->type;
            if (at.kind == TypeKind::Unknown || pt.kind == TypeKind::Unknown)
                continue;
            const bool sameFamily = (pt.isNumeric() && at.isNumeric()) || (pt.isText() && at.isText()) ||
                                    pt.kind == at.kind;
            if (sameFamily)
                score += 2;
            else if (pt.kind == TypeKind::Boolean || at.kind == TypeKind::Boolean ||
                     pt.kind == TypeKind::Record || at.kind == TypeKind::Record)
                ok = false;
        }
        if (!ok)
            continue;
        if (score > bestScore) {
            best = s;
            bestScore = score;
            ambiguous = false;
        } else if (score == bestScore) {
            ambiguous = true;
        }
    }
    auto c = node<Call>(*this, nameOffset, PlType::unknown());
    if (!best) {
        errorPair(nameOffset, 306, "wrong number or types of arguments in call to '" + name + "'",
                  "PL/SQL: Statement ignored", nameOffset);
        return nullptr;
    }
    if (ambiguous && candidates.size() > 1) {
        errorPair(nameOffset, 307, "too many declarations of '" + name + "' match this call",
                  "PL/SQL: Statement ignored", nameOffset);
        return nullptr;
    }
    if (wantFunction && !best->isFunction) {
        errorPair(nameOffset, 222, "no function with name '" + name + "' exists in this scope",
                  "PL/SQL: Statement ignored", nameOffset);
        return nullptr;
    }
    if (!wantFunction && best->isFunction) {
        errorPair(nameOffset, 221, "'" + name + "' is not a procedure or is undefined",
                  "PL/SQL: Statement ignored", nameOffset);
        return nullptr;
    }
    c->callee = best;
    c->type = best->returnType;
    c->args.resize(best->params.size());
    size_t positional = 0;
    for (auto &a : args) {
        size_t p = a.name.empty() ? positional++ : 0;
        if (!a.name.empty())
            for (size_t i = 0; i < best->params.size(); ++i)
                if (best->params[i].name == a.name)
                    p = i;
        if (best->params[p].mode != 1) {
            auto *t = dynamic_cast<Target *>(a.value.get());
            if (!t || t->isReadOnly()) {
                std::string shown = a.text;
                while (!shown.empty() && shown.back() == ' ')
                    shown.pop_back();
                errorPair(a.offset, 363, "expression '" + shown + "' cannot be used as an assignment target",
                          "PL/SQL: Statement ignored", nameOffset);
            }
        }
        c->args[p] = std::move(a.value);
    }
    if (external || !best->body) {
        c->linkDepth = -1;
        if (!external && !best->package)
            c->linkDepth = frame->level - best->level + 1;
    } else if (best->package && best->level == 1 && best->package != package) {
        c->linkDepth = -1;
    } else {
        c->linkDepth = frame->level - best->level + 1;
    }
    return c;
}

ExprP Compiler::nameExpression(bool statementContext, bool *wasCall) {
    const Token &first = peek();
    const int offset = first.offset;
    if (first.kind == TokenKind::Bind) {
        advance();
        if (frame->level >= 1 && unit) {
            error(offset, 49, "bad bind variable '" + first.text + "'");
        }
        auto b = node<BindVar>(*this, offset, PlType::unknown());
        b->name = first.text;
        return b;
    }
    if (first.isWord("SQL") && isOp("%", 1)) {
        advance();
        advance();
        return cursorAttribute(nullptr, offset);
    }
    Name n;
    n.parts.push_back(identifier(kExpectExpression));
    n.offsets.push_back(offset);
    while (isOp(".") && !isOp(".", 1)) {
        advance();
        n.offsets.push_back(peek().offset);
        n.parts.push_back(identifier());
    }
    Symbol *sym = lookup(n.parts[0]);
    // label.name: a name of an enclosing labelled block or subprogram, also where an inner one hides it.
    if ((!sym || sym->kind != Symbol::Variable) && n.parts.size() >= 2)
        for (auto it = scopeLabels.rbegin(); it != scopeLabels.rend(); ++it)
            if (it->first == n.parts[0]) {
                if (auto found = it->second->symbols.find(n.parts[1]); found != it->second->symbols.end()) {
                    sym = &found->second;
                    n.parts.erase(n.parts.begin());
                    n.offsets.erase(n.offsets.begin());
                }
                break;
            }
    if (sym) {
        switch (sym->kind) {
        case Symbol::Variable: {
            if (sym->malformed) {
                errorPair(offset, 320, "the declaration of the type of this expression is incomplete or malformed",
                          "PL/SQL: Statement ignored", statementOffset);
                return node<Literal>(*this, offset, PlType::unknown());
            }
            ExprP e = variableRef(*sym, n.parts[0]);
            if (isOutputLines(e->type))
                return outputLinesMember(std::move(e), n, offset);
            for (size_t i = 1; i < n.parts.size(); ++i) {
                if (e->type.kind != TypeKind::Record || !e->type.record) {
                    error(n.offsets[i], 302, "component '" + n.parts[i] + "' must be declared");
                    return node<Literal>(*this, offset, PlType::unknown());
                }
                int f = e->type.record->find(n.parts[i]);
                if (f < 0) {
                    errorPair(n.offsets[i], 302, "component '" + n.parts[i] + "' must be declared",
                              "PL/SQL: Statement ignored", offset);
                    return node<Literal>(*this, offset, PlType::unknown());
                }
                auto fr = std::make_unique<FieldRef>();
                fr->type = e->type.record->types[size_t(f)];
                fr->index = f;
                fr->base.reset(static_cast<Target *>(e.release()));
                e = std::move(fr);
            }
            return e;
        }
        case Symbol::Cursor:
            expectOp("%");
            return cursorAttribute(sym, offset);
        case Symbol::Subprograms: {
            if (wasCall)
                *wasCall = true;
            auto c = call(sym->subprograms, offset, n.parts[0], !statementContext, false);
            if (!c)
                return node<Literal>(*this, offset, PlType::unknown());
            return c;
        }
        case Symbol::Exception:
            error(offset, 201, "identifier '" + n.parts[0] + "' must be declared");
            return node<Literal>(*this, offset, PlType::unknown());
        default:
            break;
        }
    }
    // Built-in packages and procedures.
    if (n.parts.size() == 2) {
        if (statementContext)
            if (StmtP s = builtinProcedure(n.parts[0], n.parts[1], offset, n.offsets[1])) {
                if (wasCall)
                    *wasCall = true;
                auto h = std::make_unique<BuiltinStatementHolder>();
                h->statement = std::move(s);
                return h;
            }
        if (ExprP e = builtinPackageFunction(n.parts[0], n.parts[1], offset, n.offsets[1]))
            return e;
    }
    if (n.parts.size() == 1 && statementContext)
        if (StmtP s = builtinProcedure("", n.parts[0], offset, offset)) {
            if (wasCall)
                *wasCall = true;
            auto h = std::make_unique<BuiltinStatementHolder>();
            h->statement = std::move(s);
            return h;
        }
    // Stored units: a procedure or function, or a package's member.
    if (auto u = unitNamed(n.parts[0])) {
        if (!u->valid) {
            errorPair(offset, 905, "object " + u->program.qualified() + " is invalid", "PL/SQL: Statement ignored",
                      offset);
            skipCallArguments();
            if (wasCall)
                *wasCall = true;
            return node<Literal>(*this, offset, PlType::unknown());
        }
        if (u->program.type == "PACKAGE" || u->program.type == "PACKAGE BODY") {
            if (n.parts.size() < 2) {
                error(offset, 221, "'" + n.parts[0] + "' is not a procedure or is undefined");
                return node<Literal>(*this, offset, PlType::unknown());
            }
            const std::string &member = n.parts[1];
            if (auto it = u->publicVariables.find(member); it != u->publicVariables.end()) {
                Symbol s;
                s.package = u->package.get();
                s.slot = it->second;
                s.type = u->publicVariableTypes[member];
                return variableRef(s, member);
            }
            std::vector<Subprogram *> candidates;
            for (Subprogram *s : u->publicSubprograms)
                if (s->name == member)
                    candidates.push_back(s);
            if (candidates.empty()) {
                errorPair(n.offsets[1], 302, "component '" + member + "' must be declared",
                          "PL/SQL: Statement ignored", offset);
                return node<Literal>(*this, offset, PlType::unknown());
            }
            if (wasCall)
                *wasCall = true;
            auto c = call(candidates, offset, member, !statementContext, true);
            if (!c)
                return node<Literal>(*this, offset, PlType::unknown());
            return c;
        }
        if (!u->publicSubprograms.empty()) {
            if (wasCall)
                *wasCall = true;
            auto c = call(u->publicSubprograms, offset, n.parts[0], !statementContext, true);
            if (!c)
                return node<Literal>(*this, offset, PlType::unknown());
            return c;
        }
    }
    if (n.parts.size() == 1 && !statementContext)
        if (ExprP e = builtinFunction(n.parts[0], offset))
            return e;
    if (n.parts.size() >= 2 && lookup(n.parts[0]) == nullptr && n.parts.size() == 2) {
        errorPair(offset, 201, "identifier '" + n.parts[0] + "." + n.parts[1] + "' must be declared",
                  "PL/SQL: Statement ignored", offset);
    } else {
        errorPair(offset, 201, "identifier '" + n.parts[0] + "' must be declared", "PL/SQL: Statement ignored",
                  offset);
    }
    skipCallArguments();
    if (wasCall)
        *wasCall = true;
    return node<Literal>(*this, offset, PlType::unknown());
}

// Steps over a parenthesised argument list of a call that cannot be compiled, so that parsing
// goes on after it and reports the statement's later errors.
void Compiler::skipCallArguments() {
    if (!acceptOp("("))
        return;
    int depth = 1;
    while (!atEnd() && depth > 0) {
        if (isOp("("))
            ++depth;
        if (isOp(")"))
            --depth;
        advance();
    }
}

// SQL's functions: a few computed natively because loops lean on them, the rest through SQL.
ExprP Compiler::builtinFunction(const std::string &name, int offset) {
    const bool known = findFunction(name) || findFunction(name, true) || name == "NVL" || name == "DECODE" ||
                       name == "COALESCE" || name == "NULLIF" || name == "GREATEST" || name == "LEAST" ||
                       name == "NVL2" || name == "CAST" || name == "TRIM" || name == "SYSDATE" ||
                       name == "USER" || name == "SYSTIMESTAMP" || name == "UID" || name == "EXTRACT";
    if (!known)
        return nullptr;
    if (!isOp("("))
        return sqlFallback(offset, offset + int(name.size()));
    if (name == "MOD" || name == "ABS" || name == "NVL") {
        advance();
        auto f = node<NativeFunction>(*this, offset, PlType::number());
        do
            f->args.push_back(expression());
        while (acceptOp(","));
        expectOp(")");
        const size_t n = f->args.size();
        if ((name == "ABS" && n == 1) || (name != "ABS" && n == 2)) {
            if (name == "MOD") {
                f->fn = nativeMod;
            } else if (name == "ABS") {
                f->fn = [](Context &ctx, const std::vector<Datum> &a) -> Datum {
                    if (isNull(a[0]))
                        return {};
                    Datum x = toNumber(a[0], ctx.session());
                    if (auto *i = std::get_if<std::int64_t>(&x); i && *i != INT64_MIN)
                        return *i < 0 ? -*i : *i;
                    return std::fabs(toDouble(x));
                };
            } else {
                f->type = f->args[0]->type.kind == TypeKind::Unknown ? f->args[1]->type : f->args[0]->type;
                f->type.notNull = false;
                f->type.length = 0;
                f->fn = [](Context &, const std::vector<Datum> &a) -> Datum { return isNull(a[0]) ? a[1] : a[0]; };
            }
            return f;
        }
        errorPair(offset, 306, "wrong number or types of arguments in call to '" + name + "'",
                  "PL/SQL: Statement ignored", offset);
        return f;
    }
    // Skip to the end of the call and run its text through SQL.
    int depth = 0;
    do {
        if (isOp("("))
            ++depth;
        if (isOp(")"))
            --depth;
        advance();
    } while (!atEnd() && depth > 0);
    return sqlFallback(offset, peek().offset);
}

ExprP Compiler::sqlFallback(int from, int to) {
    std::string text = textBetween(from, to);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.pop_back();
    auto e = node<SqlExpression>(*this, from, PlType::unknown());
    SqlStatement sql;
    const int prefix = 7;  // "SELECT "
    if (compileSql("SELECT " + text + " FROM DUAL", from - prefix, sql, from)) {
        e->statement = sql.statement;
        e->hosts = std::move(sql.hosts);
        const auto &col = sql.statement->columns[0];
        e->dateResult = col.type == Date;
        e->type = col.type == Date ? PlType::date()
                  : (col.type == Text || col.type == Memo) ? PlType::text()
                  : col.type == LongBinary ? PlType{TypeKind::Raw}
                                           : PlType::number();
    } else {
        auto lit = node<Literal>(*this, from, PlType::unknown());
        return lit;
    }
    return e;
}

TargetP Compiler::target(const char *what) {
    const int offset = peek().offset;
    const size_t errorsBefore = out.errors.size();
    ExprP e = nameExpression(false);
    auto *t = dynamic_cast<Target *>(e.get());
    if (!t) {
        if (out.errors.size() == errorsBefore)
            error(offset, 403, "expression '" + textBetween(offset, peek().offset) + "' cannot be used as an " + what +
                               "-target of a SELECT/FETCH statement");
        auto dummy = std::make_unique<BindVar>();
        dummy->name = "";
        return dummy;
    }
    if (t->isReadOnly())
        error(offset, 403, "expression '" + textBetween(offset, peek().offset) + "' cannot be used as an " + what +
                               "-target of a SELECT/FETCH statement");
    e.release();
    return TargetP(t);
}

}  // namespace localdb::plsql
