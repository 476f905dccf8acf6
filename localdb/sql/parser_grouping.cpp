// Parser: GROUP BY with ROLLUP, CUBE, GROUPING SETS and the empty set ( ), expanded here into the
// grouping sets the query returns one branch for.
#include "localdb/sql/parser.h"

#include "localdb/system/errors.h"

namespace localdb {
namespace {

// More sets than this would exceed what one compound statement can hold: such a statement is
// refused as an unimplemented feature (ORA-03001).
constexpr size_t kMostGroupingSets = 256;

std::string normalizedText(std::string_view text) {
    std::string out;
    for (char ch : text) {
        if (ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n')
            continue;
        out += (ch >= 'a' && ch <= 'z') ? char(ch - 'a' + 'A') : ch;
    }
    return out;
}

void append(std::vector<int> &to, const std::vector<int> &from) { to.insert(to.end(), from.begin(), from.end()); }

}  // namespace

// The position of a grouping expression in core.groupBy; the same text written twice is one.
int Parser::groupExpression(SelectCore &core, ExprPtr e) {
    const std::string text = normalizedText(sql_.substr(size_t(e->offset), size_t(e->endOffset - e->offset)));
    for (size_t i = 0; i < core.groupBy.size(); ++i) {
        const Expr &g = *core.groupBy[i];
        if (normalizedText(sql_.substr(size_t(g.offset), size_t(g.endOffset - g.offset))) == text)
            return int(i);
    }
    core.groupBy.push_back(std::move(e));
    return int(core.groupBy.size() - 1);
}

// group-by: element { , element } — the sets of the elements combined (every set of one with
// every set of the next).
void Parser::groupByClause(SelectCore &core) {
    bool sets = false;
    std::vector<std::vector<int>> result = {{}};
    do {
        std::vector<std::vector<int>> element = groupingElement(core, sets);
        std::vector<std::vector<int>> combined;
        for (const auto &left : result)
            for (const auto &right : element) {
                combined.push_back(left);
                append(combined.back(), right);
            }
        if (combined.size() > kMostGroupingSets)
            raise(3001, peek().offset);
        result = std::move(combined);
    } while (acceptOp(","));
    if (sets)
        core.groupingSets = std::move(result);
}

// element: ROLLUP ( list ) | CUBE ( list ) | GROUPING SETS ( set { , set } ) | ( ) | expression
// set:     ROLLUP ( list ) | CUBE ( list ) | ( ) | item
std::vector<std::vector<int>> Parser::groupingElement(SelectCore &core, bool &sets) {
    if ((peek().isWord("ROLLUP") || peek().isWord("CUBE")) && peek(1).isOperator("(")) {
        sets = true;
        const bool cube = advance().text == "CUBE";
        advance();
        auto out = groupingList(core, cube);
        expectOp(")", 907);
        return out;
    }
    if (peek().isWord("GROUPING") && peek(1).isWord("SETS")) {
        sets = true;
        advance();
        advance();
        expectOp("(", 906);
        std::vector<std::vector<int>> out;
        do {
            if (peek().isOperator("(") && peek(1).isOperator(")")) {
                advance();
                advance();
                out.push_back({});
            } else if ((peek().isWord("ROLLUP") || peek().isWord("CUBE")) && peek(1).isOperator("(")) {
                bool inner = false;
                for (auto &s : groupingElement(core, inner))
                    out.push_back(std::move(s));
            } else {
                out.push_back(groupingItem(core));
            }
        } while (acceptOp(","));
        expectOp(")", 907);
        return out;
    }
    if (peek().isOperator("(") && peek(1).isOperator(")")) {
        sets = true;
        advance();
        advance();
        return {{}};
    }
    return {{groupExpression(core, expression())}};
}

// list: item { , item }. ROLLUP gives the leading items, longest first, down to none; CUBE every
// combination of the items.
std::vector<std::vector<int>> Parser::groupingList(SelectCore &core, bool cube) {
    std::vector<std::vector<int>> items;
    do
        items.push_back(groupingItem(core));
    while (acceptOp(","));
    std::vector<std::vector<int>> out;
    if (!cube) {
        for (size_t n = items.size() + 1; n-- > 0;) {
            out.emplace_back();
            for (size_t i = 0; i < n; ++i)
                append(out.back(), items[i]);
        }
        return out;
    }
    if (items.size() > 8)
        raise(3001, peek().offset);
    const unsigned all = (1u << items.size()) - 1;
    for (unsigned mask = all + 1; mask-- > 0;) {
        out.emplace_back();
        for (size_t i = 0; i < items.size(); ++i)
            if (mask & (1u << (items.size() - 1 - i)))
                append(out.back(), items[i]);
    }
    return out;
}

// item: expression | ( expression { , expression } ) — a composite column grouped as one.
std::vector<int> Parser::groupingItem(SelectCore &core) {
    if (peek().isOperator("(")) {
        const size_t start = pos_;
        advance();
        ExprPtr first = expression();
        if (acceptOp(",")) {
            std::vector<int> out = {groupExpression(core, std::move(first))};
            do
                out.push_back(groupExpression(core, expression()));
            while (acceptOp(","));
            expectOp(")", 907);
            return out;
        }
        pos_ = start;  // a parenthesised expression: read it whole
    }
    return {groupExpression(core, expression())};
}

}  // namespace localdb
