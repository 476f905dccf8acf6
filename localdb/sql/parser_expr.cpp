// Parser: conditions and value expressions, from OR down to literals, names and calls.
#include "localdb/sql/parser.h"

#include "localdb/system/errors.h"

#include <cstdlib>

namespace localdb {
namespace {

ExprPtr binary(std::string op, ExprPtr l, ExprPtr r) {
    auto e = makeExpr(ExprKind::Binary, l->offset);
    e->op = std::move(op);
    e->endOffset = r->endOffset;
    e->args.push_back(std::move(l));
    e->args.push_back(std::move(r));
    return e;
}

bool isComparison(const Token &t) {
    if (t.kind != TokenKind::Operator)
        return false;
    return t.text == "=" || t.text == "<>" || t.text == "!=" || t.text == "^=" || t.text == "<" ||
           t.text == ">" || t.text == "<=" || t.text == ">=";
}

// Pseudo columns and niladic functions written without parentheses.
bool isPseudoColumn(std::string_view w) {
    return w == "ROWNUM" || w == "LEVEL" || w == "ROWID" || w == "SYSDATE" || w == "USER" ||
           w == "UID" || w == "SYSTIMESTAMP" || w == "CURRENT_DATE";
}

}  // namespace

ExprPtr Parser::expression() {
    DepthGuard guard(*this);
    return orCondition();
}

// or-condition: and-condition { OR and-condition }
// Operator chains build left-deep trees that later stages walk recursively: a chain longer
// than any real statement's is refused as an unimplemented feature (ORA-03001).
constexpr int kLongestChain = 1000;

ExprPtr Parser::orCondition() {
    ExprPtr left = andCondition();
    for (int n = 0; acceptWord("OR"); ++n) {
        if (n > kLongestChain)
            raise(3001, left->offset);
        left = binary("OR", std::move(left), andCondition());
    }
    return left;
}

// and-condition: not-condition { AND not-condition }
ExprPtr Parser::andCondition() {
    ExprPtr left = notCondition();
    for (int n = 0; acceptWord("AND"); ++n) {
        if (n > kLongestChain)
            raise(3001, left->offset);
        left = binary("AND", std::move(left), notCondition());
    }
    return left;
}

// not-condition: NOT not-condition | predicate
ExprPtr Parser::notCondition() {
    if (peek().isWord("NOT")) {
        int off = advance().offset;
        auto e = makeExpr(ExprKind::Unary, off);
        e->op = "NOT";
        e->args.push_back(notCondition());
        e->endOffset = e->args[0]->endOffset;
        return e;
    }
    return predicate();
}

// predicate: EXISTS ( query )
//          | additive [ comparison-op [ANY|SOME|ALL] ( query | expression-list ) | comparison-op additive
//                     | IS [NOT] NULL | [NOT] BETWEEN additive AND additive
//                     | [NOT] IN ( query | expression-list ) | [NOT] LIKE additive [ESCAPE additive] ]
ExprPtr Parser::predicate() {
    if (peek().isWord("EXISTS")) {
        int off = advance().offset;
        expectOp("(", 906);
        auto e = makeExpr(ExprKind::Exists, off);
        e->query = query();
        expectOp(")", 907);
        e->endOffset = lastEnd();
        return e;
    }
    ExprPtr left = additive();
    const Token &t = peek();
    const int operatorOffset = t.offset;
    if (isComparison(t)) {
        std::string op = advance().text;
        if (op == "!=" || op == "^=")
            op = "<>";
        if (peek().isWord("ANY") || peek().isWord("SOME") || peek().isWord("ALL")) {
            std::string q = advance().text;
            expectOp("(", 906);
            auto e = makeExpr(ExprKind::Quantified, left->offset);
            e->op = op;
            e->quantifier = q == "SOME" ? "ANY" : q;
            e->args.push_back(std::move(left));
            if (peek().isWord("SELECT") || peek().isWord("WITH")) {
                e->query = query();
            } else {
                // x = ANY (a, b) is x IN (a, b); x op ALL (list) expands to a conjunction below.
                do
                    e->args.push_back(additive());
                while (acceptOp(","));
            }
            expectOp(")", 907);
            e->endOffset = lastEnd();
            return e;
        }
        ExprPtr right = additive();
        ExprPtr e = binary(op, std::move(left), std::move(right));
        e->operatorOffset = operatorOffset;
        return e;
    }
    if (t.isWord("IS")) {
        advance();
        const bool isNot = acceptWord("NOT");
        if (acceptWord("JSON"))
            return isJsonCondition(std::move(left), isNot);
        auto e = makeExpr(ExprKind::IsNull, left->offset);
        e->negated = isNot;
        expectWord("NULL", 908);
        e->args.push_back(std::move(left));
        e->endOffset = lastEnd();
        return e;
    }
    bool negated = false;
    if (t.isWord("NOT") && (peek(1).isWord("BETWEEN") || peek(1).isWord("IN") || peek(1).isWord("LIKE"))) {
        advance();
        negated = true;
    }
    if (acceptWord("BETWEEN")) {
        auto e = makeExpr(ExprKind::Between, left->offset);
        e->negated = negated;
        e->args.push_back(std::move(left));
        e->args.push_back(additive());
        expectWord("AND", 905);
        e->args.push_back(additive());
        e->endOffset = e->args[2]->endOffset;
        return e;
    }
    if (acceptWord("IN")) {
        if (!peek().isOperator("("))
            fail(906);
        advance();
        if (peek().isWord("SELECT") || peek().isWord("WITH")) {
            auto e = makeExpr(ExprKind::InQuery, left->offset);
            e->negated = negated;
            e->args.push_back(std::move(left));
            e->query = query();
            expectOp(")", 907);
            e->endOffset = lastEnd();
            return e;
        }
        auto e = makeExpr(ExprKind::InList, left->offset);
        e->negated = negated;
        e->args.push_back(std::move(left));
        do
            e->args.push_back(additive());
        while (acceptOp(","));
        expectOp(")", 907);
        e->endOffset = lastEnd();
        return e;
    }
    if (acceptWord("LIKE")) {
        auto e = makeExpr(ExprKind::Like, left->offset);
        e->negated = negated;
        e->args.push_back(std::move(left));
        e->args.push_back(additive());
        if (acceptWord("ESCAPE"))
            e->args.push_back(additive());
        e->endOffset = e->args.back()->endOffset;
        return e;
    }
    if (negated)
        fail(920);
    return left;
}

// additive: multiplicative { ( + | - | || ) multiplicative }
ExprPtr Parser::additive() {
    ExprPtr left = multiplicative();
    for (int n = 0;; ++n) {
        if (n > kLongestChain)
            raise(3001, left->offset);
        const Token &t = peek();
        if (t.isOperator("+") || t.isOperator("-") || t.isOperator("||")) {
            std::string op = advance().text;
            left = binary(op, std::move(left), multiplicative());
        } else {
            return left;
        }
    }
}

// multiplicative: unary { ( * | / ) unary }
ExprPtr Parser::multiplicative() {
    ExprPtr left = unary();
    for (int n = 0;; ++n) {
        if (n > kLongestChain)
            raise(3001, left->offset);
        const Token &t = peek();
        if (t.isOperator("*") || t.isOperator("/")) {
            std::string op = advance().text;
            left = binary(op, std::move(left), unary());
        } else {
            return left;
        }
    }
}

// unary: ( + | - | PRIOR | CONNECT_BY_ROOT ) unary | primary
ExprPtr Parser::unary() {
    DepthGuard guard(*this);
    const Token &t = peek();
    if (t.isOperator("-") || t.isOperator("+") || t.isWord("PRIOR") || t.isWord("CONNECT_BY_ROOT")) {
        int off = t.offset;
        std::string op = advance().text;
        auto e = makeExpr(ExprKind::Unary, off);
        e->op = op;
        e->args.push_back(unary());
        e->endOffset = e->args[0]->endOffset;
        return e;
    }
    return atTimeZone(primary());
}

// datetime-expression: primary [ AT ( LOCAL | TIME ZONE primary ) ]
ExprPtr Parser::atTimeZone(ExprPtr value) {
    while (peek().isWord("AT") && (peek(1).isWord("LOCAL") || peek(1).isWord("TIME"))) {
        auto e = makeExpr(ExprKind::Function, value->offset);
        e->op = "AT TIME ZONE";
        e->name.parts = {e->op};
        e->name.offsets = {peek().offset};
        advance();
        e->args.push_back(std::move(value));
        if (!acceptWord("LOCAL")) {
            expectWord("TIME", 905);
            expectWord("ZONE", 905);
            e->args.push_back(primary());
        }
        e->endOffset = lastEnd();
        value = std::move(e);
    }
    return value;
}

// interval-qualifier: YEAR [ ( p ) ] [ TO MONTH ] | MONTH [ ( p ) ]
//   | ( DAY | HOUR | MINUTE ) [ ( p ) ] [ TO ( HOUR | MINUTE | SECOND [ ( f ) ] ) ] | SECOND [ ( p [ , f ] ) ]
// Returned as "FIRST LAST leading fraction" ("DAY SECOND 2 6").
std::string Parser::intervalQualifier() {
    static const std::string_view kFields[] = {"YEAR", "MONTH", "DAY", "HOUR", "MINUTE", "SECOND"};
    auto field = [&]() {
        for (std::string_view f : kFields)
            if (acceptWord(f))
                return std::string(f);
        fail(905);
    };
    auto precision = [&]() {
        if (peek().kind != TokenKind::Number)
            fail(30088);
        int off = peek().offset;
        int v = std::atoi(advance().text.c_str());
        if (v < 0 || v > 9)
            raise(30088, off);
        return v;
    };
    std::string first = field(), last = first;
    int leading = 2, fraction = -1;
    if (acceptOp("(")) {
        leading = precision();
        if (first == "SECOND" && acceptOp(","))
            fraction = precision();
        expectOp(")", 907);
    }
    if (first != "MONTH" && first != "SECOND" && acceptWord("TO")) {
        last = field();
        bool yearMonth = first == "YEAR";
        if (yearMonth != (last == "MONTH") || last == "DAY" || last == "YEAR" || last == first)
            fail(905);
        if (last == "SECOND" && acceptOp("(")) {
            fraction = precision();
            expectOp(")", 907);
        }
    }
    if (fraction < 0)
        fraction = last == "SECOND" ? 6 : 0;
    return first + " " + last + " " + std::to_string(leading) + " " + std::to_string(fraction);
}

// primary: number | string | bind | NULL | DATE string | TIMESTAMP string | case-expression
//        | ( query ) | ( condition ) | name-or-call
ExprPtr Parser::primary() {
    const Token &t = peek();
    ExprPtr e;
    switch (t.kind) {
    case TokenKind::Number:
        e = makeExpr(ExprKind::Number, t.offset);
        e->text = t.text;
        advance();
        if (const char suffix = char(e->text.back() | 0x20); suffix == 'd' || suffix == 'f') {
            // A binary literal reads as CAST(number AS BINARY_DOUBLE | BINARY_FLOAT).
            e->text.pop_back();
            e->endOffset = lastEnd();
            TypeSpec spec;
            spec.name = suffix == 'd' ? "BINARY_DOUBLE" : "BINARY_FLOAT";
            spec.length = suffix == 'd' ? 8 : 4;
            auto cast = makeExpr(ExprKind::Function, e->offset);
            cast->name.parts = {"CAST"};
            cast->name.offsets = {e->offset};
            cast->op = "CAST";
            auto typeArg = makeExpr(ExprKind::String, lastEnd());
            typeArg->text = spec.name;
            typeArg->type = Type::of(spec);
            cast->args.push_back(std::move(e));
            cast->args.push_back(std::move(typeArg));
            cast->endOffset = lastEnd();
            e = std::move(cast);
        }
        break;
    case TokenKind::String:
        e = makeExpr(t.text.empty() ? ExprKind::Null : ExprKind::String, t.offset);
        e->text = t.text;
        advance();
        break;
    case TokenKind::Bind:
        e = makeExpr(ExprKind::Bind, t.offset);
        e->text = t.text;
        advance();
        break;
    case TokenKind::Operator:
        if (t.isOperator("(")) {
            int off = advance().offset;
            if (peek().isWord("SELECT") || peek().isWord("WITH")) {
                e = makeExpr(ExprKind::Subquery, off);
                e->query = query();
            } else {
                e = expression();
                e->offset = off;
            }
            expectOp(")", 907);
            e->endOffset = lastEnd();
            // (a - b) DAY TO SECOND / (a - b) YEAR TO MONTH: the difference as that interval.
            if ((peek().isWord("DAY") || peek().isWord("YEAR")) && (peek(1).isWord("TO") || peek(1).isOperator("("))) {
                auto cast = makeExpr(ExprKind::Function, off);
                cast->op = "INTERVAL CAST";
                cast->name.parts = {cast->op};
                cast->name.offsets = {off};
                cast->args.push_back(std::move(e));
                cast->text = intervalQualifier();
                cast->endOffset = lastEnd();
                return cast;
            }
            return e;
        }
        fail(936);
    case TokenKind::QuotedIdentifier:
        return nameOrCall();
    case TokenKind::Identifier:
        if (t.text == "NULL") {
            e = makeExpr(ExprKind::Null, t.offset);
            advance();
            break;
        }
        if ((t.text == "DATE" || t.text == "TIMESTAMP") && peek(1).kind == TokenKind::String) {
            e = makeExpr(ExprKind::DateLiteral, t.offset);
            e->op = advance().text;  // DATE or TIMESTAMP
            e->text = advance().text;
            break;
        }
        if (t.text == "INTERVAL" && peek(1).kind == TokenKind::String) {
            // INTERVAL 'text' qualifier: the text is read against the qualifier by the binder.
            e = makeExpr(ExprKind::Function, t.offset);
            e->op = "INTERVAL LITERAL";
            e->name.parts = {e->op};
            e->name.offsets = {t.offset};
            advance();
            auto value = makeExpr(ExprKind::String, peek().offset);
            value->text = advance().text;
            e->args.push_back(std::move(value));
            e->text = intervalQualifier();
            break;
        }
        if (t.text == "CASE")
            return caseExpression();
        if (isReservedWord(t.text) && !isPseudoColumn(t.text))
            fail(936);
        return nameOrCall();
    case TokenKind::End:
        fail(936);
    }
    e->endOffset = lastEnd();
    return e;
}

// case-expression: CASE [ expression ] WHEN expression THEN expression { WHEN ... } [ ELSE expression ] END
ExprPtr Parser::caseExpression() {
    auto e = makeExpr(ExprKind::Case, advance().offset);
    if (!peek().isWord("WHEN"))
        e->args.push_back(additive());
    if (!peek().isWord("WHEN"))
        fail(905);
    while (acceptWord("WHEN")) {
        e->whens.push_back(expression());
        expectWord("THEN", 905);
        e->thens.push_back(expression());
    }
    if (acceptWord("ELSE"))
        e->elseExpr = expression();
    expectWord("END", 905);
    e->endOffset = lastEnd();
    return e;
}

// array-step: [ * ] | [ index [ TO index ] { , index [ TO index ] } ], index: number | LAST
// The step as JSON path text after kJsonArrayStep.
std::string Parser::arrayStep() {
    std::string step(1, kJsonArrayStep);
    step += '[';
    advance();
    while (!peek().isOperator("]")) {
        const Token &t = peek();
        if (t.kind == TokenKind::Number)
            step += t.text;
        else if (t.isWord("TO") || t.isWord("LAST"))
            step += t.isWord("TO") ? " to " : "last";
        else if (t.isOperator("*") || t.isOperator(","))
            step += t.text;
        else
            fail(907);
        advance();
    }
    advance();
    return step + ']';
}

// name-or-call: name { . name } [ (+) ]
//             | name { . name } . *
//             | name { . name } ( [ DISTINCT | ALL ] [ * | expression { , expression } ] )
//             | CAST ( expression AS datatype ) | TRIM ( [ LEADING | TRAILING | BOTH ] [ expr ] FROM expr )
//             | EXTRACT ( field FROM expression )
ExprPtr Parser::nameOrCall() {
    int off = peek().offset;
    Name n;
    auto namePart = [&]() {
        const Token &t = peek();
        n.offsets.push_back(t.offset);
        if (t.kind == TokenKind::QuotedIdentifier || t.kind == TokenKind::Identifier) {
            n.parts.push_back(t.text);
            advance();
        } else {
            fail(904);
        }
    };
    namePart();
    for (;;) {
        // alias.column.key[n]...: an array step of JSON dot notation, kept as a marked name part.
        if (peek().isOperator("[") && n.parts.size() >= 2) {
            n.offsets.push_back(peek().offset);
            n.parts.push_back(arrayStep());
            continue;
        }
        if (!peek().isOperator("."))
            break;
        if (peek(1).isOperator("*")) {
            advance();
            advance();
            auto e = makeExpr(ExprKind::Star, off);
            e->name = std::move(n);
            e->endOffset = lastEnd();
            return e;
        }
        advance();
        namePart();
    }
    if (peek().isOperator("(") && n.parts.size() <= 3) {
        const std::string fname = n.last();
        advance();
        auto e = makeExpr(ExprKind::Function, off);
        e->name = n;
        e->op = fname;
        if (n.parts.size() == 1 && isJsonFunctionName(fname))
            return jsonFunction(std::move(e));
        if (fname == "CAST" && n.parts.size() == 1) {
            e->args.push_back(expression());
            expectWord("AS", 905);
            TypeSpec spec = dataType();
            auto typeArg = makeExpr(ExprKind::String, lastEnd());
            typeArg->text = spec.name;
            typeArg->type = Type::of(spec);
            e->args.push_back(std::move(typeArg));
        } else if (fname == "TRIM" && n.parts.size() == 1) {
            // TRIM(x), TRIM(c FROM x), TRIM(LEADING|TRAILING|BOTH [c] FROM x): args = x, c, mode.
            std::string mode = "BOTH";
            if (peek().isWord("LEADING") || peek().isWord("TRAILING") || peek().isWord("BOTH"))
                mode = advance().text;
            ExprPtr first;
            if (!peek().isWord("FROM"))
                first = expression();
            if (acceptWord("FROM")) {
                e->args.push_back(expression());
                if (first)
                    e->args.push_back(std::move(first));
            } else {
                e->args.push_back(std::move(first));
            }
            e->text = mode;
        } else if (fname == "EXTRACT" && n.parts.size() == 1) {
            auto field = makeExpr(ExprKind::String, peek().offset);
            field->text = advance().text;
            expectWord("FROM", 905);
            e->args.push_back(std::move(field));
            e->args.push_back(expression());
        } else if (!peek().isOperator(")")) {
            if (acceptWord("DISTINCT"))
                e->distinct = true;
            else
                acceptWord("ALL");
            if (peek().isOperator("*")) {
                auto star = makeExpr(ExprKind::Star, advance().offset);
                e->args.push_back(std::move(star));
            } else {
                do {
                    e->args.push_back(expression());
                    callArgumentOptions(*e);
                } while (acceptOp(","));
            }
        }
        expectOp(")", 907);
        callSuffix(*e);
        e->endOffset = lastEnd();
        return e;
    }
    auto e = makeExpr(ExprKind::Column, off);
    e->name = std::move(n);
    if (acceptOp("(+)"))
        e->outerJoin = true;
    e->endOffset = lastEnd();
    return e;
}

}  // namespace localdb
