// SQL helpers the core emits for what Oracle does and SQLite does not: || with NULL as empty,
// non-integer division, rounding and precision checks on store, length checks with the column
// named, sequences, and raising an ORA error from SQL.
#include "localdb/system/errors.h"
#include "localdb/functions/function_catalog.h"
#include "localdb/system/session_core.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace localdb {
namespace {

// Every function of a session's connection has the session's context as its user data.
SessionContext &contextOf(sqlite3_context *ctx) { return *static_cast<SessionContext *>(sqlite3_user_data(ctx)); }

void resultError(sqlite3_context *ctx, int code, std::initializer_list<std::string_view> args = {}) {
    std::string m = formatOracleMessage(code, args);
    sqlite3_result_error(ctx, m.data(), int(m.size()));
}

void resultSequenceNumber(sqlite3_context *ctx, SequenceNumber v) {
    if (v >= INT64_MIN && v <= INT64_MAX)
        return sqlite3_result_int64(ctx, sqlite3_int64(v));
    // Past 64 bits the exact digits, as text SQLite still reads as a number.
    const std::string text = sequenceNumberText(v);
    sqlite3_result_text(ctx, text.data(), int(text.size()), SQLITE_TRANSIENT);
}

void resultNumber(sqlite3_context *ctx, double v) {
    if (v == std::floor(v) && std::fabs(v) < 9.2e18)
        sqlite3_result_int64(ctx, sqlite3_int64(v));
    else
        sqlite3_result_double(ctx, v);
}

// Rounds half away from zero at `scale` decimal places, after reducing the binary value to 15
// significant digits so that 2.675 (stored as 2.67499999...) rounds as the decimal 2.675 would.
double roundAt(double v, int scale) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    double clean = std::strtod(buf, nullptr);
    double factor = std::pow(10.0, scale);
    std::snprintf(buf, sizeof buf, "%.15g", clean * factor);
    double scaled = std::strtod(buf, nullptr);
    return std::round(scaled) / factor;
}

void kdbUser(sqlite3_context *ctx, int, sqlite3_value **) {
    const std::string &u = contextOf(ctx).sessionUser;
    sqlite3_result_text(ctx, u.data(), int(u.size()), SQLITE_TRANSIENT);
}

void kdbIsDba(sqlite3_context *ctx, int, sqlite3_value **) { sqlite3_result_int(ctx, contextOf(ctx).isDba); }

void kdbConcat(sqlite3_context *ctx, int argc, sqlite3_value **argv) {
    std::string out;
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            continue;
        const unsigned char *t = sqlite3_value_text(argv[i]);
        out.append(reinterpret_cast<const char *>(t), size_t(sqlite3_value_bytes(argv[i])));
    }
    if (out.empty())
        sqlite3_result_null(ctx);
    else
        sqlite3_result_text(ctx, out.data(), int(out.size()), SQLITE_TRANSIENT);
}

bool numericValue(sqlite3_value *v, double &out) {
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        out = sqlite3_value_double(v);
        return true;
    case SQLITE_TEXT: {
        const char *t = reinterpret_cast<const char *>(sqlite3_value_text(v));
        char *end = nullptr;
        while (*t == ' ')
            ++t;
        out = std::strtod(t, &end);
        if (end == t)
            return false;
        while (*end == ' ')
            ++end;
        return *end == 0;
    }
    default:
        return false;
    }
}

void kdbDiv(sqlite3_context *ctx, int, sqlite3_value **argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER && sqlite3_value_type(argv[1]) == SQLITE_INTEGER) {
        sqlite3_int64 a = sqlite3_value_int64(argv[0]), b = sqlite3_value_int64(argv[1]);
        if (b == 0)
            return resultError(ctx, 1476);
        if (b != -1 && a % b == 0)
            return sqlite3_result_int64(ctx, a / b);
    }
    double a, b;
    if (!numericValue(argv[0], a) || !numericValue(argv[1], b))
        return resultError(ctx, 1722);
    if (b == 0)
        return resultError(ctx, 1476);
    resultNumber(ctx, a / b);
}

// kdb_number(value, precision, scale): the value as a NUMBER(p,s) column stores it.
void kdbNumber(sqlite3_context *ctx, int, sqlite3_value **argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    bool hasPrecision = sqlite3_value_type(argv[1]) != SQLITE_NULL;
    bool hasScale = sqlite3_value_type(argv[2]) != SQLITE_NULL;
    int precision = sqlite3_value_int(argv[1]);
    int scale = sqlite3_value_int(argv[2]);
    if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER && (!hasScale || scale >= 0)) {
        sqlite3_int64 v = sqlite3_value_int64(argv[0]);
        if (hasPrecision) {
            int digits = precision - (hasScale ? scale : 0);
            double limit = std::pow(10.0, digits);
            if (std::fabs(double(v)) >= limit)
                return resultError(ctx, 1438);
        }
        return sqlite3_result_int64(ctx, v);
    }
    double v;
    if (!numericValue(argv[0], v))
        return resultError(ctx, 1722);
    if (hasScale) {
        v = roundAt(v, scale);
    } else {
        // NUMBER is decimal: binary noise past 15 significant digits (0.1 + 0.2) is not kept.
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.15g", v);
        v = std::strtod(buf, nullptr);
    }
    if (hasPrecision) {
        int digits = precision - (hasScale ? scale : 0);
        if (std::fabs(v) >= std::pow(10.0, digits))
            return resultError(ctx, 1438);
    }
    resultNumber(ctx, v);
}

// Bytes a UTF-8 text takes in the database character set (code page 932 counts two bytes for a
// double-byte character and one for ASCII and half-width katakana).
long long storedLength(const std::string &text, const std::string &characterSet, bool characters) {
    long long n = 0;
    for (size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        if (characters || c < 0x80) {
            n += 1;
        } else if (characterSet == "JA16SJIS") {
            unsigned cp = 0;
            if (len == 3 && i + 2 < text.size())
                cp = ((c & 0x0F) << 12) | ((static_cast<unsigned char>(text[i + 1]) & 0x3F) << 6) |
                     (static_cast<unsigned char>(text[i + 2]) & 0x3F);
            n += (cp >= 0xFF61 && cp <= 0xFF9F) ? 1 : 2;
        } else {
            n += static_cast<long long>(len);
        }
        i += len;
    }
    return n;
}

// kdb_text(value, max, isChar, charSemantics, path): the value as a character column stores it.
void kdbText(sqlite3_context *ctx, int, sqlite3_value **argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const unsigned char *t = sqlite3_value_text(argv[0]);
    std::string text(reinterpret_cast<const char *>(t), size_t(sqlite3_value_bytes(argv[0])));
    if (text.empty())
        return sqlite3_result_null(ctx);
    long long max = sqlite3_value_int64(argv[1]);
    bool isChar = sqlite3_value_int(argv[2]) != 0;
    bool characters = sqlite3_value_int(argv[3]) != 0;
    if (max > 0) {
        const std::string &cs = contextOf(ctx).characterSet;
        if (isChar)
            while (storedLength(text, cs, characters) > max && text.back() == ' ')
                text.pop_back();
        long long actual = storedLength(text, cs, characters);
        if (actual > max) {
            std::string path = reinterpret_cast<const char *>(sqlite3_value_text(argv[4]));
            return resultError(ctx, 12899, {path, std::to_string(actual), std::to_string(max)});
        }
        if (isChar)
            text.append(size_t(max - actual), ' ');
    }
    sqlite3_result_text(ctx, text.data(), int(text.size()), SQLITE_TRANSIENT);
}

// kdb_stored_length(value, charSemantics): the length a character column counts for the value,
// in characters or in bytes of the database character set.
void kdbStoredLength(sqlite3_context *ctx, int, sqlite3_value **argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const unsigned char *t = sqlite3_value_text(argv[0]);
    std::string text(reinterpret_cast<const char *>(t), size_t(sqlite3_value_bytes(argv[0])));
    sqlite3_result_int64(ctx, storedLength(text, contextOf(ctx).characterSet, sqlite3_value_int(argv[1]) != 0));
}

void kdbRaise(sqlite3_context *ctx, int, sqlite3_value **argv) { resultError(ctx, sqlite3_value_int(argv[0])); }

void kdbNextval(sqlite3_context *ctx, int, sqlite3_value **argv) {
    resultSequenceNumber(ctx, contextOf(ctx).sequences->next(sqlite3_value_int64(argv[0])));
}

void kdbCurrval(sqlite3_context *ctx, int, sqlite3_value **argv) {
    resultSequenceNumber(ctx, contextOf(ctx).sequences->current(sqlite3_value_int64(argv[0])));
}

using SqlFunction = void (*)(sqlite3_context *, int, sqlite3_value **);

// SQLite's frames are C: no exception may pass through them. Whatever a function throws (an
// Oracle error of a catalogue lookup, a failed SQLite call, memory) becomes the statement's error.
template <SqlFunction F>
void guarded(sqlite3_context *ctx, int argc, sqlite3_value **argv) noexcept {
    try {
        F(ctx, argc, argv);
    } catch (const Error &e) {
        sqlite3_result_error(ctx, e.what(), -1);
    } catch (const std::exception &e) {
        const std::string m = formatOracleMessage(600, {e.what()});
        sqlite3_result_error(ctx, m.c_str(), -1);
    } catch (...) {
        sqlite3_result_error(ctx, formatOracleMessage(600, {"unknown failure"}).c_str(), -1);
    }
}

void registerCoreFunctions(sqlite3 *db, SessionContext &context) {
    struct Entry {
        const char *name;
        int args;
        SqlFunction fn;
        int flags;
    };
    const int pure = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    const int session = SQLITE_UTF8 | SQLITE_INNOCUOUS;
    const Entry entries[] = {
        {"kdb_user", 0, guarded<kdbUser>, session},
        {"kdb_is_dba", 0, guarded<kdbIsDba>, session},
        {"kdb_concat", -1, guarded<kdbConcat>, pure},
        {"kdb_div", 2, guarded<kdbDiv>, pure},
        {"kdb_number", 3, guarded<kdbNumber>, pure},
        {"kdb_text", 5, guarded<kdbText>, session},
        {"kdb_stored_length", 2, guarded<kdbStoredLength>, session},
        {"kdb_raise", 1, guarded<kdbRaise>, session},
        {"kdb_nextval", 1, guarded<kdbNextval>, SQLITE_UTF8},
        {"kdb_currval", 1, guarded<kdbCurrval>, SQLITE_UTF8},
    };
    for (const auto &e : entries) {
        const int rc = sqlite3_create_function_v2(db, e.name, e.args, e.flags, &context, e.fn, nullptr, nullptr,
                                                  nullptr);
        if (rc != SQLITE_OK)
            raise(600, -1, {std::string("cannot register ") + e.name + ": " + sqlite3_errmsg(db)});
    }
}

}  // namespace

void registerSessionFunctions(SessionCore &core) {
    core.context.sequences = core.sequences.get();
    sqlite3 *db = core.db->handle();
    registerCoreFunctions(db, core.context);
    registerOracleFunctions(db, &core.context);
}

}  // namespace localdb
