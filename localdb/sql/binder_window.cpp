// Binder: analytic functions (OVER), ordered-set aggregates (LISTAGG, PERCENTILE_CONT and
// PERCENTILE_DISC WITHIN GROUP) and KEEP (DENSE_RANK FIRST|LAST) — where they may appear, which
// clauses each accepts, and the SQLite function each one becomes.
#include "localdb/sql/binder.h"

#include "localdb/system/errors.h"
#include "localdb/functions/function_catalog.h"
#include "localdb/sql/window_sql.h"

#include <algorithm>
#include <cstdlib>
#include <functional>

namespace localdb {
namespace {

bool oneOf(const std::string &name, std::initializer_list<const char *> names) {
    return std::any_of(names.begin(), names.end(), [&](const char *n) { return name == n; });
}

// Functions that exist only with OVER.
bool isWindowOnly(const std::string &name) {
    return oneOf(name, {"ROW_NUMBER", "RANK", "DENSE_RANK", "PERCENT_RANK", "CUME_DIST", "NTILE", "LAG", "LEAD",
                        "FIRST_VALUE", "LAST_VALUE", "NTH_VALUE", "RATIO_TO_REPORT"});
}

// Window functions that need ORDER BY in their window and take no frame.
bool needsWindowOrder(const std::string &name) {
    return oneOf(name, {"ROW_NUMBER", "RANK", "DENSE_RANK", "PERCENT_RANK", "CUME_DIST", "NTILE", "LAG", "LEAD"});
}

// Aggregates SQLite computes itself over a window.
bool isNativeAggregate(const std::string &name) {
    return oneOf(name, {"COUNT", "SUM", "AVG", "MIN", "MAX"});
}

// Aggregates that KEEP (DENSE_RANK ...) may restrict.
bool keepsRank(const std::string &name) {
    return oneOf(name, {"COUNT", "SUM", "AVG", "MIN", "MAX", "VARIANCE", "STDDEV"});
}

// Wraps a count or offset argument so that it arrives as a whole number, ORA-01428 below least.
void checkedCount(ExprPtr &arg, int least) {
    auto call = makeExpr(ExprKind::Function, arg->offset);
    call->endOffset = arg->endOffset;
    call->sqlFunction = "kdb_window_argument";
    call->type = Type::number();
    call->args.push_back(std::move(arg));
    auto bound = makeExpr(ExprKind::Number, call->offset);
    bound->text = std::to_string(least);
    bound->type = Type::number();
    call->args.push_back(std::move(bound));
    arg = std::move(call);
}

// A frame offset written as a (signed) number literal: negative ones are refused here, as
// SQLite accepts only constants there and would give its own message.
void checkFrameOffset(const Expr &offset) {
    const Expr *literal = &offset;
    bool negative = false;
    if (literal->kind == ExprKind::Unary && literal->op == "-") {
        negative = true;
        literal = literal->args[0].get();
    }
    if (literal->kind == ExprKind::Number && negative && std::atof(literal->text.c_str()) != 0)
        raise(1428, offset.offset, {"-" + literal->text});
}

std::string lowerCase(std::string s) {
    for (char &c : s)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return s;
}

}  // namespace

void forEachWindowPart(const Expr &e, const std::function<void(const Expr &)> &visit) {
    if (!e.analytic)
        return;
    const Analytic &a = *e.analytic;
    for (const auto &p : a.partitionBy)
        visit(*p);
    for (const auto &o : a.orderBy)
        visit(*o.expr);
    for (const auto &o : a.groupOrder)
        visit(*o.expr);
}

bool isWindowFunctionName(const std::string &name) { return isWindowOnly(name); }

const FunctionInfo *findWindowAggregate(const std::string &name) {
    const FunctionInfo *info = findFunction(name);
    return info && info->aggregate && name != "LISTAGG" ? info : nullptr;
}

void Binder::bindWindow(Analytic &a, Scope &scope) {
    for (auto &p : a.partitionBy)
        bindExpr(p, scope);
    for (auto &o : a.orderBy)
        bindExpr(o.expr, scope);
    if (a.frameUnit.empty())
        return;
    const bool offsets = a.start.offset || a.end.offset;
    if (a.frameUnit == "RANGE" && offsets) {
        // Logical offsets measure distance on the one sort key, a number or a date.
        if (a.orderBy.size() != 1)
            raise(30486, a.frameOffset);
        BaseType key = a.orderBy[0].expr->type.base;
        if (key != BaseType::Number && key != BaseType::Date && key != BaseType::Unknown)
            raise(902, a.orderBy[0].expr->offset);
    }
    Scope constant;
    constant.columnsAllowed = false;
    for (FrameBound *b : {&a.start, &a.end}) {
        if (!b->offset)
            continue;
        bindExpr(b->offset, constant);
        convert(b->offset, BaseType::Number);
        checkFrameOffset(*b->offset);
    }
}

void Binder::bindAnalytic(ExprPtr &ep, Scope &scope) {
    Expr &e = *ep;
    const std::string name = e.op;
    const size_t n = e.args.size();
    if (e.name.parts.size() > 1)
        raise(904, e.offset, {"\"" + name + "\""});
    Analytic *a = e.analytic.get();
    const bool over = a && a->over;
    const bool ordered = a && (a->withinGroup || a->keep);
    if (!over && !ordered && (isWindowOnly(name) || (a && a->ignoreNulls)))
        raise(30484, e.offset);
    if (over && !scope.analyticAllowed)
        raise(30483, e.offset);
    if (!over && !scope.aggregatesAllowed)
        raise(934, e.offset);
    if (over && scope.block)
        scope.block->windowed = true;

    // Arguments: an analytic's may hold aggregates of a grouped query; an aggregate's may not.
    Scope inner = scope;
    inner.inWhere = false;
    inner.analyticAllowed = false;
    if (!over)
        inner.aggregatesAllowed = false;
    for (auto &arg : e.args)
        if (arg->kind != ExprKind::Star)
            bindExpr(arg, inner);
    for (auto &o : a->groupOrder)
        bindExpr(o.expr, inner);
    if (over)
        bindWindow(*a, inner);
    if (!over)
        e.aggregate = true;

    auto needArgs = [&](size_t lo, size_t hi) {
        if (n < lo)
            raise(938, e.offset);
        if (n > hi)
            raise(939, e.offset);
    };
    auto noWindowOrder = [&]() {
        if (over && !a->orderBy.empty())
            raise(30487, a->orderOffset);
    };
    auto noFrame = [&]() {
        if (over && !a->frameUnit.empty())
            raise(907, a->frameOffset);
    };
    const bool star = n == 1 && e.args[0]->kind == ExprKind::Star;
    if (star && name != "COUNT")
        raise(936, e.args[0]->offset);

    if (a->keep) {
        if (!keepsRank(name))
            raise(923, e.offset);  // KEEP is then read as an alias
        needArgs(1, 1);
        noWindowOrder();
        if (name != "COUNT" && name != "MIN" && name != "MAX")
            convert(e.args[0], BaseType::Number);
        e.sqlFunction = "kdb_keep";
        e.type = name == "MIN" || name == "MAX" ? e.args[0]->type : Type::number();
        e.type.hasSpec = false;
        return;
    }
    if (name == "LISTAGG") {
        needArgs(1, 2);
        noWindowOrder();
        for (auto &arg : e.args)
            convert(arg, BaseType::Text);
        e.sqlFunction = "kdb_listagg";
        e.type = Type::text();
        return;
    }
    if (name == "PERCENTILE_CONT" || name == "PERCENTILE_DISC") {
        if (!a->withinGroup)
            raise(30484, e.offset);  // 30491 in later releases; the older text applies
        needArgs(1, 1);
        noWindowOrder();
        if (a->groupOrder.size() != 1)
            raise(909, a->groupOrder[1].expr->offset);
        convert(e.args[0], BaseType::Number);
        const Type key = a->groupOrder[0].expr->type;
        if (name == "PERCENTILE_CONT" && key.base != BaseType::Number && key.base != BaseType::Unknown)
            raise(932, a->groupOrder[0].expr->offset, {"NUMBER", key.base == BaseType::Date ? "DATE" : "CHAR"});
        e.sqlFunction = lowerCase("kdb_" + name);
        e.type = name == "PERCENTILE_CONT" ? Type::number() : key;
        e.type.hasSpec = false;
        return;
    }
    if (a->withinGroup)
        raise(30484, e.offset);  // hypothetical-set forms are not provided
    if (e.distinct) {
        noWindowOrder();
        if (!oneOf(name, {"COUNT", "SUM", "AVG", "MIN", "MAX"}))
            raise(30482, e.offset);
    }
    if (needsWindowOrder(name)) {
        if (a->orderBy.empty())
            raise(30485, e.offset);
        noFrame();
    }
    if (name == "ROW_NUMBER" || name == "RANK" || name == "DENSE_RANK" || name == "PERCENT_RANK" ||
        name == "CUME_DIST") {
        needArgs(0, 0);
        e.sqlFunction = lowerCase(name);
        e.type = Type::number();
        return;
    }
    if (name == "NTILE") {
        needArgs(1, 1);
        convert(e.args[0], BaseType::Number);
        checkedCount(e.args[0], 1);
        e.sqlFunction = "ntile";
        e.type = Type::number();
        return;
    }
    if (name == "LAG" || name == "LEAD") {
        needArgs(1, 3);
        if (n > 1) {
            convert(e.args[1], BaseType::Number);
            checkedCount(e.args[1], 0);
        }
        if (n > 2)
            convert(e.args[2], e.args[0]->type.base);
        e.sqlFunction = lowerCase(name);
        e.type = e.args[0]->type;
        e.type.hasSpec = false;
        return;
    }
    if (name == "FIRST_VALUE" || name == "LAST_VALUE" || name == "NTH_VALUE") {
        needArgs(name == "NTH_VALUE" ? 2 : 1, name == "NTH_VALUE" ? 2 : 1);
        if (n > 1) {
            convert(e.args[1], BaseType::Number);
            checkedCount(e.args[1], 1);
        }
        e.sqlFunction = lowerCase(name);
        e.type = e.args[0]->type;
        e.type.hasSpec = false;
        return;
    }
    if (name == "RATIO_TO_REPORT") {
        needArgs(1, 1);
        noWindowOrder();
        convert(e.args[0], BaseType::Number);
        e.sqlFunction = "sum";
        e.type = Type::number();
        return;
    }
    if (isNativeAggregate(name)) {
        needArgs(1, 1);
        if (!star && (name == "SUM" || name == "AVG"))
            convert(e.args[0], BaseType::Number);
        if (e.distinct && (name == "MIN" || name == "MAX"))
            e.distinct = false;  // the same value either way
        e.sqlFunction = e.distinct ? "kdb_distinct_aggregate" : lowerCase(name);
        e.type = name == "MIN" || name == "MAX" ? e.args[0]->type : Type::number();
        e.type.hasSpec = false;
        return;
    }
    // The other aggregates of the catalogue (STDDEV, VARIANCE, MEDIAN ...) over a window.
    const FunctionInfo *info = findWindowAggregate(name);
    if (!info)
        raise(isWindowOnly(name) ? 30484 : 904, e.offset, {"\"" + name + "\""});
    if (int(n) < info->minArguments || int(n) > info->maxArguments)
        raise(909, e.offset);
    for (auto &arg : e.args)
        convert(arg, BaseType::Number);
    e.sqlFunction = std::string(info->sqliteName);
    e.type = Type::number();
}

std::unique_ptr<Analytic> Binder::cloneAnalytic(const Analytic &a) {
    auto c = std::make_unique<Analytic>();
    c->over = a.over;
    c->overOffset = a.overOffset;
    for (const auto &p : a.partitionBy)
        c->partitionBy.push_back(cloneBound(*p));
    auto cloneOrder = [&](const std::vector<OrderItem> &from, std::vector<OrderItem> &to) {
        for (const auto &o : from)
            to.push_back(OrderItem{cloneBound(*o.expr), o.descending, o.nulls});
    };
    cloneOrder(a.orderBy, c->orderBy);
    cloneOrder(a.groupOrder, c->groupOrder);
    c->orderOffset = a.orderOffset;
    c->frameUnit = a.frameUnit;
    c->frameOffset = a.frameOffset;
    c->start.kind = a.start.kind;
    c->end.kind = a.end.kind;
    if (a.start.offset)
        c->start.offset = cloneBound(*a.start.offset);
    if (a.end.offset)
        c->end.offset = cloneBound(*a.end.offset);
    c->ignoreNulls = a.ignoreNulls;
    c->fromLast = a.fromLast;
    c->withinGroup = a.withinGroup;
    c->keep = a.keep;
    c->overflowTruncate = a.overflowTruncate;
    c->overflowIndicator = a.overflowIndicator;
    c->overflowCount = a.overflowCount;
    return c;
}

}  // namespace localdb
