// The engine's fuzz targets run their inputs on one session per process, on a demo database (EMP,
// DEPT, a view, a sequence, ...) in a temporary folder removed when the process ends, so that
// statements reach the binder, the emitted SQL and the built-in functions rather than stopping at
// ORA-00942.
#pragma once

#include "localdb/catalog/demo_database.h"
#include "localdb/localdb.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace fuzz {

inline std::filesystem::path &scratchDirectory()
{
    static std::filesystem::path path;
    return path;
}

inline void removeScratch()
{
    std::error_code ignored;
    std::filesystem::remove_all(scratchDirectory(), ignored);
}

// A new demo database in a folder made from pattern (ending in XXXXXX), logged on as SCOTT.
inline std::unique_ptr<localdb::Session> openScratchDemo(std::string pattern)
{
    if (!mkdtemp(pattern.data()))
        std::abort();
    scratchDirectory() = pattern;
    std::atexit(removeScratch);
    const std::string path = (scratchDirectory() / "fuzz.kdb").string();
    localdb::createDemoDatabase(path);
    return localdb::Session::open(path, "SCOTT", "TIGER");
}

// Reads up to maxRows rows of a query's result, every value of each.
inline void readRows(localdb::StatementResult &result, int maxRows)
{
    if (!result.cursor)
        return;
    const int columns = static_cast<int>(result.cursor->columns().size());
    for (int row = 0; row < maxRows && result.cursor->next(); ++row)
        for (int c = 0; c < columns; ++c)
            result.cursor->value(c);
}

}  // namespace fuzz
