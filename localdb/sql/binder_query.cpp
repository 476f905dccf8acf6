// Binder: query blocks — FROM items, star expansion, old-style outer joins, ROWNUM limits,
// CONNECT BY, GROUP BY strictness, ORDER BY and set operators.
#include "localdb/sql/binder.h"

#include "localdb/system/connection.h"
#include "localdb/system/errors.h"
#include "localdb/sql/window_sql.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>

namespace localdb {
namespace {

bool containsRownum(const Expr *e) {
    if (!e)
        return false;
    if (e->kind == ExprKind::Column && e->binding == ColumnBinding::Rownum)
        return true;
    for (const auto &a : e->args)
        if (containsRownum(a.get()))
            return true;
    for (size_t i = 0; i < e->whens.size(); ++i)
        if (containsRownum(e->whens[i].get()) || containsRownum(e->thens[i].get()))
            return true;
    return containsRownum(e->elseExpr.get());
}

bool containsAggregate(const Expr *e) {
    if (!e)
        return false;
    if (e->aggregate)
        return true;
    bool inWindow = false;
    forEachWindowPart(*e, [&](const Expr &part) { inWindow = inWindow || containsAggregate(&part); });
    if (inWindow)
        return true;
    for (const auto &a : e->args)
        if (containsAggregate(a.get()))
            return true;
    for (size_t i = 0; i < e->whens.size(); ++i)
        if (containsAggregate(e->whens[i].get()) || containsAggregate(e->thens[i].get()))
            return true;
    return containsAggregate(e->elseExpr.get());
}

// Sources referenced at this block's level, and those of them marked with (+).
void referencedSources(const Expr *e, std::set<int> &all, std::set<int> &outer, bool &hasOr) {
    if (!e)
        return;
    if (e->kind == ExprKind::Binary && e->op == "OR")
        hasOr = true;
    if (e->kind == ExprKind::Column && e->binding == ColumnBinding::TableColumn && e->scopeDepth == 0) {
        all.insert(e->source);
        if (e->outerJoin)
            outer.insert(e->source);
    }
    for (const auto &a : e->args)
        referencedSources(a.get(), all, outer, hasOr);
    for (size_t i = 0; i < e->whens.size(); ++i) {
        referencedSources(e->whens[i].get(), all, outer, hasOr);
        referencedSources(e->thens[i].get(), all, outer, hasOr);
    }
    referencedSources(e->elseExpr.get(), all, outer, hasOr);
}

bool hasOuterMark(const Expr *e) {
    if (!e)
        return false;
    if (e->kind == ExprKind::Column && e->outerJoin)
        return true;
    for (const auto &a : e->args)
        if (hasOuterMark(a.get()))
            return true;
    return false;
}

// The number of leading rows a ROWNUM predicate lets through: rows are numbered as they pass,
// so a predicate false for 1 lets nothing through, and "ROWNUM <= n" lets n. -1: no limit.
long long rownumRows(const std::string &op, double n) {
    const long long inf = -1;
    if (op == "<=")
        return n < 1 ? 0 : (long long)std::floor(n);
    if (op == "<")
        return n <= 1 ? 0 : (long long)std::ceil(n) - 1;
    if (op == "=")
        return n == 1 ? 1 : 0;
    if (op == ">")
        return n < 1 ? inf : 0;
    if (op == ">=")
        return n <= 1 ? inf : 0;
    if (op == "<>")
        return n >= 1 && n == std::floor(n) ? (long long)n - 1 : inf;
    return inf;
}

std::string mirrored(const std::string &op) {
    if (op == "<")
        return ">";
    if (op == ">")
        return "<";
    if (op == "<=")
        return ">=";
    if (op == ">=")
        return "<=";
    return op;
}

long long combineLimits(long long a, long long b) {
    if (a < 0)
        return b;
    if (b < 0)
        return a;
    return std::min(a, b);
}

}  // namespace

Source Binder::tableSource(const ResolvedObject &object, const std::string &alias, const std::string &sqlAlias) {
    Source s;
    s.alias = alias.empty() ? object.object.name : alias;
    s.owner = alias.empty() ? object.object.owner : std::string();
    s.sqlAlias = sqlAlias;
    s.sqlFrom = physicalName(object.object.owner, object.object.name);
    s.isTable = object.object.type == "TABLE";
    for (const auto &c : object.table->columns)
        s.columns.push_back({c.name, Type::of(c.type)});
    return s;
}

// A view whose table was dropped or changed under it is invalid, as Oracle says; SQLite would only
// fail on the SQL the statement becomes.
void Binder::checkViewUsable(const ResolvedObject &view, int offset) {
    try {
        names_.catalog().connection().prepare("SELECT * FROM " + physicalName(view.object.owner, view.object.name) +
                                              " LIMIT 0");
    } catch (const SqliteError &) {
        raise(4063, offset, {"view \"" + view.object.owner + "." + view.object.name + "\""});
    }
}

void Binder::addSource(BoundBlock &block, TableRef &ref, Scope &scope) {
    if (ref.kind == TableRef::Join) {
        block.ansi = true;
        addSource(block, *ref.left, scope);
        addSource(block, *ref.right, scope);
        return;
    }
    const std::string sqlAlias = "t" + std::to_string(aliasCounter_++);
    if (ref.kind == TableRef::Named) {
        if (ref.name.parts.size() == 1) {
            auto self = recursiveWith_.find(ref.name.parts[0]);
            if (self != recursiveWith_.end()) {
                Source s = self->second;
                s.alias = ref.alias.empty() ? ref.name.parts[0] : ref.alias;
                s.sqlAlias = sqlAlias;
                selfAlias_ = sqlAlias;
                ref.sourceIndex = int(block.sources.size());
                block.sources.push_back(std::move(s));
                return;
            }
            auto with = withQueries_.find(ref.name.parts[0]);
            if (with != withQueries_.end()) {
                Source s;
                s.alias = ref.alias.empty() ? ref.name.parts[0] : ref.alias;
                s.sqlAlias = sqlAlias;
                s.derived = with->second;
                s.columns = with->second->outputs;
                ref.sourceIndex = int(block.sources.size());
                block.sources.push_back(std::move(s));
                return;
            }
        }
        if (ref.name.parts.size() > 2)
            raise(933, ref.name.offsets[2]);
        ResolvedObject obj = names_.table(ref.name);
        if (obj.object.type == "VIEW")
            checkViewUsable(obj, ref.name.offset());
        ref.sourceIndex = int(block.sources.size());
        block.sources.push_back(tableSource(obj, ref.alias, sqlAlias));
        return;
    }
    if (ref.kind == TableRef::TableFunction) {
        // Its argument sees the FROM items before it, as a lateral join does.
        bindExpr(ref.functionArgument, scope);
        Source s;
        s.alias = ref.alias;
        s.sqlAlias = sqlAlias;
        s.sqlFrom = ref.functionName;
        s.functionArgument = ref.functionArgument.get();
        s.functionSpec = ref.functionSpec;
        s.columns = ref.functionColumns;
        for (size_t i = 0; i < s.columns.size(); ++i)
            s.columnSql.push_back(sqlAlias + ".c" + std::to_string(i));
        ref.sourceIndex = int(block.sources.size());
        block.sources.push_back(std::move(s));
        return;
    }
    // An inline view cannot see the other FROM items, nor (before LATERAL) the outer query.
    bindQuery(*ref.query, nullptr);
    if (!ref.query->pivot.empty())
        checkPivotNames(*ref.query);
    Source s;
    s.alias = ref.alias;
    s.sqlAlias = sqlAlias;
    s.derived = ref.query.get();
    s.columns = ref.query->outputs;
    ref.sourceIndex = int(block.sources.size());
    block.sources.push_back(std::move(s));
    (void)scope;
}

void Binder::expandStars(SelectCore &core, BoundBlock &block) {
    std::vector<SelectItem> items;
    for (auto &item : core.items) {
        if (item.expr->kind != ExprKind::Star) {
            items.push_back(std::move(item));
            continue;
        }
        const Name &q = item.expr->name;
        bool matched = false;
        for (size_t s = 0; s < block.sources.size(); ++s) {
            const Source &src = block.sources[s];
            if (q.parts.size() == 1 && src.alias != q.parts[0])
                continue;
            if (q.parts.size() == 2 && (src.owner != q.parts[0] || src.alias != q.parts[1]))
                continue;
            matched = true;
            for (const auto &c : src.columns) {
                if (std::find(item.except.begin(), item.except.end(), c.name) != item.except.end())
                    continue;
                SelectItem x;
                x.expr = makeExpr(ExprKind::Column, item.expr->offset);
                x.expr->endOffset = item.expr->endOffset;
                x.expr->name.parts = {c.name};
                x.expr->name.offsets = {item.expr->offset};
                x.expr->binding = ColumnBinding::TableColumn;
                x.expr->source = int(s);
                x.expr->column = src.sqlAlias.empty() ? quoteIdent(c.name) : src.sqlAlias + "." + quoteIdent(c.name);
                x.expr->type = c.type;
                x.expr->text = c.name;
                x.derivedName = c.name;
                items.push_back(std::move(x));
            }
        }
        if (!matched)
            raise(904, item.expr->offset, {"\"" + (q.parts.empty() ? std::string("*") : q.parts.back()) + "\""});
    }
    core.items = std::move(items);
}

void Binder::planOuterJoins(BoundBlock &block, SelectCore &) {
    std::vector<Expr *> remaining;
    bool any = false;
    for (Expr *conj : block.where) {
        std::set<int> all, outer;
        bool hasOr = false;
        referencedSources(conj, all, outer, hasOr);
        if (outer.empty()) {
            remaining.push_back(conj);
            continue;
        }
        any = true;
        if (block.ansi)
            raise(25156, conj->offset);
        if (hasOr || conj->kind == ExprKind::InList)
            raise(1719, conj->offset);
        if (outer.size() > 1)
            raise(1468, conj->offset);
        int b = *outer.begin();
        Source &src = block.sources[size_t(b)];
        src.optional = true;
        src.onConditions.push_back(conj);
        for (int s : all)
            if (s != b)
                src.dependsOn.insert(s);
    }
    block.where = std::move(remaining);
    if (!any)
        return;
    // Join order: the FROM order, except that a null-extended source waits for the sources its
    // join conditions name.
    std::vector<bool> placed(block.sources.size(), false);
    block.joinOrder.clear();
    while (block.joinOrder.size() < block.sources.size()) {
        bool progress = false;
        for (size_t s = 0; s < block.sources.size(); ++s) {
            if (placed[s])
                continue;
            bool ready = true;
            for (int d : block.sources[s].dependsOn)
                if (!placed[size_t(d)])
                    ready = false;
            if (!ready)
                continue;
            placed[s] = true;
            block.joinOrder.push_back(int(s));
            progress = true;
            break;
        }
        if (!progress)
            raise(1416, block.where.empty() ? -1 : block.where.front()->offset);
    }
    // A null-extended source cannot come first: something must drive the join.
    if (!block.joinOrder.empty() && block.sources[size_t(block.joinOrder[0])].optional)
        raise(1416, -1);
}

void Binder::planRownum(BoundBlock &block, SelectCore &, Scope &) {
    std::vector<Expr *> remaining;
    for (Expr *conj : block.where) {
        auto isRownum = [](const Expr *x) {
            return x->kind == ExprKind::Column && x->binding == ColumnBinding::Rownum;
        };
        if (conj->kind == ExprKind::Binary && conj->args.size() == 2) {
            Expr *l = conj->args[0].get();
            Expr *r = conj->args[1].get();
            if (isRownum(l) && r->kind == ExprKind::Number) {
                block.rownumLimit = combineLimits(block.rownumLimit, rownumRows(conj->op, std::atof(r->text.c_str())));
                continue;
            }
            if (isRownum(r) && l->kind == ExprKind::Number) {
                block.rownumLimit =
                    combineLimits(block.rownumLimit, rownumRows(mirrored(conj->op), std::atof(l->text.c_str())));
                continue;
            }
        }
        if (conj->kind == ExprKind::Between && !conj->negated && isRownum(conj->args[0].get()) &&
            conj->args[1]->kind == ExprKind::Number && conj->args[2]->kind == ExprKind::Number) {
            long long lo = rownumRows(">=", std::atof(conj->args[1]->text.c_str()));
            long long hi = rownumRows("<=", std::atof(conj->args[2]->text.c_str()));
            block.rownumLimit = combineLimits(block.rownumLimit, combineLimits(lo, hi));
            continue;
        }
        if (containsRownum(conj))
            raise(3001, conj->offset);
        remaining.push_back(conj);
    }
    block.where = std::move(remaining);
}

long long Binder::bindDmlWhere(ExprPtr &where, Scope &scope, std::vector<Expr *> &conditions) {
    Scope w = scope;
    w.inWhere = true;
    bindExpr(where, w);
    BoundBlock &block = *scope.block;
    block.where.clear();
    conjuncts(where.get(), block.where);
    SelectCore unused;
    planRownum(block, unused, w);
    conditions = block.where;
    return block.rownumLimit;
}

void Binder::checkGrouping(SelectCore &core, Query &q) {
    const int code = core.groupBy.empty() ? 937 : 979;
    std::function<void(const Expr &)> check = [&](const Expr &e) {
        if (e.aggregate)
            return;
        for (const auto &g : core.groupBy)
            if (sameExpression(e, *g))
                return;
        if (e.kind == ExprKind::Column && e.binding == ColumnBinding::TableColumn && e.scopeDepth == 0)
            raise(code, e.offset);
        if (e.query)
            return;
        for (const auto &a : e.args)
            if (a->kind != ExprKind::Star)
                check(*a);
        forEachWindowPart(e, check);
        for (size_t i = 0; i < e.whens.size(); ++i) {
            check(*e.whens[i]);
            check(*e.thens[i]);
        }
        if (e.elseExpr)
            check(*e.elseExpr);
    };
    for (const auto &item : core.items)
        check(*item.expr);
    if (core.having)
        check(*core.having);
    if (q.core.get() == &core)
        for (size_t i = 0; i < q.orderBy.size(); ++i)
            if (q.orderPositions[i] == 0)
                check(*q.orderBy[i].expr);
}

void Binder::bindCore(SelectCore &core, Query &q, Scope *outer) {
    auto block = std::make_shared<BoundBlock>();
    core.bound = block;
    Scope scope;
    scope.block = block.get();
    scope.parent = outer;
    for (auto &ref : core.from)
        addSource(*block, *ref, scope);
    for (size_t i = 0; i < block->sources.size(); ++i)
        block->joinOrder.push_back(int(i));
    if (core.connectBy) {
        if (block->sources.size() != 1)
            raise(3001, core.connectBy->offset);
        block->hierarchical = true;
    }
    // ANSI join conditions see every source of the block.
    std::function<void(TableRef &)> bindJoins = [&](TableRef &ref) {
        if (ref.kind != TableRef::Join)
            return;
        bindJoins(*ref.left);
        bindJoins(*ref.right);
        if (ref.on) {
            bindExpr(ref.on, scope);
            if (hasOuterMark(ref.on.get()))
                raise(25156, ref.on->offset);
        }
    };
    for (auto &ref : core.from)
        bindJoins(*ref);
    expandStars(core, *block);
    if (core.groupByStar)
        groupByPivotColumns(core);

    if (core.where) {
        Scope w = scope;
        w.inWhere = true;
        bool savedSeq = sequencesAllowed_;
        sequencesAllowed_ = false;
        bindExpr(core.where, w);
        sequencesAllowed_ = savedSeq;
        conjuncts(core.where.get(), block->where);
        planOuterJoins(*block, core);
        planRownum(*block, core, scope);
    }
    if (core.startWith)
        bindExpr(core.startWith, scope);
    if (core.connectBy) {
        Scope c = scope;
        c.inConnectBy = true;
        bindExpr(core.connectBy, c);
        for (auto &o : core.siblingsOrder)
            bindExpr(o.expr, scope);
    }
    for (auto &g : core.groupBy)
        bindExpr(g, scope);
    // GROUPING() and its kin need to know the block groups before the select list is bound.
    if (!core.groupBy.empty() || !core.groupingSets.empty())
        block->grouped = true;

    Scope items = scope;
    items.aggregatesAllowed = true;
    items.analyticAllowed = true;
    q.outputs.clear();
    for (auto &item : core.items) {
        bindExpr(item.expr, items);
        OutputColumn out;
        const Expr &e = *item.expr;
        if (item.hasAlias)
            out.name = item.alias;
        else if (e.kind == ExprKind::Column && e.binding == ColumnBinding::TableColumn)
            out.name = e.text;
        else
            out.name = item.derivedName;
        out.type = e.type;
        q.outputs.push_back(std::move(out));
        if (containsAggregate(item.expr.get()))
            block->grouped = true;
    }
    checkPivotCells(core);
    if (core.having) {
        bool savedSeq = sequencesAllowed_;
        sequencesAllowed_ = false;
        Scope having = items;
        having.analyticAllowed = false;
        bindExpr(core.having, having);
        sequencesAllowed_ = savedSeq;
        block->grouped = true;
    }
    if (!core.groupBy.empty())
        block->grouped = true;
    if (q.core.get() == &core)
        bindOrderBy(q, &items);
    if (block->grouped)
        checkGrouping(core, q);
    if (block->rownumLimit >= 0 && (block->grouped || core.distinct || !q.orderBy.empty() || block->windowed)) {
        if (block->sources.size() == 1 && !block->hierarchical)
            block->rownumInsideSource = true;
        else if (!block->grouped && !block->hierarchical)
            block->rownumBeforeSort = true;
        else
            raise(3001, core.offset);
    }
}

void Binder::bindOrderBy(Query &q, Scope *scope) {
    q.orderPositions.assign(q.orderBy.size(), 0);
    bool savedSeq = sequencesAllowed_;
    sequencesAllowed_ = false;
    for (size_t i = 0; i < q.orderBy.size(); ++i) {
        ExprPtr &e = q.orderBy[i].expr;
        if (e->kind == ExprKind::Number) {
            int p = std::atoi(e->text.c_str());
            if (p < 1 || size_t(p) > q.outputs.size() || e->text.find('.') != std::string::npos)
                raise(1785, e->offset);
            q.orderPositions[i] = p;
            continue;
        }
        if (e->kind == ExprKind::Column && e->name.parts.size() <= 2) {
            const std::string &n = e->name.parts.back();
            bool byAlias = false;
            if (q.core) {
                for (size_t k = 0; k < q.core->items.size() && e->name.parts.size() == 1; ++k)
                    if (q.core->items[k].hasAlias && q.core->items[k].alias == n) {
                        q.orderPositions[i] = int(k) + 1;
                        byAlias = true;
                        break;
                    }
            } else {
                for (size_t k = 0; k < q.outputs.size(); ++k)
                    if (q.outputs[k].name == n) {
                        q.orderPositions[i] = int(k) + 1;
                        byAlias = true;
                        break;
                    }
            }
            if (byAlias)
                continue;
        }
        if (!scope)
            raise(1785, e->offset);
        bindExpr(e, *scope);
        // After DISTINCT only what was selected can order the rows.
        if (q.core && q.core->distinct) {
            bool selected = false;
            for (const auto &item : q.core->items)
                if (sameExpression(*item.expr, *e))
                    selected = true;
            if (!selected)
                raise(1791, e->offset);
        }
    }
    sequencesAllowed_ = savedSeq;
}

void Binder::bindQuery(Query &q, Scope *outer) {
    for (auto &w : q.with) {
        bindWith(w.first, *w.second, outer);
        withQueries_[w.first] = w.second.get();
    }
    if (q.limit)
        bindRowLimit(*q.limit);
    if (q.core) {
        bindCore(*q.core, q, outer);
        return;
    }
    bool savedSeq = sequencesAllowed_;
    sequencesAllowed_ = false;  // ORA-02287 in UNION branches
    bindQuery(*q.left, outer);
    bindQuery(*q.right, outer);
    sequencesAllowed_ = savedSeq;
    if (q.left->outputs.size() != q.right->outputs.size())
        raise(1789, q.right->offset);
    q.outputs = q.left->outputs;
    for (size_t i = 0; i < q.outputs.size(); ++i) {
        BaseType a = q.outputs[i].type.base, b = q.right->outputs[i].type.base;
        if (a == BaseType::Unknown)
            q.outputs[i].type = q.right->outputs[i].type;
        else if (b != BaseType::Unknown && a != b)
            raise(1790, q.right->offset);
    }
    bindOrderBy(q, nullptr);
}

}  // namespace localdb
