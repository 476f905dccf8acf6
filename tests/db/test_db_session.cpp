// The database session interface: bind-variable scanning, the parameter collection, the session
// factory, and engine errors carried over to the code page 932 text the window sent.
#include "db/bind_names.h"
#include "db/ora_error.h"
#include "db/ora_parameters.h"
#include "db/session_factory.h"
#include "db/variant.h"

#include "localdb/localdb.h"

#include <gtest/gtest.h>

using db::EOraError;

TEST(BindNames, FindsEachNameOnceOutsideQuotesAndComments)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(db::BindNamesInStatement("select * from emp where empno = :empno and ename = :Name or :EMPNO"),
              (V{"EMPNO", "NAME"}));
    EXPECT_EQ(db::BindNamesInStatement("select ':a', \":b\" from dual -- :c\n where x = :d /* :e */"), (V{"D"}));
    EXPECT_EQ(db::BindNamesInStatement("begin x := :ret; :out_1 := 2; end;"), (V{"RET", "OUT_1"}));
    EXPECT_EQ(db::BindNamesInStatement("select to_char(sysdate, 'hh24:mi') from dual"), V{});
    EXPECT_EQ(db::BindNamesInStatement("select 'unterminated :x"), V{}) << "an open quote runs to the end";
}

TEST(OraParameters, AddReplaceFindAndRemoveIgnoringCase)
{
    db::OraParameters parameters;
    parameters.Add("EmpNo", std::int64_t{7369}, db::paramInput);
    parameters.Add(":result", db::Variant{}, db::paramOutput).SetServerType(1);
    EXPECT_EQ(parameters.Count(), 2);
    EXPECT_EQ(parameters.Item("EMPNO").Value(), db::Variant{std::int64_t{7369}});
    EXPECT_EQ(parameters.Item("RESULT").ServerType(), 1);

    parameters.Add("empno", std::string("x"), db::paramInputOutput);
    EXPECT_EQ(parameters.Count(), 2) << "a second Add of a name replaces the first";
    EXPECT_EQ(parameters.Item("EMPNO").Direction(), db::paramInputOutput);

    parameters.Remove("Result");
    EXPECT_EQ(parameters.Count(), 1);
    EXPECT_EQ(parameters.Find("result"), nullptr);
    EXPECT_THROW(parameters.Remove("result"), EOraError);
    EXPECT_THROW(parameters.Item("nosuch"), EOraError);
    EXPECT_THROW(parameters.Add("x", db::Variant{}, 4), EOraError);
    EXPECT_THROW(parameters.Add(":", db::Variant{}, 1), EOraError);
}

TEST(SessionFactory, KnowsOnlyTheSessionIdentifierInAnyCase)
{
    EXPECT_NE(db::CreateSessionObject("OracleInProcServer.XOraSession"), nullptr);
    EXPECT_NE(db::CreateSessionObject("oracleinprocserver.xorasession"), nullptr);
    EXPECT_THROW(db::CreateSessionObject("Excel.Application"), EOraError);
    EXPECT_THROW(db::CreateSessionObject("").get(), EOraError);
}

TEST(SessionFactory, TransactionsBeforeOpeningRaiseInsteadOfCrashing)
{
    auto session = db::CreateSessionObject(db::kSessionProgId);
    EXPECT_THROW(session->DbBeginTrans(), EOraError);
    EXPECT_THROW(session->DbCommitTrans(), EOraError);
    EXPECT_THROW(session->DbRollback(), EOraError);
}

// The engine counts positions in the UTF-8 text it was given; the window needs them in the code
// page 932 text it sent, where a kanji takes 2 bytes instead of 3.
TEST(EngineErrors, PositionsMoveToTheCodePage932Text)
{
    const std::string sent = "select '\x93\xfa\x96\x7b', nope from dual";  // '日本'
    const localdb::Error engine(904, "ORA-00904: \"NOPE\": invalid identifier", 17);
    const EOraError error = db::FromEngineError(engine, sent);
    EXPECT_EQ(error.Position(), 15);
    EXPECT_EQ(sent.substr(15, 4), "nope");
    EXPECT_EQ(error.Code(), 904);
    EXPECT_STREQ(error.what(), "ORA-00904: \"NOPE\": invalid identifier");

    const EOraError noPosition = db::FromEngineError(localdb::Error(1, "ORA-00001: unique constraint"), sent);
    EXPECT_EQ(noPosition.Position(), -1);
    const EOraError atEnd = db::FromEngineError(localdb::Error(936, "ORA-00936: missing expression", 35), sent);
    EXPECT_EQ(atEnd.Position(), static_cast<int>(sent.size()));
}

TEST(EngineErrors, JapaneseMessagesReachTheWindowsInCodePage932)
{
    const EOraError error(942, "ORA-00942: \xe8\xa1\xa8\xe3\x81\xbe\xe3\x81\x9f\xe3\x81\xaf");  // 表または
    EXPECT_EQ(error.Cp932Message(), "ORA-00942: \x95\x5c\x82\xdc\x82\xbd\x82\xcd");
    EXPECT_EQ(error.Message(), QString::fromUtf8("ORA-00942: 表または"));
}

TEST(Variants, TextIsCodePage932OnOneSideAndUtf8OnTheOther)
{
    const db::Variant window = std::string("\x83\x65\x83\x58\x83\x67");  // テスト
    const localdb::Value engine = db::ToEngineValue(window);
    EXPECT_EQ(std::get<std::string>(engine), "\xe3\x83\x86\xe3\x82\xb9\xe3\x83\x88");
    EXPECT_EQ(db::FromEngineValue(engine), window);
    const db::DateTime date{2001, 2, 3, 4, 5, 6};
    EXPECT_EQ(db::FromEngineValue(localdb::Value{date}), db::Variant{date});
    EXPECT_TRUE(db::IsNull(db::FromEngineValue(localdb::Value{})));
}
