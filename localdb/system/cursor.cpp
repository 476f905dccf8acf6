// Cursor rows: SQLite values into the caller's variant, dates from their stored text.
#include "localdb/system/cursor.h"

#include "localdb/functions/timestamp_session.h"
#include "localdb/system/sqlite_errors.h"

#include <sqlite3.h>

#include <algorithm>
#include <deque>

namespace localdb {
namespace {

int digits(const unsigned char *p, int n) {
    int v = 0;
    for (int i = 0; i < n; ++i)
        v = v * 10 + (p[i] - '0');
    return v;
}

class SqliteCursor : public Cursor, public OpenCursor {
public:
    SqliteCursor(std::shared_ptr<SessionCore> core, std::shared_ptr<CompiledStatement> compiled, Prepared statement)
        : core_(std::move(core)), compiled_(std::move(compiled)), statement_(std::move(statement)) {
        row_.resize(compiled_->columns.size());
        core_->openCursors.push_back(this);
    }

    ~SqliteCursor() override {
        forget();
        if (statement_)
            compiled_->giveBack(0, std::move(statement_));
    }

    // The rest of the rows as of the cursor's start, kept in memory; the statement is released.
    void detach() override {
        if (!statement_ || done_)
            return;
        try {
            while (statement_.step()) {
                std::vector<Value> row(row_.size());
                for (size_t i = 0; i < row.size(); ++i)
                    read(statement_.handle(), int(i), row[i]);
                buffered_.push_back(std::move(row));
            }
        } catch (const SqliteError &e) {
            failure_ = std::make_unique<Error>(oracleError(e, *core_->catalog, false));
        }
        compiled_->giveBack(0, std::move(statement_));
        statement_ = Prepared();
        detached_ = true;
    }

    const std::vector<Column> &columns() const override { return compiled_->columns; }

    bool next() override {
        if (done_)
            return false;
        if (detached_) {
            if (buffered_.empty()) {
                done_ = true;
                forget();
                if (failure_)
                    throw *failure_;
                return false;
            }
            row_ = std::move(buffered_.front());
            buffered_.pop_front();
            return true;
        }
        bool has;
        try {
            has = statement_.step();
        } catch (const SqliteError &e) {
            done_ = true;
            forget();
            throw oracleError(e, *core_->catalog, false);
        }
        if (!has) {
            done_ = true;
            forget();
            sqlite3_reset(statement_.handle());
            return false;
        }
        sqlite3_stmt *s = statement_.handle();
        for (size_t i = 0; i < row_.size(); ++i)
            read(s, int(i), row_[i]);
        return true;
    }

    const Value &value(int column) const override { return row_.at(size_t(column)); }

    // No longer reading: nothing to detach any more.
    void forget() {
        auto &open = core_->openCursors;
        open.erase(std::remove(open.begin(), open.end(), static_cast<OpenCursor *>(this)), open.end());
    }

private:
    void read(sqlite3_stmt *s, int i, Value &out) {
        const auto &temporal = compiled_->temporalColumns;
        if (size_t(i) < temporal.size() && temporal[size_t(i)].kind != 0 && sqlite3_column_type(s, i) != SQLITE_NULL) {
            out = temporalText(s, i, temporal[size_t(i)]);
            return;
        }
        switch (sqlite3_column_type(s, i)) {
        case SQLITE_NULL:
            out = std::monostate{};
            return;
        case SQLITE_INTEGER:
            out = std::int64_t(sqlite3_column_int64(s, i));
            return;
        case SQLITE_FLOAT:
            out = sqlite3_column_double(s, i);
            return;
        case SQLITE_TEXT: {
            const unsigned char *t = sqlite3_column_text(s, i);
            int n = sqlite3_column_bytes(s, i);
            if (compiled_->dateColumns[size_t(i)] && n == 19) {
                out = DateTime{digits(t, 4), digits(t + 5, 2), digits(t + 8, 2),
                               digits(t + 11, 2), digits(t + 14, 2), digits(t + 17, 2)};
                return;
            }
            if (auto *str = std::get_if<std::string>(&out))
                str->assign(reinterpret_cast<const char *>(t), size_t(n));
            else
                out = std::string(reinterpret_cast<const char *>(t), size_t(n));
            return;
        }
        default: {
            const auto *b = static_cast<const std::uint8_t *>(sqlite3_column_blob(s, i));
            int n = sqlite3_column_bytes(s, i);
            out = Bytes{std::vector<std::uint8_t>(b, b + n)};
            return;
        }
        }
    }

    // Timestamps and intervals reach the caller as the text the session shows for them.
    std::string temporalText(sqlite3_stmt *s, int i, const CompiledStatement::TemporalColumn &c) {
        const auto kind = static_cast<Temporal>(c.kind);
        try {
            if (kind == Temporal::YearMonth || kind == Temporal::DaySecond)
                return functions::intervalDisplayText(sqlite3_column_int64(s, i), kind, c.leading, c.fraction);
            const unsigned char *t = sqlite3_column_text(s, i);
            std::string stored(reinterpret_cast<const char *>(t), size_t(sqlite3_column_bytes(s, i)));
            return functions::temporalDisplayText(stored, kind, c.leading, c.fraction, core_->context);
        } catch (const Error &) {
            return reinterpret_cast<const char *>(sqlite3_column_text(s, i));
        }
    }

    std::shared_ptr<SessionCore> core_;
    std::shared_ptr<CompiledStatement> compiled_;
    Prepared statement_;
    std::vector<Value> row_;
    bool done_ = false;
    bool detached_ = false;
    std::deque<std::vector<Value>> buffered_;
    std::unique_ptr<Error> failure_;
};

}  // namespace

std::unique_ptr<Cursor> makeCursor(std::shared_ptr<SessionCore> core, std::shared_ptr<CompiledStatement> compiled,
                                   Prepared statement, bool readNow) {
    auto cursor = std::make_unique<SqliteCursor>(std::move(core), std::move(compiled), std::move(statement));
    if (readNow)
        cursor->detach();
    return cursor;
}

}  // namespace localdb
