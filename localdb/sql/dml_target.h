// The table a DML statement writes: a table, or a simple view (one table, plain columns, no
// grouping) whose rows and columns are those of its table. A view's WHERE limits the rows DML
// sees, and WITH CHECK OPTION makes new and changed rows satisfy it.
#pragma once

#include "localdb/sql/binder.h"

#include <string>
#include <vector>

namespace localdb {

struct DmlTarget {
    std::shared_ptr<const TableInfo> table;  // the table written
    Source source;                           // what the statement's names resolve to
    std::vector<int> baseColumn;             // per source column: index in table, -1 if computed
    std::string viewWhere;                   // SQL over alias t0; empty for tables and unfiltered views
    bool checkOption = false;
    bool isView = false;

    // The table column behind a source column named name; throws ORA-00904 / ORA-01733 at offset.
    const ColumnInfo &column(const std::string &name, int offset) const;
    // All source columns in order (INSERT without a column list).
    std::vector<std::string> columnNames() const;
};

// Resolves the target of INSERT, UPDATE or DELETE; ORA-01732 for a view DML cannot go through,
// ORA-42399 for a view WITH READ ONLY.
DmlTarget resolveDmlTarget(NameResolver &names, const Name &name, const std::string &alias, const std::string &privilege);

}  // namespace localdb
