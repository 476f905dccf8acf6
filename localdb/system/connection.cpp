// The SQLite connection wrapper: opening files, prepared statements, and raising SqliteError.
#include "localdb/system/connection.h"

#include <sqlite3.h>

#include <utility>

namespace localdb {

Prepared::Prepared(Prepared &&other) noexcept
    : db_(std::exchange(other.db_, nullptr)), stmt_(std::exchange(other.stmt_, nullptr)) {}

Prepared &Prepared::operator=(Prepared &&other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        db_ = std::exchange(other.db_, nullptr);
        stmt_ = std::exchange(other.stmt_, nullptr);
    }
    return *this;
}

Prepared::~Prepared() { sqlite3_finalize(stmt_); }

Prepared &Prepared::bind(int index, std::int64_t v) {
    sqlite3_bind_int64(stmt_, index, v);
    return *this;
}

Prepared &Prepared::bind(int index, double v) {
    sqlite3_bind_double(stmt_, index, v);
    return *this;
}

Prepared &Prepared::bind(int index, const std::string &v) {
    sqlite3_bind_text(stmt_, index, v.data(), int(v.size()), SQLITE_TRANSIENT);
    return *this;
}

Prepared &Prepared::bindNull(int index) {
    sqlite3_bind_null(stmt_, index);
    return *this;
}

Prepared &Prepared::bindValue(int index, const Value &v) {
    switch (v.index()) {
    case 0:
        return bindNull(index);
    case 1:
        return bind(index, std::get<std::int64_t>(v));
    case 2:
        return bind(index, std::get<double>(v));
    case 3: {
        const auto &s = std::get<std::string>(v);
        // Oracle has no empty string: a bound '' is NULL.
        return s.empty() ? bindNull(index) : bind(index, s);
    }
    case 4: {
        const auto &d = std::get<DateTime>(v);
        char buf[32];
        snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, d.hour, d.minute,
                 d.second);
        return bind(index, std::string(buf));
    }
    default: {
        const auto &b = std::get<Bytes>(v);
        sqlite3_bind_blob(stmt_, index, b.data.data(), int(b.data.size()), SQLITE_TRANSIENT);
        return *this;
    }
    }
}

bool Prepared::step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    int ext = sqlite3_extended_errcode(db_);
    std::string message = sqlite3_errmsg(db_);
    sqlite3_reset(stmt_);
    throw SqliteError(ext ? ext : rc, message);
}

void Prepared::run() {
    while (step()) {
    }
}

void Prepared::reset() { sqlite3_reset(stmt_); }

bool Prepared::isNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }
std::int64_t Prepared::integer(int column) const { return sqlite3_column_int64(stmt_, column); }
double Prepared::real(int column) const { return sqlite3_column_double(stmt_, column); }
int Prepared::columnCount() const { return sqlite3_column_count(stmt_); }

std::string Prepared::text(int column) const {
    const unsigned char *t = sqlite3_column_text(stmt_, column);
    return t ? std::string(reinterpret_cast<const char *>(t), size_t(sqlite3_column_bytes(stmt_, column)))
             : std::string();
}

Connection::Connection(const std::string &path, bool create) {
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        std::string message = db_ ? sqlite3_errmsg(db_) : "cannot open database";
        sqlite3_close_v2(db_);
        db_ = nullptr;
        throw SqliteError(rc, message);
    }
    sqlite3_extended_result_codes(db_, 1);
}

Connection::~Connection() { sqlite3_close_v2(db_); }

void Connection::fail(int rc) const {
    int ext = sqlite3_extended_errcode(db_);
    throw SqliteError(ext ? ext : rc, sqlite3_errmsg(db_));
}

void Connection::exec(const std::string &sql) {
    char *error = nullptr;
    int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        std::string message = error ? error : sqlite3_errstr(rc);
        sqlite3_free(error);
        int ext = sqlite3_extended_errcode(db_);
        throw SqliteError(ext ? ext : rc, message);
    }
}

Prepared Connection::prepare(const std::string &sql) {
    sqlite3_stmt *stmt = nullptr;
    int rc = sqlite3_prepare_v2(db_, sql.c_str(), int(sql.size()), &stmt, nullptr);
    if (rc != SQLITE_OK)
        fail(rc);
    return Prepared(db_, stmt);
}

std::int64_t Connection::queryInt(const std::string &sql, std::int64_t fallback) {
    Prepared p = prepare(sql);
    if (!p.step() || p.isNull(0))
        return fallback;
    return p.integer(0);
}

bool Connection::inTransaction() const { return sqlite3_get_autocommit(db_) == 0; }

}  // namespace localdb
