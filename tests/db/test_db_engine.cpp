// The session interface on the real engine, a fresh database in a private temporary folder per
// test: opening, dynasets read forward and to the end, fields by index and name, row counts,
// transactions, error positions in Japanese statements and bind parameters.
#include "db_file_fixture.h"
#include "db/ora_error.h"
#include "db/session_factory.h"

#include "localdb/localdb.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using db::EOraError;

namespace {

class DbEngineTest : public DbFileTest {
protected:
    // The values of the first field, record by record, as the grid would show text.
    std::vector<db::Variant> Column(const std::string &sql)
    {
        auto dynaset = database_->DbCreateDynaset(sql, 8);
        std::vector<db::Variant> values;
        auto field = dynaset->Fields(0);
        for (; !dynaset->Eof(); dynaset->MoveNext()) values.push_back(field->Value());
        return values;
    }

};

db::Variant Text(const char *s) { return std::string(s); }
db::Variant Int(std::int64_t i) { return i; }

} // namespace

TEST_F(DbEngineTest, LoginFailuresCarryTheEngineMessage)
{
    try {
        session_->OpenDatabase(path_, "system/wrong", 0);
        FAIL() << "a wrong password must not connect";
    } catch (const EOraError &e) {
        EXPECT_EQ(e.Code(), 1017);
        EXPECT_EQ(std::string(e.what()).rfind("ORA-01017", 0), 0u) << e.what();
    }
    try {
        session_->OpenDatabase((folder_ / "nosuch" / "x.kdb").string(), "system/manager", 0);
        FAIL() << "a host naming no database must not connect";
    } catch (const EOraError &e) {
        EXPECT_STRNE(e.what(), "");
    }
    EXPECT_THROW(session_->OpenDatabase(path_, "system", 0), EOraError) << "no password";
}

TEST_F(DbEngineTest, DynasetReadsForwardWithFieldsByIndexAndName)
{
    database_->DbExecuteSQL("create table emp (empno number(4), ename varchar2(20), hired date, sal number(7,2))");
    EXPECT_EQ(database_->DbExecuteSQL("insert into emp values (7369, 'SMITH', to_date('1980-12-17', 'YYYY-MM-DD'), 800)"), 1);
    database_->DbExecuteSQL("insert into emp values (7499, '\x8e\x52\x93\x63', null, 1600.5)");  // 山田
    auto dynaset = database_->DbCreateDynaset("select empno, ename, hired, sal from emp order by empno", 4);
    ASSERT_EQ(dynaset->Fields().Count(), 4);
    auto empno = dynaset->Fields(0);
    auto ename = dynaset->Fields("Ename");
    EXPECT_EQ(empno->name(), "EMPNO");
    EXPECT_EQ(empno->type(), db::ftInteger);
    EXPECT_EQ(ename->type(), db::ftText);
    EXPECT_EQ(dynaset->Fields("HIRED")->type(), db::ftDate);
    EXPECT_EQ(dynaset->Fields("sal")->type(), db::ftDouble);
    EXPECT_THROW(dynaset->Fields(4), EOraError);
    EXPECT_THROW(dynaset->Fields("nosuch"), EOraError);

    ASSERT_FALSE(dynaset->Eof());
    EXPECT_EQ(empno->Value(), Int(7369));
    EXPECT_EQ(ename->Value(), Text("SMITH"));
    EXPECT_EQ(dynaset->Fields(2)->Value(), db::Variant(db::DateTime{1980, 12, 17, 0, 0, 0}));
    dynaset->MoveNext();
    EXPECT_EQ(ename->Value(), Text("\x8e\x52\x93\x63")) << "text comes back in code page 932";
    EXPECT_TRUE(db::IsNull(dynaset->Fields(2)->Value()));
    EXPECT_EQ(dynaset->Fields(3)->Value(), db::Variant(1600.5));
    dynaset->MoveNext();
    EXPECT_TRUE(dynaset->Eof());
    EXPECT_TRUE(db::IsNull(empno->Value())) << "past the end a field reads null";
    dynaset->MoveNext();
    EXPECT_TRUE(dynaset->Eof());

    // A field keeps its dynaset alive after the caller let go of it.
    auto kept = database_->DbCreateDynaset("select ename from emp order by empno", 8)->Fields(0);
    EXPECT_EQ(kept->Value(), Text("SMITH"));
}

// The grid shows BINARY_FLOAT / BINARY_DOUBLE in Oracle's scientific form, NUMBER as decimals.
TEST_F(DbEngineTest, BinaryNumberFieldsAreMarkedAndWrittenInScientificForm)
{
    auto dynaset = database_->DbCreateDynaset(
        "select cast(10 as binary_double) d, cast(1.5 as binary_float) f, 10 n from dual", 4);
    EXPECT_EQ(dynaset->Fields(0)->binaryKind(), 'D');
    EXPECT_EQ(dynaset->Fields(1)->binaryKind(), 'F');
    EXPECT_EQ(dynaset->Fields(2)->binaryKind(), 0);
    EXPECT_EQ(db::BinaryNumberText(1.0 / 3, false), "3.33333333333333E-001");
    EXPECT_EQ(db::BinaryNumberText(10, false), "1.0E+001");
}

TEST_F(DbEngineTest, EmptyResultIsAtItsEndAndMoveLastStopsOnTheLastRecord)
{
    database_->DbExecuteSQL("create table t (n number)");
    auto empty = database_->DbCreateDynaset("select n from t", 8);
    EXPECT_TRUE(empty->Eof());
    empty->MoveLast();
    EXPECT_TRUE(empty->Eof());

    for (int i = 1; i <= 5; ++i) database_->DbExecuteSQL("insert into t values (" + std::to_string(i) + ")");
    auto five = database_->DbCreateDynaset("select n from t order by n", 8);
    five->MoveLast();
    ASSERT_FALSE(five->Eof());
    EXPECT_EQ(five->Fields(0)->Value(), Int(5));
    five->MoveNext();
    EXPECT_TRUE(five->Eof());
    EXPECT_EQ(Column("select n from t where n > 3 order by n"), (std::vector<db::Variant>{Int(4), Int(5)}));
}

TEST_F(DbEngineTest, StatementsReportRowsAndQueriesOnlyMakeDynasets)
{
    database_->DbExecuteSQL("create table t (n number)");
    for (int i = 0; i < 3; ++i) database_->DbExecuteSQL("insert into t values (1)");
    EXPECT_EQ(database_->DbExecuteSQL("update t set n = 2"), 3);
    EXPECT_EQ(database_->ExecuteSQL("delete from t where n = 2"), 3);
    // A statement that is no query is refused before it runs: nothing is inserted, deleted or
    // dropped on the way to the error.
    EXPECT_THROW(database_->DbCreateDynaset("insert into t values (9)", 8), EOraError);
    database_->DbExecuteSQL("insert into t values (1)");
    EXPECT_THROW(database_->DbCreateDynaset(" /* all */ delete from t", 8), EOraError);
    EXPECT_THROW(database_->DbCreateDynaset("drop table t", 8), EOraError);
    EXPECT_EQ(Column("select n from t"), std::vector<db::Variant>{Int(1)});
    // Queries may open with comments, parentheses or a WITH clause.
    EXPECT_EQ(Column("-- one\n(select n from t)"), std::vector<db::Variant>{Int(1)});
    EXPECT_EQ(Column("/* q */ with q as (select n from t) select n from q"), std::vector<db::Variant>{Int(1)});
}

TEST_F(DbEngineTest, TransactionsCommitAndRollBack)
{
    database_->DbExecuteSQL("create table t (n number)");
    session_->DbBeginTrans();
    database_->DbExecuteSQL("insert into t values (1)");
    session_->DbRollback();
    EXPECT_TRUE(Column("select n from t").empty());

    session_->DbBeginTrans();
    session_->DbBeginTrans();  // a second begin keeps the open transaction
    database_->DbExecuteSQL("insert into t values (2)");
    session_->DbCommitTrans();
    session_->DbRollback();  // nothing open: nothing to undo
    EXPECT_EQ(Column("select n from t"), std::vector<db::Variant>{Int(2)});

    // Another session sees the committed row.
    auto other = db::CreateSessionObject(db::kSessionProgId)->OpenDatabase(path_, "system/manager", 0);
    EXPECT_EQ(other->DbCreateDynaset("select count(*) from t", 8)->Fields(0)->Value(), Int(1));
}

TEST_F(DbEngineTest, LastServerErrPosIsZeroThenMinusOneThenTheByteOffsetSent)
{
    EXPECT_EQ(database_->LastServerErrPos(), 0) << "nothing parsed yet";
    database_->DbCreateDynaset("select 1 from dual", 8);
    EXPECT_EQ(database_->LastServerErrPos(), -1);

    // '日本' is 4 bytes here and 6 in the engine's UTF-8: the position must count the former.
    const std::string sent = "select '\x93\xfa\x96\x7b', nope from dual";
    try {
        database_->DbCreateDynaset(sent, 4);
        FAIL() << "an unknown column must fail";
    } catch (const EOraError &e) {
        EXPECT_EQ(e.Code(), 904);
        EXPECT_EQ(e.Position(), 15);
    }
    EXPECT_EQ(database_->LastServerErrPos(), 15);
    EXPECT_EQ(sent.substr(static_cast<std::size_t>(database_->LastServerErrPos()), 4), "nope");

    EXPECT_THROW(database_->DbExecuteSQL("drop zzz"), EOraError);
    EXPECT_EQ(database_->LastServerErrPos(), 5);

    database_->DbExecuteSQL("create table u (n number primary key)");
    database_->DbExecuteSQL("insert into u values (1)");
    EXPECT_THROW(database_->DbExecuteSQL("insert into u values (1)"), EOraError);
    EXPECT_EQ(database_->LastServerErrPos(), -1) << "an execution error is no parse error";
}

TEST_F(DbEngineTest, ParametersBindByNameToEveryStatementThatUsesThem)
{
    database_->DbExecuteSQL("create table emp (empno number(4), ename varchar2(20))");
    database_->Parameters().Add("EMPNO", Int(7369), db::paramInput);
    database_->Parameters().Add("ENAME", Text("\x83\x65\x83\x58\x83\x67"), db::paramInput);  // テスト
    database_->Parameters().Add("UNUSED", Text("x"), db::paramInput);
    EXPECT_EQ(database_->DbExecuteSQL("insert into emp values (:empno, :ename)"), 1);
    database_->Parameters("EMPNO").SetValue(Int(7499));
    database_->Parameters("ename").SetValue(Text("ALLEN"));
    database_->DbExecuteSQL("insert into emp values (:EMPNO, :ENAME)");
    EXPECT_EQ(Column("select ename from emp where empno = :empno"), std::vector<db::Variant>{Text("ALLEN")});
    database_->Parameters().Remove("empno");
    EXPECT_EQ(Column("select ename from emp order by empno"),
              (std::vector<db::Variant>{Text("\x83\x65\x83\x58\x83\x67"), Text("ALLEN")}));
    EXPECT_THROW(database_->DbCreateDynaset("select ename from emp where empno = :empno", 8), EOraError)
        << "a removed parameter is no longer bound";
}
