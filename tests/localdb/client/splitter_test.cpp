// The statement splitter on plain lines: where statements end, what stays PL/SQL, which lines
// are the client's own commands.
#include "localdb/client/statement_splitter.h"

#include <gtest/gtest.h>

using localdb::client::CommandId;
using localdb::client::InputUnit;
using localdb::client::StatementSplitter;

namespace {

// Feeds every line and collects the units, including what end of input leaves.
std::vector<InputUnit> split(const std::vector<std::string> &lines, bool blankLinesAllowed = false) {
    StatementSplitter splitter;
    splitter.setBlankLinesAllowed(blankLinesAllowed);
    std::vector<InputUnit> units;
    for (const std::string &line : lines)
        if (auto unit = splitter.feed(line))
            units.push_back(*unit);
    if (auto unit = splitter.finish())
        units.push_back(*unit);
    return units;
}

}  // namespace

TEST(StatementSplitter, SemicolonAtLineEndEndsSqlAndIsNotSent) {
    auto units = split({"select 1", "  from dual;  ", "select 2 from dual; -- trailing remark"});
    ASSERT_EQ(units.size(), 2u);
    EXPECT_EQ(units[0].kind, InputUnit::Statement);
    EXPECT_EQ(units[0].lines, (std::vector<std::string>{"select 1", "  from dual"}));
    EXPECT_EQ(units[0].firstLine, 1);
    EXPECT_EQ(units[1].lines, (std::vector<std::string>{"select 2 from dual"}));
    EXPECT_EQ(units[1].firstLine, 3);
}

TEST(StatementSplitter, SemicolonsInsideQuotesAndCommentsDoNotEnd) {
    auto units = split({"insert into t values ('a;", "b;', \"X;\", q'[c;", "]');", "select 1 /* x;", "*/ from dual -- y;",
                        ";"});
    ASSERT_EQ(units.size(), 2u);
    EXPECT_EQ(units[0].lines.size(), 3u);
    EXPECT_EQ(units[0].lines[2], "]')");
    EXPECT_EQ(units[1].lines, (std::vector<std::string>{"select 1 /* x;", "*/ from dual -- y;"}));
}

TEST(StatementSplitter, SemicolonInsideALineDoesNotEnd) {
    auto units = split({"select 1 from dual; select 2 from dual", "/"});
    ASSERT_EQ(units.size(), 1u);
    EXPECT_EQ(units[0].lines[0], "select 1 from dual; select 2 from dual");
}

TEST(StatementSplitter, PlsqlBlocksEndOnlyWithSlash) {
    for (const std::string first : {"begin", "DECLARE", "create or replace procedure p is", "Create Function f",
                                    "create package body pk as", "CREATE TRIGGER trg", "create type tp as object (",
                                    "create or replace editionable procedure p as"}) {
        auto units = split({first, "  x := 1;", "end;", "/"});
        ASSERT_EQ(units.size(), 1u) << first;
        EXPECT_EQ(units[0].kind, InputUnit::Statement) << first;
        EXPECT_TRUE(units[0].plsql) << first;
        EXPECT_EQ(units[0].lines.back(), "end;") << first;
    }
    // The header may run over two lines.
    auto units = split({"create or replace", "procedure p is begin null;", "end;", "/"});
    ASSERT_EQ(units.size(), 1u);
    EXPECT_EQ(units[0].lines.size(), 3u);
    // Not PL/SQL: CREATE TABLE ends with ";" as any SQL.
    units = split({"create table t (x number);"});
    ASSERT_EQ(units.size(), 1u);
    EXPECT_FALSE(units[0].plsql);
}

TEST(StatementSplitter, BlankLinesInsideBlocksAndStrings) {
    auto units = split({"begin", "", "  null;", "end;", "/"});
    ASSERT_EQ(units.size(), 1u);
    EXPECT_EQ(units[0].lines.size(), 4u);
    units = split({"insert into t values ('a", "", "b');"});
    ASSERT_EQ(units.size(), 1u);
    EXPECT_EQ(units[0].kind, InputUnit::Statement);
}

TEST(StatementSplitter, BlankLineOrDotEndsSqlWithoutRunningIt) {
    auto units = split({"select *", "", "from dual;"});
    ASSERT_EQ(units.size(), 2u);
    EXPECT_EQ(units[0].kind, InputUnit::Abandoned);
    EXPECT_EQ(units[0].lines, (std::vector<std::string>{"select *"}));
    EXPECT_EQ(units[1].kind, InputUnit::Statement);  // "from dual" alone, as Oracle scripts expect

    units = split({"select *", "", "from dual;"}, true);
    ASSERT_EQ(units.size(), 1u);
    EXPECT_EQ(units[0].lines.size(), 3u);

    units = split({"begin", "null;", ".", "/"});
    ASSERT_EQ(units.size(), 2u);
    EXPECT_EQ(units[0].kind, InputUnit::Abandoned);
    EXPECT_EQ(units[1].kind, InputUnit::RunBuffer);
}

TEST(StatementSplitter, UnterminatedStatementAtEndIsAbandoned) {
    auto units = split({"select 1 from dual"});
    ASSERT_EQ(units.size(), 1u);
    EXPECT_EQ(units[0].kind, InputUnit::Abandoned);
}

TEST(StatementSplitter, SlashAloneRunsTheBufferAndUnclosedQuotesDoNotSwallowIt) {
    auto units = split({"/", "select 'open from dual", "/", "prompt after"});
    ASSERT_EQ(units.size(), 3u);
    EXPECT_EQ(units[0].kind, InputUnit::RunBuffer);
    EXPECT_EQ(units[1].kind, InputUnit::Statement);
    EXPECT_EQ(units[2].kind, InputUnit::Command);
}

TEST(StatementSplitter, CommentsBetweenStatementsAreSkipped) {
    auto units = split({"-- a remark", "/* one", "two; */", "/* short */", "rem remark;", "select 1 from dual;"});
    ASSERT_EQ(units.size(), 2u);
    EXPECT_EQ(units[0].command->id, CommandId::Remark);
    EXPECT_EQ(units[1].lines[0], "select 1 from dual");
}

TEST(StatementSplitter, CommandsEndAtLineEndAndContinueWithHyphen) {
    auto units = split({"set linesize -", "  120 pagesize 50", "prompt -----", "desc emp", "select 1 from dual;"});
    ASSERT_EQ(units.size(), 4u);
    EXPECT_EQ(units[0].command->id, CommandId::Set);
    EXPECT_EQ(units[0].lines[0], "set linesize  120 pagesize 50");
    EXPECT_EQ(units[1].command->id, CommandId::Prompt);
    EXPECT_EQ(units[1].command->arguments, "-----");
    EXPECT_EQ(units[2].command->id, CommandId::Describe);
    EXPECT_EQ(units[3].kind, InputUnit::Statement);
}

TEST(CommandNames, AbbreviationsAndSqlLookalikes) {
    struct Case {
        const char *line;
        std::optional<CommandId> id;
    };
    const Case cases[] = {
        {"DESC emp", CommandId::Describe},
        {"describe emp", CommandId::Describe},
        {"des emp", std::nullopt},
        {"set serverout on", CommandId::Set},
        {"SET TRANSACTION READ ONLY", std::nullopt},
        {"set role all", std::nullopt},
        {"comment on table t is 'x'", std::nullopt},
        {"COL ename FORMAT a10", CommandId::Column},
        {"BREAK ON deptno", CommandId::Ignored},
        {"delete from t", std::nullopt},
        {"DEF x = 1", CommandId::Define},
        {"declare", std::nullopt},
        {"exit;", CommandId::Exit},
        {"quit 2", CommandId::Exit},
        {"exec p(1)", CommandId::Execute},
        {"explain plan for select * from dual", std::nullopt},
        {"savepoint a", std::nullopt},
        {"@script.sql 1 2", CommandId::RunScript},
        {"@@sub", CommandId::RunRelativeScript},
        {"sta x", CommandId::RunScript},
        {"conn scott/tiger", CommandId::Connect},
        {"r", CommandId::Run},
        {"rename a to b", std::nullopt},
        {"whenever sqlerror exit", CommandId::Whenever},
        {"spo out.txt", CommandId::Spool},
        {"pro hello", CommandId::Prompt},
        {"grant select on t to u", std::nullopt},
    };
    for (const Case &c : cases) {
        auto command = localdb::client::recogniseCommand(c.line);
        EXPECT_EQ(command.has_value(), c.id.has_value()) << c.line;
        if (command && c.id) {
            EXPECT_EQ(command->id, *c.id) << c.line;
        }
    }
    auto command = localdb::client::recogniseCommand("@@sub/x.sql a 'b c'");
    ASSERT_TRUE(command);
    EXPECT_EQ(command->arguments, "sub/x.sql a 'b c'");
}
