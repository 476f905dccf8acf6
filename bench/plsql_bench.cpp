// bench_plsql: PL/SQL against its baselines, measured in one run.
//  - a 10,000,000-iteration PLS_INTEGER loop with an IF, against the same loop in python3;
//  - 100,000 single-row INSERTs from a PL/SQL FOR loop, against the same inserts through
//    Session::execute with binds from C++;
//  - SELECT f(n) over 1,000,000 rows, f a stored function returning n + 1, against SELECT n + 1.
// Each figure is the best of a few rounds (wall clock; python3 runs as a child process).
#include "localdb/localdb.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

double best(int rounds, const std::function<void()> &f) {
    double result = 1e9;
    for (int i = 0; i < rounds; ++i) {
        auto start = std::chrono::steady_clock::now();
        f();
        std::chrono::duration<double> d = std::chrono::steady_clock::now() - start;
        result = std::min(result, d.count());
    }
    return result;
}

const char *const kLoopBlock = R"(DECLARE
  i PLS_INTEGER := 0;
  n PLS_INTEGER := 0;
BEGIN
  WHILE i < 10000000 LOOP
    i := i + 1;
    IF i - (i / 2) * 2 = 0 THEN
      n := n + 1;
    END IF;
  END LOOP;
END;)";

// The same loop in python3. Its // keeps python in integers; PL/SQL's / divides exactly (i / 2 is
// 1.5 for i = 3), so the PL/SQL IF is taken on every turn: the PL/SQL loop does no less work.
const char *const kLoopPython =
    "python3 -c \"i = 0\nn = 0\nwhile i < 10000000:\n    i = i + 1\n    if i - (i // 2) * 2 == 0:\n"
    "        n = n + 1\n\"";

}  // namespace

int main() {
    const auto folder = std::filesystem::temp_directory_path() / ("kestrim_bench_plsql_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "bench.kdb").string();
    localdb::Session::createDatabase(path, "manager");
    auto session = localdb::Session::open(path, "SYSTEM", "manager");

    // 1. The loop.
    const double plsqlLoop = best(3, [&] { session->execute(kLoopBlock); });
    const double pythonLoop = best(3, [&] {
        if (std::system(kLoopPython) != 0)
            std::fprintf(stderr, "python3 failed\n");
    });
    std::printf("plsql loop %.3f s, python3 loop %.3f s\n", plsqlLoop, pythonLoop);
    std::fflush(stdout);

    // 2. Inserts.
    session->execute("CREATE TABLE t (n NUMBER, s VARCHAR2(20))");
    const double plsqlInsert = best(3, [&] {
        session->execute("TRUNCATE TABLE t");
        session->execute("BEGIN FOR i IN 1 .. 100000 LOOP INSERT INTO t VALUES (i, 'row'); END LOOP; END;");
    });
    const double cppInsert = best(3, [&] {
        session->execute("TRUNCATE TABLE t");
        session->beginTransaction();
        std::vector<localdb::Bind> binds(1);
        binds[0].name = "N";
        for (int i = 1; i <= 100000; ++i) {
            binds[0].value = std::int64_t(i);
            session->execute("INSERT INTO t VALUES (:n, 'row')", &binds);
        }
        session->commit();
    });
    std::printf("plsql inserts %.3f s, C++ inserts %.3f s\n", plsqlInsert, cppInsert);
    std::fflush(stdout);

    // 3. A stored function in a query.
    session->execute("CREATE TABLE m (n NUMBER)");
    session->execute("CREATE TABLE d (n NUMBER)");
    session->execute("BEGIN FOR i IN 0 .. 9 LOOP INSERT INTO d VALUES (i); END LOOP; END;");
    session->execute("INSERT INTO m SELECT a.n + 10 * b.n + 100 * c.n + 1000 * e.n + 10000 * f.n + 100000 * g.n + 1 "
                     "FROM d a, d b, d c, d e, d f, d g");
    session->execute("CREATE OR REPLACE FUNCTION f(n NUMBER) RETURN NUMBER IS BEGIN RETURN n + 1; END;");
    auto scan = [&](const char *sql) {
        auto c = session->query(sql);
        while (c->next()) {
        }
    };
    const double withFunction = best(3, [&] { scan("SELECT f(n) FROM m"); });
    const double plain = best(3, [&] { scan("SELECT n + 1 FROM m"); });
    std::printf("select f(n) %.3f s, select n + 1 %.3f s\n", withFunction, plain);

    session.reset();
    std::filesystem::remove_all(folder);
    std::printf("ratio plsql_loop_vs_python %.3f <= 1\n", plsqlLoop / pythonLoop);
    std::printf("ratio plsql_insert_loop %.3f <= 1.5\n", plsqlInsert / cppInsert);
    std::printf("ratio plsql_function_in_query %.3f <= 5\n", withFunction / plain);
    return 0;
}
