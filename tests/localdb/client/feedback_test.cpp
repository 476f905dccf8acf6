// Completion messages, error blocks with the asterisk, DESCRIBE layout, logon strings and exit
// statuses.
#include "localdb/client/client.h"
#include "localdb/client/describe.h"
#include "localdb/client/feedback.h"
#include "localdb/client/logon.h"

#include <gtest/gtest.h>

using namespace localdb::client;

TEST(Feedback, CompletionMessagesFollowTheCommand) {
    struct Case {
        const char *command;
        std::int64_t rows;
        const char *message;
    };
    const Case cases[] = {
        {"INSERT", 1, "1 row created."},
        {"INSERT", 3, "3 rows created."},
        {"UPDATE", 0, "0 rows updated."},
        {"DELETE", 14, "14 rows deleted."},
        {"MERGE", 2, "2 rows merged."},
        {"CREATE TABLE", 0, "Table created."},
        {"DROP TABLE", 0, "Table dropped."},
        {"ALTER TABLE", 0, "Table altered."},
        {"TRUNCATE TABLE", 0, "Table truncated."},
        {"CREATE INDEX", 0, "Index created."},
        {"CREATE PUBLIC SYNONYM", 0, "Synonym created."},
        {"DROP SEQUENCE", 0, "Sequence dropped."},
        {"CREATE PACKAGE BODY", 0, "Package body created."},
        {"CREATE USER", 0, "User created."},
        {"COMMIT", 0, "Commit complete."},
        {"ROLLBACK", 0, "Rollback complete."},
        {"SAVEPOINT", 0, "Savepoint created."},
        {"ALTER SESSION", 0, "Session altered."},
        {"EXPLAIN", 0, "Explained."},
        {"PL/SQL EXECUTE", 0, "PL/SQL procedure successfully completed."},
        {"GRANT", 0, "Grant succeeded."},
        {"REVOKE", 0, "Revoke succeeded."},
        {"COMMENT", 0, "Comment created."},
        {"RENAME", 0, "Table renamed."},
        {"", 0, ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(completionMessage(c.command, c.rows), c.message) << c.command;
}

TEST(Feedback, QuerySummaryObeysTheThreshold) {
    EXPECT_EQ(querySummary(0, 6), "no rows selected");
    EXPECT_EQ(querySummary(5, 6), "");
    EXPECT_EQ(querySummary(6, 6), "6 rows selected.");
    EXPECT_EQ(querySummary(1, 1), "1 row selected.");
    EXPECT_EQ(querySummary(0, 0), "");
    EXPECT_EQ(querySummary(100, 0), "");
}

TEST(ErrorReport, AsteriskUnderTheFaultOnItsLine) {
    const std::vector<std::string> lines{"select empno,", "       enmae", "from emp"};
    // Offset 21: "enmae" on the second line (14 bytes of the first line and its line feed before it).
    EXPECT_EQ(errorReport(lines, 21, "ORA-00904: \"ENMAE\": invalid identifier"),
              (std::vector<std::string>{"       enmae", "       *", "ERROR at line 2:",
                                        "ORA-00904: \"ENMAE\": invalid identifier"}));
    // Run-time errors without a position point at the start.
    EXPECT_EQ(errorReport({"insert into t values (1)"}, -1, "ORA-00001: unique constraint (S.PK) violated"),
              (std::vector<std::string>{"insert into t values (1)", "*", "ERROR at line 1:",
                                        "ORA-00001: unique constraint (S.PK) violated"}));
    // The end of the text: after the last character.
    EXPECT_EQ(errorReport({"select 1 from dual where"}, 24, "ORA-00936: missing expression")[1],
              std::string(24, ' ') + "*");
    // Beyond the text (a stale position) stays on the last line.
    EXPECT_EQ(errorReport({"a", "bc"}, 99, "x")[2], "ERROR at line 2:");
}

TEST(ErrorReport, TabsAndWideCharactersKeepTheAsteriskInPlace) {
    // "nope" starts at byte 17; the two wide characters take two columns each.
    auto report = errorReport({"select\t'日本', nope from dual"}, 17, "ORA-00904: \"NOPE\": invalid identifier");
    EXPECT_EQ(report[1], "      \t        *");
    // An error stack keeps every line.
    report = errorReport({"x"}, 0, "ORA-06550: line 1, column 7:\nPLS-00201: identifier 'P' must be declared");
    EXPECT_EQ(report.size(), 5u);
    EXPECT_EQ(plainErrorReport("ORA-04043: object nosuch does not exist"),
              (std::vector<std::string>{"ERROR:", "ORA-04043: object nosuch does not exist"}));
}

TEST(Describe, TypesAsDeclared) {
    EXPECT_EQ(describedType("NUMBER", 22, 4, 0, ""), "NUMBER(4)");
    EXPECT_EQ(describedType("NUMBER", 22, 7, 2, ""), "NUMBER(7,2)");
    EXPECT_EQ(describedType("NUMBER", 22, std::nullopt, std::nullopt, ""), "NUMBER");
    EXPECT_EQ(describedType("NUMBER", 22, std::nullopt, 0, ""), "NUMBER(38)");
    EXPECT_EQ(describedType("FLOAT", 22, 126, std::nullopt, ""), "FLOAT(126)");
    EXPECT_EQ(describedType("VARCHAR2", 10, std::nullopt, std::nullopt, "B"), "VARCHAR2(10)");
    EXPECT_EQ(describedType("VARCHAR2", 10, std::nullopt, std::nullopt, "C"), "VARCHAR2(10 CHAR)");
    EXPECT_EQ(describedType("CHAR", 9, std::nullopt, std::nullopt, "B"), "CHAR(9)");
    EXPECT_EQ(describedType("RAW", 16, std::nullopt, std::nullopt, ""), "RAW(16)");
    EXPECT_EQ(describedType("DATE", 7, std::nullopt, std::nullopt, ""), "DATE");
    EXPECT_EQ(describedType("CLOB", 4000, std::nullopt, std::nullopt, ""), "CLOB");
}

TEST(Describe, Layout) {
    auto lines = describeLines({{"EMPNO", true, "NUMBER(4)"}, {"ENAME", false, "VARCHAR2(10)"}});
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], " Name                                      Null?    Type");
    EXPECT_EQ(lines[1], " ----------------------------------------- -------- ----------------------------");
    EXPECT_EQ(lines[2], " EMPNO                                     NOT NULL NUMBER(4)");
    EXPECT_EQ(lines[3], " ENAME                                              VARCHAR2(10)");
    // A name longer than the field widens it for every line.
    lines = describeLines({{std::string(45, 'N'), false, "DATE"}});
    EXPECT_EQ(lines[1].size(), 1 + 45 + 1 + 8 + 1 + 28u);
}

TEST(Logon, PartsOfALogonString) {
    struct Case {
        const char *text;
        const char *user;
        std::optional<std::string> password;
        const char *host;
    };
    const Case cases[] = {
        {"scott/tiger@demo", "scott", "tiger", "demo"},
        {"system/pw@/tmp/a b/x.kdb", "system", "pw", "/tmp/a b/x.kdb"},
        {"system/p@ss@/tmp/x.kdb", "system", "p@ss", "/tmp/x.kdb"},
        {"system/\"p@s/s\"@db", "system", "p@s/s", "db"},
        {"scott@/tmp/x.kdb", "scott", std::nullopt, "/tmp/x.kdb"},
        {"scott/tiger", "scott", "tiger", ""},
        {"scott", "scott", std::nullopt, ""},
        {"sys/pw@db as sysdba", "sys", "pw", "db"},
    };
    for (const Case &c : cases) {
        auto parts = parseLogon(c.text);
        ASSERT_TRUE(parts) << c.text;
        EXPECT_EQ(parts->user, c.user) << c.text;
        EXPECT_EQ(parts->password, c.password) << c.text;
        EXPECT_EQ(parts->host, c.host) << c.text;
    }
    EXPECT_FALSE(parseLogon("/pw@db"));
    EXPECT_FALSE(parseLogon(""));
}

TEST(ExitStatus, WordsAndCodes) {
    EXPECT_EQ(exitStatusFor("", 0), 0);
    EXPECT_EQ(exitStatusFor("success", 942), 0);
    EXPECT_EQ(exitStatusFor("FAILURE", 0), 1);
    EXPECT_EQ(exitStatusFor("warning", 0), 2);
    EXPECT_EQ(exitStatusFor("7", 0), 7);
    EXPECT_EQ(exitStatusFor("sql.sqlcode", 942), 942 % 256);
    EXPECT_EQ(exitStatusFor("SQL.SQLCODE", 0), 0);
    // 1792 is a multiple of 256: the status must still read as a failure.
    EXPECT_EQ(exitStatusFor("SQL.SQLCODE", 1792), 1);
    EXPECT_FALSE(exitStatusFor("often", 0));
    EXPECT_EQ(scriptArguments("a 'b c' \"d\""), (std::vector<std::string>{"a", "b c", "d"}));
}

TEST(PlsqlErrors, UnitsNamedByCreateAndShowErrors) {
    struct Case {
        const char *text;
        const char *type;
        const char *owner;
        const char *name;
    };
    const Case created[] = {
        {"create or replace procedure raise_sal(p number) is", "PROCEDURE", "", "RAISE_SAL"},
        {"CREATE PACKAGE BODY scott.pk AS", "PACKAGE BODY", "SCOTT", "PK"},
        {"create /* x */ editionable function \"Mixed\" return number", "FUNCTION", "", "Mixed"},
        {"create or replace type body t_point as", "TYPE BODY", "", "T_POINT"},
        {"create trigger trg before insert on emp", "TRIGGER", "", "TRG"},
    };
    for (const Case &c : created) {
        auto unit = createdPlsqlUnit(c.text);
        ASSERT_TRUE(unit) << c.text;
        EXPECT_EQ(unit->type, c.type) << c.text;
        EXPECT_EQ(unit->owner, c.owner) << c.text;
        EXPECT_EQ(unit->name, c.name) << c.text;
    }
    EXPECT_FALSE(createdPlsqlUnit("create table procedure_log (x number)"));
    EXPECT_FALSE(createdPlsqlUnit("create or replace view v as select 1 x from dual"));

    auto named = namedPlsqlUnit("package body pk");
    ASSERT_TRUE(named);
    EXPECT_EQ(named->type, "PACKAGE BODY");
    named = namedPlsqlUnit("p");
    ASSERT_TRUE(named);
    EXPECT_EQ(named->type, "PROCEDURE");
    EXPECT_EQ(unitTypeWords("PACKAGE BODY"), "Package Body");
}

TEST(PlsqlErrors, ListingWrapsMessagesInTheirField) {
    const std::vector<std::string> lines = errorListing(
        {"PROCEDURE", "", "P"},
        {{4, 1,
          "PLS-00103: Encountered the symbol \"END\" when expecting one of the following:\n;\n"
          "The symbol \";\" was substituted for \"END\" to continue."}});
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "Errors for PROCEDURE P:",
                         "",
                         "LINE/COL ERROR",
                         "-------- -----------------------------------------------------------------",
                         "4/1      PLS-00103: Encountered the symbol \"END\" when expecting one of the",
                         "         following:",
                         "         ;",
                         "         The symbol \";\" was substituted for \"END\" to continue.",
                     }));
}

TEST(Describe, ProceduresAndFunctions) {
    const std::vector<std::string> lines = subprogramLines(
        {{"PROCEDURE", "raise_sal", "", {{"P_EMPNO", "NUMBER", "IN", false}, {"P_PCT", "NUMBER", "IN", true},
                                         {"P_NEW", "NUMBER", "OUT", false}}},
         {"FUNCTION", "GET_SAL", "NUMBER", {}}});
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "PROCEDURE raise_sal",
                         " Argument Name                  Type                    In/Out Default?",
                         " ------------------------------ ----------------------- ------ --------",
                         " P_EMPNO                        NUMBER                  IN",
                         " P_PCT                          NUMBER                  IN     DEFAULT",
                         " P_NEW                          NUMBER                  OUT",
                         "FUNCTION GET_SAL RETURNS NUMBER",
                     }));
}
