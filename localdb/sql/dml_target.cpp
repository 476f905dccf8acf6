// DML targets: tables, and simple views mapped onto their table.
#include "localdb/sql/dml_target.h"

#include "localdb/sql/emitter.h"
#include "localdb/system/errors.h"
#include "localdb/sql/parser.h"

namespace localdb {

const ColumnInfo &DmlTarget::column(const std::string &name, int offset) const {
    for (size_t i = 0; i < source.columns.size(); ++i) {
        if (source.columns[i].name != name)
            continue;
        if (baseColumn[i] < 0)
            raise(1733, offset);
        return table->columns[size_t(baseColumn[i])];
    }
    raise(904, offset, {"\"" + name + "\""});
}

std::vector<std::string> DmlTarget::columnNames() const {
    std::vector<std::string> out;
    for (const auto &c : source.columns)
        out.push_back(c.name);
    return out;
}

DmlTarget resolveDmlTarget(NameResolver &names, const Name &name, const std::string &alias, const std::string &privilege) {
    ResolvedObject r = names.table(name, privilege);
    if (r.object.owner == "SYS" && !names.catalog().isDba(names.user()))
        raise(1031, name.offset());
    DmlTarget t;
    Binder binder(names);
    if (!r.table->isView()) {
        t.table = r.table;
        t.source = binder.tableSource(r, alias, "t0");
        for (size_t i = 0; i < r.table->columns.size(); ++i)
            t.baseColumn.push_back(int(i));
        return t;
    }
    if (r.table->readOnly)
        raise(42399, name.offset());
    // The view's query, bound as its owner sees names.
    Parser parser(r.table->viewText);
    QueryPtr q = parser.query();
    NameResolver ownerNames(names.catalog(), r.object.owner, names.user());
    Binder viewBinder(ownerNames);
    viewBinder.bindQuery(*q);
    if (!q->core || !q->with.empty() || q->core->distinct || !q->core->groupBy.empty() || q->core->connectBy ||
        q->core->from.size() != 1 || q->core->from[0]->kind != TableRef::Named)
        raise(1732, name.offset());
    const BoundBlock &block = *q->core->bound;
    if (block.grouped || block.rownumLimit >= 0 || block.sources.size() != 1 || !block.sources[0].isTable)
        raise(1732, name.offset());
    ResolvedObject base = ownerNames.table(q->core->from[0]->name);
    // The statement writes the base table directly: it depends on it and on the view's names.
    names.addDependencies(ownerNames);
    t.table = base.table;
    t.isView = true;
    t.checkOption = r.table->checkOption;
    t.source.alias = alias.empty() ? r.object.name : alias;
    t.source.sqlAlias = "t0";
    t.source.sqlFrom = physicalName(base.object.owner, base.object.name);
    t.source.isTable = true;
    for (size_t i = 0; i < q->core->items.size() && i < r.table->columns.size(); ++i) {
        const Expr &e = *q->core->items[i].expr;
        t.source.columns.push_back({r.table->columns[i].name, e.type});
        t.source.columnSql.push_back(emitExpression(e));
        t.baseColumn.push_back(e.kind == ExprKind::Column && e.binding == ColumnBinding::TableColumn
                                   ? base.table->columnIndex(e.text)
                                   : -1);
    }
    if (!block.where.empty()) {
        std::string where;
        for (size_t i = 0; i < block.where.size(); ++i)
            where += (i ? " AND " : "") + emitExpression(*block.where[i]);
        t.viewWhere = where;
    }
    return t;
}

}  // namespace localdb
