// Parser and tokenizer: the error codes and byte positions of malformed statements.
#include "localdb/sql/parser.h"

#include <gtest/gtest.h>

using localdb::Error;

namespace {

std::pair<int, int> errorOf(const std::string &sql) {
    try {
        localdb::parseStatement(sql);
    } catch (const Error &e) {
        return {e.code(), e.position()};
    }
    return {0, -1};
}

}  // namespace

TEST(Parser, SyntaxErrorsPointAtTheOffendingToken) {
    struct Case {
        const char *sql;
        int code, position;
    } cases[] = {
        {"selec * from dual", 900, 0},
        {"select * form dual", 923, 9},
        {"select 1 from dual where", 936, 24},
        {"select 1 from dual x y", 933, 21},
        {"select * from dual;", 911, 18},
        {"select 'abc from dual", 1756, 7},
        {"select \"\" from dual", 1741, 7},
        {"select (1 from dual", 907, 10},
        {"insert t values (1)", 925, 7},
        {"update t x = 1", 971, 11},
        {"create table t (x varchar2)", 906, 26},
        {"create table t (x number(39))", 1727, 18},
        {"create table t (x varchar2(4001))", 910, 18},
        {"drop thing x", 950, 5},
        {"select 1 = 1 from dual", 923, 9},
        {"select 1 from dual union select from dual", 936, 32},
        // Multi-byte text before the fault: the offset counts bytes.
        {"select '日本', nope from dual x y", 933, 34},
    };
    for (const auto &c : cases) {
        auto [code, pos] = errorOf(c.sql);
        EXPECT_EQ(code, c.code) << c.sql;
        EXPECT_EQ(pos, c.position) << c.sql;
    }
}

TEST(Parser, ValidStatementsOfEveryKind) {
    const char *ok[] = {
        "SELECT e.ename, d.dname FROM emp e, dept d WHERE e.deptno = d.deptno (+) ORDER BY 1 DESC NULLS LAST",
        "SELECT * FROM (SELECT ename FROM emp ORDER BY sal DESC) WHERE ROWNUM <= 3",
        "SELECT LEVEL, ename FROM emp START WITH mgr IS NULL CONNECT BY PRIOR empno = mgr",
        "SELECT deptno, COUNT(DISTINCT job) FROM emp GROUP BY deptno HAVING COUNT(*) > 1",
        "SELECT a FROM t UNION ALL SELECT b FROM u MINUS SELECT c FROM v",
        "WITH x AS (SELECT 1 n FROM dual) SELECT n FROM x",
        "SELECT CASE WHEN a > 1 THEN 'x' ELSE 'y' END, DECODE(a, 1, 'one', 'other') FROM t",
        "SELECT TRIM(LEADING '0' FROM x), CAST(x AS NUMBER(5,2)) FROM t",
        "INSERT INTO t (a, b) SELECT a, b FROM u",
        "MERGE INTO t USING u ON (t.id = u.id) WHEN MATCHED THEN UPDATE SET t.v = u.v "
        "WHEN NOT MATCHED THEN INSERT (id, v) VALUES (u.id, u.v)",
        "CREATE TABLE t (a NUMBER(10) CONSTRAINT pk_t PRIMARY KEY USING INDEX TABLESPACE users, "
        "b VARCHAR2(10 CHAR) DEFAULT 'x' NOT NULL, CONSTRAINT ck CHECK (a > 0) ENABLE VALIDATE) "
        "TABLESPACE users PCTFREE 10 STORAGE (INITIAL 64K NEXT 1M) NOLOGGING",
        "ALTER TABLE t ADD CONSTRAINT u1 UNIQUE (b) USING INDEX",
        "ALTER TABLE t MODIFY (b VARCHAR2(20) NULL)",
        "CREATE OR REPLACE FORCE VIEW v (a) AS SELECT a FROM t WITH READ ONLY",
        "CREATE PUBLIC SYNONYM s FOR scott.t",
        "GRANT SELECT, UPDATE (a) ON t TO PUBLIC WITH GRANT OPTION",
        "EXPLAIN PLAN SET STATEMENT_ID='KESTRIM' INTO PLAN_TABLE FOR SELECT * FROM t",
        "ALTER SESSION SET NLS_DATE_FORMAT = 'YYYY-MM-DD'",
        "ROLLBACK TO SAVEPOINT sp1",
    };
    for (const char *sql : ok)
        EXPECT_NO_THROW(localdb::parseStatement(sql)) << sql;
}

#include "localdb/system/errors.h"

TEST(Errors, EveryMessageIsFormattedWithItsArguments) {
    EXPECT_EQ(localdb::formatOracleMessage(942), "ORA-00942: table or view does not exist");
    EXPECT_EQ(localdb::formatOracleMessage(1400, {"\"A\".\"B\".\"C\""}), "ORA-01400: cannot insert NULL into (\"A\".\"B\".\"C\")");
    EXPECT_EQ(localdb::formatOracleMessage(12899, {"\"X\"", "12", "10"}),
              "ORA-12899: value too large for column \"X\" (actual: 12, maximum: 10)");
    EXPECT_EQ(localdb::oracleCodeOf("ORA-01722: invalid number"), 1722);
    EXPECT_EQ(localdb::oracleCodeOf("no such table"), 0);
    // Codes the engine raises must all have a text (a missing one printed "ORA-01719: " once).
    for (int code : {1, 54, 900, 904, 918, 923, 933, 936, 942, 955, 1013, 1400, 1407, 1416, 1438, 1468, 1476, 1719,
                     1722, 1788, 2287, 2289, 2290, 2291, 2292, 8002, 8004, 12154, 12899, 25156})
        EXPECT_FALSE(localdb::messageTemplate(code).empty()) << code;
}

TEST(Parser, DeepNestingIsRefusedNotACrash) {
    std::string deep = "select " + std::string(100000, '(') + "1" + std::string(100000, ')') + " from dual";
    EXPECT_THROW(localdb::parseStatement(deep), Error);
    std::string minus = "select " + std::string(100000, '-') + "1 from dual";
    EXPECT_THROW(localdb::parseStatement(minus), Error);
    std::string ok = "select " + std::string(50, '(') + "1" + std::string(50, ')') + " from dual";
    EXPECT_NO_THROW(localdb::parseStatement(ok));
}

TEST(Parser, EndlessOperatorChainsAreRefused) {
    std::string sum = "select 1";
    for (int i = 0; i < 200000; ++i)
        sum += "+1";
    EXPECT_THROW(localdb::parseStatement(sum + " from dual"), Error);
    std::string cond = "select 1 from dual where 1 = 1";
    for (int i = 0; i < 200000; ++i)
        cond += " and 1 = 1";
    EXPECT_THROW(localdb::parseStatement(cond), Error);
}
