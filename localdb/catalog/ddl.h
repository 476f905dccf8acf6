// DDL: every statement that changes the catalogue. The session commits before and after each
// one; these functions run inside that transaction and leave the catalogue, the SQLite objects
// and the constraint triggers consistent, or throw and let it roll back.
#pragma once

#include "localdb/sql/name_resolver.h"
#include "localdb/sql/statement.h"

#include <optional>
#include <set>
#include <string>

namespace localdb {

struct SessionCore;

// Runs the DDL statement st, parsed from sql, as the session's user. Returns the rows processed
// (always 0; Oracle reports none for DDL).
void executeDdl(Statement &st, const std::string &sql, SessionCore &core, NameResolver &names);

// The objects ("OWNER.NAME") whose meaning the DDL statement changes, read before it runs; nullopt
// when it may change what any name means (users, roles, system privileges).
std::optional<std::set<std::string>> objectsChangedBy(const Statement &st, NameResolver &names);

}  // namespace localdb
