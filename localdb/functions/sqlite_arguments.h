// The bridge between SQLite's function calls and the function library: arguments converted to
// Oracle's types by the storage conventions (numbers as integers or doubles, dates as
// 'YYYY-MM-DD HH:MM:SS' text, raw as blobs), results converted back, and Oracle's errors passed
// to SQLite as their exact message text.
#pragma once

#include "localdb/functions/decimal_number.h"
#include "localdb/functions/date_format.h"
#include "localdb/functions/session_context.h"

#include <sqlite3.h>

#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace localdb::functions {

// The date settings of a session: its date language, first day of the week and statement time.
DateFormatSettings dateSettingsOf(const SessionContext &session);

class Arguments {
public:
    Arguments(sqlite3_context *context, int count, sqlite3_value **values);

    int count() const { return count_; }
    bool isNull(int i) const;
    bool anyNull() const;
    int type(int i) const;  // SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT, SQLITE_BLOB, SQLITE_NULL
    const SessionContext &session() const { return *session_; }

    // Conversions as Oracle applies them implicitly: a number as text by the default conversion,
    // text as a number (ORA-01722), text that is not in the storage form as a date through
    // NLS_DATE_FORMAT, a number as a date is ORA-00932, a blob as text is its hexadecimal form,
    // text as raw is read as hexadecimal (ORA-01465).
    std::string text(int i) const;
    DecimalNumber number(int i) const;
    double real(int i) const;
    // An integer argument exactly (intervals are whole months or nanoseconds); others rounded.
    std::int64_t integer(int i) const;
    DateTime date(int i) const;
    std::vector<std::uint8_t> raw(int i) const;

    // Results; empty text and empty raw become NULL.
    void setNull();
    void setText(std::string_view text);
    void setText(const std::string &text) { setText(std::string_view(text)); }
    void setText(const char *text) { setText(std::string_view(text)); }
    void setText(const std::optional<std::string> &text);
    void setNumber(const DecimalNumber &number);
    void setNumber(double number);  // kept at 15 significant digits; integral values as integers
    void setInteger(std::int64_t number);
    void setDate(const DateTime &date);
    void setRaw(const std::vector<std::uint8_t> &bytes);

private:
    sqlite3_context *context_;
    int count_;
    sqlite3_value **values_;
    const SessionContext *session_;
};

// Reports the current exception on the SQLite context: Oracle's errors by their text.
void reportException(sqlite3_context *context);

// How a function treats NULL arguments: most return NULL when any argument is NULL; the others
// look at NULLs themselves.
enum class NullArguments { GiveNull, Handled };

// The SQLite entry point of a scalar function whose body takes Arguments.
template <void (*Body)(Arguments &), NullArguments Nulls = NullArguments::GiveNull>
void scalarEntry(sqlite3_context *context, int count, sqlite3_value **values)
{
    try {
        Arguments arguments(context, count, values);
        if (Nulls == NullArguments::GiveNull && arguments.anyNull())
            return;  // SQLite's default result is NULL
        Body(arguments);
    } catch (...) {
        reportException(context);
    }
}

using ScalarEntry = void (*)(sqlite3_context *, int, sqlite3_value **);

struct ScalarImplementation {
    std::string_view sqliteName;
    ScalarEntry entry;
};

}  // namespace localdb::functions
