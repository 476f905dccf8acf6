// The session interface: opening by host string, logins, file permissions, transactions, binds
// and lazy cursors.
#include "engine_fixture.h"

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>

#include <sqlite3.h>

using localdb::Error;

TEST_F(EngineTest, LoginErrorsAndHostResolution) {
    try {
        localdb::Session::open(path_, "SYSTEM", "WRONG");
        FAIL() << "wrong password accepted";
    } catch (const Error &e) {
        EXPECT_EQ(e.code(), 1017);
        EXPECT_STREQ(e.what(), "ORA-01017: invalid username/password; logon denied");
    }
    try {
        localdb::Session::open(path_, "NOBODY", "MANAGER");
        FAIL() << "unknown user accepted";
    } catch (const Error &e) {
        EXPECT_EQ(e.code(), 1017);
    }
    try {
        localdb::Session::open((folder_ / "missing.kdb").string(), "SYSTEM", "MANAGER");
        FAIL() << "missing file opened";
    } catch (const Error &e) {
        EXPECT_EQ(e.code(), 12154);
    }
    // Passwords compare without regard to case, user names are folded.
    EXPECT_NO_THROW(localdb::Session::open(path_, "system", "manager"));
}

TEST_F(EngineTest, AliasFileAndDemoDatabaseInTheUsersFolders) {
    std::filesystem::path home = folder_ / "home";
    std::filesystem::create_directories(home / ".config/Kestrim");
    setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home / ".local/share").c_str(), 1);
    std::ofstream(home / ".config/Kestrim/aliases.ini") << "[aliases]\nMyDb=" << path_ << "\n";
    auto s = localdb::Session::open("mydb", "SYSTEM", "MANAGER");
    EXPECT_EQ(s->host(), "mydb");
    EXPECT_THROW(localdb::Session::open("otherdb", "SYSTEM", "MANAGER"), Error);

    auto demo = localdb::Session::open("demo", "SCOTT", "TIGER");
    EXPECT_EQ(scalar(*demo, "SELECT count(*) FROM emp"), "14");
    EXPECT_EQ(scalar(*demo, "SELECT count(*) FROM dept"), "4");
    std::filesystem::path demoFile = home / ".local/share/Kestrim/demo.kdb";
    ASSERT_TRUE(std::filesystem::exists(demoFile));
    struct stat st {};
    ASSERT_EQ(stat(demoFile.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    // Opened again, the existing demo database is used as it is.
    demo->execute("DELETE FROM bonus");
    auto again = localdb::Session::open("DEMO", "SYSTEM", "MANAGER");
    EXPECT_EQ(scalar(*again, "SELECT count(*) FROM scott.emp"), "14");
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_DATA_HOME");
}

TEST_F(EngineTest, CreatedFilesAreReadableByTheOwnerOnly) {
    struct stat st {};
    ASSERT_EQ(stat(path_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_THROW(localdb::Session::createDatabase(path_, "X"), Error);
    auto s = connect();
    s->execute("CREATE TABLE t (x NUMBER)");
    std::filesystem::path wal = path_ + "-wal";
    if (std::filesystem::exists(wal)) {
        ASSERT_EQ(stat(wal.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);
    }
}

TEST_F(EngineTest, StatementsOutsideATransactionCommitAtOnce) {
    auto a = connect();
    auto b = connect();
    a->execute("CREATE TABLE t (x NUMBER)");
    a->execute("INSERT INTO t VALUES (1)");
    EXPECT_EQ(scalar(*b, "SELECT count(*) FROM t"), "1");

    a->beginTransaction();
    a->execute("INSERT INTO t VALUES (2)");
    EXPECT_EQ(scalar(*a, "SELECT count(*) FROM t"), "2");
    EXPECT_EQ(scalar(*b, "SELECT count(*) FROM t"), "1");  // readers never see uncommitted rows
    a->rollback();
    EXPECT_EQ(scalar(*a, "SELECT count(*) FROM t"), "1");

    a->beginTransaction();
    a->execute("INSERT INTO t VALUES (3)");
    a->commit();
    EXPECT_EQ(scalar(*b, "SELECT count(*) FROM t"), "2");
}

TEST_F(EngineTest, DdlCommitsTheWorkBeforeIt) {
    auto a = connect();
    a->execute("CREATE TABLE t (x NUMBER)");
    a->beginTransaction();
    a->execute("INSERT INTO t VALUES (1)");
    a->execute("CREATE TABLE u (y NUMBER)");
    a->rollback();
    EXPECT_EQ(scalar(*a, "SELECT count(*) FROM t"), "1");
    // A DDL statement rejected by the parser commits nothing.
    a->beginTransaction();
    a->execute("INSERT INTO t VALUES (2)");
    EXPECT_THROW(a->execute("CREATE TABLE (oops"), Error);
    a->rollback();
    EXPECT_EQ(scalar(*a, "SELECT count(*) FROM t"), "1");
}

TEST_F(EngineTest, AFailingStatementUndoesOnlyItself) {
    auto a = connect();
    a->execute("CREATE TABLE t (x NUMBER(1))");
    a->beginTransaction();
    a->execute("INSERT INTO t VALUES (1)");
    EXPECT_THROW(a->execute("INSERT INTO t SELECT 2 FROM dual UNION ALL SELECT 99 FROM dual"), Error);
    a->commit();
    EXPECT_EQ(scalar(*a, "SELECT count(*) FROM t"), "1");
}

TEST_F(EngineTest, BindVariablesAndOutcomes) {
    auto s = connect();
    s->execute("CREATE TABLE t (id NUMBER(4), name VARCHAR2(10), at DATE)");
    std::vector<localdb::Bind> binds = {{"id", std::int64_t(7), localdb::Bind::In, 0},
                                        {"NAME", std::string("seven"), localdb::Bind::In, 0},
                                        {"at", localdb::DateTime{2004, 1, 5, 13, 30, 0}, localdb::Bind::In, 0}};
    auto r = s->execute("INSERT INTO t VALUES (:id, :name, :at)", &binds);
    EXPECT_EQ(r.rowsAffected, 1);
    EXPECT_EQ(r.command, "INSERT");
    auto c = s->query("SELECT name, at FROM t WHERE id = :id", &binds);
    ASSERT_TRUE(c->next());
    EXPECT_EQ(std::get<std::string>(c->value(0)), "seven");
    EXPECT_EQ(std::get<localdb::DateTime>(c->value(1)), (localdb::DateTime{2004, 1, 5, 13, 30, 0}));
    try {
        s->query("SELECT name FROM t WHERE id = :missing");
        FAIL();
    } catch (const Error &e) {
        EXPECT_EQ(e.code(), 1008);
    }
    // The cached statement runs again with other values.
    binds[0].value = std::int64_t(8);
    binds[1].value = std::string("");  // Oracle's empty string is NULL
    s->execute("INSERT INTO t VALUES (:id, :name, :at)", &binds);
    EXPECT_EQ(scalar(*s, "SELECT count(*) FROM t WHERE name IS NULL"), "1");
}

TEST_F(EngineTest, RowsAreFetchedLazily) {
    auto s = connect();
    s->execute("CREATE TABLE big (n NUMBER)");
    s->execute("INSERT INTO big SELECT 1 FROM dual");
    for (int i = 0; i < 17; ++i)
        s->execute("INSERT INTO big SELECT n + (SELECT count(*) FROM big) FROM big");
    EXPECT_EQ(scalar(*s, "SELECT count(*) FROM big"), "131072");
    // A cross join of 17 billion rows starts at once.
    auto c = s->query("SELECT a.n, b.n FROM big a, big b");
    ASSERT_TRUE(c->next());
    EXPECT_EQ(c->columns().size(), 2u);
}

TEST_F(EngineTest, FieldTypesFollowTheColumnTypes) {
    auto s = connect();
    s->execute("CREATE TABLE t (a NUMBER(4), b NUMBER(9), c NUMBER(7,2), d DATE, e VARCHAR2(5), f CLOB, g RAW(4), "
               "h NUMBER, i LONG)");
    auto c = s->query("SELECT * FROM t");
    std::vector<int> types;
    for (const auto &col : c->columns())
        types.push_back(col.type);
    EXPECT_EQ(types, (std::vector<int>{3, 4, 7, 8, 10, 12, 11, 7, 12}));
}

TEST_F(EngineTest, AnotherSessionsDdlIsSeenByCachedStatements) {
    auto a = connect();
    auto b = connect();
    a->execute("CREATE TABLE t (x NUMBER)");
    a->execute("INSERT INTO t VALUES (1)");
    EXPECT_EQ(scalar(*b, "SELECT * FROM t"), "1");
    a->execute("DROP TABLE t");
    a->execute("CREATE TABLE t (y VARCHAR2(5), x NUMBER)");
    a->execute("INSERT INTO t VALUES ('new', 2)");
    // The same text again: translated anew against the new table.
    EXPECT_EQ(scalar(*b, "SELECT * FROM t"), "new");
    EXPECT_EQ(scalar(*b, "SELECT x FROM t"), "2");
}

TEST_F(EngineTest, ChangesWhileACursorIsOpen) {
    auto s = connect();
    s->execute("CREATE TABLE t (x NUMBER, at DATE DEFAULT SYSDATE, who VARCHAR2(30) DEFAULT USER)");
    s->execute("INSERT INTO t (x) VALUES (1)");
    s->execute("INSERT INTO t (x) VALUES (2)");
    EXPECT_EQ(scalar(*s, "SELECT who FROM t WHERE x = 1"), "SYSTEM");
    EXPECT_EQ(scalar(*s, "SELECT count(*) FROM t WHERE at IS NOT NULL"), "2");
    auto c = s->query("SELECT x FROM t ORDER BY x");
    ASSERT_TRUE(c->next());
    // The worksheet may run DML while a result is still being read.
    EXPECT_NO_THROW(s->execute("INSERT INTO t (x) VALUES (3)"));
    ASSERT_TRUE(c->next());
    EXPECT_EQ(std::get<std::int64_t>(c->value(0)), 2);
    s->beginTransaction();
    s->execute("UPDATE t SET x = x + 10");
    s->commit();
    EXPECT_EQ(scalar(*s, "SELECT min(x) FROM t"), "11");
    c.reset();
    s->execute("RENAME t TO t2");
    s->execute("CREATE VIEW v AS SELECT x FROM t2 WHERE x > 11");
    s->execute("RENAME v TO v2");
    EXPECT_EQ(scalar(*s, "SELECT count(*) FROM v2"), "2");
}

TEST_F(EngineTest, FilesThatAreNoDatabaseGiveAClearError) {
    std::string text = (folder_ / "notes.txt").string();
    std::ofstream(text) << "this is not a database\n";
    std::string foreign = (folder_ / "other.sqlite").string();
    {
        sqlite3 *db = nullptr;
        sqlite3_open(foreign.c_str(), &db);
        sqlite3_exec(db, "CREATE TABLE x (a)", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    for (const std::string &path : {text, foreign}) {
        try {
            localdb::Session::open(path, "SYSTEM", "MANAGER");
            FAIL() << path << " was opened";
        } catch (const Error &e) {
            EXPECT_EQ(e.code(), 12154) << e.what();
        }
    }
}

TEST_F(EngineTest, AnOpenCursorReadsOnAfterRollbackAndOtherSessionsCommits) {
    auto a = connect();
    auto b = connect();
    a->execute("CREATE TABLE t (x NUMBER)");
    for (int i = 1; i <= 3; ++i)
        a->execute("INSERT INTO t VALUES (" + std::to_string(i) + ")");
    auto rows = a->query("SELECT x FROM t");
    ASSERT_TRUE(rows->next());
    b->execute("INSERT INTO t VALUES (4)");
    // Writing from a's session while its cursor still reads the older snapshot.
    a->beginTransaction();
    EXPECT_NO_THROW(a->execute("INSERT INTO t VALUES (5)"));
    a->rollback();
    int seen = 1;
    while (rows->next())
        ++seen;
    EXPECT_EQ(seen, 3);  // the rows as they were when the cursor opened
    EXPECT_EQ(scalar(*a, "SELECT count(*) FROM t"), "4");
}

TEST_F(EngineTest, ARevokedGrantIsNotBypassedByACachedStatement) {
    auto system = connect();
    system->execute("CREATE USER u IDENTIFIED BY u");
    system->execute("GRANT CONNECT TO u");
    system->execute("CREATE TABLE secrets (x NUMBER)");
    system->execute("GRANT SELECT ON secrets TO u");
    auto u = connect("U", "U");
    EXPECT_EQ(scalar(*u, "SELECT count(*) FROM system.secrets"), "0");
    system->execute("REVOKE SELECT ON secrets FROM u");
    try {
        scalar(*u, "SELECT count(*) FROM system.secrets");
        FAIL() << "the revoked table was still readable";
    } catch (const Error &e) {
        EXPECT_EQ(e.code(), 942);
    }
}
