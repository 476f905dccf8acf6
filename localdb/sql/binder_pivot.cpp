// Binder: the inline view a PIVOT became. Its * stands for the source columns the clause does not
// name, and those are what it groups by; its cells must be aggregates.
#include "localdb/sql/binder.h"

#include "localdb/system/errors.h"

namespace localdb {

void Binder::groupByPivotColumns(SelectCore &core) {
    const size_t grouped = core.items.size() - size_t(core.pivotCells);
    for (size_t i = 0; i < grouped; ++i)
        core.groupBy.push_back(cloneBound(*core.items[i].expr));
}

void Binder::checkPivotCells(const SelectCore &core) {
    for (size_t i = core.items.size() - size_t(core.pivotCells); i < core.items.size(); ++i)
        if (!core.items[i].expr->aggregate)
            raise(56902, core.items[i].expr->offset);
}

// The columns left over keep their names beside the new ones: a clash is ORA-00918.
void Binder::checkPivotNames(const Query &q) {
    for (size_t i = 0; i < q.outputs.size(); ++i)
        for (size_t j = i + 1; j < q.outputs.size(); ++j)
            if (q.outputs[i].name == q.outputs[j].name)
                raise(918, q.offset);
}

}  // namespace localdb
