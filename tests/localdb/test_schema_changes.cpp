// DDL and what the sessions on the file keep: cached translations are made again only for the
// statements that name a changed object (in this session or another), and the engine's own
// SQLite triggers are made again without touching triggers it did not make.
#include "engine_fixture.h"

#include "localdb/system/session_statistics.h"

#include <sqlite3.h>

using localdb::Error;

namespace {

// How many translations running sql cost the session (0: it reused a cached one).
int translationsOf(localdb::Session &s, const std::string &sql) {
    const std::int64_t before = localdb::statementsTranslated(s);
    auto c = s.query(sql);
    while (c->next()) {
    }
    return int(localdb::statementsTranslated(s) - before);
}

// Runs statements on the file's SQLite connection directly, as another program could.
void rawExec(const std::string &path, const std::string &sql) {
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    char *error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

std::int64_t rawCount(const std::string &path, const std::string &sql) {
    sqlite3 *db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_stmt *p = nullptr;
    std::int64_t n = -1;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &p, nullptr) == SQLITE_OK && sqlite3_step(p) == SQLITE_ROW)
        n = sqlite3_column_int64(p, 0);
    sqlite3_finalize(p);
    sqlite3_close(db);
    return n;
}

}  // namespace

TEST_F(EngineTest, OwnDdlDropsOnlyTheTranslationsNamingWhatItChanged) {
    auto s = connect();
    s->execute("CREATE TABLE t (a NUMBER)");
    s->execute("CREATE TABLE other (z NUMBER)");
    s->execute("INSERT INTO t VALUES (1)");
    const std::string query = "SELECT * FROM t";
    EXPECT_EQ(translationsOf(*s, query), 1);
    EXPECT_EQ(translationsOf(*s, query), 0);

    s->execute("ALTER TABLE other ADD (y NUMBER)");
    s->execute("CREATE INDEX other_z ON other (z)");
    s->execute("CREATE OR REPLACE PROCEDURE p IS BEGIN NULL; END;");
    s->execute("GRANT SELECT ON other TO PUBLIC");
    EXPECT_EQ(translationsOf(*s, query), 0);

    s->execute("ALTER TABLE t ADD (b VARCHAR2(5) DEFAULT 'x')");
    EXPECT_EQ(translationsOf(*s, query), 1);
    auto c = s->query(query);
    ASSERT_EQ(c->columns().size(), 2u);
    ASSERT_TRUE(c->next());
    EXPECT_EQ(std::get<std::string>(c->value(1)), "x");

    // A change of every name's meaning (a user dropped) drops everything.
    s->execute("CREATE USER u IDENTIFIED BY u");
    EXPECT_EQ(translationsOf(*s, query), 0);
    s->execute("DROP USER u");
    EXPECT_EQ(translationsOf(*s, query), 1);

    // A failed DDL changed nothing: the translation stays.
    EXPECT_THROW(s->execute("CREATE TABLE t (c NUMBER)"), Error);
    EXPECT_EQ(translationsOf(*s, query), 0);
}

TEST_F(EngineTest, ANameFoundNowhereThenCreatedIsTranslatedAgain) {
    auto s = connect();
    s->execute("CREATE TABLE pub_target (p VARCHAR2(10))");
    s->execute("INSERT INTO pub_target VALUES ('public')");
    s->execute("CREATE PUBLIC SYNONYM shown FOR pub_target");
    EXPECT_EQ(scalar(*s, "SELECT p FROM shown"), "public");
    // SYSTEM.SHOWN did not exist when the statement was translated; now it hides the synonym.
    s->execute("CREATE TABLE shown (p VARCHAR2(10))");
    s->execute("INSERT INTO shown VALUES ('own')");
    EXPECT_EQ(scalar(*s, "SELECT p FROM shown"), "own");

    // A stored function called from SQL: replaced with another result type, the query follows.
    s->execute("CREATE FUNCTION f (x NUMBER) RETURN NUMBER IS BEGIN RETURN x; END;");
    auto c = s->query("SELECT f(1) FROM dual");
    const int numberType = c->columns()[0].type;
    c.reset();
    s->execute("CREATE OR REPLACE FUNCTION f (x NUMBER) RETURN VARCHAR2 IS BEGIN RETURN 'text'; END;");
    c = s->query("SELECT f(1) FROM dual");
    EXPECT_NE(c->columns()[0].type, numberType);
    ASSERT_TRUE(c->next());
    EXPECT_EQ(std::get<std::string>(c->value(0)), "text");
    // Called without parentheses, the same.
    s->execute("CREATE FUNCTION g RETURN NUMBER IS BEGIN RETURN 1; END;");
    EXPECT_EQ(scalar(*s, "SELECT g FROM dual"), "1");
    c.reset();
    s->execute("CREATE OR REPLACE FUNCTION g RETURN VARCHAR2 IS BEGIN RETURN 'two'; END;");
    EXPECT_EQ(scalar(*s, "SELECT g FROM dual"), "two");
}

TEST_F(EngineTest, AnotherSessionsDdlDropsOnlyTheTranslationsNamingWhatItChanged) {
    auto a = connect();
    auto b = connect();
    a->execute("CREATE TABLE t (x NUMBER)");
    a->execute("CREATE TABLE u (y NUMBER)");
    a->execute("INSERT INTO t VALUES (1)");
    EXPECT_EQ(translationsOf(*b, "SELECT * FROM t"), 1);
    EXPECT_EQ(translationsOf(*b, "SELECT * FROM u"), 1);

    a->execute("ALTER TABLE t ADD (w VARCHAR2(5) DEFAULT 'new')");
    EXPECT_EQ(translationsOf(*b, "SELECT * FROM u"), 0);
    EXPECT_EQ(translationsOf(*b, "SELECT * FROM t"), 1);
    EXPECT_EQ(b->query("SELECT * FROM t")->columns().size(), 2u);

    // A privilege taken back reaches the other session's cached statement.
    a->execute("CREATE USER reader IDENTIFIED BY r");
    a->execute("GRANT CREATE SESSION TO reader");
    a->execute("GRANT SELECT ON u TO reader");
    auto r = connect("READER", "R");
    EXPECT_EQ(scalar(*r, "SELECT count(*) FROM system.u"), "0");
    a->execute("REVOKE SELECT ON u FROM reader");
    EXPECT_THROW(scalar(*r, "SELECT count(*) FROM system.u"), Error);
}

TEST_F(EngineTest, SchemaChangesTheLogCannotExplainDropEveryTranslation) {
    auto a = connect();
    auto b = connect();
    a->execute("CREATE TABLE t (x NUMBER)");
    a->execute("CREATE TABLE u (y NUMBER)");
    EXPECT_EQ(translationsOf(*b, "SELECT * FROM t"), 1);

    // A DDL whose log entry went missing (pruned while the session was idle): b cannot tell
    // what changed.
    a->execute("CREATE TABLE v1 (z NUMBER)");
    a->execute("CREATE TABLE v2 (z NUMBER)");
    rawExec(path_, "DELETE FROM kdb_ddl_log WHERE change_id = (SELECT max(change_id) - 1 FROM kdb_ddl_log)");
    EXPECT_EQ(translationsOf(*b, "SELECT * FROM t"), 1);

    // The schema changed by a program that keeps no log.
    rawExec(path_, "CREATE TABLE side (n); DROP TABLE side");
    EXPECT_EQ(translationsOf(*b, "SELECT * FROM t"), 1);
    EXPECT_EQ(translationsOf(*b, "SELECT * FROM t"), 0);
}

TEST_F(EngineTest, EngineTriggersAreMadeAgainAndOtherTriggersStay) {
    auto s = connect();
    s->execute("CREATE TABLE parent (id NUMBER PRIMARY KEY)");
    s->execute("CREATE TABLE child (id NUMBER, parent_id NUMBER REFERENCES parent, twice AS (id * 2))");
    // Another program's trigger on the child table, and one an earlier version of the engine
    // named in its old way.
    rawExec(path_,
            "CREATE TABLE audit_log (n); "
            "CREATE TRIGGER audit_child AFTER INSERT ON \"SYSTEM.CHILD\" BEGIN INSERT INTO audit_log VALUES (NEW.id); END; "
            "CREATE TRIGGER \"kdb_fk_insert:SYSTEM.GONE\" AFTER INSERT ON \"SYSTEM.PARENT\" BEGIN SELECT 1; END;");

    // Every key change makes the engine's triggers again.
    s->execute("CREATE TABLE other (id NUMBER, parent_id NUMBER REFERENCES parent ON DELETE CASCADE)");
    EXPECT_EQ(rawCount(path_, "SELECT count(*) FROM sqlite_master WHERE name = 'audit_child'"), 1);
    EXPECT_EQ(rawCount(path_, "SELECT count(*) FROM sqlite_master WHERE name LIKE 'kdb!_fk!_%' ESCAPE '!'"), 0);
    EXPECT_GT(rawCount(path_, "SELECT count(*) FROM sqlite_master WHERE type = 'trigger' AND name LIKE 'kdb_engine:%'"),
              0);

    s->execute("INSERT INTO parent VALUES (1)");
    s->execute("INSERT INTO child (id, parent_id) VALUES (7, 1)");
    EXPECT_EQ(rawCount(path_, "SELECT n FROM audit_log"), 7);
    EXPECT_EQ(scalar(*s, "SELECT twice FROM child"), "14");
    try {
        s->execute("INSERT INTO child (id, parent_id) VALUES (8, 2)");
        FAIL() << "a child row without its parent was taken";
    } catch (const Error &e) {
        EXPECT_EQ(e.code(), 2291);
    }
    s->execute("INSERT INTO other VALUES (1, 1)");
    try {
        s->execute("DELETE FROM parent");
        FAIL() << "a parent with children was deleted";
    } catch (const Error &e) {
        EXPECT_EQ(e.code(), 2292);
    }
}
