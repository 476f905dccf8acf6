// The demo database: created on first use of the host "demo" with SYSTEM/MANAGER and SCOTT/TIGER,
// whose schema holds the classic DEPT, EMP, BONUS and SALGRADE tables with their rows, keys, an
// index, comments, a view, a sequence and a synonym.
#pragma once

#include <string>

namespace localdb {

// Builds the demo database at path (through a temporary file, so that a half-built database is
// never seen under the final name). Throws localdb::Error on failure.
void createDemoDatabase(const std::string &path);

}  // namespace localdb
