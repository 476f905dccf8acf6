// Registration of the built-in functions on a SQLite connection.
#include "localdb/functions/function_catalog.h"
#include "localdb/functions/session_context.h"

#include <sqlite3.h>

namespace localdb {

void registerOracleFunctions(sqlite3 *db, SessionContext *context)
{
    (void)db;
    (void)context;
}

}  // namespace localdb
