// Sessions: opening a database by host string, logging in, and running statements with Oracle's
// transaction rules on one SQLite connection per session.
//
// Transactions: statements outside beginTransaction() commit at once. Inside one, the SQLite
// write transaction starts at the first change (BEGIN IMMEDIATE, so a second writer waits for
// the lock up to the busy timeout and then gets ORA-00054 instead of a deadlock), and each
// statement runs under a savepoint so that a failing statement undoes only its own changes.
// Queries take no lock: each sees the data committed when it starts, as Oracle's readers do.
#include "localdb/localdb.h"

#include "localdb/system/cursor.h"
#include "localdb/catalog/ddl.h"
#include "localdb/catalog/demo_database.h"
#include "localdb/catalog/dictionary.h"
#include "localdb/system/errors.h"
#include "localdb/sql/explain.h"
#include "localdb/functions/function_catalog.h"
#include "localdb/functions/timestamp_session.h"
#include "localdb/system/hosts.h"
#include "localdb/sql/parser.h"
#include "localdb/catalog/passwords.h"
#include "localdb/plsql/plsql.h"
#include "localdb/plsql/plsqlSqlCalls.h"
#include "localdb/system/session_core.h"
#include "localdb/system/session_statistics.h"
#include "localdb/system/sqlite_errors.h"
#include "localdb/sql/translate.h"

#include <sqlite3.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <mutex>

namespace localdb {
namespace {

// How long a statement waits for another session's lock before ORA-00054.
constexpr int kLockTimeoutMs = 5000;

std::string upper(std::string s) {
    for (char &c : s)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return s;
}

// A file that is not a database of this engine (another program's SQLite file, text, a damaged
// file) is reported as a host that names no usable database.
[[noreturn]] void notADatabase(const std::string &path, const std::string &why) {
    throw Error(12154, formatOracleMessage(12154) + "\n" + path + ": " + why);
}

std::shared_ptr<SessionCore> openCore(const std::string &path, const std::string &host) {
    auto core = std::make_shared<SessionCore>();
    core->host = host;
    core->path = path;
    try {
        core->db = std::make_unique<Connection>(path, false);
    } catch (const SqliteError &) {
        raise(12154);
    }
    sqlite3 *db = core->db->handle();
    sqlite3_busy_timeout(db, kLockTimeoutMs);
    core->progress = std::make_unique<ProgressWatch>(db);
    try {
        core->db->exec("PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL; PRAGMA case_sensitive_like = ON; "
                       "PRAGMA foreign_keys = OFF; PRAGMA recursive_triggers = OFF");
    } catch (const SqliteError &e) {
        notADatabase(path, e.what());
    }
    core->catalog = std::make_unique<Catalog>(*core->db);
    core->sequences = std::make_unique<Sequences>(*core->db);
    registerSessionFunctions(*core);
    plsql::registerSqlCalls(*core);
    return core;
}

class LocalSession : public Session {
public:
    explicit LocalSession(std::shared_ptr<SessionCore> core) : core_(std::move(core)) {}

    ~LocalSession() override {
        try {
            if (core_->db->inTransaction())
                core_->db->exec("ROLLBACK");
        } catch (...) {
        }
    }

    StatementResult execute(const std::string &sql, std::vector<Bind> *binds) override;

    std::unique_ptr<Cursor> query(const std::string &sql, std::vector<Bind> *binds) override {
        StatementResult r = execute(sql, binds);
        if (!r.cursor)
            raise(24374, 0);
        return std::move(r.cursor);
    }

    void beginTransaction() override { core_->userTransaction = true; }
    void commit() override {
        guard([&] { commitNow(); });
        core_->userTransaction = false;
    }
    void rollback() override {
        guard([&] { rollbackNow(); });
        core_->userTransaction = false;
    }
    bool inTransaction() const override { return core_->userTransaction; }
    std::string user() const override { return core_->context.sessionUser; }
    std::string host() const override { return core_->host; }
    std::vector<std::string> takeOutput() override { return plsql::takeOutput(*core_); }
    std::int64_t statementsTranslated() const { return core_->cache.stored(); }
    void cancel() override { core_->progress->cancel(); }
    void setProgressHandler(std::function<bool()> handler, int intervalMs) override {
        core_->progress->setHandler(std::move(handler), intervalMs);
    }

private:
    template <typename F>
    void guard(F f) {
        try {
            f();
        } catch (const SqliteError &e) {
            throw oracleError(e, *core_->catalog, false);
        }
    }
    void beginWrite() { localdb::beginWrite(*core_); }
    void commitNow() { commitWork(*core_); }
    void rollbackNow() { rollbackWork(*core_); }
    std::unique_ptr<Cursor> runSequenceQuery(const std::shared_ptr<CompiledStatement> &compiled,
                                             std::vector<Bind> *binds);
    std::int64_t runDml(CompiledStatement &compiled, std::vector<Bind> *binds);
    void runDdl(Statement &st, const std::string &sql);
    void alterSession(AlterSessionStmt &st);
    NameResolver resolver() {
        NameResolver names(*core_->catalog, core_->context.currentSchema, core_->context.sessionUser);
        names.setHost(&plsql::sqlHost(*core_));
        return names;
    }

    std::shared_ptr<SessionCore> core_;
    std::time_t lastStatementSecond_ = 0;
};

// Bind names compare without regard to case, with or without their colon.
bool sameBindName(const std::string &given, const char *wanted) {
    size_t i = !given.empty() && given[0] == ':' ? 1 : 0;
    for (; i < given.size() && *wanted; ++i, ++wanted) {
        char c = given[i];
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        if (c != *wanted)
            return false;
    }
    return i == given.size() && *wanted == 0;
}

}  // namespace

void beginWrite(SessionCore &core) {
    if (core.db->inTransaction())
        return;
    try {
        core.db->exec("BEGIN IMMEDIATE");
    } catch (const SqliteError &e) {
        // An unfinished cursor of this session still reads a snapshot older than another
        // session's commit, and SQLite cannot write from there: read its rows into memory
        // (they stay what they were when it opened) and try again.
        if (e.rc() != SQLITE_BUSY_SNAPSHOT || core.openCursors.empty())
            throw;
        for (OpenCursor *c : std::vector<OpenCursor *>(core.openCursors))
            c->detach();
        core.db->exec("BEGIN IMMEDIATE");
    }
}

void commitWork(SessionCore &core) {
    if (core.db->inTransaction())
        core.db->exec("COMMIT");
    core.sequences->afterCommit();
    core.savepoints.clear();
}

void rollbackWork(SessionCore &core) {
    if (core.db->inTransaction()) {
        // SQLite ends the reads of a connection that rolls back; Oracle's cursors read on.
        for (OpenCursor *c : std::vector<OpenCursor *>(core.openCursors))
            c->detach();
        core.db->exec("ROLLBACK");
    }
    core.sequences->afterRollback();
    core.savepoints.clear();
}

void bindParameters(Prepared &p, std::vector<Bind> *binds) {
    sqlite3_stmt *s = p.handle();
    int count = sqlite3_bind_parameter_count(s);
    for (int i = 1; i <= count; ++i) {
        const char *name = sqlite3_bind_parameter_name(s, i);
        if (!name || std::strncmp(name, ":kb_", 4) != 0)
            continue;
        const char *wanted = name + 4;
        const Bind *found = nullptr;
        if (binds)
            for (const auto &b : *binds)
                if (sameBindName(b.name, wanted))
                    found = &b;
        if (!found)
            raise(1008);
        p.bindValue(i, found->value);
    }
}

// NEXTVAL writes the catalogue. A query that calls it takes the write lock before its first row,
// as a change does (waiting for another writer, then ORA-00054), rather than turning its read into
// a write midway; outside a transaction its rows are read at once and the numbers committed.
std::unique_ptr<Cursor> LocalSession::runSequenceQuery(const std::shared_ptr<CompiledStatement> &compiled,
                                                       std::vector<Bind> *binds) {
    beginWrite();
    const bool autocommit = !core_->userTransaction;
    try {
        Prepared p = compiled->take(*core_->db, 0);
        bindParameters(p, binds);
        auto cursor = makeCursor(core_, compiled, std::move(p), autocommit);
        if (autocommit)
            commitNow();
        return cursor;
    } catch (...) {
        if (autocommit) {
            try {
                rollbackNow();
            } catch (...) {
            }
        }
        throw;
    }
}

namespace {

std::int64_t LocalSession::runDml(CompiledStatement &compiled, std::vector<Bind> *binds) {
    beginWrite();
    const bool statementSavepoint = core_->userTransaction;
    if (statementSavepoint)
        core_->db->exec("SAVEPOINT kdb_statement");
    std::int64_t rows = 0;
    try {
        for (size_t i = 0; i < compiled.steps.size(); ++i) {
            Prepared p = compiled.take(*core_->db, i);
            bindParameters(p, binds);
            try {
                p.run();
            } catch (...) {
                compiled.giveBack(i, std::move(p));
                throw;
            }
            if (compiled.counted.empty() || compiled.counted[i])
                rows += sqlite3_changes(core_->db->handle());
            compiled.giveBack(i, std::move(p));
        }
        if (statementSavepoint)
            core_->db->exec("RELEASE kdb_statement");
        else
            commitNow();
    } catch (...) {
        try {
            if (statementSavepoint && core_->db->inTransaction())
                core_->db->exec("ROLLBACK TO kdb_statement; RELEASE kdb_statement");
            else if (!statementSavepoint)
                rollbackNow();
        } catch (...) {
        }
        throw;
    }
    return rows;
}

void LocalSession::runDdl(Statement &st, const std::string &sql) {
    runDdlTransaction(*core_, [&] {
        NameResolver names = resolver();
        ChangedObjects objects = objectsChangedBy(st, names);
        executeDdl(st, sql, *core_, names);
        if (st.kind == Statement::Drop || st.kind == Statement::AlterTable || st.kind == Statement::Rename ||
            st.kind == Statement::CreateView) {
            const Name &changed = st.drop ? st.drop->name : st.alterTable ? st.alterTable->table
                                  : st.createView                       ? st.createView->view
                                                                        : st.renameFrom;
            if (!changed.parts.empty())
                plsql::invalidateDependents(*core_, changed.parts.size() > 1 ? changed.parts[0]
                                                                              : core_->context.currentSchema,
                                            changed.last());
        }
        return objects;
    });
}

void LocalSession::alterSession(AlterSessionStmt &st) {
    const std::string p = st.parameter;
    const std::string v = st.value;
    auto &nls = core_->context.nls;
    if (p == "NLS_DATE_FORMAT") {
        nls.dateFormat = v;
    } else if (p == "NLS_TIMESTAMP_FORMAT") {
        nls.timestampFormat = v;
    } else if (p == "NLS_TIMESTAMP_TZ_FORMAT") {
        nls.timestampTzFormat = v;
    } else if (p == "TIME_ZONE") {
        nls.timeZone = functions::sessionTimeZoneSetting(v, st.valueOffset);
    } else if (p == "NLS_LANGUAGE") {
        nls.language = upper(v);
    } else if (p == "NLS_TERRITORY") {
        applyTerritory(nls, upper(v));
    } else if (p == "NLS_NUMERIC_CHARACTERS") {
        nls.numericCharacters = v;
    } else if (p == "CURRENT_SCHEMA") {
        if (!core_->catalog->userExists(v))
            raise(1435, st.valueOffset);
        core_->context.currentSchema = v;
        core_->cache.clear();
    }
    // Other parameters (optimizer settings, SQL_TRACE ...) mean nothing here and are accepted.
}

StatementResult LocalSession::execute(const std::string &sql, std::vector<Bind> *binds) {
    core_->progress->beginCall();
    // SYSDATE is read once per statement; the calendar conversion is needed only when the
    // second has changed since the last statement.
    timespec clock{};
    clock_gettime(CLOCK_REALTIME, &clock);
    if (clock.tv_sec != lastStatementSecond_) {
        core_->context.startStatement();
        lastStatementSecond_ = clock.tv_sec;
    }
    core_->context.statementNanos = static_cast<int>(clock.tv_nsec);  // SYSTIMESTAMP's fraction
    StatementResult result;
    try {
        checkSchemaChanges(*core_);
        std::shared_ptr<CompiledStatement> compiled = core_->cache.find(sql);
        std::unique_ptr<Statement> st;
        if (!compiled) {
            if (plsql::isPlsqlStatement(sql))
                return plsql::execute(*core_, sql, binds);
            st = parseStatement(sql);
            if (st->kind <= Statement::Merge) {
                NameResolver names = resolver();
                compiled = compileStatement(*st, names);
                compiled->dependencies = names.dependencies();
                core_->cache.put(sql, compiled);
            }
        }
        if (compiled) {
            result.command = compiled->command;
            if (compiled->isQuery) {
                // Rows locked for update: the session holds the write lock until it commits,
                // so other sessions' changes wait and end in ORA-00054 as they would in Oracle.
                if (compiled->forUpdate && core_->userTransaction)
                    beginWrite();
                if (compiled->drawsSequence) {
                    result.cursor = runSequenceQuery(compiled, binds);
                    return result;
                }
                Prepared p = compiled->take(*core_->db, 0);
                bindParameters(p, binds);
                result.cursor = makeCursor(core_, compiled, std::move(p));
            } else {
                try {
                    result.rowsAffected = runDml(*compiled, binds);
                } catch (const SqliteError &e) {
                    throw oracleError(e, *core_->catalog, compiled->isUpdate);
                }
            }
            return result;
        }
        result.command = st->command;
        if (st->isDdl()) {
            runDdl(*st, sql);
            return result;
        }
        switch (st->kind) {
        case Statement::Commit:
            commitNow();
            break;
        case Statement::Rollback:
            if (!st->transaction->savepoint.empty()) {
                const std::string &sp = st->transaction->savepoint;
                auto it = std::find(core_->savepoints.begin(), core_->savepoints.end(), sp);
                if (it == core_->savepoints.end())
                    raise(1086, -1, {sp});
                core_->db->exec("ROLLBACK TO " + quoteIdent("u_" + sp));
                // The savepoints set after this one are gone with the work they marked.
                core_->savepoints.erase(it + 1, core_->savepoints.end());
            } else {
                rollbackNow();
            }
            break;
        case Statement::Savepoint:
            beginWrite();
            core_->db->exec("SAVEPOINT " + quoteIdent("u_" + st->transaction->savepoint));
            // A name used again moves the savepoint: the older mark of that name is forgotten.
            std::erase(core_->savepoints, st->transaction->savepoint);
            core_->savepoints.push_back(st->transaction->savepoint);
            break;
        case Statement::AlterSession:
            alterSession(*st->alterSession);
            break;
        case Statement::LockTable: {
            NameResolver names = resolver();
            names.table(st->renameFrom, "SELECT");
            if (core_->userTransaction)
                beginWrite();
            break;
        }
        case Statement::Explain: {
            beginWrite();
            NameResolver names = resolver();
            bool savepoint = core_->userTransaction;
            if (savepoint)
                core_->db->exec("SAVEPOINT kdb_statement");
            try {
                explainPlan(*st->explain, *core_, names);
                if (savepoint)
                    core_->db->exec("RELEASE kdb_statement");
                else
                    commitNow();
            } catch (...) {
                if (savepoint)
                    core_->db->exec("ROLLBACK TO kdb_statement; RELEASE kdb_statement");
                else
                    rollbackNow();
                throw;
            }
            break;
        }
        default:
            break;
        }
    } catch (const SqliteError &e) {
        throw oracleError(e, *core_->catalog, false);
    }
    return result;
}

std::unique_ptr<Session> login(const std::string &path, const std::string &host, const std::string &user,
                               const std::string &password);

std::unique_ptr<Session> loginChecked(const std::string &path, const std::string &host, const std::string &user,
                                      const std::string &password) {
    try {
        return login(path, host, user, password);
    } catch (const SqliteError &e) {
        notADatabase(path, e.what());
    }
}

std::unique_ptr<Session> login(const std::string &path, const std::string &host, const std::string &user,
                               const std::string &password) {
    auto core = openCore(path, host);
    if (core->db->queryInt("SELECT count(*) FROM sqlite_master WHERE name = 'kdb_users'") == 0)
        notADatabase(path, "not a Kestrim database");
    upgradeDictionary(*core->db);
    const std::string name = user.size() > 1 && user.front() == '"' && user.back() == '"'
                                 ? user.substr(1, user.size() - 2)
                                 : upper(user);
    auto p = core->db->prepare("SELECT password_hash, account_status, user_id FROM kdb_users WHERE username = ?1 "
                               "AND is_role = 0");
    p.bind(1, name);
    if (!p.step() || p.isNull(0) || !verifyPassword(p.text(0), password))
        raise(1017);
    if (p.text(1) == "LOCKED")
        raise(28000);
    std::int64_t userId = p.integer(2);
    p.reset();
    if (!core->catalog->hasSystemPrivilege(name, "CREATE SESSION"))
        raise(1045, -1, {name});
    core->context.sessionUser = name;
    core->context.currentSchema = name;
    core->context.userId = userId;
    core->context.schemaId = userId;
    core->context.isDba = core->catalog->isDba(name);
    static std::int64_t sessionCounter = 0;
    static std::mutex counterMutex;
    {
        std::lock_guard<std::mutex> lock(counterMutex);
        core->context.sessionId = ++sessionCounter + std::int64_t(getpid()) * 1000;
    }
    return std::make_unique<LocalSession>(std::move(core));
}

}  // namespace

std::int64_t statementsTranslated(const Session &session) {
    auto *local = dynamic_cast<const LocalSession *>(&session);
    return local ? local->statementsTranslated() : 0;
}

std::unique_ptr<Session> Session::open(const std::string &host, const std::string &user, const std::string &password) {
    bool isDemo = false;
    std::string path = resolveHost(host, isDemo);
    if (isDemo && access(path.c_str(), F_OK) != 0)
        createDemoDatabase(path);
    if (path.empty())
        raise(12154);
    return loginChecked(path, host, user, password);
}

void Session::createDatabase(const std::string &path, const std::string &systemPassword) {
    // Created by us with owner-only permissions; SQLite gives its -wal and -shm files the same.
    int fd = ::open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0)
        throw Error(1119, formatOracleMessage(1119, {path}) + "\n" + std::strerror(errno));
    ::close(fd);
    try {
        auto core = openCore(path, path);
        core->context.sessionUser = "SYS";
        core->context.isDba = true;
        core->db->exec("BEGIN IMMEDIATE");
        Catalog::createSchema(*core->db, systemPassword);
        core->db->exec("COMMIT");
    } catch (const SqliteError &e) {
        ::unlink(path.c_str());
        throw Error(1119, formatOracleMessage(1119, {path}) + "\n" + e.what());
    } catch (...) {
        ::unlink(path.c_str());
        throw;
    }
}

}  // namespace localdb
