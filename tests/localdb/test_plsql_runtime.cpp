// The PL/SQL runtime under load: runaway work stopped from another thread or by the progress
// handler with ORA-01013 (the session usable afterwards, only the cancelled call's changes
// undone), and recursion far deeper than a thread's stack ending in a result or a clean
// STORAGE_ERROR, never a crash.
#include "engine_fixture.h"

#include <chrono>
#include <optional>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// A sanitized build runs deep calls on a smaller stack with larger frames: it reaches fewer levels.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kFarDepth = 10000;
#else
constexpr int kFarDepth = 100000;
#endif

class PlsqlRuntimeTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        session_ = connect();
    }
    void TearDown() override {
        session_.reset();
        EngineTest::TearDown();
    }

    // Runs sql, asking for a cancel from another thread after delayMs; the error it ended with.
    std::optional<localdb::Error> runCancelled(const std::string &sql, int delayMs = 150) {
        std::thread canceller([this, delayMs] {
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
            session_->cancel();
        });
        std::optional<localdb::Error> error;
        const auto start = Clock::now();
        try {
            localdb::StatementResult result = session_->execute(sql);
            while (result.cursor && result.cursor->next()) {
            }
        } catch (const localdb::Error &e) {
            error = e;
        }
        canceller.join();
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(20)) << sql;
        return error;
    }

    void expectCancelled(const std::optional<localdb::Error> &error, const std::string &what) {
        ASSERT_TRUE(error.has_value()) << what << " ran to its end";
        EXPECT_EQ(error->code(), 1013) << what << ": " << error->what();
        EXPECT_EQ(std::string(error->what()).rfind("ORA-01013: user requested cancel of current operation", 0), 0u)
            << error->what();
        // The session answers the next call, which a cancel already taken does not reach.
        EXPECT_EQ(scalar(*session_, "SELECT 1 FROM dual"), "1") << what;
    }

    std::unique_ptr<localdb::Session> session_;
};

TEST_F(PlsqlRuntimeTest, RunawayLoopsAreCancelledFromAnotherThread) {
    session_->execute("CREATE TABLE t (n NUMBER)");
    const char *const loops[] = {
        "BEGIN LOOP NULL; END LOOP; END;",
        "DECLARE i PLS_INTEGER := 0; n NUMBER := 0; BEGIN WHILE TRUE LOOP i := i + 1; n := n + i / 3; "
        "IF i > 1000000 THEN i := 0; END IF; END LOOP; END;",
        "DECLARE n NUMBER; BEGIN LOOP SELECT COUNT(*) INTO n FROM t; END LOOP; END;",
        "BEGIN LOOP INSERT INTO t VALUES (1); DELETE FROM t; END LOOP; END;",
        "DECLARE i PLS_INTEGER := 0; BEGIN <<again>> i := i + 1; GOTO again; END;",
        "BEGIN FOR i IN 1 .. 2000000000 LOOP NULL; END LOOP; END;",
    };
    for (const char *sql : loops)
        expectCancelled(runCancelled(sql), sql);
    EXPECT_EQ(scalar(*session_, "SELECT COUNT(*) FROM t"), "0");

    // A function that never returns, called by a query.
    session_->execute("CREATE OR REPLACE FUNCTION endless RETURN NUMBER IS BEGIN LOOP NULL; END LOOP; END;");
    expectCancelled(runCancelled("SELECT endless() FROM dual"), "function in a query");

    // A cancel asked for while nothing ran does not reach the next call.
    session_->cancel();
    session_->execute("DECLARE i PLS_INTEGER := 0; BEGIN WHILE i < 100000 LOOP i := i + 1; END LOOP; END;");
}

TEST_F(PlsqlRuntimeTest, ACancelledBlockUndoesItsOwnChangesOnly) {
    session_->execute("CREATE TABLE t (n NUMBER)");
    session_->beginTransaction();
    session_->execute("INSERT INTO t VALUES (1)");
    expectCancelled(runCancelled("BEGIN INSERT INTO t VALUES (2); UPDATE t SET n = n + 10; LOOP NULL; END LOOP; END;"),
                    "block in a transaction");
    EXPECT_EQ(scalar(*session_, "SELECT SUM(n) FROM t"), "1");
    session_->commit();
    auto other = connect();
    EXPECT_EQ(scalar(*other, "SELECT SUM(n) FROM t"), "1");

    // Outside a transaction the cancelled block's insert is gone as well.
    expectCancelled(runCancelled("BEGIN INSERT INTO t VALUES (3); LOOP NULL; END LOOP; END;"), "autocommit block");
    EXPECT_EQ(scalar(*other, "SELECT SUM(n) FROM t"), "1");
    EXPECT_EQ(scalar(*session_, "SELECT SUM(n) FROM t"), "1");
}

TEST_F(PlsqlRuntimeTest, RecursionFarDeeperThanAThreadStackEndsCleanly) {
    session_->execute("CREATE OR REPLACE FUNCTION depth(n NUMBER) RETURN NUMBER IS\n"
                      "BEGIN\n"
                      "  IF n <= 0 THEN RETURN 0; END IF;\n"
                      "  RETURN depth(n - 1) + 1;\n"
                      "END;");
    EXPECT_EQ(scalar(*session_, "SELECT depth(" + std::to_string(kFarDepth) + ") FROM dual"), std::to_string(kFarDepth));

    session_->execute("CREATE OR REPLACE FUNCTION forever(n NUMBER) RETURN NUMBER IS\n"
                      "BEGIN\n"
                      "  RETURN forever(n + 1);\n"
                      "END;");
    try {
        session_->execute("DECLARE x NUMBER; BEGIN x := forever(1); END;");
        ADD_FAILURE() << "infinite recursion returned";
    } catch (const localdb::Error &e) {
        EXPECT_EQ(e.code(), 6500);
        const std::string text = e.what();
        EXPECT_EQ(text.rfind("ORA-06500: PL/SQL: storage error\nORA-06512: at \"SYSTEM.FOREVER\", line 3", 0), 0u)
            << text.substr(0, 200);
    }
    // The session goes on, deep calls included.
    EXPECT_EQ(scalar(*session_, "SELECT depth(" + std::to_string(kFarDepth / 5) + ") FROM dual"), std::to_string(kFarDepth / 5));

    // Deep recursion that then spins is stopped like any runaway call.
    session_->execute("CREATE OR REPLACE PROCEDURE spin(n NUMBER) IS\n"
                      "BEGIN\n"
                      "  IF n > 0 THEN spin(n - 1); ELSE LOOP NULL; END LOOP; END IF;\n"
                      "END;");
    expectCancelled(runCancelled("BEGIN spin(" + std::to_string(kFarDepth / 2) + "); END;", 500), "spin far down");
}

TEST_F(PlsqlRuntimeTest, ProgressHandlerRunsDuringABlockWithoutSql) {
    // The handler runs while a block computes, as it does during a long query, and its answer
    // stops the block; deep recursion in a helper thread still calls it on this thread.
    int calls = 0;
    std::thread::id caller;
    session_->setProgressHandler(
        [&] {
            caller = std::this_thread::get_id();
            return ++calls == 3;
        },
        0);
    session_->execute("CREATE OR REPLACE PROCEDURE spin(n NUMBER) IS\n"
                      "BEGIN\n"
                      "  IF n > 0 THEN spin(n - 1); ELSE LOOP NULL; END LOOP; END IF;\n"
                      "END;");
    for (const char *sql : {"BEGIN LOOP NULL; END LOOP; END;", "BEGIN spin(50000); END;"}) {
        calls = 0;
        try {
            session_->execute(sql);
            ADD_FAILURE() << sql << " ran to its end";
        } catch (const localdb::Error &e) {
            EXPECT_EQ(e.code(), 1013) << sql << ": " << e.what();
        }
        EXPECT_EQ(calls, 3) << sql;
        EXPECT_EQ(caller, std::this_thread::get_id()) << sql;
    }
    session_->setProgressHandler({}, 0);
    EXPECT_EQ(scalar(*session_, "SELECT 1 FROM dual"), "1");
}

}  // namespace
