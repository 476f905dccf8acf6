// A thin owner of one SQLite connection: running SQL, prepared statements with binding by value,
// and the one place where SQLite's failures become exceptions.
#pragma once

#include "localdb/localdb.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace localdb {

// A failure reported by SQLite itself; the session maps it to an ORA error once, at the top of
// the statement, where it knows the statement kind and the catalogue.
class SqliteError : public std::runtime_error {
public:
    SqliteError(int rc, std::string message) : std::runtime_error(std::move(message)), rc_(rc) {}
    int rc() const { return rc_; }  // extended result code
private:
    int rc_;
};

// A prepared statement owned by value (finalised on destruction).
class Prepared {
public:
    Prepared() = default;
    Prepared(sqlite3 *db, sqlite3_stmt *stmt) : db_(db), stmt_(stmt) {}
    Prepared(Prepared &&other) noexcept;
    Prepared &operator=(Prepared &&other) noexcept;
    Prepared(const Prepared &) = delete;
    Prepared &operator=(const Prepared &) = delete;
    ~Prepared();

    Prepared &bind(int index, std::int64_t v);
    Prepared &bind(int index, int v) { return bind(index, std::int64_t(v)); }
    Prepared &bind(int index, double v);
    Prepared &bind(int index, const std::string &v);
    Prepared &bind(int index, const char *v) { return bind(index, std::string(v)); }
    Prepared &bindNull(int index);
    Prepared &bindValue(int index, const Value &v);

    bool step();   // true when a row is available; throws SqliteError
    void run();    // steps to the end
    void reset();  // ready to run again, bindings kept

    bool isNull(int column) const;
    std::int64_t integer(int column) const;
    double real(int column) const;
    std::string text(int column) const;
    int columnCount() const;

    sqlite3_stmt *handle() const { return stmt_; }
    explicit operator bool() const { return stmt_ != nullptr; }

private:
    sqlite3 *db_ = nullptr;
    sqlite3_stmt *stmt_ = nullptr;
};

class Connection {
public:
    // Opens (or creates, when create is set) the database file; throws SqliteError.
    Connection(const std::string &path, bool create);
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    sqlite3 *handle() const { return db_; }
    void exec(const std::string &sql);  // any number of statements without results
    Prepared prepare(const std::string &sql);
    // The first column of the first row as an integer; fallback when there is no row or it is null.
    std::int64_t queryInt(const std::string &sql, std::int64_t fallback = 0);
    bool inTransaction() const;  // SQLite is inside BEGIN ... COMMIT
    [[noreturn]] void fail(int rc) const;

private:
    sqlite3 *db_ = nullptr;
};

// Binds ?1, ?2 ... from the values in order.
template <typename... Args>
Prepared &bindAll(Prepared &p, const Args &...args) {
    int i = 0;
    (p.bind(++i, args), ...);
    return p;
}

}  // namespace localdb
