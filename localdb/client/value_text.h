// Values of a query as the client prints them: numbers in Oracle's shortest form (.5, -1.25),
// fitted to a column by rounding decimals and then by scientific notation as Oracle users
// expect; dates through the session's NLS_DATE_FORMAT; binary values in hexadecimal.
#pragma once

#include "localdb/functions/date_format.h"
#include "localdb/functions/date_format_model.h"
#include "localdb/localdb.h"

#include <optional>
#include <string>

namespace localdb::client {

enum class ColumnKind { Number, Text, Date, Binary, Long };

// The kind of a result column, from its field type code.
ColumnKind columnKind(const Column &column);

// The session's settings dates are shown with.
struct DateDisplay {
    std::string format = "DD-MON-RR";
    functions::DateFormatSettings settings;
    // The format parsed once; empty when it has not been (or cannot be) parsed.
    std::vector<functions::DateFormatItem> model;
};

// The full text of a value (nullopt for NULL).
std::optional<std::string> valueText(const Value &value, const DateDisplay &dates);
// The same into an existing cell, reusing its storage: the rows of a long listing go through here.
void assignValueText(std::optional<std::string> &cell, const Value &value, const DateDisplay &dates);

// The text Oracle shows for a BINARY_DOUBLE or BINARY_FLOAT value: scientific, with the fewest
// digits that give the value back and a three-digit exponent (1.5E+000, 1.0E+003, -2.5E-001);
// 0 for zero; Nan, Inf and -Inf for the special values.
std::string binaryNumberText(double value, bool single);
// A BINARY_FLOAT / BINARY_DOUBLE text narrowed to width by dropping significant digits
// (3.333E-001 in NUMWIDTH 10); '#'s when not even one digit fits.
std::string fitBinaryNumberText(const std::string &text, bool single, int width);
// Whether a result column is of one of those types.
bool isBinaryNumberColumn(const Column &column);

// A number's text fitted to width characters: unchanged when it fits, else with fewer decimals,
// else in scientific notation (1.2346E+10), else "#" repeated. Text that is not a number is
// returned as it is.
std::string fitNumberText(const std::string &text, int width);

}  // namespace localdb::client
