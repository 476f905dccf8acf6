// Maps a failure reported by SQLite to the Oracle error a client expects: constraint failures to
// ORA-00001 / 01400 / 01407 / 02290 with the constraint or column named, lock waits that ran out
// to ORA-00054, and errors raised by the engine's own SQL functions to their ORA code.
#pragma once

#include "localdb/system/connection.h"
#include "localdb/localdb.h"

namespace localdb {

class Catalog;

Error oracleError(const SqliteError &e, Catalog &catalog, bool isUpdate);

}  // namespace localdb
