// What the binder needs to know about Oracle's built-in functions before it emits SQL: the SQLite
// name each one is registered under, how many arguments it takes, what each argument is converted
// to, what type the result has and whether it aggregates. Overloads by the type of the first
// argument (TO_CHAR, ROUND and TRUNC of a DATE) are separate entries.
#pragma once

#include <string_view>
#include <vector>

struct sqlite3;

namespace localdb {

struct SessionContext;

enum class FunctionResult {
    Number,
    Text,
    Date,
    Raw,
    SameAsArgument,  // the static type of argument FunctionInfo::sameAsArgument
};

// Registers every function of the catalogue (scalar and aggregate, named ora_<name>) and the
// helper functions below on a connection. context is the connection's session state and must
// outlive the connection; the functions read it on every call.
void registerOracleFunctions(sqlite3 *db, SessionContext *context);

struct FunctionInfo {
    std::string_view oracleName;  // "TO_CHAR", upper case
    std::string_view sqliteName;  // "ora_to_char"
    int minArguments = 0;
    int maxArguments = 0;
    // What each argument is converted to before the call, one letter per argument:
    // N number, T text, D date, R raw, A any (passed as it is). The last letter repeats for
    // further arguments.
    std::string_view parameters;
    FunctionResult result = FunctionResult::Number;
    int sameAsArgument = 0;  // 0-based, for FunctionResult::SameAsArgument
    bool aggregate = false;
    // Same result for the same arguments whatever the session settings (usable in indexes).
    bool deterministic = true;
    // The entry applies when the first argument is a DATE (TO_CHAR(date), ROUND(date), ...).
    bool dateFirstArgument = false;
};

// The entry for an upper-case Oracle function name; when the name has a DATE overload it is
// chosen if firstArgumentIsDate. nullptr for a name that is not a built-in function.
const FunctionInfo *findFunction(std::string_view oracleName, bool firstArgumentIsDate = false);

// Every entry, for listings and tests.
const std::vector<FunctionInfo> &allFunctions();

// Functions with their own syntax arrive in plain call form:
//   TRIM([LEADING|TRAILING|BOTH] [c FROM] s)   ora_trim(s [, 'LEADING'|'TRAILING'|'BOTH' [, c]])
//   EXTRACT(YEAR FROM d)                        ora_extract('YEAR', d)
//   LISTAGG(x [, sep]) WITHIN GROUP (ORDER BY)  ora_listagg(x [, sep]) over rows already ordered
//
// Helpers for operators and implicit conversions, registered alongside the functions:
//   ora_date_add(date, days)   date + n and date - n (n negative); fractions of a day allowed
//   ora_date_diff(date, date)  date - date in days, fractional
//   ora_to_char(value)         number -> text by Oracle's default conversion (also used for ||)
//   ora_to_char_date(date)     date -> text by the session's NLS_DATE_FORMAT
//   ora_to_date(text)          text -> date by NLS_DATE_FORMAT
//   ora_to_number(text)        text -> number, ORA-01722 on bad text
inline constexpr std::string_view kDateAddFunction = "ora_date_add";
inline constexpr std::string_view kDateDiffFunction = "ora_date_diff";

// Errors from the functions reach SQLite as the message text, exactly Oracle's
// ("ORA-01722: invalid number"). Returns the code of such a message (1722), or 0 when the text
// does not start with "ORA-nnnnn: ".
int oracleErrorCode(std::string_view message);

}  // namespace localdb
