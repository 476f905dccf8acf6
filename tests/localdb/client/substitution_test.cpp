// Substitution variables and SET options, on plain text.
#include "localdb/client/client_settings.h"
#include "localdb/client/substitution.h"

#include <gtest/gtest.h>

using localdb::client::ClientSettings;
using localdb::client::SubstitutionVariables;

TEST(Substitution, ReplacesDefinedAndAsksForUndefined) {
    SubstitutionVariables vars;
    vars.define("tab", "emp");
    std::vector<std::string> asked;
    auto ask = [&](const std::string &name) -> std::optional<std::string> {
        asked.push_back(name);
        return std::string("10");
    };
    EXPECT_EQ(vars.substitute("select * from &TAB where deptno = &dno", '&', ask),
              "select * from emp where deptno = 10");
    EXPECT_EQ(asked, (std::vector<std::string>{"dno"}));
    // "&" is asked again each time; "&&" keeps the answer.
    EXPECT_EQ(vars.substitute("&dno &&keep &keep", '&', ask), "10 10 10");
    EXPECT_EQ(asked.size(), 3u);
    EXPECT_EQ(vars.value("KEEP").value_or("-"), "10");
}

TEST(Substitution, PeriodEndsTheNameAndLoneAmpersandsStay) {
    SubstitutionVariables vars;
    vars.define("p", "pre");
    EXPECT_EQ(vars.substitute("&p.fix &p..x a & b && c &", '&', nullptr), "prefix pre.x a & b && c &");
    // Another substitution character, as SET DEFINE ^ chooses.
    EXPECT_EQ(vars.substitute("^p and &p", '^', nullptr), "pre and &p");
}

TEST(Substitution, EndOfInputGivesEmptyValue) {
    SubstitutionVariables vars;
    auto noAnswer = [](const std::string &) -> std::optional<std::string> { return std::nullopt; };
    EXPECT_EQ(vars.substitute("x=&nothing;", '&', noAnswer), "x=;");
    EXPECT_FALSE(vars.value("nothing"));
    EXPECT_TRUE(vars.undefine("P") == false);
}

TEST(Substitution, VerifyLinesNameChangedLinesOnly) {
    const std::vector<std::string> before{"select &a", "from dual", "where &b = 1"};
    const std::vector<std::string> after{"select 1", "from dual", "where x = 1"};
    EXPECT_EQ(localdb::client::verifyLines(before, after),
              (std::vector<std::string>{"old   1: select &a", "new   1: select 1", "old   3: where &b = 1",
                                        "new   3: where x = 1"}));
}

TEST(ClientSettings, SeveralOptionsAbbreviatedInOneCommand) {
    ClientSettings s;
    auto outcome = localdb::client::applySet(s, "echo on feed off hea off pages 0 lin 200 ver off serverout on size "
                                                "unlimited format wrapped numw 12 null '(null)' colsep '|'");
    EXPECT_TRUE(outcome.error.empty()) << outcome.error;
    EXPECT_TRUE(s.echo);
    EXPECT_EQ(s.feedback, 0);
    EXPECT_FALSE(s.heading);
    EXPECT_EQ(s.pageSize, 0);
    EXPECT_EQ(s.lineSize, 200);
    EXPECT_FALSE(s.verify);
    EXPECT_TRUE(s.serverOutput);
    EXPECT_EQ(s.numWidth, 12);
    EXPECT_EQ(s.nullText, "(null)");
    EXPECT_EQ(s.colSep, "|");
}

TEST(ClientSettings, FeedbackDefineAndMarkup) {
    ClientSettings s;
    localdb::client::applySet(s, "feedback 1");
    EXPECT_EQ(s.feedback, 1);
    localdb::client::applySet(s, "feedback on");
    EXPECT_EQ(s.feedback, 1);
    localdb::client::applySet(s, "define off");
    EXPECT_FALSE(s.defineEnabled);
    localdb::client::applySet(s, "define ^");
    EXPECT_TRUE(s.defineEnabled);
    EXPECT_EQ(s.defineChar, '^');
    localdb::client::applySet(s, "define on");
    EXPECT_EQ(s.defineChar, '&');
    localdb::client::applySet(s, "markup csv on delimiter ; quote off");
    EXPECT_TRUE(s.markupCsv);
    EXPECT_EQ(s.csvDelimiter, ';');
    EXPECT_FALSE(s.csvQuote);
    localdb::client::applySet(s, "markup csv off");
    EXPECT_FALSE(s.markupCsv);
}

TEST(ClientSettings, BadValueChangesNothingAndUnknownOptionsGetANote) {
    ClientSettings s;
    auto outcome = localdb::client::applySet(s, "echo on linesize wide");
    EXPECT_FALSE(outcome.error.empty());
    EXPECT_FALSE(s.echo);
    EXPECT_EQ(s.lineSize, 80);
    outcome = localdb::client::applySet(s, "pagesize -1");
    EXPECT_FALSE(outcome.error.empty());
    EXPECT_EQ(s.pageSize, 14);

    outcome = localdb::client::applySet(s, "newpage 0 trimspool on markup html on entmap off echo on");
    EXPECT_TRUE(outcome.error.empty());
    EXPECT_EQ(outcome.notes.size(), 2u);  // NEWPAGE and MARKUP HTML; TRIMSPOOL is what the client does anyway
}

TEST(ClientSettings, ShowTexts) {
    ClientSettings s;
    EXPECT_EQ(localdb::client::showSetting(s, "linesize"), "linesize 80");
    EXPECT_EQ(localdb::client::showSetting(s, "FEED"), "FEEDBACK ON for 6 or more rows");
    EXPECT_EQ(localdb::client::showSetting(s, "define"), "define \"&\" (hex 26)");
    EXPECT_EQ(localdb::client::showSetting(s, "nonsense"), "");
}
