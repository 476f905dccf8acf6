// Number text goes through the engine's decimal type, so rounding to fit a column is decimal
// rounding (.333333333) and never shows binary noise.
#include "localdb/client/value_text.h"

#include "localdb/functions/decimal_number.h"
#include "localdb/functions/number_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace localdb::client {

using functions::DecimalNumber;

ColumnKind columnKind(const Column &column) {
    switch (column.type) {
    case Integer:
    case LongInteger:
    case Double:
        return ColumnKind::Number;
    case Date:
        return ColumnKind::Date;
    case LongBinary:
        return ColumnKind::Binary;
    case Memo:
        return ColumnKind::Long;
    case Text:
        break;
    }
    return ColumnKind::Text;
}

std::optional<std::string> valueText(const Value &value, const DateDisplay &dates) {
    struct Visitor {
        const DateDisplay &dates;
        std::optional<std::string> operator()(std::monostate) const { return std::nullopt; }
        std::optional<std::string> operator()(std::int64_t v) const { return std::to_string(v); }
        std::optional<std::string> operator()(double v) const {
            try {
                return functions::defaultNumberText(DecimalNumber::fromDouble(v));
            } catch (const Error &) {
                return std::string(v != v ? "~" : v < 0 ? "-~" : "~");
            }
        }
        std::optional<std::string> operator()(const std::string &v) const { return v; }
        std::optional<std::string> operator()(const DateTime &v) const {
            try {
                return functions::formatDate(v, dates.format, dates.settings);
            } catch (const Error &) {
                char text[32];
                std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", v.year, v.month, v.day, v.hour,
                              v.minute, v.second);
                return std::string(text);
            }
        }
        std::optional<std::string> operator()(const Bytes &v) const {
            static const char *hex = "0123456789ABCDEF";
            std::string text;
            text.reserve(v.data.size() * 2);
            for (std::uint8_t b : v.data) {
                text += hex[b >> 4];
                text += hex[b & 15];
            }
            return text;
        }
    };
    return std::visit(Visitor{dates}, value);
}

std::string binaryNumberText(double value, bool single) {
    if (value != value)
        return "Nan";
    if (value == HUGE_VAL || value == -HUGE_VAL)
        return value < 0 ? "-Inf" : "Inf";
    if (value == 0)
        return "0";
    char text[64];
    const int maxDigits = single ? 9 : 17;
    for (int digits = 1; digits <= maxDigits; ++digits) {
        std::snprintf(text, sizeof text, "%.*e", digits - 1, value);
        const double back = std::strtod(text, nullptr);
        if (single ? float(back) == float(value) : back == value)
            break;
    }
    const std::string written = text;
    const size_t e = written.find('e');
    std::string mantissa = written.substr(0, e);
    if (mantissa.find('.') == std::string::npos)
        mantissa += ".0";
    const int exponent = std::atoi(written.c_str() + e + 1);
    std::snprintf(text, sizeof text, "E%c%03d", exponent < 0 ? '-' : '+', exponent < 0 ? -exponent : exponent);
    return mantissa + text;
}

bool isBinaryNumberColumn(const Column &column) {
    return column.oracleType == "BINARY_DOUBLE" || column.oracleType == "BINARY_FLOAT";
}

std::string fitNumberText(const std::string &text, int width) {
    if (static_cast<int>(text.size()) <= width)
        return text;
    const std::optional<DecimalNumber> parsed = DecimalNumber::parse(text);
    if (!parsed)
        return text;
    const DecimalNumber &number = *parsed;
    const int sign = number.isNegative() ? 1 : 0;
    const int integerDigits = static_cast<int>(number.integerPart().size());
    if (integerDigits + sign <= width) {
        // Round away the decimals that do not fit; the point itself needs one character.
        const int decimals = width - integerDigits - sign - 1;
        const std::string rounded = functions::defaultNumberText(number.rounded(decimals < 0 ? 0 : decimals));
        if (static_cast<int>(rounded.size()) <= width && rounded != "0" && rounded != "-0")
            return rounded;
    }
    for (int digits = static_cast<int>(number.digits().size()); digits >= 1; --digits) {
        const std::string scientific = functions::scientificNumberText(number.roundedSignificant(digits));
        if (static_cast<int>(scientific.size()) <= width)
            return scientific;
    }
    return std::string(static_cast<size_t>(width > 0 ? width : 0), '#');
}

}  // namespace localdb::client
