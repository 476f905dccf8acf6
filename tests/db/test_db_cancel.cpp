// Stopping long calls: a query cancelled from its progress handler or from another thread ends
// with ORA-01013 and leaves the session usable; a statement that changes data is never cut off
// half-way, so the open transaction's earlier work survives; a call made from inside the handler
// is refused instead of entering the engine twice.
#include "db_file_fixture.h"
#include "db/ora_error.h"
#include "db/session_factory.h"

#include "localdb/localdb.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace {

// A billion rows to count: only a cancel ends it quickly.
const std::string kEndlessQuery = "select count(*) from d a, d b, d c, d e, d f, d g, d h, d i, d j";

class DbCancelTest : public DbFileTest {
protected:
    void SetUp() override
    {
        DbFileTest::SetUp();
        if (HasFatalFailure())
            return;
        database_->DbExecuteSQL("create table d (n number)");
        database_->DbExecuteSQL("insert into d select level - 1 from dual connect by level <= 10");
    }

    int ErrorCode(const std::string &sql)
    {
        try {
            auto dynaset = database_->DbCreateDynaset(sql, 8);
            while (!dynaset->Eof())
                dynaset->MoveNext();
        } catch (const db::EOraError &e) {
            return e.Code();
        }
        return 0;
    }

};

TEST_F(DbCancelTest, HandlerRunsDuringALongQueryAndItsAnswerStopsIt)
{
    int calls = 0;
    database_->SetProgressHandler([&] { return ++calls == 3; }, 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ErrorCode(kEndlessQuery), 1013);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(calls, 3);

    // The session goes on after the cancelled call, and a later call is not cancelled.
    database_->SetProgressHandler({}, 0);
    auto dynaset = database_->DbCreateDynaset("select 1 from dual", 8);
    EXPECT_FALSE(dynaset->Eof());
}

TEST_F(DbCancelTest, ABlockWithoutSqlCallsTheHandlerAsALongQueryDoes)
{
    // The worksheet paints and asks its Esc question from the handler: a PL/SQL loop that never
    // reaches SQLite must call it too, and its answer must stop the block.
    database_->DbExecuteSQL("create table t (n number)");
    session_->DbBeginTrans();
    database_->DbExecuteSQL("insert into t values (1)");
    int calls = 0;
    database_->SetProgressHandler([&] { return ++calls == 3; }, 0);
    int code = 0;
    try {
        database_->DbExecuteSQL("begin insert into t values (2); loop null; end loop; end;");
    } catch (const db::EOraError &e) {
        code = e.Code();
    }
    EXPECT_EQ(code, 1013);
    EXPECT_EQ(calls, 3);
    database_->SetProgressHandler({}, 0);
    // Only the block's own insert is undone.
    auto dynaset = database_->DbCreateDynaset("select count(*) from t", 8);
    EXPECT_EQ(std::get<std::int64_t>(dynaset->Fields(0)->Value()), 1);
}

TEST_F(DbCancelTest, CancelFromAnotherThreadStopsTheRunningQueryOnly)
{
    // A cancel while nothing runs does not reach the next call.
    session_->Cancel();
    EXPECT_EQ(ErrorCode("select count(*) from dual connect by level <= 1000"), 0);

    std::thread canceller([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        session_->Cancel();
    });
    const auto start = std::chrono::steady_clock::now();
    const int code = ErrorCode(kEndlessQuery);
    canceller.join();
    EXPECT_EQ(code, 1013);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(DbCancelTest, AWriteRunsToItsEndAndKeepsTheTransaction)
{
    database_->DbExecuteSQL("create table t (n number)");
    session_->DbBeginTrans();
    database_->DbExecuteSQL("insert into t values (1)");
    // Asked to stop at every callback, the insert of many rows still completes: stopping it would
    // roll back the earlier insert with it.
    int calls = 0;
    database_->SetProgressHandler([&] { ++calls; return true; }, 0);
    EXPECT_EQ(database_->DbExecuteSQL("insert into t select a.n + 10 * b.n + 100 * c.n + 1000 * e.n from d a, d b, d c, d e"), 10000);
    EXPECT_GT(calls, 0);
    database_->SetProgressHandler({}, 0);
    auto dynaset = database_->DbCreateDynaset("select count(*) from t", 8);
    EXPECT_EQ(std::get<std::int64_t>(dynaset->Fields(0)->Value()), 10001);
}

TEST_F(DbCancelTest, CallsFromInsideTheHandlerAreRefused)
{
    auto open = database_->DbCreateDynaset("select level from dual connect by level <= 3", 8);
    std::string refusedRun;
    std::string refusedMove;
    database_->SetProgressHandler(
        [&] {
            try {
                database_->DbExecuteSQL("select 1 from dual");
            } catch (const db::EOraError &e) {
                refusedRun = e.what();
            }
            try {
                open->MoveNext();
            } catch (const db::EOraError &e) {
                refusedMove = e.what();
            }
            return true;
        },
        0);
    EXPECT_EQ(ErrorCode(kEndlessQuery), 1013);
    EXPECT_FALSE(refusedRun.empty());
    EXPECT_FALSE(refusedMove.empty());
    database_->SetProgressHandler({}, 0);
    // The open dynaset was not moved by the refused call.
    EXPECT_EQ(std::get<std::int64_t>(open->Fields(0)->Value()), 1);
}

} // namespace
