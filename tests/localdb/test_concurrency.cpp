// Several sessions and several processes on one database file: waits end in ORA-00054, no update
// is lost, and a process killed mid-transaction leaves every committed row and a sound file.
#include "engine_fixture.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include <sqlite3.h>

using localdb::Error;

TEST_F(EngineTest, ASecondWriterGetsResourceBusyInsteadOfWaitingForever) {
    auto a = connect();
    auto b = connect();
    a->execute("CREATE TABLE t (x NUMBER)");
    a->beginTransaction();
    a->execute("INSERT INTO t VALUES (1)");
    auto start = std::chrono::steady_clock::now();
    try {
        b->execute("INSERT INTO t VALUES (2)");
        FAIL() << "the second writer was not blocked";
    } catch (const Error &e) {
        EXPECT_EQ(e.code(), 54);
        EXPECT_STREQ(e.what(), "ORA-00054: resource busy and acquire with NOWAIT specified or timeout expired");
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    // Readers are never blocked.
    EXPECT_EQ(scalar(*b, "SELECT count(*) FROM t"), "0");
    a->commit();
    EXPECT_NO_THROW(b->execute("INSERT INTO t VALUES (2)"));
    EXPECT_EQ(scalar(*a, "SELECT count(*) FROM t"), "2");
}

TEST_F(EngineTest, TwoProcessesIncrementingOneCounterLoseNoUpdate) {
    {
        auto s = connect();
        s->execute("CREATE TABLE counter (n NUMBER)");
        s->execute("INSERT INTO counter VALUES (0)");
    }
    const int perProcess = 200;
    std::vector<pid_t> children;
    for (int p = 0; p < 2; ++p) {
        pid_t pid = fork();
        if (pid == 0) {
            int failures = 0;
            try {
                auto s = localdb::Session::open(path_, "SYSTEM", "MANAGER");
                for (int i = 0; i < perProcess; ++i) {
                    for (;;) {
                        try {
                            s->execute("UPDATE counter SET n = n + 1");
                            break;
                        } catch (const Error &e) {
                            if (e.code() != 54 || ++failures > 50)
                                _exit(2);
                        }
                    }
                }
            } catch (...) {
                _exit(3);
            }
            _exit(0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
    }
    auto s = connect();
    EXPECT_EQ(scalar(*s, "SELECT n FROM counter"), std::to_string(2 * perProcess));
}

TEST_F(EngineTest, AKilledProcessLeavesCommittedRowsAndASoundFile) {
    {
        auto s = connect();
        s->execute("CREATE TABLE log (n NUMBER, text VARCHAR2(100))");
    }
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    pid_t pid = fork();
    if (pid == 0) {
        close(pipeFds[0]);
        auto s = localdb::Session::open(path_, "SYSTEM", "MANAGER");
        for (int i = 1; i <= 100; ++i)
            s->execute("INSERT INTO log VALUES (" + std::to_string(i) + ", 'committed')");
        s->beginTransaction();
        for (int i = 0;; ++i) {
            s->execute("INSERT INTO log VALUES (-1, 'never committed')");
            if (i == 50) {
                char c = 'x';
                (void)!write(pipeFds[1], &c, 1);
            }
        }
    }
    close(pipeFds[1]);
    char c;
    ASSERT_EQ(read(pipeFds[0], &c, 1), 1);
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    close(pipeFds[0]);
    auto s = connect();
    EXPECT_EQ(scalar(*s, "SELECT count(*) FROM log WHERE n > 0"), "100");
    EXPECT_EQ(scalar(*s, "SELECT count(*) FROM log WHERE n < 0"), "0");
    // The killed writer's lock is gone: writing works at once.
    EXPECT_NO_THROW(s->execute("INSERT INTO log VALUES (101, 'after')"));
    sqlite3 *raw = nullptr;
    ASSERT_EQ(sqlite3_open(path_.c_str(), &raw), SQLITE_OK);
    sqlite3_stmt *check = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(raw, "PRAGMA integrity_check", -1, &check, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char *>(sqlite3_column_text(check, 0)), "ok");
    sqlite3_finalize(check);
    sqlite3_close(raw);
}

TEST_F(EngineTest, SelectForUpdateAndLockTableHoldOffOtherWriters) {
    auto a = connect();
    auto b = connect();
    a->execute("CREATE TABLE t (x NUMBER)");
    a->execute("INSERT INTO t VALUES (1)");
    a->beginTransaction();
    auto rows = a->query("SELECT x FROM t FOR UPDATE");
    ASSERT_TRUE(rows->next());
    try {
        b->execute("UPDATE t SET x = 2");
        FAIL() << "the row locked for update was changed";
    } catch (const Error &e) {
        EXPECT_EQ(e.code(), 54);
    }
    a->commit();
    EXPECT_NO_THROW(b->execute("UPDATE t SET x = 2"));
    a->beginTransaction();
    a->execute("LOCK TABLE t IN EXCLUSIVE MODE NOWAIT");
    EXPECT_THROW(b->execute("DELETE FROM t"), Error);
    a->rollback();
    EXPECT_THROW(a->execute("LOCK TABLE nosuch IN SHARE MODE"), Error);
}

// NEXTVAL writes the sequence's block: a query drawing numbers must neither hold the write lock
// while its cursor stays open nor fail when another session is writing.
TEST_F(EngineTest, AQueryDrawingSequenceNumbersLeavesNoLockBehindAndWaitsForAWriter) {
    auto a = connect();
    auto b = connect();
    a->execute("CREATE TABLE t (x NUMBER)");
    a->execute("CREATE SEQUENCE s NOCACHE");
    auto open = a->query("SELECT s.NEXTVAL FROM dual CONNECT BY LEVEL <= 3");
    ASSERT_TRUE(open->next());
    EXPECT_EQ(std::get<std::int64_t>(open->value(0)), 1);
    auto start = std::chrono::steady_clock::now();
    EXPECT_NO_THROW(b->execute("INSERT INTO t VALUES (1)"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    ASSERT_TRUE(open->next());
    EXPECT_EQ(std::get<std::int64_t>(open->value(0)), 2);

    b->beginTransaction();
    b->execute("INSERT INTO t VALUES (2)");
    std::thread committer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        b->commit();
    });
    EXPECT_EQ(scalar(*a, "SELECT s.NEXTVAL FROM dual"), "4");
    committer.join();
    // Inside a transaction the rows are read as fetched, and a rollback gives no number back.
    a->beginTransaction();
    auto lazy = a->query("SELECT s.NEXTVAL FROM dual");
    ASSERT_TRUE(lazy->next());
    EXPECT_EQ(std::get<std::int64_t>(lazy->value(0)), 5);
    lazy.reset();
    a->rollback();
    EXPECT_EQ(scalar(*a, "SELECT s.NEXTVAL FROM dual"), "6");
}
