// The SQLite objects behind a table, always generated from the catalogue: the table with its NOT
// NULL columns and CHECK constraints, its indexes, and the triggers that enforce foreign keys and
// composite unique keys with Oracle's messages.
#pragma once

#include <cstdint>
#include <string>

namespace localdb {

class NameResolver;
struct Expr;

// Creates the table's SQLite table from the catalogue. When it exists already, the table is
// rebuilt: a new table is filled with the old rows (columns matched by name) and takes its place.
void buildTable(NameResolver &names, std::int64_t tableId);

// Drops and re-creates the table's SQLite indexes (catalogue indexes, plus a unique index for an
// enabled key whose index is not unique).
void syncIndexes(NameResolver &names, std::int64_t tableId);

// The names of the engine's own triggers (enforcing keys, computing virtual columns) start with
// this; other triggers (users' own) are named otherwise and left alone when the engine's are made
// again.
inline constexpr const char *kEngineTriggerPrefix = "kdb_engine:";

// Drops and re-creates every trigger of the engine's own in the database.
void syncTriggers(NameResolver &names);

// Computes the table's virtual columns for every row it holds (after ALTER TABLE).
void refreshVirtualColumns(NameResolver &names, std::int64_t tableId);

// Sets each column's NULLABLE from the table's enabled NOT NULL and primary key constraints.
void refreshNullability(NameResolver &names, std::int64_t tableId);

// A check or a virtual column reads its own row: ROWNUM and LEVEL mean nothing there (ORA-02436,
// ORA-54002), and a check cannot query (ORA-02251).
void requireOwnRow(const Expr &condition, bool virtualColumn);

// Whether a CHECK constraint is the NOT NULL constraint of one column ("COL" IS NOT NULL).
bool isNotNullCondition(const std::string &searchCondition, const std::string &column);

}  // namespace localdb
