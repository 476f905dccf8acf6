// Compiles queries and DML (SELECT, INSERT, UPDATE, DELETE, MERGE) into SQLite statements:
// binding, the conversions and checks of storing into typed columns, and emission.
#pragma once

#include "localdb/sql/binder.h"
#include "localdb/sql/statement.h"
#include "localdb/system/statement_cache.h"

#include <memory>

namespace localdb {

std::shared_ptr<CompiledStatement> compileStatement(Statement &st, NameResolver &names);

// The SQL that stores a bound value into a column: the value converted to the column's type
// family, rounded and checked for NUMBER(p,s), length-checked (and blank-padded for CHAR).
// DEFAULT ON NULL applies when inserting only: an update to NULL is refused as for any NOT NULL.
std::string storeValue(Binder &binder, const TableInfo &table, const ColumnInfo &column, ExprPtr &value,
                       bool inserting = true);

// The bound default expression of a column (nullptr when it has none).
ExprPtr defaultValue(Binder &binder, const ColumnInfo &column);

// Result column descriptions of a bound query.
std::vector<Column> resultColumns(const Query &q);

}  // namespace localdb
