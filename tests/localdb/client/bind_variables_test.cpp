// Bind variables of the client (VARIABLE, ":name" in statements, values written back) and the
// layout of DBMS_OUTPUT lines under SET SERVEROUTPUT's formats.
#include "localdb/client/bind_variables.h"
#include "localdb/client/server_output.h"

#include <gtest/gtest.h>

using namespace localdb::client;
using localdb::Bind;
using localdb::Value;

namespace {

using Names = std::vector<std::string>;

TEST(BindReferences, NamesOutsideStringsCommentsAndQuotedNames) {
    EXPECT_EQ(bindReferences("select :a, :B1 from t where x = :a and y = : c"), (Names{"A", "B1", "C"}));
    EXPECT_EQ(bindReferences("begin :res := pkg.f(:arg); x := 1; end;"), (Names{"RES", "ARG"}));
    EXPECT_EQ(bindReferences("select ':no', q'[:no']', n'x:no', \":no\" from t -- :no\n/* :no */ where a = :yes"),
              (Names{"YES"}));
    EXPECT_EQ(bindReferences("select to_date('12:30', 'HH24:MI'), :\"Mixed\", :1 from dual"),
              (Names{"Mixed", "1"}));
    EXPECT_EQ(bindReferences("select 'it''s :no' || :y from dual"), (Names{"Y"}));
    EXPECT_TRUE(bindReferences("select 'unterminated :no").empty());
}

TEST(BindVariables, DeclareListAndConvertWrittenValues) {
    BindVariables vars;
    const DateDisplay dates;
    std::string error;
    vars.command("n number", dates, error);
    vars.command("s varchar2 (5 char)", dates, error);
    vars.command("c char(3) = 'x'", dates, error);
    EXPECT_EQ(error, "");
    EXPECT_EQ(vars.command("", dates, error),
              (Names{"variable   n", "datatype   NUMBER", "", "variable   s", "datatype   VARCHAR2(5)", "",
                     "variable   c", "datatype   CHAR(3)"}));
    EXPECT_EQ(std::get<std::string>(vars.find("C")->value), "x  ");

    for (const char *bad : {"z refcursor", "z varchar2(40000)", "z number(5)", "z blob", "9z number", "z number = abc"}) {
        error.clear();
        vars.command(bad, dates, error);
        EXPECT_NE(error, "") << bad;
        EXPECT_EQ(vars.find("Z"), nullptr) << bad;
    }
    error.clear();
    EXPECT_TRUE(vars.command("nosuch", dates, error).empty());
    EXPECT_EQ(error, "Bind variable \"NOSUCH\" not declared.");

    // Only the names the statement uses are bound; unknown names are reported, DDL gets none.
    Names undeclared;
    std::vector<Bind> binds = vars.bindsFor("begin :n := 42; :s := 'abcde'; :q := 1; end;", undeclared);
    EXPECT_EQ(undeclared, Names{"Q"});
    ASSERT_EQ(binds.size(), 2u);
    EXPECT_TRUE(vars.bindsFor("create trigger t before insert on x for each row begin :new.a := 1; end;", undeclared)
                    .empty());

    binds[0].value = Value(std::string("42"));
    binds[1].value = Value(std::string("日本語です"));  // five characters fit VARCHAR2(5 CHAR)
    EXPECT_EQ(vars.takeBack(binds, dates), "");
    EXPECT_EQ(std::get<double>(vars.find("n")->value), 42.0);
    binds[1].value = Value(std::string("abcdef"));
    EXPECT_EQ(vars.takeBack(binds, dates), "ORA-06502: PL/SQL: numeric or value error: character string buffer too small");
    EXPECT_EQ(std::get<std::string>(vars.find("s")->value), "日本語です");
    binds[0].value = Value(std::string("abc"));
    EXPECT_NE(vars.takeBack(binds, dates).find("character to number conversion error"), std::string::npos);

    // Declaring again with the same type keeps the value; another type starts empty.
    vars.command("n number", dates, error);
    EXPECT_EQ(std::get<double>(vars.find("n")->value), 42.0);
    vars.command("n varchar2(3)", dates, error);
    EXPECT_TRUE(localdb::isNull(vars.find("n")->value));
}

TEST(ServerOutput, LinesWiderThanTheLineFollowTheFormat) {
    ClientSettings s;
    s.lineSize = 12;
    const std::string line = "  two words and a verylongwordindeed";
    EXPECT_EQ(serverOutputLines(line, s), (Names{"two words", "and a", "verylongword", "indeed"}));
    EXPECT_EQ(serverOutputLines("", s), Names{""});
    EXPECT_EQ(serverOutputLines("a\nb", s), (Names{"a", "b"}));
    s.serverOutputFormat = ClientSettings::OutputFormat::Wrapped;
    EXPECT_EQ(serverOutputLines(line, s), (Names{"  two words ", "and a verylo", "ngwordindeed"}));
    s.serverOutputFormat = ClientSettings::OutputFormat::Truncated;
    EXPECT_EQ(serverOutputLines(line, s), Names{"  two words "});
}

}  // namespace
