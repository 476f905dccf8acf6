#include "bench/support/scratch_database.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace bench {

ScratchDatabase::ScratchDatabase() {
    char pattern[] = "/tmp/kestrim-bench-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    folder_ = pattern;
    path_ = (folder_ / "bench.kdb").string();
    localdb::Session::createDatabase(path_, "MANAGER");
}

ScratchDatabase::~ScratchDatabase() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

std::unique_ptr<localdb::Session> ScratchDatabase::openSystem() const {
    return localdb::Session::open(path_, "SYSTEM", "MANAGER");
}

void ScratchDatabase::fillWithSqlite(const std::string &sql) const {
    sqlite3 *db = nullptr;
    char *message = nullptr;
    if (sqlite3_open(path_.c_str(), &db) != SQLITE_OK || sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        std::fprintf(stderr, "filling the benchmark's table failed: %s\n", message ? message : sqlite3_errmsg(db));
        std::exit(1);
    }
    sqlite3_close(db);
}

}  // namespace bench
