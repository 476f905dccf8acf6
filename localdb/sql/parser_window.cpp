// Parser: what may follow a function's arguments — OVER (window), WITHIN GROUP (ORDER BY ...),
// KEEP (DENSE_RANK FIRST|LAST ORDER BY ...), IGNORE / RESPECT NULLS, NTH_VALUE's FROM FIRST /
// FROM LAST — and the options written among the arguments (IGNORE NULLS, LISTAGG's ON OVERFLOW).
#include "localdb/sql/parser.h"

#include "localdb/system/errors.h"

namespace localdb {
namespace {

Analytic &analyticOf(Expr &e) {
    if (!e.analytic)
        e.analytic = std::make_unique<Analytic>();
    return *e.analytic;
}

}  // namespace

// Inside the parentheses, after an argument:
//   [ IGNORE NULLS | RESPECT NULLS ]                       FIRST_VALUE(x IGNORE NULLS), LAG(x IGNORE NULLS, 1)
//   [ ON OVERFLOW { ERROR | TRUNCATE [ 'indicator' ] [ WITH | WITHOUT COUNT ] } ]   LISTAGG
void Parser::callArgumentOptions(Expr &call) {
    if ((peek().isWord("IGNORE") || peek().isWord("RESPECT")) && peek(1).isWord("NULLS")) {
        analyticOf(call).ignoreNulls = advance().text == "IGNORE";
        advance();
    }
    if (peek().isWord("ON") && peek(1).isWord("OVERFLOW")) {
        if (call.op != "LISTAGG")
            fail(907);
        advance();
        advance();
        Analytic &a = analyticOf(call);
        if (acceptWord("ERROR"))
            return;
        expectWord("TRUNCATE", 905);
        a.overflowTruncate = true;
        if (peek().kind == TokenKind::String)
            a.overflowIndicator = advance().text;
        if (acceptWord("WITH")) {
            expectWord("COUNT", 905);
        } else if (acceptWord("WITHOUT")) {
            expectWord("COUNT", 905);
            a.overflowCount = false;
        }
    }
}

// After the closing parenthesis:
//   [ FROM FIRST | FROM LAST ] [ IGNORE NULLS | RESPECT NULLS ]
//   [ WITHIN GROUP ( ORDER BY order-list ) ]
//   [ KEEP ( DENSE_RANK FIRST | LAST ORDER BY order-list ) ]
//   [ OVER ( window ) ]
void Parser::callSuffix(Expr &call) {
    if (call.op == "NTH_VALUE" && peek().isWord("FROM") && (peek(1).isWord("FIRST") || peek(1).isWord("LAST"))) {
        advance();
        analyticOf(call).fromLast = advance().text == "LAST";
    }
    if ((peek().isWord("IGNORE") || peek().isWord("RESPECT")) && peek(1).isWord("NULLS")) {
        analyticOf(call).ignoreNulls = advance().text == "IGNORE";
        advance();
    }
    if (peek().isWord("WITHIN") && peek(1).isWord("GROUP")) {
        advance();
        advance();
        Analytic &a = analyticOf(call);
        a.withinGroup = true;
        expectOp("(", 906);
        expectWord("ORDER", 905);
        expectWord("BY", 924);
        orderBy(a.groupOrder);
        expectOp(")", 907);
    } else if (peek().isWord("KEEP") && peek(1).isOperator("(")) {
        advance();
        advance();
        Analytic &a = analyticOf(call);
        expectWord("DENSE_RANK", 905);
        if (acceptWord("FIRST"))
            a.keep = 1;
        else if (acceptWord("LAST"))
            a.keep = 2;
        else
            fail(905);
        expectWord("ORDER", 905);
        expectWord("BY", 924);
        orderBy(a.groupOrder);
        expectOp(")", 907);
    }
    if (peek().isWord("OVER")) {
        Analytic &a = analyticOf(call);
        a.over = true;
        a.overOffset = advance().offset;
        expectOp("(", 906);
        windowSpecification(a);
        expectOp(")", 907);
    }
}

// window: [ PARTITION BY expression { , expression } ] [ ORDER BY order-list [ frame ] ]
// frame:  ( ROWS | RANGE ) ( BETWEEN bound AND bound | bound )
void Parser::windowSpecification(Analytic &a) {
    if (acceptWord("PARTITION")) {
        expectWord("BY", 924);
        do
            a.partitionBy.push_back(expression());
        while (acceptOp(","));
    }
    if (!peek().isWord("ORDER"))
        return;
    a.orderOffset = advance().offset;
    expectWord("BY", 924);
    orderBy(a.orderBy);
    if (!peek().isWord("ROWS") && !peek().isWord("RANGE"))
        return;
    a.frameOffset = peek().offset;
    a.frameUnit = advance().text;
    if (acceptWord("BETWEEN")) {
        a.start = frameBound();
        expectWord("AND", 905);
        a.end = frameBound();
    } else {
        a.start = frameBound();
    }
    // Bounds must not run backwards: the frame starts no later than it ends.
    const auto s = a.start.kind, e = a.end.kind;
    bool invalid = s == FrameBound::UnboundedFollowing || e == FrameBound::UnboundedPreceding;
    if (e == FrameBound::None)
        invalid = invalid || s == FrameBound::Following;
    else if (s == FrameBound::Following)
        invalid = invalid || e == FrameBound::CurrentRow || e == FrameBound::Preceding;
    else if (s == FrameBound::CurrentRow)
        invalid = invalid || e == FrameBound::Preceding;
    if (invalid)
        raise(30486, a.frameOffset);
}

// bound: UNBOUNDED ( PRECEDING | FOLLOWING ) | CURRENT ROW | expression ( PRECEDING | FOLLOWING )
FrameBound Parser::frameBound() {
    FrameBound b;
    if (acceptWord("UNBOUNDED")) {
        if (acceptWord("PRECEDING"))
            b.kind = FrameBound::UnboundedPreceding;
        else if (acceptWord("FOLLOWING"))
            b.kind = FrameBound::UnboundedFollowing;
        else
            fail(905);
        return b;
    }
    if (acceptWord("CURRENT")) {
        expectWord("ROW", 905);
        b.kind = FrameBound::CurrentRow;
        return b;
    }
    b.offset = additive();
    if (acceptWord("PRECEDING"))
        b.kind = FrameBound::Preceding;
    else if (acceptWord("FOLLOWING"))
        b.kind = FrameBound::Following;
    else
        fail(905);
    return b;
}

}  // namespace localdb
