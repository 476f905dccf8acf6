// Argument and result conversion for the SQLite functions.
#include "localdb/functions/sqlite_arguments.h"

#include "localdb/functions/date_calendar.h"
#include "localdb/functions/date_names.h"
#include "localdb/functions/function_errors.h"
#include "localdb/functions/number_text.h"
#include "localdb/functions/raw_functions.h"

#include <cmath>
#include <exception>

namespace localdb::functions {

namespace {

// Used when a function is called on a connection registered without a context.
const SessionContext &defaultSession()
{
    static const SessionContext session;
    return session;
}

std::string_view textOf(sqlite3_value *value)
{
    const unsigned char *data = sqlite3_value_text(value);
    if (!data)
        return {};
    return std::string_view(reinterpret_cast<const char *>(data), static_cast<std::size_t>(sqlite3_value_bytes(value)));
}

const char *typeName(int type)
{
    switch (type) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return "NUMBER";
    case SQLITE_BLOB:
        return "BINARY";
    default:
        return "CHAR";
    }
}

[[noreturn]] void inconsistent(const char *expected, int gotType)
{
    throw Error(932, std::string("ORA-00932: inconsistent datatypes: expected ") + expected + " got "
                         + typeName(gotType));
}

}  // namespace

DateFormatSettings dateSettingsOf(const SessionContext &session)
{
    DateFormatSettings settings;
    settings.language = dateLanguageFor(session.nls.language);
    settings.firstDayOfWeek = firstDayOfWeek(session.nls.territory);
    // A context whose statement clock was never started reads the clock now.
    settings.now = session.statementTime == DateTime{} ? currentLocalDateTime() : session.statementTime;
    return settings;
}

Arguments::Arguments(sqlite3_context *context, int count, sqlite3_value **values)
    : context_(context), count_(count), values_(values)
{
    auto *session = static_cast<const SessionContext *>(sqlite3_user_data(context));
    session_ = session ? session : &defaultSession();
}

bool Arguments::isNull(int i) const
{
    return i >= count_ || sqlite3_value_type(values_[i]) == SQLITE_NULL;
}

bool Arguments::anyNull() const
{
    for (int i = 0; i < count_; ++i) {
        if (sqlite3_value_type(values_[i]) == SQLITE_NULL)
            return true;
        // An empty text is Oracle's NULL too, wherever it came from.
        if (sqlite3_value_type(values_[i]) == SQLITE_TEXT && sqlite3_value_bytes(values_[i]) == 0)
            return true;
    }
    return false;
}

std::int64_t Arguments::integer(int i) const
{
    if (sqlite3_value_type(values_[i]) == SQLITE_INTEGER)
        return sqlite3_value_int64(values_[i]);
    double v = real(i);
    if (!(std::fabs(v) < 9.2e18))
        raiseError(1426);
    return std::llround(v);
}

int Arguments::type(int i) const
{
    return i >= count_ ? SQLITE_NULL : sqlite3_value_type(values_[i]);
}

std::string Arguments::text(int i) const
{
    sqlite3_value *value = values_[i];
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return defaultNumberText(number(i), session_->nls.decimalCharacter());
    case SQLITE_BLOB:
        return rawToHex(raw(i));
    case SQLITE_NULL:
        return {};
    default:
        return std::string(textOf(value));
    }
}

DecimalNumber Arguments::number(int i) const
{
    sqlite3_value *value = values_[i];
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
        return DecimalNumber::fromInt64(sqlite3_value_int64(value));
    case SQLITE_FLOAT:
        return DecimalNumber::fromDouble(sqlite3_value_double(value));
    case SQLITE_BLOB:
        inconsistent("NUMBER", SQLITE_BLOB);
    case SQLITE_NULL:
        return {};
    default:
        return parseNumberText(textOf(value), session_->nls.decimalCharacter());
    }
}

double Arguments::real(int i) const
{
    sqlite3_value *value = values_[i];
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
        return static_cast<double>(sqlite3_value_int64(value));
    case SQLITE_FLOAT:
        return sqlite3_value_double(value);
    default:
        return number(i).toDouble();
    }
}

DateTime Arguments::date(int i) const
{
    sqlite3_value *value = values_[i];
    int valueType = sqlite3_value_type(value);
    if (valueType != SQLITE_TEXT)
        inconsistent("DATE", valueType);
    std::string_view text = textOf(value);
    if (auto stored = parseStorageDate(text))
        return *stored;
    return parseDate(text, session_->nls.dateFormat, dateSettingsOf(*session_));
}

std::vector<std::uint8_t> Arguments::raw(int i) const
{
    sqlite3_value *value = values_[i];
    if (sqlite3_value_type(value) == SQLITE_BLOB) {
        auto *data = static_cast<const std::uint8_t *>(sqlite3_value_blob(value));
        int size = sqlite3_value_bytes(value);
        if (!data || size <= 0)
            return {};
        return std::vector<std::uint8_t>(data, data + size);
    }
    return hexToRaw(text(i));
}

void Arguments::setNull()
{
    sqlite3_result_null(context_);
}

void Arguments::setText(std::string_view text)
{
    if (text.empty()) {
        sqlite3_result_null(context_);
        return;
    }
    sqlite3_result_text64(context_, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

void Arguments::setText(const std::optional<std::string> &text)
{
    if (text)
        setText(std::string_view(*text));
    else
        setNull();
}

void Arguments::setNumber(const DecimalNumber &number)
{
    if (auto integer = number.toInt64()) {
        sqlite3_result_int64(context_, *integer);
        return;
    }
    double value = number.toDouble();
    if (!std::isfinite(value))
        raiseError(1426);
    sqlite3_result_double(context_, value);
}

void Arguments::setNumber(double number)
{
    setNumber(DecimalNumber::fromDouble(number));
}

void Arguments::setInteger(std::int64_t number)
{
    sqlite3_result_int64(context_, number);
}

void Arguments::setDate(const DateTime &date)
{
    setText(storageText(date));
}

void Arguments::setRaw(const std::vector<std::uint8_t> &bytes)
{
    if (bytes.empty()) {
        sqlite3_result_null(context_);
        return;
    }
    sqlite3_result_blob64(context_, bytes.data(), bytes.size(), SQLITE_TRANSIENT);
}

void reportException(sqlite3_context *context)
{
    try {
        throw;
    } catch (const Error &e) {
        sqlite3_result_error(context, e.what(), -1);
    } catch (const std::bad_alloc &) {
        sqlite3_result_error_nomem(context);
    } catch (const std::exception &e) {
        sqlite3_result_error(context, e.what(), -1);
    } catch (...) {
        sqlite3_result_error(context, "internal error in a built-in function", -1);
    }
}

}  // namespace localdb::functions
