// Analytic SQL through the engine against SQLite's own forms on the same stored rows, in one run:
//   localdb_row_number   ROW_NUMBER() OVER (PARTITION BY g ORDER BY v) over a million rows,
//                        against SQLite's row_number() window function
//   localdb_listagg      LISTAGG(s, ',') WITHIN GROUP (ORDER BY s) of a million rows in a thousand
//                        groups, against group_concat over the rows sorted first
// Each figure is the best of several rounds; the ratio is engine time over SQLite time.
#include "bench/support/bench_timing.h"
#include "bench/support/scratch_database.h"
#include "localdb/localdb.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {


// Runs a query on the engine, reading every value of every row.
std::size_t engineRows(localdb::Session &session, const std::string &sql, int columns) {
    auto c = session.query(sql);
    std::size_t n = 0, checksum = 0;
    while (c->next()) {
        for (int i = 0; i < columns; ++i)
            checksum += c->value(i).index();
        ++n;
    }
    return n + checksum % 2;
}

// The same on plain SQLite, keeping each value as a caller would.
std::size_t sqliteRows(sqlite3 *db, const std::string &sql, int columns) {
    sqlite3_stmt *s = nullptr;
    sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr);
    std::size_t n = 0, checksum = 0;
    std::string text;
    while (sqlite3_step(s) == SQLITE_ROW) {
        for (int i = 0; i < columns; ++i) {
            if (sqlite3_column_type(s, i) == SQLITE_TEXT)
                text.assign(reinterpret_cast<const char *>(sqlite3_column_text(s, i)), size_t(sqlite3_column_bytes(s, i)));
            else
                checksum += size_t(sqlite3_column_int64(s, i));
        }
        ++n;
    }
    sqlite3_finalize(s);
    return n + checksum % 2;
}

}  // namespace

int main() {
    bench::ScratchDatabase scratch;
    const std::string &path = scratch.path();
    auto session = scratch.openSystem();
    session->execute("CREATE TABLE facts (id NUMBER(10), g NUMBER(5), v NUMBER(10), s VARCHAR2(3))");
    // Filled through SQLite directly: the benchmark measures the queries, not loading.
    // Values of three characters keep each group's list within LISTAGG's 4000 bytes.
    scratch.fillWithSqlite("WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 1000000) "
                           "INSERT INTO \"SYSTEM.FACTS\" SELECT i, i % 1000, (i * 7919) % 1000003, "
                           "printf('%03d', (i * 37) % 1000) FROM c");
    sqlite3 *plain = nullptr;
    sqlite3_open_v2(path.c_str(), &plain, SQLITE_OPEN_READONLY, nullptr);

    std::size_t rows = 0;
    double engineRank = bench::bestSeconds(2, [&] {
        rows = engineRows(*session, "SELECT ROW_NUMBER() OVER (PARTITION BY g ORDER BY v) FROM facts", 1);
    });
    double plainRank = bench::bestSeconds(2, [&] {
        sqliteRows(plain, "SELECT row_number() OVER (PARTITION BY g ORDER BY v) FROM \"SYSTEM.FACTS\"", 1);
    });
    std::size_t groups = 0;
    double engineList = bench::bestSeconds(2, [&] {
        groups = engineRows(*session, "SELECT g, LISTAGG(s, ',') WITHIN GROUP (ORDER BY s) FROM facts GROUP BY g", 2);
    });
    double plainList = bench::bestSeconds(2, [&] {
        sqliteRows(plain,
                   "SELECT g, group_concat(s, ',') FROM (SELECT g, s FROM \"SYSTEM.FACTS\" ORDER BY g, s) GROUP BY g",
                   2);
    });
    sqlite3_close(plain);
    session.reset();

    std::printf("row_number: engine %.3f s, sqlite %.3f s (%zu rows)\n", engineRank, plainRank, rows);
    std::printf("listagg: engine %.3f s, sqlite %.3f s (%zu groups)\n", engineList, plainList, groups);
    std::printf("ratio localdb_row_number %.3f <= 1.5\n", engineRank / plainRank);
    std::printf("ratio localdb_listagg %.3f <= 1.5\n", engineList / plainList);
    return 0;
}
