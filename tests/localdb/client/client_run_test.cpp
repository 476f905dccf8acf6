// kestrim-sql run as a program on a fresh database in a private temporary folder: scripts that
// create, fill, query and drop a schema, CSV output read back, error positions and exit
// statuses.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string readFile(const std::filesystem::path &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::filesystem::path &path, const std::string &text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Splits CSV text into records of fields; quoted fields may hold the delimiter, quotes and
// line feeds. Unquoted empty fields come back as "<null>" so that NULL and '' differ.
std::vector<std::vector<std::string>> parseCsv(const std::string &text) {
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> record;
    std::string field;
    bool quoted = false;
    bool wasQuoted = false;
    auto endField = [&] {
        record.push_back(field.empty() && !wasQuoted ? "<null>" : field);
        field.clear();
        wasQuoted = false;
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
            wasQuoted = true;
        } else if (c == ',') {
            endField();
        } else if (c == '\n') {
            endField();
            records.push_back(record);
            record.clear();
        } else {
            field += c;
        }
    }
    return records;
}

class ClientRun : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/kestrim-sql-XXXXXX";
        folder_ = mkdtemp(pattern);
        database_ = (folder_ / "test.kdb").string();
        const ProgramRun created = run("--create " + database_ + " --system-password manager");
        ASSERT_EQ(created.status, 0) << created.out << created.err;
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    // Runs the program with arguments, standard input from input, and returns what it did.
    ProgramRun run(const std::string &arguments, const std::string &input = "") {
        const auto in = folder_ / "stdin.txt";
        const auto out = folder_ / "stdout.txt";
        const auto err = folder_ / "stderr.txt";
        writeFile(in, input);
        // A hang in the program fails the case instead of stalling the whole run.
        const std::string command = std::string("LC_ALL=C.UTF-8 HOME=") + folder_.string() + " timeout 120 " +
                                    KESTRIM_SQL_PROGRAM +
                                    " " + arguments + " <" + in.string() + " >" + out.string() + " 2>" + err.string();
        const int raw = std::system(command.c_str());
        ProgramRun r;
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = readFile(out);
        r.err = readFile(err);
        return r;
    }

    // Runs a script silently as SYSTEM.
    ProgramRun script(const std::string &text, const std::string &name = "script.sql") {
        writeFile(folder_ / name, text);
        return run("-S system/manager@" + database_ + " @" + (folder_ / name).string());
    }

    std::filesystem::path folder_;
    std::string database_;
};

TEST_F(ClientRun, CreateFillQueryAndDropASchemaWithTheUsualFeedback) {
    const ProgramRun r = script("create table dept_t (deptno number(2) constraint dept_t_pk primary key,\n"
                         "  dname varchar2(14) not null, loc varchar2(13));\n"
                         "insert into dept_t values (10, 'ACCOUNTING', 'NEW YORK');\n"
                         "insert into dept_t values (20, 'RESEARCH', 'DALLAS');\n"
                         "insert into dept_t (deptno, dname) values (30, 'SALES');\n"
                         "commit;\n"
                         "select deptno, dname, loc from dept_t order by deptno;\n"
                         "update dept_t set loc = 'TOKYO' where loc is null or deptno = 10;\n"
                         "select count(*) from dept_t where loc = 'TOKYO';\n"
                         "delete from dept_t where deptno > 10;\n"
                         "set feedback 1\n"
                         "select dname from dept_t;\n"
                         "select dname from dept_t where 1 = 0;\n"
                         "rollback;\n"
                         "create index dept_t_loc on dept_t (loc);\n"
                         "drop table dept_t;\n"
                         "exit\n");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(r.out, "\nTable created.\n\n"
                     "\n1 row created.\n\n"
                     "\n1 row created.\n\n"
                     "\n1 row created.\n\n"
                     "\nCommit complete.\n\n"
                     "\n"
                     "    DEPTNO DNAME          LOC\n"
                     "---------- -------------- -------------\n"
                     "        10 ACCOUNTING     NEW YORK\n"
                     "        20 RESEARCH       DALLAS\n"
                     "        30 SALES\n"
                     "\n"
                     "\n2 rows updated.\n\n"
                     "\n"
                     "  COUNT(*)\n"
                     "----------\n"
                     "         2\n"
                     "\n"
                     "\n2 rows deleted.\n\n"
                     "\n"
                     "DNAME\n"
                     "--------------\n"
                     "ACCOUNTING\n"
                     "\n"
                     "1 row selected.\n\n"
                     "\nno rows selected\n\n"
                     "\nRollback complete.\n\n"
                     "\nIndex created.\n\n"
                     "\nTable dropped.\n\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(ClientRun, WorkStaysOpenUntilCommitAndExitCommits) {
    ProgramRun r = script("create table t (x number);\n"
                   "insert into t values (1);\n"
                   "rollback;\n"
                   "insert into t values (2);\n"
                   "exit\n");
    ASSERT_EQ(r.status, 0) << r.out;
    r = script("set heading off feedback off pagesize 0\nselect x from t;\nexit\n", "check.sql");
    EXPECT_EQ(r.out, "         2\n\n");
    // EXIT ROLLBACK throws the open work away.
    r = script("insert into t values (3);\nexit rollback\n", "undo.sql");
    r = script("set heading off feedback off pagesize 0\nselect count(*) from t;\nexit\n", "check.sql");
    EXPECT_EQ(r.out, "         1\n\n");
}

TEST_F(ClientRun, CsvMarkupReadsBackAsCsv) {
    const ProgramRun r = script("create table c (id number, name varchar2(40), note varchar2(20), d date, amount number(9,2));\n"
                         "insert into c values (1, 'comma, and \"quotes\"', null, to_date('2001-02-03', 'YYYY-MM-DD'), 1234.5);\n"
                         "insert into c values (2, '山田 太郎', 'x', null, -0.25);\n"
                         "set markup csv on\n"
                         "set feedback off\n"
                         "select id, name, note, d, amount from c order by id;\n"
                         "exit\n");
    ASSERT_EQ(r.status, 0) << r.out;
    // The lines before the CSV are the feedback of the two statements run before FEEDBACK OFF.
    const std::string csv = r.out.substr(r.out.find("\"ID\""));
    const auto records = parseCsv(csv);
    ASSERT_EQ(records.size(), 3u) << csv;
    EXPECT_EQ(records[0], (std::vector<std::string>{"ID", "NAME", "NOTE", "D", "AMOUNT"}));
    EXPECT_EQ(records[1], (std::vector<std::string>{"1", "comma, and \"quotes\"", "<null>", "03-FEB-01", "1234.5"}));
    EXPECT_EQ(records[2], (std::vector<std::string>{"2", "山田 太郎", "x", "<null>", "-.25"}));
}

TEST_F(ClientRun, TimestampsAndIntervalsShowWholeInTheSessionFormats) {
    const ProgramRun r = script("alter session set time_zone = '+09:00';\n"
                                "create table ts_t (at timestamp, tz timestamp(3) with time zone, span interval day to second);\n"
                                "insert into ts_t values (timestamp '2024-03-05 13:45:30.5', timestamp '2024-03-05 13:45:30 UTC', "
                                "interval '1 2:03:04' day to second);\n"
                                "select at, tz, span from ts_t;\n"
                                "exit\n");
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    const std::string table = r.out.substr(r.out.find("AT"));
    EXPECT_EQ(table, "AT                           TZ                            SPAN\n"
                     "---------------------------- ----------------------------- -------------------\n"
                     "05-MAR-24 01.45.30.500000 PM 05-MAR-24 01.45.30.000 PM UTC +01 02:03:04.000000\n"
                     "\n");
}

TEST_F(ClientRun, ErrorsShowTheLineWithAnAsteriskUnderTheFault) {
    const ProgramRun r = script("create table e (empno number(4), ename varchar2(10));\n"
                         "select empno,\n"
                         "       enmae\n"
                         "  from e;\n"
                         "select * from nosuch;\n"
                         "exit\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("       enmae\n"
                         "       *\n"
                         "ERROR at line 2:\n"
                         "ORA-00904: \"ENMAE\": invalid identifier\n\n\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("select * from nosuch\n"
                         "              *\n"
                         "ERROR at line 1:\n"
                         "ORA-00942: table or view does not exist\n"),
              std::string::npos)
        << r.out;
}

TEST_F(ClientRun, WheneverSqlErrorExitStopsWithAFailureStatus) {
    ProgramRun r = script("create table w (x number primary key);\n"
                   "whenever sqlerror exit failure rollback\n"
                   "insert into w values (1);\n"
                   "insert into w values (1);\n"
                   "prompt not reached\n");
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_EQ(r.out.find("not reached"), std::string::npos);
    EXPECT_NE(r.out.find("ORA-00001"), std::string::npos) << r.out;

    // SQL.SQLCODE gives the error number, kept to the byte the system passes on.
    r = script("whenever sqlerror exit sql.sqlcode\nselect * from nosuch;\n", "code.sql");
    EXPECT_EQ(r.status, 942 % 256);
    // Without a status word the run still ends as a failure.
    r = script("whenever sqlerror exit\nselect * from nosuch;\nexit 0\n", "bare.sql");
    EXPECT_NE(r.status, 0);
    // The row inserted before the failure was rolled back.
    r = script("set heading off feedback off pagesize 0\nselect count(*) from w;\nexit\n", "check.sql");
    EXPECT_EQ(r.out, "         0\n\n");
}

TEST_F(ClientRun, EndOfInputTellsSuccessFromFailure) {
    ProgramRun r = run("-S system/manager@" + database_, "select * from dual;\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "\nD\n-\nX\n\n");
    r = run("-S system/manager@" + database_, "select * from nosuch;\n");
    EXPECT_EQ(r.status, 1);
    r = run("-S system/wrong@" + database_, "select * from dual;\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("ORA-01017"), std::string::npos) << r.out;
    // Creating over an existing database fails and leaves it alone.
    r = run("--create " + database_ + " --system-password other");
    EXPECT_NE(r.status, 0);
    r = run("-S system/manager@" + database_, "exit\n");
    EXPECT_EQ(r.status, 0);
}

TEST_F(ClientRun, ScriptsArgumentsSubstitutionAndSpool) {
    std::filesystem::create_directory(folder_ / "sub");
    writeFile(folder_ / "sub" / "inner.sql", "prompt inner got &1\n@@leaf\n");
    writeFile(folder_ / "sub" / "leaf.sql", "prompt leaf ran\n");
    const std::string spool = (folder_ / "out.lst").string();
    const ProgramRun r = script("spool " + spool + "\n"
                         "@" + (folder_ / "sub" / "inner").string() + " hello\n"
                         "define n = 3\n"
                         "select &n + 1 as four from dual;\n"
                         "set verify off\n"
                         "select '&n' as t from dual;\n"
                         "spool off\n"
                         "prompt after spool\n"
                         "exit\n");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    const std::string expected = "inner got hello\n"
                                 "leaf ran\n"
                                 "old   1: select &n + 1 as four from dual\n"
                                 "new   1: select 3 + 1 as four from dual\n"
                                 "\n"
                                 "      FOUR\n"
                                 "----------\n"
                                 "         4\n"
                                 "\n"
                                 "\n"
                                 "T\n"
                                 "-\n"
                                 "3\n"
                                 "\n";
    EXPECT_EQ(r.out, expected + "after spool\n");
    EXPECT_EQ(readFile(spool), expected);
}

TEST_F(ClientRun, DescribeTablesAndUnknownObjects) {
    const ProgramRun r = script("create table d (empno number(4) not null, ename varchar2(10), sal number(7,2), hired date);\n"
                         "desc d\n"
                         "desc nosuch\n"
                         "exit\n");
    EXPECT_EQ(r.out, "\nTable created.\n\n"
                     " Name                                      Null?    Type\n"
                     " ----------------------------------------- -------- ----------------------------\n"
                     " EMPNO                                     NOT NULL NUMBER(4)\n"
                     " ENAME                                              VARCHAR2(10)\n"
                     " SAL                                                NUMBER(7,2)\n"
                     " HIRED                                              DATE\n"
                     "\n"
                     "ERROR:\n"
                     "ORA-04043: object nosuch does not exist\n\n\n");
}

TEST_F(ClientRun, EchoAndPromptsShowTheLinesAsTyped) {
    writeFile(folder_ / "echo.sql", "set echo on\nselect 1 as one\n  from dual;\nprompt done\n");
    ProgramRun r = run("-S system/manager@" + database_ + " @" + (folder_ / "echo.sql").string(), "exit\n");
    EXPECT_EQ(r.out, "select 1 as one\n  from dual;\n\n       ONE\n----------\n         1\n\nprompt done\ndone\n");
    // Without -S the terminal gets the prompt and numbered continuation lines.
    r = run("system/manager@" + database_, "select 1 as one\n  from dual;\nexit\n");
    EXPECT_NE(r.out.find("SQL>   2  \n       ONE\n----------\n         1\n\nSQL> "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("kestrim-sql: Release "), std::string::npos);
}

TEST_F(ClientRun, MissingAndRunawayScriptsFailWithoutStopping) {
    ProgramRun r = script("@" + (folder_ / "nosuch").string() + "\nprompt still here\n");
    EXPECT_NE(r.out.find("unable to open file \"" + (folder_ / "nosuch.sql").string() + "\""), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("still here"), std::string::npos);
    EXPECT_EQ(r.status, 1);
    // A folder is not a script; a byte order mark at the start of a script is not SQL.
    std::filesystem::create_directory(folder_ / "folder.sql");
    writeFile(folder_ / "bom.sql", "\xEF\xBB\xBFprompt bom skipped\n");
    r = script("@" + (folder_ / "folder.sql").string() + "\n@" + (folder_ / "bom.sql").string() + "\n", "dir.sql");
    EXPECT_NE(r.out.find("unable to open file \"" + (folder_ / "folder.sql").string() + "\": Is a directory"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\nbom skipped\n"), std::string::npos) << r.out;
    // A script that calls itself stops at the nesting limit.
    writeFile(folder_ / "self.sql", "@@self\n");
    r = script("@" + (folder_ / "self.sql").string() + "\nprompt survived\nexit\n", "outer.sql");
    EXPECT_NE(r.out.find("nested more than"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("survived"), std::string::npos);
    // WHENEVER OSERROR EXIT turns the missing file into the end of the run.
    r = script("whenever oserror exit 9\n@" + (folder_ / "nosuch").string() + "\nprompt not reached\n", "os.sql");
    EXPECT_EQ(r.status, 9);
    EXPECT_EQ(r.out.find("not reached"), std::string::npos);
}

TEST_F(ClientRun, ConnectAndTermoutAndCreateWithPasswordFromInput) {
    const std::string other = (folder_ / "other.kdb").string();
    ProgramRun r = run("--create " + other, "secret\n");
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    r = script("set termout off\nprompt hidden\nset termout on\nconnect system/secret@" + other +
               "\nshow user\nconnect system/wrong@" + other + "\nselect 1 from dual;\nexit\n");
    EXPECT_EQ(r.out.find("hidden"), std::string::npos);
    EXPECT_NE(r.out.find("Connected.\nUSER is \"SYSTEM\"\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("ORA-01017"), std::string::npos);
    EXPECT_NE(r.out.find("Warning: You are no longer connected.\nNot connected.\n"), std::string::npos) << r.out;
}

// Each sample script under tests/sql-scripts/ runs on its own fresh database and prints exactly
// its .out file; standard input answers "yes" to any substitution prompt.
TEST_F(ClientRun, SampleScriptsPrintTheirExpectedOutput) {
    int scripts = 0;
    for (const auto &entry : std::filesystem::directory_iterator(KESTRIM_SQL_SCRIPTS)) {
        if (entry.path().extension() != ".sql")
            continue;
        ++scripts;
        const std::string name = entry.path().stem().string();
        const std::string database = (folder_ / (name + ".kdb")).string();
        ASSERT_EQ(run("--create " + database + " --system-password manager").status, 0);
        const ProgramRun r = run("-S system/manager@" + database + " @" + entry.path().string(), "yes\n");
        std::filesystem::path expected = entry.path();
        expected.replace_extension(".out");
        EXPECT_EQ(r.out, readFile(expected)) << name;
        EXPECT_EQ(r.status, 0) << name;
    }
    EXPECT_GE(scripts, 2);
}

TEST_F(ClientRun, PlsqlBlocksEndedBySlashWithServerOutput) {
    const ProgramRun r = script("set serveroutput on\n"
                                "begin\n"
                                "  dbms_output.put_line('Hello; there');\n"
                                "end;\n"
                                "/\n"
                                "exec dbms_output.put_line('again')\n"
                                "exit\n");
    if (r.out.find("ORA-00900") != std::string::npos)
        GTEST_SKIP() << "the engine does not run PL/SQL blocks yet (ORA-00900 for BEGIN ... END)";
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Hello; there\n\nPL/SQL procedure successfully completed.\n\n"
                     "again\n\nPL/SQL procedure successfully completed.\n\n");
}

TEST_F(ClientRun, ProcedureWithCompilationErrorsAndShowErrors) {
    const ProgramRun r = script("create or replace procedure broken is\n"
                                "begin\n"
                                "  null\n"
                                "end;\n"
                                "/\n"
                                "show errors\n"
                                "exit\n");
    if (r.out.find("ORA-00900") != std::string::npos || r.out.find("ORA-00901") != std::string::npos)
        GTEST_SKIP() << "the engine does not compile stored procedures yet";
    EXPECT_NE(r.out.find("Warning: Procedure created with compilation errors."), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Errors for PROCEDURE BROKEN:\n\nLINE/COL ERROR\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("PLS-00103"), std::string::npos) << r.out;
}

// Bind variables as an Oracle user scripts them: declared, set by EXEC, passed IN OUT to a
// procedure, used in a query, printed; a value too long for its variable fails the call and
// leaves the variable alone. SHOW ERRORS lists errors in the order of the source.
TEST_F(ClientRun, VariablesExecPrintServerOutputAndShowErrors) {
    const ProgramRun r = script("variable total number\n"
                                "variable label varchar2(12)\n"
                                "set serveroutput on size 1000000\n"
                                "show serveroutput\n"
                                "create or replace procedure add_to (amount in number, total in out number) is\n"
                                "begin\n"
                                "  total := nvl(total, 0) + amount;\n"
                                "  dbms_output.put_line('added ' || amount);\n"
                                "end;\n"
                                "/\n"
                                "exec :total := 40\n"
                                "exec add_to(2, :total)\n"
                                "execute :label := 'answer is ' || :total\n"
                                "print total label\n"
                                "select :label as label from dual;\n"
                                "exec :label := 'much too long for it'\n"
                                "print label\n"
                                "print nosuch\n"
                                "select :nosuch from dual;\n"
                                "create or replace procedure broken is\n"
                                "  n number;\n"
                                "begin\n"
                                "  select 1 into n from nosuch;\n"
                                "end;\n"
                                "/\n"
                                "show errors\n"
                                "exit\n");
    const std::string done = "\nPL/SQL procedure successfully completed.\n\n";
    const std::string answer = "\nLABEL\n------------\nanswer is 42\n\n";
    EXPECT_EQ(r.out, "serveroutput ON SIZE 1000000 FORMAT WORD_WRAPPED\n"
                     "\nProcedure created.\n\n" +
                         done + "added 2\n" + done + done +
                         "\n     TOTAL\n----------\n        42\n\n" + answer + answer +
                         "BEGIN :label := 'much too long for it'; END;\n"
                         "*\n"
                         "ERROR at line 1:\n"
                         "ORA-06502: PL/SQL: numeric or value error: character string buffer too small\n"
                         "ORA-06512: at line 1\n\n\n" +
                         answer +
                         "Bind variable \"NOSUCH\" not declared.\n"
                         "Bind variable \"NOSUCH\" not declared.\n"
                         "\nWarning: Procedure created with compilation errors.\n\n"
                         "Errors for PROCEDURE BROKEN:\n\n"
                         "LINE/COL ERROR\n"
                         "-------- -----------------------------------------------------------------\n"
                         "4/3      PL/SQL: SQL Statement ignored\n"
                         "4/24     PL/SQL: ORA-00942: table or view does not exist\n\n");
}

// A compilation error in a block points at its line and column; a run-time error at the block.
TEST_F(ClientRun, BlockErrorsPointAtTheFaultyLine) {
    const ProgramRun r = script("begin\n  null;\n  nosuch_either;\nend;\n/\nexit\n");
    EXPECT_EQ(r.out, "  nosuch_either;\n"
                     "  *\n"
                     "ERROR at line 3:\n"
                     "ORA-06550: line 3, column 3:\n"
                     "PLS-00201: identifier 'NOSUCH_EITHER' must be declared\n"
                     "ORA-06550: line 3, column 3:\n"
                     "PL/SQL: Statement ignored\n\n\n");
}

// DBMS_OUTPUT lines longer than LINESIZE wrap at words by default; SIZE is the buffer's limit,
// and the lines written before an overflow still print with the error.
TEST_F(ClientRun, ServerOutputSizeAndFormat) {
    const ProgramRun r = script("set serveroutput on size 2000\n"
                                "set linesize 20\n"
                                "exec dbms_output.put_line('   one two three four five six')\n"
                                "set serveroutput on format wrapped\n"
                                "exec dbms_output.put_line('   one two three four five six')\n"
                                "set serveroutput on size 100\n"
                                "set feedback off\n"
                                "begin for i in 1 .. 200 loop dbms_output.put_line(rpad('x', 18, 'x')); end loop; end;\n"
                                "/\n"
                                "show serveroutput\n"
                                "exit\n");
    const std::string done = "\nPL/SQL procedure successfully completed.\n\n";
    std::string filled;
    for (int i = 0; i < 100; ++i)
        filled += "xxxxxxxxxxxxxxxxxx\n";
    const size_t overflow = r.out.find("ORA-20000: ORU-10027: buffer overflow, limit of 2000 bytes");
    ASSERT_NE(overflow, std::string::npos) << r.out;
    EXPECT_EQ(r.out.substr(0, r.out.find(filled)),
              "one two three four\nfive six\n" + done + "   one two three fou\nr five six\n" + done +
                  "size option 100 out of range (2000 through 1000000)\n");
    EXPECT_NE(r.out.find("serveroutput ON SIZE 2000 FORMAT WRAPPED\n"), std::string::npos) << r.out;
}

// Lines a function writes while a query's rows are fetched print after the rows.
TEST_F(ClientRun, ServerOutputOfAQueryFollowsItsRows) {
    const ProgramRun r = script("set serveroutput on\n"
                                "create function noisy(n number) return number is\n"
                                "begin dbms_output.put_line('called with ' || n); return n * 2; end;\n"
                                "/\n"
                                "select noisy(level) as d from dual connect by level <= 2;\n"
                                "exit\n");
    EXPECT_EQ(r.out, "\nFunction created.\n\n\n         D\n----------\n         2\n         4\n\n"
                     "called with 1\ncalled with 2\n");
}

// SET AUTOPRINT ON prints the variables a block used, after its completion message.
TEST_F(ClientRun, AutoprintShowsTheVariablesABlockUsed) {
    const ProgramRun r = script("variable a number\nvariable unused number\nset autoprint on feedback off\n"
                                "exec :a := 6 * 7\nprint :unused\nexit\n");
    EXPECT_EQ(r.out, "\n         A\n----------\n        42\n\n\n    UNUSED\n----------\n\n\n");
}

}  // namespace
