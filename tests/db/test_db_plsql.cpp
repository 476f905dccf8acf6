// The PL/SQL workbench's own statements through the session interface, on the real engine:
// compiling units, reading them back from the dictionary with the workbench's exact queries,
// calling a package function with bind variables and draining DBMS_OUTPUT line by line.
#include "db_file_fixture.h"
#include "db/ora_error.h"
#include "db/session_factory.h"

#include "localdb/localdb.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

class DbPlsqlTest : public DbFileTest {
protected:
    void SetUp() override
    {
        DbFileTest::SetUp();
        if (HasFatalFailure())
            return;
        database_->DbExecuteSQL("create or replace package PKG as\n"
                                "  function F(A number) return number;\n"
                                "  procedure SAY(N number);\n"
                                "end PKG;");
        database_->DbExecuteSQL("create or replace package body PKG as\n"
                                "  function F(A number) return number is\n"
                                "  begin\n"
                                "    return A * 2;\n"
                                "  end F;\n"
                                "  procedure SAY(N number) is\n"
                                "  begin\n"
                                "    for i in 1 .. N loop\n"
                                "      dbms_output.put_line('line ' || i);\n"
                                "      dbms_output.put_line('   ');\n"
                                "    end loop;\n"
                                "  end SAY;\n"
                                "end PKG;");
    }

    // Each record's fields joined by "|", as the workbench reads them.
    std::vector<std::string> Rows(const std::string &sql, const std::vector<std::string> &fields)
    {
        std::vector<std::string> rows;
        auto dynaset = database_->DbCreateDynaset(sql, 8);
        for (; !dynaset->Eof(); dynaset->MoveNext()) {
            std::string row;
            for (const auto &f : fields) {
                const db::Variant &v = dynaset->Fields(f)->Value();
                if (!row.empty() || &f != &fields.front())
                    row += "|";
                if (auto *s = std::get_if<std::string>(&v))
                    row += *s;
                else if (auto *i = std::get_if<std::int64_t>(&v))
                    row += std::to_string(*i);
                else if (auto *d = std::get_if<double>(&v))
                    row += std::to_string(*d);
            }
            rows.push_back(row);
        }
        return rows;
    }

};

TEST_F(DbPlsqlTest, BrowserQueriesListTheUnitsTheirMembersAndSource)
{
    EXPECT_EQ(Rows("select OBJECT_TYPE, OBJECT_NAME  from user_objects  where OBJECT_TYPE in('PACKAGE','PACKAGE BODY',"
                   "'FUNCTION','PROCEDURE') order by OBJECT_TYPE, OBJECT_NAME ",
                   {"OBJECT_TYPE", "OBJECT_NAME"}),
              (std::vector<std::string>{"PACKAGE|PKG", "PACKAGE BODY|PKG"}));
    EXPECT_EQ(Rows("select A.OBJECT_NAME, A.PACKAGE_NAME, O.OBJECT_TYPE  from user_arguments A,user_objects O  where "
                   "A.OBJECT_ID = O.OBJECT_ID and        O.object_type='PACKAGE'   group by A.OBJECT_NAME, "
                   "A.PACKAGE_NAME, O.OBJECT_TYPE  order by A.PACKAGE_NAME, A.OBJECT_NAME ",
                   {"OBJECT_NAME", "PACKAGE_NAME", "OBJECT_TYPE"}),
              (std::vector<std::string>{"F|PKG|PACKAGE", "SAY|PKG|PACKAGE"}));
    // The parameter grid of PKG.F: the result first, without a name.
    EXPECT_EQ(Rows("select position,sequence,data_level,data_type,in_out,argument_name  from user_arguments  where "
                   "       object_name='F'   and data_level=0 and package_name='PKG' order by sequence",
                   {"POSITION", "SEQUENCE", "DATA_TYPE", "IN_OUT", "ARGUMENT_NAME"}),
              (std::vector<std::string>{"0|1|NUMBER|OUT|", "1|2|NUMBER|IN|A"}));
    const auto source = Rows("select * from user_source where NAME = 'PKG' and       type='PACKAGE BODY'order by line",
                             {"LINE", "TEXT"});
    ASSERT_EQ(source.size(), 13u);
    EXPECT_EQ(source.front(), "1|package body PKG as\n");
    EXPECT_EQ(source.back(), "13|end PKG;");
    const auto objects = Rows("select * from user_objects where object_type='PACKAGE'", {"OBJECT_NAME", "STATUS"});
    EXPECT_EQ(objects, (std::vector<std::string>{"PKG|VALID"}));
}

TEST_F(DbPlsqlTest, CompileErrorsAreStoredAndTheStatementDoesNotPassForSuccess)
{
    // A missing semicolon on line 3 of the body.
    try {
        database_->DbExecuteSQL("create or replace procedure P is\nbegin\n  null\nend;");
        FAIL() << "a unit with errors was reported as compiled";
    } catch (const db::EOraError &e) {
        EXPECT_NE(std::string(e.what()).find("ORA-24344"), std::string::npos) << e.what();
    }
    const auto errors = Rows("select * from User_Errors  where TYPE='PROCEDURE' and        NAME='P' order by SEQUENCE",
                             {"LINE", "POSITION", "TEXT"});
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].substr(0, errors[0].find('\n')),
              "4|1|PLS-00103: Encountered the symbol \"END\" when expecting one of the following:");
    EXPECT_EQ(Rows("select * from user_objects where object_type='PROCEDURE'", {"OBJECT_NAME", "STATUS"}),
              (std::vector<std::string>{"P|INVALID"}));
}

TEST_F(DbPlsqlTest, CallTextsBindResultAndInputAndDrainTheOutput)
{
    // Begin :RES := PKG.F(:A); End; with the grid's text value for A.
    auto &res = database_->Parameters().Add("RES", db::Variant(std::int64_t(0)), db::paramOutput);
    res.SetServerType(2);
    auto &a = database_->Parameters().Add("A", db::Variant(std::string("5")), db::paramInput);
    a.SetServerType(2);
    session_->DbBeginTrans();
    database_->DbExecuteSQL("Begin :RES := PKG.F(:A); End;");
    session_->DbCommitTrans();
    const db::Variant &v = database_->Parameters("RES").Value();
    ASSERT_TRUE(std::holds_alternative<std::int64_t>(v));
    EXPECT_EQ(std::get<std::int64_t>(v), 10);
    database_->Parameters().Remove("RES");
    database_->Parameters().Remove("A");

    database_->DbExecuteSQL("begin dbms_output.enable(20000); end;");
    database_->DbExecuteSQL("Begin PKG.SAY(2); End;");
    database_->Parameters().Add("LINE", db::Variant(std::string()), db::paramOutput).SetServerType(1);
    database_->Parameters().Add("STATUS", db::Variant(std::int64_t(0)), db::paramOutput).SetServerType(2);
    std::vector<std::string> lines;
    for (int guard = 0; guard < 10; ++guard) {
        session_->DbBeginTrans();
        database_->DbExecuteSQL("Begin dbms_output.get_line(:line, :status); End;");
        session_->DbCommitTrans();
        const db::Variant &status = database_->Parameters("STATUS").Value();
        ASSERT_TRUE(std::holds_alternative<std::int64_t>(status));
        if (std::get<std::int64_t>(status) != 0)
            break;
        const db::Variant &line = database_->Parameters("LINE").Value();
        lines.push_back(std::holds_alternative<std::string>(line) ? std::get<std::string>(line) : "(null)");
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"line 1", "   ", "line 2", "   "}));
    database_->DbExecuteSQL("begin dbms_output.disable; end;");
}

TEST_F(DbPlsqlTest, StandaloneFunctionGridAndCallsWithEachServerTypeAndInOutParameters)
{
    database_->DbExecuteSQL("create or replace function FN(A number, D date, S varchar2) return varchar2 is\n"
                            "begin\n"
                            "  if A < 0 then raise_application_error(-20001, 'negative'); end if;\n"
                            "  return S || to_char(A * 2) || to_char(D, ' YYYY-MM-DD');\n"
                            "end FN;");
    database_->DbExecuteSQL("create or replace package PKG2 as\n"
                            "  procedure INC(X in out number, Y out varchar2);\n"
                            "end PKG2;");
    database_->DbExecuteSQL("create or replace package body PKG2 as\n"
                            "  procedure INC(X in out number, Y out varchar2) is\n"
                            "  begin\n"
                            "    X := nvl(X, 0) + 1; Y := 'done';\n"
                            "  end INC;\n"
                            "end PKG2;");
    // The grid's member list for the kind FUNCTION and the member's rows, without a package name.
    EXPECT_EQ(Rows("select A.OBJECT_NAME, A.PACKAGE_NAME, O.OBJECT_TYPE  from user_arguments A,user_objects O  where "
                   "A.OBJECT_ID = O.OBJECT_ID and        O.object_type='FUNCTION'  group by A.OBJECT_NAME, "
                   "A.PACKAGE_NAME, O.OBJECT_TYPE  order by A.PACKAGE_NAME, A.OBJECT_NAME ",
                   {"OBJECT_NAME", "PACKAGE_NAME", "OBJECT_TYPE"}),
              (std::vector<std::string>{"FN||FUNCTION"}));
    EXPECT_EQ(Rows("select position,sequence,data_level,data_type,in_out,argument_name  from user_arguments  where "
                   "       object_name='FN'   and data_level=0 order by sequence",
                   {"POSITION", "SEQUENCE", "DATA_TYPE", "IN_OUT", "ARGUMENT_NAME"}),
              (std::vector<std::string>{"0|1|VARCHAR2|OUT|", "1|2|NUMBER|IN|A", "2|3|DATE|IN|D", "3|4|VARCHAR2|IN|S"}));
    EXPECT_EQ(Rows("select position,sequence,data_level,data_type,in_out,argument_name  from user_arguments  where "
                   "       object_name='INC'   and data_level=0 and package_name='PKG2' order by sequence",
                   {"POSITION", "DATA_TYPE", "IN_OUT", "ARGUMENT_NAME"}),
              (std::vector<std::string>{"1|NUMBER|IN/OUT|X", "2|VARCHAR2|OUT|Y"}));
    // The object grid shows the dates as dates.
    auto grid = database_->DbCreateDynaset("select * from user_objects where object_type='FUNCTION'", 8);
    ASSERT_FALSE(grid->Eof());
    EXPECT_TRUE(std::holds_alternative<localdb::DateTime>(grid->Fields("CREATED")->Value()));
    EXPECT_TRUE(std::holds_alternative<localdb::DateTime>(grid->Fields("LAST_DDL_TIME")->Value()));

    // :RES := FN(:A,:D,:S) with a currency number, a date and a text.
    auto bindCall = [&](double a) {
        database_->Parameters().Add("RES", db::Variant(std::string()), db::paramOutput).SetServerType(1);
        database_->Parameters().Add("A", db::Variant(a), db::paramInput).SetServerType(2);
        database_->Parameters().Add("D", db::Variant(localdb::DateTime{2026, 12, 7, 0, 0, 0}), db::paramInput)
            .SetServerType(12);
        database_->Parameters().Add("S", db::Variant(std::string("x=")), db::paramInput).SetServerType(1);
    };
    auto unbindCall = [&] {
        for (const char *name : {"RES", "A", "D", "S"})
            database_->Parameters().Remove(name);
    };
    bindCall(1.25);
    session_->DbBeginTrans();
    database_->DbExecuteSQL("Begin :RES := FN(:A,:D,:S); End;");
    session_->DbCommitTrans();
    EXPECT_EQ(std::get<std::string>(database_->Parameters("RES").Value()), "x=2.5 2026-12-07");
    unbindCall();
    // A failing call reports Oracle's stack.
    bindCall(-1);
    session_->DbBeginTrans();
    try {
        database_->DbExecuteSQL("Begin :RES := FN(:A,:D,:S); End;");
        FAIL() << "the call did not fail";
    } catch (const db::EOraError &e) {
        EXPECT_EQ(std::string(e.what()).substr(0, 26), "ORA-20001: negative\nORA-06");
    }
    unbindCall();

    // PKG2.INC(:X,:Y): the in-out parameter starts as 0, the out one as the empty text.
    database_->Parameters().Add("X", db::Variant(std::int64_t(0)), db::paramInputOutput).SetServerType(2);
    database_->Parameters().Add("Y", db::Variant(std::string()), db::paramOutput).SetServerType(1);
    database_->DbExecuteSQL("Begin PKG2.INC(:X,:Y); End;");
    EXPECT_EQ(std::get<std::int64_t>(database_->Parameters("X").Value()), 1);
    EXPECT_EQ(std::get<std::string>(database_->Parameters("Y").Value()), "done");
    database_->Parameters().Remove("X");
    database_->Parameters().Remove("Y");
}

TEST_F(DbPlsqlTest, DrainUsesTheLowerCaseBindNamesAndEndsWithStatusOne)
{
    database_->DbExecuteSQL("begin dbms_output.enable(20000); end;");
    database_->DbExecuteSQL("Begin PKG.SAY(1); End;");
    database_->Parameters().Add("line", db::Variant(std::string()), db::paramOutput).SetServerType(1);
    database_->Parameters().Add("status", db::Variant(std::int64_t(0)), db::paramOutput).SetServerType(2);
    std::vector<std::string> lines;
    for (int guard = 0; guard < 5; ++guard) {
        database_->DbExecuteSQL("Begin dbms_output.get_line(:line, :status); End;");
        if (std::get<std::int64_t>(database_->Parameters("status").Value()) != 0)
            break;
        const db::Variant &line = database_->Parameters("line").Value();
        lines.push_back(std::holds_alternative<std::string>(line) ? std::get<std::string>(line) : "(null)");
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"line 1", "   "}));
    // No more lines: the line comes back null.
    EXPECT_TRUE(std::holds_alternative<std::monostate>(database_->Parameters("line").Value()));
    database_->DbExecuteSQL("begin dbms_output.disable; end;");
}

} // namespace
