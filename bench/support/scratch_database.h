// A database file of the embedded engine in a private temporary folder, removed with the object:
// the benchmarks create their tables through the engine and fill them through SQLite directly,
// because they measure reading, not loading.
#pragma once

#include "localdb/localdb.h"

#include <filesystem>
#include <memory>
#include <string>

namespace bench {

class ScratchDatabase {
public:
    ScratchDatabase();
    ~ScratchDatabase();
    ScratchDatabase(const ScratchDatabase &) = delete;
    ScratchDatabase &operator=(const ScratchDatabase &) = delete;

    const std::string &path() const { return path_; }
    // A new session of SYSTEM on the file.
    std::unique_ptr<localdb::Session> openSystem() const;
    // Runs SQL on the file through plain SQLite (the engine's table of OWNER.NAME is the SQLite
    // table "OWNER.NAME"); a failure ends the benchmark with SQLite's message.
    void fillWithSqlite(const std::string &sql) const;

private:
    std::filesystem::path folder_;
    std::string path_;
};

}  // namespace bench
