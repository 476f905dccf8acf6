// Engine overhead against plain SQLite on the same database file, measured in one run:
//   localdb_fetch              a million rows of eight columns read through a cursor
//   localdb_cached_statement   a cached one-row query run again and again with a new bind value
//   localdb_row_generator      SELECT LEVEL FROM dual CONNECT BY LEVEL <= 1000000 against a
//                              recursive common table expression counting to a million
// Each figure is the best of several rounds; the ratio is engine time over SQLite time.
#include "bench/support/bench_timing.h"
#include "bench/support/scratch_database.h"
#include "localdb/localdb.h"

#include <sqlite3.h>

#include <cstdio>
#include <string>

namespace {


// What a caller does with each value: keep it. Both sides store into the same variant type.
void keep(localdb::Value &slot, sqlite3_stmt *s, int i) {
    switch (sqlite3_column_type(s, i)) {
    case SQLITE_NULL:
        slot = std::monostate{};
        break;
    case SQLITE_INTEGER:
        slot = std::int64_t(sqlite3_column_int64(s, i));
        break;
    case SQLITE_FLOAT:
        slot = sqlite3_column_double(s, i);
        break;
    default: {
        const char *t = reinterpret_cast<const char *>(sqlite3_column_text(s, i));
        int n = sqlite3_column_bytes(s, i);
        if (auto *str = std::get_if<std::string>(&slot))
            str->assign(t, size_t(n));
        else
            slot = std::string(t, size_t(n));
    }
    }
}

}  // namespace

int main() {
    bench::ScratchDatabase scratch;
    const std::string &path = scratch.path();
    const int rows = 1000000;
    auto session = scratch.openSystem();
    session->execute("CREATE TABLE big (id NUMBER(10) PRIMARY KEY, amount NUMBER(12,2), name VARCHAR2(20), "
                     "city VARCHAR2(20), code CHAR(4), hired DATE, score NUMBER, note VARCHAR2(30))");
    // Filled through SQLite directly: the benchmark measures reading, not loading.
    scratch.fillWithSqlite("WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 1000000) "
                           "INSERT INTO \"SYSTEM.BIG\" SELECT i, i * 1.25, 'name ' || i, 'city ' || (i % 100), "
                           "printf('%04d', i % 10000), printf('2004-01-%02d 12:30:00', 1 + i % 28), i % 1000, "
                           "CASE WHEN i % 3 = 0 THEN NULL ELSE 'note ' || i END FROM c");

    std::size_t checksum = 0;
    double engineFetch = bench::bestSeconds(3, [&] {
        auto c = session->query("SELECT * FROM big");
        std::size_t n = 0;
        while (c->next()) {
            for (int i = 0; i < 8; ++i)
                checksum += c->value(i).index();
            ++n;
        }
        if (n != std::size_t(rows))
            std::fprintf(stderr, "engine read %zu rows\n", n);
    });
    sqlite3 *plain = nullptr;
    sqlite3_open_v2(path.c_str(), &plain, SQLITE_OPEN_READONLY, nullptr);
    double plainFetch = bench::bestSeconds(3, [&] {
        sqlite3_stmt *s = nullptr;
        sqlite3_prepare_v2(plain, "SELECT * FROM \"SYSTEM.BIG\"", -1, &s, nullptr);
        std::vector<localdb::Value> row(8);
        while (sqlite3_step(s) == SQLITE_ROW)
            for (int i = 0; i < 8; ++i) {
                keep(row[size_t(i)], s, i);
                checksum += row[size_t(i)].index();
            }
        sqlite3_finalize(s);
    });

    const int repeats = 200000;
    std::vector<localdb::Bind> binds = {{"ID", std::int64_t(1), localdb::Bind::In, 0}};
    double engineCached = bench::bestSeconds(5, [&] {
        for (int k = 0; k < repeats; ++k) {
            binds[0].value = std::int64_t(1 + (k * 7919) % rows);
            auto c = session->query("SELECT name, amount FROM big WHERE id = :id", &binds);
            if (c->next())
                checksum += c->value(0).index();
        }
    });
    sqlite3_stmt *prepared = nullptr;
    sqlite3_prepare_v2(plain, "SELECT name, amount FROM \"SYSTEM.BIG\" WHERE id = ?1", -1, &prepared, nullptr);
    double plainCached = bench::bestSeconds(5, [&] {
        localdb::Value name, amount;
        for (int k = 0; k < repeats; ++k) {
            sqlite3_bind_int64(prepared, 1, 1 + (k * 7919) % rows);
            if (sqlite3_step(prepared) == SQLITE_ROW) {
                keep(name, prepared, 0);
                keep(amount, prepared, 1);
                checksum += name.index();
            }
            sqlite3_reset(prepared);
        }
    });
    sqlite3_finalize(prepared);

    double engineGenerator = bench::bestSeconds(3, [&] {
        auto c = session->query("SELECT LEVEL FROM dual CONNECT BY LEVEL <= 1000000");
        while (c->next())
            checksum += std::size_t(std::get<std::int64_t>(c->value(0)));
    });
    double plainGenerator = bench::bestSeconds(3, [&] {
        sqlite3_stmt *s = nullptr;
        sqlite3_prepare_v2(plain,
                           "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 1000000) "
                           "SELECT i FROM c",
                           -1, &s, nullptr);
        localdb::Value level;
        while (sqlite3_step(s) == SQLITE_ROW) {
            keep(level, s, 0);
            checksum += std::size_t(std::get<std::int64_t>(level));
        }
        sqlite3_finalize(s);
    });
    sqlite3_close(plain);
    session.reset();

    std::printf("fetch: engine %.3f s, sqlite %.3f s (%d rows of 8 columns)\n", engineFetch, plainFetch, rows);
    std::printf("cached statement: engine %.3f s, sqlite %.3f s (%d runs)\n", engineCached, plainCached, repeats);
    std::printf("row generator: engine %.3f s, sqlite %.3f s (1000000 levels)\n", engineGenerator, plainGenerator);
    std::printf("checksum %zu\n", checksum);
    std::printf("ratio localdb_fetch %.3f <= 1.3\n", engineFetch / plainFetch);
    std::printf("ratio localdb_cached_statement %.3f <= 1.1\n", engineCached / plainCached);
    std::printf("ratio localdb_row_generator %.3f <= 2\n", engineGenerator / plainGenerator);
    return 0;
}
