// The PL/SQL entry points the session uses: anonymous blocks, DDL of program units, stored
// functions in SQL, and DBMS_OUTPUT's lines for the caller.
#pragma once

#include "localdb/localdb.h"
#include "localdb/sql/name_resolver.h"
#include "localdb/system/session_core.h"

#include <string>
#include <string_view>
#include <vector>

namespace localdb::plsql {

// Whether the statement is a block or DDL of a program unit (this module runs those).
bool isPlsqlStatement(std::string_view sql);

// Runs a block, CREATE / DROP / ALTER ... COMPILE of a unit.
StatementResult execute(SessionCore &core, const std::string &sql, std::vector<Bind> *binds);

// DBMS_OUTPUT's complete lines, removed from the buffer.
std::vector<std::string> takeOutput(SessionCore &core);

// The names plain SQL may use besides the schema's tables: the stored functions.
HostNames &sqlHost(SessionCore &core);

// After a DDL statement of the session: units depending on the changed object become INVALID.
void invalidateDependents(SessionCore &core, const std::string &owner, const std::string &name);

// Creates the catalogue tables of program units when the database has none yet.
void ensureStorage(Connection &db);

}  // namespace localdb::plsql
