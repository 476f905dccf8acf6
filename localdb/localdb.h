// Kestrim's embedded database engine: the one header its callers (the db/ session adapter and
// the kestrim-sql client) include. Oracle's SQL dialect, dictionary and errors on top of SQLite.
//
// Text crossing this interface is UTF-8 (the engine stores UTF-8); the db/ layer converts to and
// from code page 932 and maps error positions back to byte offsets of the code page 932 text.
//
// Error policy: every failure that ends a statement is thrown as localdb::Error carrying the full
// Oracle text ("ORA-00942: table or view does not exist") and, for parse and name-resolution
// errors, the 0-based byte offset of the offending token in the UTF-8 statement text.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace localdb {

// An Oracle DATE: calendar date and time to the second, no time zone.
struct DateTime {
    int year = 1;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    friend bool operator==(const DateTime &, const DateTime &) = default;
};

struct Bytes {
    std::vector<std::uint8_t> data;
    friend bool operator==(const Bytes &, const Bytes &) = default;
};

// A value as it crosses the boundary: null, integer, double, text (UTF-8), date or binary.
using Value = std::variant<std::monostate, std::int64_t, double, std::string, DateTime, Bytes>;

inline bool isNull(const Value &v) { return std::holds_alternative<std::monostate>(v); }

// Field type codes shown to callers: NUMBER(p,0) with p <= 4 -> Integer, p <= 9 -> LongInteger,
// other numbers -> Double, DATE and TIMESTAMP -> Date, character types -> Text,
// LONG and CLOB -> Memo, RAW, LONG RAW and BLOB -> LongBinary.
enum FieldType : int {
    Integer = 3,
    LongInteger = 4,
    Double = 7,
    Date = 8,
    Text = 10,
    LongBinary = 11,
    Memo = 12,
};

class Error : public std::runtime_error {
public:
    // message is the whole text, "ORA-nnnnn: ..." (several lines for an error stack).
    Error(int code, std::string message, int position = -1)
        : std::runtime_error(message), code_(code), position_(position) {}
    int code() const { return code_; }          // 942 for ORA-00942
    int position() const { return position_; }  // byte offset in the statement, -1 when none
private:
    int code_;
    int position_;
};

struct Column {
    std::string name;        // as Oracle derives it: upper-case expression text or alias
    FieldType type = Text;
    std::string oracleType;  // "NUMBER(4)", "VARCHAR2(10)", "DATE", ... for describing results
};

// Rows of a query, read lazily: a million-row query starts at once.
class Cursor {
public:
    virtual ~Cursor() = default;
    virtual const std::vector<Column> &columns() const = 0;
    // Moves to the next row; false when there is none (the first call moves to the first row).
    virtual bool next() = 0;
    virtual const Value &value(int column) const = 0;
};

// A bind variable ":name" of the next statement; out and in-out values are written back.
struct Bind {
    enum Direction { In = 1, Out = 2, InOut = 3 };
    std::string name;  // without the colon, compared case-insensitively
    Value value;
    Direction direction = In;
    int serverType = 0;  // Oracle's external type code when set (1 VARCHAR2, 2 NUMBER, 12 DATE ...)
};

struct StatementResult {
    // Oracle's command name of the statement: "SELECT", "INSERT", "UPDATE", "DELETE", "MERGE",
    // "CREATE TABLE", "DROP TABLE", "ALTER TABLE", "CREATE INDEX", "CREATE VIEW", "COMMIT",
    // "ROLLBACK", "GRANT", "PL/SQL EXECUTE", "EXPLAIN", "ALTER SESSION", ...
    std::string command;
    std::int64_t rowsAffected = 0;   // rows processed by DML; 0 otherwise
    std::unique_ptr<Cursor> cursor;  // set for queries
};

class Session {
public:
    // Opens a session on the database a host string names: a file path, an alias of the user's
    // alias file, or "demo" (created on first use). Throws ORA-12154 for an unknown host and
    // ORA-01017 for a wrong user name or password.
    static std::unique_ptr<Session> open(const std::string &host, const std::string &user,
                                         const std::string &password);

    // Creates a new empty database file whose only user is SYSTEM with the given password.
    // Throws when the file exists already or cannot be created.
    static void createDatabase(const std::string &path, const std::string &systemPassword);

    virtual ~Session() = default;

    // Runs any statement (query, DML, DDL, transaction control, ALTER SESSION, EXPLAIN PLAN,
    // later PL/SQL blocks). Bind values of out parameters are written back into binds.
    virtual StatementResult execute(const std::string &sql, std::vector<Bind> *binds = nullptr) = 0;

    // Shorthand for a query; throws ORA-xxxx like execute().
    virtual std::unique_ptr<Cursor> query(const std::string &sql, std::vector<Bind> *binds = nullptr) = 0;

    // Explicit transactions, as the database component offers them: outside beginTransaction()
    // every statement commits at once.
    virtual void beginTransaction() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;
    virtual bool inTransaction() const = 0;

    virtual std::string user() const = 0;  // the logged-in user, upper case
    virtual std::string host() const = 0;  // the host string as given

    // Lines written through DBMS_OUTPUT since the last call (empty until PL/SQL exists).
    virtual std::vector<std::string> takeOutput() = 0;

    // Asks the statement or row fetch now running on this session to stop with ORA-01013; safe
    // from any thread. A query stops within milliseconds; a statement that changes data runs to
    // its end, as stopping it would roll back the whole open transaction.
    virtual void cancel() {}
    // While a statement or a row fetch of this session runs, handler is called on the running
    // thread at most every intervalMs (a window lets its messages run there); true cancels the
    // call as cancel() does. The handler must not use this session. Empty removes it.
    virtual void setProgressHandler(std::function<bool()> handler, int intervalMs) {
        (void)handler;
        (void)intervalMs;
    }
};

}  // namespace localdb
