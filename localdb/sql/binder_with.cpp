// Binder: WITH elements — column alias lists, and recursive elements (an anchor UNION ALL a member
// that reads the element itself) with their SEARCH and CYCLE clauses.
#include "localdb/sql/binder.h"

#include "localdb/catalog/catalog.h"
#include "localdb/system/errors.h"

#include <algorithm>
#include <functional>

namespace localdb {
namespace {

// Whether a FROM list names the element directly (the recursive member's self-reference).
bool readsName(const Query &q, const std::string &name) {
    if (!q.core)
        return (q.left && readsName(*q.left, name)) || (q.right && readsName(*q.right, name));
    std::function<bool(const TableRef &)> names = [&](const TableRef &t) {
        if (t.kind == TableRef::Join)
            return names(*t.left) || names(*t.right);
        return t.kind == TableRef::Named && t.name.parts.size() == 1 && t.name.parts[0] == name;
    };
    return std::any_of(q.core->from.begin(), q.core->from.end(), [&](const TableRefPtr &t) { return names(*t); });
}

bool listed(const std::vector<std::string> &names, const std::string &name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

void checkCycleClause(const Query &sub) {
    if (sub.cycleColumns.empty())
        return;
    if (listed(sub.withColumns, sub.cycleMark))
        raise(32048, sub.cycleOffset);
    if (sub.cycleValue == sub.cycleDefault)
        raise(32481, sub.cycleOffset);
    for (size_t i = 0; i < sub.cycleColumns.size(); ++i) {
        if (std::count(sub.cycleColumns.begin(), sub.cycleColumns.end(), sub.cycleColumns[i]) > 1)
            raise(32484, sub.cycleOffset);
        if (!listed(sub.withColumns, sub.cycleColumns[i]))
            raise(32485, sub.cycleOffset);
    }
}

}  // namespace

void Binder::bindWith(const std::string &name, Query &sub, Scope *outer) {
    const bool recursive = !sub.core && readsName(sub, name);
    if (!recursive) {
        bindQuery(sub, outer);
        if (sub.withColumns.empty())
            return;
        if (sub.withColumns.size() != sub.outputs.size())
            raise(32038, sub.withColumnsOffset);
        for (size_t i = 0; i < sub.outputs.size(); ++i)
            sub.outputs[i].name = sub.withColumns[i];
        return;
    }
    if (sub.withColumns.empty())
        raise(32039, sub.offset);
    if (sub.setOp != "UNION ALL")
        raise(32040, sub.right->offset);
    if (!sub.left->core || !sub.right->core)
        raise(3001, sub.offset);
    checkCycleClause(sub);
    bindQuery(*sub.left, outer);
    if (sub.left->outputs.size() != sub.withColumns.size())
        raise(32038, sub.withColumnsOffset);
    // The member reads the rows found so far under the element's name, typed by the anchor.
    Source self;
    self.sqlFrom = "kdb_r" + std::to_string(++recursiveCounter_);
    for (size_t i = 0; i < sub.withColumns.size(); ++i)
        self.columns.push_back({sub.withColumns[i], sub.left->outputs[i].type});
    recursiveWith_[name] = self;
    selfAlias_.clear();
    bindQuery(*sub.right, outer);
    recursiveWith_.erase(name);
    if (sub.right->outputs.size() != sub.withColumns.size())
        raise(1789, sub.right->offset);
    sub.recursiveName = self.sqlFrom;
    sub.recursiveAlias = selfAlias_;
    sub.outputs = self.columns;
    if (!sub.searchKind.empty())
        sub.outputs.push_back({sub.searchColumn, Type::number()});
    if (!sub.cycleColumns.empty()) {
        // A row that closes a cycle is returned but not followed further.
        auto stop = makeExpr(ExprKind::Column, sub.cycleOffset);
        stop->binding = ColumnBinding::TableColumn;
        stop->column = "(" + selfAlias_ + ".kdb_cyc = 0)";
        BoundBlock &member = *sub.right->core->bound;
        member.where.push_back(stop.get());
        member.owned.push_back(std::move(stop));
        sub.outputs.push_back({sub.cycleMark, Type::text()});
    }
}

}  // namespace localdb
