// The functions as the engine calls them: registered on a real SQLite connection, reading the
// session context on every call, returning values in the storage conventions and failing with
// Oracle's exact message text.
#include "localdb/functions/function_catalog.h"
#include "localdb/functions/session_context.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

using localdb::allFunctions;
using localdb::findFunction;
using localdb::FunctionInfo;
using localdb::SessionContext;

namespace {

// One column of one row, written the way the test expects to compare it: NULL, integers, reals
// (as %.15g), text, blobs as x'..', or the error message prefixed with "error: ".
struct Result {
    int type = SQLITE_NULL;
    std::string text;
};

class FunctionsOnConnection : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
        session_.sessionUser = "SCOTT";
        session_.currentSchema = "SCOTT";
        session_.userId = 54;
        session_.statementTime = localdb::DateTime{2004, 1, 5, 13, 30, 0};
        localdb::registerOracleFunctions(db_, &session_);
    }

    void TearDown() override { sqlite3_close(db_); }

    Result run(const std::string &sql)
    {
        sqlite3_stmt *statement = nullptr;
        Result result;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
            result.text = std::string("error: ") + sqlite3_errmsg(db_);
            return result;
        }
        int rc = sqlite3_step(statement);
        if (rc == SQLITE_ROW) {
            result.type = sqlite3_column_type(statement, 0);
            switch (result.type) {
            case SQLITE_NULL:
                result.text = "NULL";
                break;
            case SQLITE_FLOAT: {
                char buffer[64];
                std::snprintf(buffer, sizeof buffer, "%.15g", sqlite3_column_double(statement, 0));
                result.text = buffer;
                break;
            }
            case SQLITE_BLOB: {
                auto *bytes = static_cast<const unsigned char *>(sqlite3_column_blob(statement, 0));
                result.text = "x'";
                for (int i = 0; i < sqlite3_column_bytes(statement, 0); ++i) {
                    char hex[3];
                    std::snprintf(hex, sizeof hex, "%02x", bytes[i]);
                    result.text += hex;
                }
                result.text += "'";
                break;
            }
            default:
                result.text = reinterpret_cast<const char *>(sqlite3_column_text(statement, 0));
            }
        } else if (rc != SQLITE_DONE) {
            result.text = std::string("error: ") + sqlite3_errmsg(db_);
        }
        sqlite3_finalize(statement);
        return result;
    }

    std::string value(const std::string &expression) { return run("SELECT " + expression).text; }

    void exec(const std::string &sql) { ASSERT_EQ(sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql; }

    sqlite3 *db_ = nullptr;
    SessionContext session_;
};

TEST_F(FunctionsOnConnection, EveryCatalogueEntryIsRegisteredForItsArgumentCounts)
{
    for (const FunctionInfo &info : allFunctions()) {
        for (int n = info.minArguments; n <= info.maxArguments + 1; ++n) {
            std::string arguments;
            for (int i = 0; i < n; ++i)
                arguments += i == 0 ? "NULL" : ", NULL";
            std::string sql = "SELECT " + std::string(info.sqliteName) + "(" + arguments + ")";
            Result result = run(sql);
            bool rejected = result.text.rfind("error: wrong number of arguments", 0) == 0
                            || result.text.rfind("error: no such function", 0) == 0;
            EXPECT_EQ(rejected, n > info.maxArguments) << sql << " -> " << result.text;
        }
    }
}

TEST_F(FunctionsOnConnection, CatalogueLookUp)
{
    ASSERT_NE(findFunction("TO_CHAR"), nullptr);
    EXPECT_EQ(findFunction("TO_CHAR")->sqliteName, "ora_to_char");
    EXPECT_EQ(findFunction("TO_CHAR", true)->sqliteName, "ora_to_char_date");
    EXPECT_EQ(findFunction("TRUNC", true)->result, localdb::FunctionResult::Date);
    EXPECT_EQ(findFunction("SUBSTR", true)->sqliteName, "ora_substr");  // no date overload
    EXPECT_TRUE(findFunction("MEDIAN")->aggregate);
    EXPECT_EQ(findFunction("to_char"), nullptr);
    EXPECT_EQ(findFunction("NOSUCH"), nullptr);
    EXPECT_EQ(localdb::oracleErrorCode("ORA-01722: invalid number"), 1722);
    EXPECT_EQ(localdb::oracleErrorCode("ORA-1722: invalid number"), 0);
    EXPECT_EQ(localdb::oracleErrorCode("no such function: x"), 0);
}

TEST_F(FunctionsOnConnection, NullRules)
{
    EXPECT_EQ(value("ora_length('')"), "NULL");
    EXPECT_EQ(value("ora_upper(NULL)"), "NULL");
    EXPECT_EQ(value("ora_concat(NULL, 'b')"), "b");
    EXPECT_EQ(value("ora_concat('', NULL)"), "NULL");
    EXPECT_EQ(value("ora_replace('abc', NULL)"), "abc");
    EXPECT_EQ(value("ora_replace('abc', 'b', NULL)"), "ac");
    EXPECT_EQ(value("ora_replace('aa', 'a')"), "NULL");
    EXPECT_EQ(value("ora_substr('abc', 4)"), "NULL");
    EXPECT_EQ(value("ora_trim('   ')"), "NULL");
    EXPECT_EQ(value("ora_ltrim('xxx', 'x')"), "NULL");
    EXPECT_EQ(value("ora_rpad('abc', 0)"), "NULL");
    EXPECT_EQ(value("ora_translate('abc', 'abc', '')"), "NULL");
    EXPECT_EQ(value("ora_to_number('')"), "NULL");
    EXPECT_EQ(value("ora_lpad('x', 3, NULL)"), "NULL");
    EXPECT_EQ(value("ora_trim('xax', 'LEADING', NULL)"), "NULL");
    EXPECT_EQ(value("ora_instr('abc', NULL)"), "NULL");
    EXPECT_EQ(value("ora_to_char(1, NULL)"), "NULL");
}

TEST_F(FunctionsOnConnection, ErrorsCarryOraclesText)
{
    EXPECT_EQ(value("ora_to_number('abc')"), "error: ORA-01722: invalid number");
    EXPECT_EQ(value("ora_abs('x')"), "error: ORA-01722: invalid number");
    EXPECT_EQ(value("ora_to_char(52428800, '#,##0')"), "error: ORA-01481: invalid number format model");
    EXPECT_EQ(value("ora_to_date('2004-13-01', 'YYYY-MM-DD')"), "error: ORA-01843: not a valid month");
    EXPECT_EQ(value("ora_to_date('2004-01-05 10:00', 'YYYY-MM-DD')"),
              "error: ORA-01830: date format picture ends before converting entire input string");
    EXPECT_EQ(value("ora_sqrt(-1)"), "error: ORA-01428: argument '-1' is out of range");
    EXPECT_EQ(value("ora_instr('abc', 'b', 1, 0)"), "error: ORA-01428: argument '0' is out of range");
    EXPECT_EQ(value("ora_hextoraw('0g')"), "error: ORA-01465: invalid hex number");
    EXPECT_EQ(value("ora_trim('abc', 'BOTH', 'ab')"), "error: ORA-30001: trim set should have only one character");
    EXPECT_EQ(value("ora_add_months(5, 1)"), "error: ORA-00932: inconsistent datatypes: expected DATE got NUMBER");
    EXPECT_EQ(value("ora_userenv('NOSUCH')"), "error: ORA-02003: invalid USERENV parameter");
    EXPECT_EQ(value("ora_to_char(1, '9', 'NLS_BOGUS = 1')"),
              "error: ORA-12702: invalid NLS parameter string used in SQL function");
}

TEST_F(FunctionsOnConnection, NumbersReturnAsIntegersWhenIntegral)
{
    Result rounded = run("SELECT ora_round(2.5)");
    EXPECT_EQ(rounded.type, SQLITE_INTEGER);
    EXPECT_EQ(rounded.text, "3");
    EXPECT_EQ(value("ora_round(-2.5)"), "-3");
    EXPECT_EQ(value("ora_round(1.005, 2)"), "1.01");
    EXPECT_EQ(value("ora_round(1234.567, -2)"), "1200");
    EXPECT_EQ(value("ora_trunc(-1.7)"), "-1");
    EXPECT_EQ(value("ora_trunc(1234.567, 1)"), "1234.5");
    EXPECT_EQ(value("ora_mod(0.3, 0.1)"), "0");
    EXPECT_EQ(value("ora_mod(-11, 4)"), "-3");
    EXPECT_EQ(value("ora_power(2, 10)"), "1024");
    EXPECT_EQ(value("ora_log(10, 1000)"), "3");
    EXPECT_EQ(value("ora_sign(-0.5)"), "-1");
    EXPECT_EQ(value("ora_abs('-5')"), "5");
    EXPECT_EQ(value("ora_bitand(12, 10)"), "8");
    EXPECT_EQ(value("ora_to_number(' 1.5E2 ')"), "150");
    EXPECT_EQ(value("ora_to_number('1,234.50', '9,999.99')"), "1234.5");
}

TEST_F(FunctionsOnConnection, NumbersToText)
{
    EXPECT_EQ(value("ora_to_char(0.1 + 0.2)"), ".3");
    EXPECT_EQ(value("ora_to_char(-0.5)"), "-.5");
    EXPECT_EQ(value("ora_to_char(100)"), "100");
    EXPECT_EQ(value("ora_to_char('abc')"), "abc");
    EXPECT_EQ(value("ora_to_char(85.5, '990.00')"), "  85.50");
    EXPECT_EQ(value("ora_to_char('85.5', 'FM990.00')"), "85.50");
    EXPECT_EQ(value("ora_to_char(1234.5, '9G999D99', 'NLS_NUMERIC_CHARACTERS = '',.''')"), " 1.234,50");
    EXPECT_EQ(value("ora_length(12.50)"), "4");  // '12.5'
    session_.nls.numericCharacters = ",.";
    EXPECT_EQ(value("ora_to_char(0.5)"), ",5");
    EXPECT_EQ(value("ora_to_number('1,5')"), "1.5");
}

TEST_F(FunctionsOnConnection, DatesInTheStorageForm)
{
    EXPECT_EQ(value("ora_sysdate()"), "2004-01-05 13:30:00");
    EXPECT_EQ(value("ora_to_char_date('2004-01-05 13:30:00')"), "05-JAN-04");
    EXPECT_EQ(value("ora_to_char_date('2004-01-05 13:30:00', 'Day HH:MI AM')"), "Monday    01:30 PM");
    EXPECT_EQ(value("ora_to_char_date('2004-01-05 13:30:00', 'FMMonth', 'NLS_DATE_LANGUAGE = JAPANESE')"), "1月");
    EXPECT_EQ(value("ora_to_date('05-JAN-04')"), "2004-01-05 00:00:00");
    EXPECT_EQ(value("ora_to_date('10:30', 'HH24:MI')"), "2004-01-01 10:30:00");
    EXPECT_EQ(value("ora_to_date(20040105, 'YYYYMMDD')"), "2004-01-05 00:00:00");
    EXPECT_EQ(value("ora_add_months('2004-01-31 00:00:00', 1)"), "2004-02-29 00:00:00");
    // A date given as text in the session's format is converted on the way in.
    EXPECT_EQ(value("ora_add_months('31-JAN-04', 1)"), "2004-02-29 00:00:00");
    EXPECT_EQ(value("ora_last_day('2004-02-10 09:00:00')"), "2004-02-29 09:00:00");
    EXPECT_EQ(value("ora_months_between('2004-03-15 00:00:00', '2004-03-01 00:00:00')"), "0.451612903225806");
    EXPECT_EQ(value("ora_next_day('2004-01-05 00:00:00', 'monday')"), "2004-01-12 00:00:00");
    EXPECT_EQ(value("ora_round_date('2004-01-16 00:00:00', 'MM')"), "2004-02-01 00:00:00");
    EXPECT_EQ(value("ora_trunc_date('2004-01-05 13:30:00')"), "2004-01-05 00:00:00");
    EXPECT_EQ(value("ora_date_add('2004-01-05 00:00:00', 13.5 / 24)"), "2004-01-05 13:30:00");
    EXPECT_EQ(value("ora_date_add('2004-01-05 00:00:00', -5)"), "2003-12-31 00:00:00");
    EXPECT_EQ(value("ora_date_diff('2004-01-02 00:00:00', '2004-01-01 12:00:00')"), "0.5");
    EXPECT_EQ(value("ora_date_diff('2004-01-02 00:00:00', '2004-01-01 00:00:00')"), "1");
    EXPECT_EQ(value("ora_extract('year', '2004-01-05 13:30:00')"), "2004");
    EXPECT_EQ(value("ora_extract('MINUTE', '2004-01-05 13:30:00')"), "30");
    EXPECT_EQ(value("ora_extract('WEEK', '2004-01-05 13:30:00')"),
              "error: ORA-30076: invalid extract field for extract source");
}

TEST_F(FunctionsOnConnection, SessionSettingsAreReadOnEveryCall)
{
    EXPECT_EQ(value("ora_to_char_date('2004-01-05 13:30:00')"), "05-JAN-04");
    session_.nls.dateFormat = "YYYY/MM/DD";
    EXPECT_EQ(value("ora_to_char_date('2004-01-05 13:30:00')"), "2004/01/05");
    EXPECT_EQ(value("ora_to_date('2004/02/03')"), "2004-02-03 00:00:00");
    session_.nls.language = "JAPANESE";
    EXPECT_EQ(value("ora_to_char_date('2004-01-05 13:30:00', 'DY')"), "月");
    session_.statementTime = localdb::DateTime{2010, 6, 7, 0, 0, 0};
    EXPECT_EQ(value("ora_sysdate()"), "2010-06-07 00:00:00");
}

TEST_F(FunctionsOnConnection, SessionInformation)
{
    EXPECT_EQ(value("ora_user()"), "SCOTT");
    EXPECT_EQ(value("ora_uid()"), "54");
    EXPECT_EQ(value("ora_sys_context('USERENV', 'CURRENT_SCHEMA')"), "SCOTT");
    EXPECT_EQ(value("ora_sys_context('userenv', 'nls_date_format')"), "DD-MON-RR");
    EXPECT_EQ(value("ora_sys_context('USERENV', 'SESSION_USER', 3)"), "SCO");
    EXPECT_EQ(value("ora_sys_context('MY_CONTEXT', 'X')"), "NULL");
    EXPECT_EQ(value("ora_userenv('LANGUAGE')"), "AMERICAN_AMERICA.JA16SJIS");
    EXPECT_EQ(value("ora_userenv('ISDBA')"), "FALSE");
}

TEST_F(FunctionsOnConnection, TextAndRaw)
{
    EXPECT_EQ(value("ora_substr('ABCDEFG', -3, 2)"), "EF");
    EXPECT_EQ(value("ora_instr('CORPORATE FLOOR', 'OR', -3, 2)"), "2");
    EXPECT_EQ(value("ora_lengthb('日本語')"), "6");
    EXPECT_EQ(value("ora_ascii('あ')"), "33440");
    EXPECT_EQ(value("ora_chr(33440)"), "あ");
    EXPECT_EQ(value("ora_trim('xxaxx', 'TRAILING', 'x')"), "xxa");
    EXPECT_EQ(value("ora_trim('  a  ')"), "a");
    EXPECT_EQ(value("ora_rawtohex(ora_hextoraw('0aff'))"), "0AFF");
    EXPECT_EQ(value("ora_rawtohex('AB')"), "4142");
    EXPECT_EQ(value("ora_hextoraw('0aff')"), "x'0aff'");
    EXPECT_EQ(value("ora_initcap('hello WORLD-foo')"), "Hello World-Foo");
    EXPECT_EQ(value("ora_nls_upper('abc', 'NLS_SORT = BINARY')"), "ABC");
    EXPECT_EQ(value("ora_to_multi_byte('ｱ1')"), "ア１");
    EXPECT_EQ(value("ora_vsize(100)"), "2");
    EXPECT_EQ(value("ora_vsize(123)"), "3");
    EXPECT_EQ(value("ora_vsize(-1)"), "3");
    EXPECT_EQ(value("ora_vsize(0)"), "1");
    EXPECT_EQ(value("ora_vsize('日本')"), "4");
    EXPECT_EQ(value("ora_vsize_date('2004-01-05 00:00:00')"), "7");
}

TEST_F(FunctionsOnConnection, Aggregates)
{
    exec("CREATE TABLE t (g INTEGER, x)");
    exec("INSERT INTO t VALUES (1, 1), (1, 2), (1, 3), (1, 4), (1, NULL), (2, 7), (3, NULL)");
    EXPECT_EQ(value("ora_median(x) FROM t WHERE g = 1"), "2.5");
    EXPECT_EQ(value("ora_median(x) FROM t WHERE x < 4"), "2");
    EXPECT_EQ(value("ora_variance(x) FROM t WHERE g = 1"), "1.66666666666667");
    EXPECT_EQ(value("ora_var_pop(x) FROM t WHERE g = 1"), "1.25");
    EXPECT_EQ(value("ora_stddev(x) FROM t WHERE g = 1"), "1.29099444873581");
    EXPECT_EQ(value("ora_stddev_pop(x) FROM t WHERE g = 1"), "1.11803398874989");
    // One row: VARIANCE and STDDEV are 0, the sample forms NULL; no rows or only NULLs: NULL.
    EXPECT_EQ(value("ora_variance(x) FROM t WHERE g = 2"), "0");
    EXPECT_EQ(value("ora_stddev(x) FROM t WHERE g = 2"), "0");
    EXPECT_EQ(value("ora_var_samp(x) FROM t WHERE g = 2"), "NULL");
    EXPECT_EQ(value("ora_stddev_samp(x) FROM t WHERE g = 2"), "NULL");
    EXPECT_EQ(value("ora_median(x) FROM t WHERE g = 3"), "NULL");
    EXPECT_EQ(value("ora_variance(x) FROM t WHERE g = 9"), "NULL");
    exec("INSERT INTO t VALUES (4, 'x')");
    EXPECT_EQ(value("ora_median(x) FROM t"), "error: ORA-01722: invalid number");
    EXPECT_EQ(value("ora_stddev(x) FROM t"), "error: ORA-01722: invalid number");
    exec("CREATE TABLE words (g INTEGER, w TEXT)");
    exec("INSERT INTO words VALUES (1, 'a'), (1, NULL), (1, 'b'), (2, NULL)");
    EXPECT_EQ(value("ora_listagg(w, ', ') FROM words WHERE g = 1"), "a, b");
    EXPECT_EQ(value("ora_listagg(w) FROM words WHERE g = 1"), "ab");
    EXPECT_EQ(value("ora_listagg(w, ',') FROM words WHERE g = 2"), "NULL");
    // 4000 bytes are allowed, one more is not.
    exec("INSERT INTO words SELECT 3, ora_rpad('x', 1000, 'x') FROM (SELECT 1 UNION SELECT 2 UNION SELECT 3 "
         "UNION SELECT 4)");
    EXPECT_EQ(value("length(ora_listagg(w)) FROM words WHERE g = 3"), "4000");
    exec("INSERT INTO words VALUES (3, 'y')");
    EXPECT_EQ(value("ora_listagg(w) FROM words WHERE g = 3"),
              "error: ORA-01489: result of string concatenation is too long");
    // Grouped, as the engine emits GROUP BY.
    EXPECT_EQ(value("group_concat(m) FROM (SELECT ora_median(x) AS m FROM t WHERE g < 4 GROUP BY g)"), "2.5,7");
}

TEST_F(FunctionsOnConnection, UsableInViewsOfAnUntrustedSchema)
{
    sqlite3_db_config(db_, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    exec("CREATE TABLE t (x)");
    exec("INSERT INTO t VALUES (2.5)");
    exec("CREATE VIEW v AS SELECT ora_round(x) AS r, ora_sysdate() AS d, ora_median(x) AS m FROM t");
    EXPECT_EQ(value("r FROM v"), "3");
}

TEST_F(FunctionsOnConnection, DeterministicFunctionsCanBeIndexed)
{
    exec("CREATE TABLE names (n TEXT)");
    exec("CREATE INDEX names_upper ON names (ora_upper(n))");
    // A function that reads the session settings is not allowed in an index.
    EXPECT_NE(sqlite3_exec(db_, "CREATE INDEX names_date ON names (ora_to_date(n))", nullptr, nullptr, nullptr),
              SQLITE_OK);
}

}  // namespace
