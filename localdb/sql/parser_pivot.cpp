// Parser: PIVOT and UNPIVOT after a FROM item, each turned here into the inline view it stands for.
//   PIVOT:   SELECT <source columns not named by the clause>, agg(CASE WHEN for = value THEN arg END) ...
//            FROM source GROUP BY <those columns>   (the binder expands the columns and the GROUP BY)
//   UNPIVOT: one SELECT <other columns>, 'NAME' AS for, column AS measure FROM source per IN item,
//            joined by UNION ALL, rows whose measures are all null left out unless INCLUDE NULLS.
// The clause's pieces are read again for each value (the parser rewinds to them), so every copy is
// a tree of its own carrying the offsets of the text it came from.
#include "localdb/sql/parser.h"

#include "localdb/sql/expr_walk.h"
#include "localdb/system/errors.h"

#include <algorithm>

namespace localdb {
namespace {

// Copies of an UNPIVOT source read again across a statement; more would only come from nesting
// meant to exhaust the parser.
constexpr size_t kMostReparsedTokens = 200000;

// A value of the IN list may use literals and functions of them, nothing read from a row.
bool isConstant(const Expr &e) {
    switch (e.kind) {
    case ExprKind::Null:
    case ExprKind::Number:
    case ExprKind::String:
    case ExprKind::DateLiteral:
        return true;
    case ExprKind::Unary:
    case ExprKind::Binary:
    case ExprKind::Function:
        if (e.op == "PRIOR" || e.analytic)
            return false;
        return std::all_of(e.args.begin(), e.args.end(), [](const ExprPtr &a) { return isConstant(*a); });
    default:
        return false;
    }
}

// The column name Oracle gives an unaliased value: its text without blanks, upper case outside quotes.
std::string valueName(std::string_view text) {
    std::string out;
    bool quoted = false;
    for (char ch : text) {
        if (ch == '\'')
            quoted = !quoted;
        if (!quoted && (ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'))
            continue;
        out += (!quoted && ch >= 'a' && ch <= 'z') ? char(ch - 'a' + 'A') : ch;
    }
    return out;
}

ExprPtr columnRef(const std::string &name, int offset) {
    auto e = makeExpr(ExprKind::Column, offset);
    e->name.parts = {name};
    e->name.offsets = {offset};
    e->endOffset = offset;
    return e;
}

ExprPtr combine(const char *op, ExprPtr left, ExprPtr right, bool comparison) {
    if (!left)
        return right;
    auto e = makeExpr(ExprKind::Binary, left->offset);
    e->op = op;
    e->endOffset = right->endOffset;
    if (comparison)
        e->operatorOffset = left->offset;
    e->args.push_back(std::move(left));
    e->args.push_back(std::move(right));
    return e;
}

void checkDistinct(const std::vector<std::string> &names, int offset) {
    for (size_t i = 0; i < names.size(); ++i)
        for (size_t j = i + 1; j < names.size(); ++j)
            if (names[i] == names[j])
                raise(918, offset);
}

// The select core of a pivoted or unpivoted row, starting with every source column the clause
// does not name (the binder spells them out once it knows the source).
std::unique_ptr<SelectCore> otherColumnsCore(ExprPtr star, size_t offset, const std::vector<std::string> &used) {
    auto core = std::make_unique<SelectCore>();
    core->offset = offset;
    SelectItem rest;
    rest.expr = std::move(star);
    rest.except = used;
    core->items.push_back(std::move(rest));
    return core;
}

}  // namespace

bool Parser::atPivotClause() const {
    if (peek().isWord("PIVOT"))
        return peek(1).isOperator("(");
    if (peek().isWord("UNPIVOT"))
        return peek(1).isOperator("(") || peek(1).isWord("INCLUDE") || peek(1).isWord("EXCLUDE");
    return false;
}

// pivot-clause: PIVOT ( aggregate [ [ AS ] alias ] { , ... } FOR column | ( column { , column } )
//               IN ( value-set [ [ AS ] alias ] { , ... } ) )
// value-set:    constant | ( constant { , constant } )   -- one constant per FOR column
TableRefPtr Parser::pivotClause(TableRefPtr source) {
    const int clauseOffset = advance().offset;
    expectOp("(", 906);
    struct Aggregate {
        size_t pos;
        int offset;
        std::string alias;
    };
    std::vector<Aggregate> aggregates;
    std::vector<std::string> used;  // source columns the clause names: not grouped by
    do {
        Aggregate a{pos_, peek().offset, {}};
        ExprPtr call = expression();
        if (call->kind != ExprKind::Function || call->args.empty() || (call->analytic && call->analytic->over))
            raise(56902, call->offset);
        visitExpressions(*call, [&](const Expr &x, int depth) {
            if (depth == 0 && x.kind == ExprKind::Column)
                used.push_back(x.name.last());
        });
        if (acceptWord("AS") || (isIdentifierStart() && !peek().isWord("FOR")))
            a.alias = identifier();
        aggregates.push_back(std::move(a));
    } while (acceptOp(","));
    expectWord("FOR", 905);
    std::vector<std::pair<std::string, int>> forColumns;
    const bool list = acceptOp("(");
    do {
        const int off = peek().offset;
        forColumns.emplace_back(identifier(), off);
        used.push_back(forColumns.back().first);
    } while (list && acceptOp(","));
    if (list)
        expectOp(")", 907);
    expectWord("IN", 905);
    expectOp("(", 906);
    struct Value {
        std::vector<size_t> positions;  // of each constant
        std::string name;
    };
    std::vector<Value> values;
    do {
        Value v;
        const bool tuple = forColumns.size() > 1;
        if (tuple)
            expectOp("(", 906);
        do {
            v.positions.push_back(pos_);
            ExprPtr constant = expression();
            if (!isConstant(*constant))
                raise(56901, constant->offset);
            const std::string text = valueName(sql_.substr(size_t(constant->offset), size_t(lastEnd() - constant->offset)));
            v.name += (v.name.empty() ? "" : "_") + text;
        } while (tuple && acceptOp(","));
        if (tuple) {
            if (v.positions.size() != forColumns.size())
                fail(907);
            expectOp(")", 907);
        }
        if (acceptWord("AS") || isIdentifierStart())
            v.name = identifier();
        values.push_back(std::move(v));
    } while (acceptOp(","));
    expectOp(")", 907);
    expectOp(")", 907);
    const size_t end = pos_;

    auto core = otherColumnsCore(makeExpr(ExprKind::Star, clauseOffset), clauseOffset, used);
    core->groupByStar = true;
    core->from.push_back(std::move(source));
    std::vector<std::string> names;
    for (const Value &v : values) {
        for (const Aggregate &a : aggregates) {
            // Each cell aggregates the rows whose FOR columns equal the value set.
            ExprPtr condition;
            for (size_t k = 0; k < forColumns.size(); ++k) {
                pos_ = v.positions[k];
                condition = combine("AND", std::move(condition),
                                    combine("=", columnRef(forColumns[k].first, forColumns[k].second), expression(), true),
                                    false);
            }
            pos_ = a.pos;
            ExprPtr call = expression();
            auto only = makeExpr(ExprKind::Case, call->offset);
            only->endOffset = call->endOffset;
            only->whens.push_back(std::move(condition));
            if (call->args[0]->kind == ExprKind::Star) {  // COUNT(*): count the rows of the value
                only->thens.push_back(makeExpr(ExprKind::Number, call->offset));
                only->thens.back()->text = "1";
            } else {
                only->thens.push_back(std::move(call->args[0]));
            }
            call->args[0] = std::move(only);
            SelectItem cell;
            cell.expr = std::move(call);
            cell.alias = a.alias.empty() ? v.name : v.name + "_" + a.alias;
            cell.hasAlias = true;
            names.push_back(cell.alias);
            core->items.push_back(std::move(cell));
        }
    }
    pos_ = end;
    checkDistinct(names, clauseOffset);
    core->pivotCells = int(names.size());

    auto ref = std::make_unique<TableRef>();
    ref->kind = TableRef::Derived;
    ref->query = std::make_unique<Query>();
    ref->query->offset = clauseOffset;
    ref->query->core = std::move(core);
    ref->query->pivot = "PIVOT";
    return ref;
}

// unpivot-clause: UNPIVOT [ INCLUDE NULLS | EXCLUDE NULLS ] ( measure | ( measure { , measure } )
//                 FOR column | ( column { , column } ) IN ( column-set [ AS constant-set ] { , ... } ) )
// column-set: column | ( column { , column } )   -- one column per measure
// constant-set: constant | ( constant { , constant } )   -- one constant per FOR column
// The source is read again from sourceStart for every IN item.
TableRefPtr Parser::unpivotClause(size_t sourceStart, size_t clauseStart) {
    const int clauseOffset = advance().offset;
    const bool includeNulls = acceptWord("INCLUDE");
    if (includeNulls || acceptWord("EXCLUDE"))
        expectWord("NULLS", 905);
    expectOp("(", 906);
    auto names = [&]() {
        std::vector<std::pair<std::string, int>> out;
        const bool list = acceptOp("(");
        do {
            const int off = peek().offset;
            out.emplace_back(identifier(), off);
        } while (list && acceptOp(","));
        if (list)
            expectOp(")", 907);
        return out;
    };
    const auto measures = names();
    expectWord("FOR", 905);
    const auto forColumns = names();
    expectWord("IN", 905);
    expectOp("(", 906);
    struct Item {
        std::vector<std::pair<std::string, int>> columns;
        std::vector<size_t> constants;  // positions of the AS constants; empty: named after the columns
    };
    std::vector<Item> items;
    std::vector<std::string> used;
    do {
        Item item;
        const int at = peek().offset;
        item.columns = names();
        if (item.columns.size() != measures.size())
            raise(907, at);
        for (const auto &c : item.columns)
            used.push_back(c.first);
        if (acceptWord("AS")) {
            const bool tuple = acceptOp("(");
            do {
                item.constants.push_back(pos_);
                ExprPtr constant = expression();
                if (!isConstant(*constant))
                    raise(56901, constant->offset);
            } while (tuple && acceptOp(","));
            if (tuple)
                expectOp(")", 907);
            if (item.constants.size() != forColumns.size())
                raise(907, at);
        }
        items.push_back(std::move(item));
    } while (acceptOp(","));
    expectOp(")", 907);
    expectOp(")", 907);
    const size_t end = pos_;
    std::vector<std::string> outputNames;
    for (const auto &c : forColumns)
        outputNames.push_back(c.first);
    for (const auto &c : measures)
        outputNames.push_back(c.first);
    checkDistinct(outputNames, clauseOffset);

    QueryPtr all;
    for (const Item &item : items) {
        reparsed_ += clauseStart - sourceStart;
        if (reparsed_ > kMostReparsedTokens)
            raise(3001, clauseOffset);
        auto core = otherColumnsCore(makeExpr(ExprKind::Star, clauseOffset), clauseOffset, used);
        std::string joined;
        for (const auto &c : item.columns)
            joined += (joined.empty() ? "" : "_") + c.first;
        for (size_t k = 0; k < forColumns.size(); ++k) {
            SelectItem label;
            if (item.constants.empty()) {
                label.expr = makeExpr(ExprKind::String, item.columns[0].second);
                label.expr->text = joined;
                label.expr->endOffset = item.columns[0].second;
            } else {
                pos_ = item.constants[k];
                label.expr = expression();
            }
            label.alias = forColumns[k].first;
            label.hasAlias = true;
            core->items.push_back(std::move(label));
        }
        ExprPtr anyValue;
        for (size_t m = 0; m < measures.size(); ++m) {
            SelectItem measure;
            measure.expr = columnRef(item.columns[m].first, item.columns[m].second);
            measure.alias = measures[m].first;
            measure.hasAlias = true;
            core->items.push_back(std::move(measure));
            auto present = makeExpr(ExprKind::IsNull, item.columns[m].second);
            present->negated = true;
            present->args.push_back(columnRef(item.columns[m].first, item.columns[m].second));
            anyValue = combine("OR", std::move(anyValue), std::move(present), false);
        }
        if (!includeNulls)
            core->where = std::move(anyValue);
        pos_ = sourceStart;
        core->from.push_back(tablePrimary(clauseStart));
        auto branch = std::make_unique<Query>();
        branch->offset = clauseOffset;
        branch->core = std::move(core);
        if (!all) {
            all = std::move(branch);
            continue;
        }
        auto both = std::make_unique<Query>();
        both->offset = clauseOffset;
        both->setOp = "UNION ALL";
        both->left = std::move(all);
        both->right = std::move(branch);
        all = std::move(both);
    }
    pos_ = end;
    all->pivot = "UNPIVOT";
    auto ref = std::make_unique<TableRef>();
    ref->kind = TableRef::Derived;
    ref->query = std::move(all);
    return ref;
}

}  // namespace localdb
