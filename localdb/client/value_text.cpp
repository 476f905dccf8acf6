// Number text goes through the engine's decimal type, so rounding to fit a column is decimal
// rounding (.333333333) and never shows binary noise.
#include "localdb/client/value_text.h"

#include "localdb/functions/decimal_number.h"
#include "localdb/functions/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

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

namespace {

// Oracle's text of a number without an exponent: ".5", "-1.25", "12". The common cases are
// printed directly; others (an exponent, more digits than a double holds) go through the
// engine's decimal type.
void numberText(std::string &out, double v) {
    char buffer[64];
    auto [end, failed] = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 15);
    std::string_view text(buffer, failed == std::errc() ? size_t(end - buffer) : 0);
    if (text.empty() || text.find_first_of("eEn") != std::string_view::npos) {
        try {
            out = functions::defaultNumberText(DecimalNumber::fromDouble(v));
        } catch (const Error &) {
            out = v != v ? "~" : v < 0 ? "-~" : "~";
        }
        return;
    }
    out.clear();
    if (text[0] == '-') {
        out += '-';
        text.remove_prefix(1);
    }
    if (text.size() > 1 && text[0] == '0' && text[1] == '.')
        text.remove_prefix(1);
    if (text == "0" && !out.empty())
        out.clear();  // negative zero
    out += text;
}

void dateText(std::string &out, const DateTime &v, const DateDisplay &dates) {
    try {
        out = dates.model.empty() ? functions::formatDate(v, dates.format, dates.settings)
                                  : functions::formatDate(v, dates.model, dates.settings);
    } catch (const Error &) {
        char text[32];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", v.year, v.month, v.day, v.hour, v.minute,
                      v.second);
        out = text;
    }
}

}  // namespace

void assignValueText(std::optional<std::string> &cell, const Value &value, const DateDisplay &dates) {
    if (isNull(value)) {
        cell.reset();
        return;
    }
    std::string &out = cell ? *cell : cell.emplace();
    if (auto *i = std::get_if<std::int64_t>(&value)) {
        char buffer[24];
        auto end = std::to_chars(buffer, buffer + sizeof buffer, *i).ptr;
        out.assign(buffer, size_t(end - buffer));
    } else if (auto *d = std::get_if<double>(&value)) {
        numberText(out, *d);
    } else if (auto *t = std::get_if<std::string>(&value)) {
        out = *t;
    } else if (auto *date = std::get_if<DateTime>(&value)) {
        dateText(out, *date, dates);
    } else if (auto *b = std::get_if<Bytes>(&value)) {
        static const char *hex = "0123456789ABCDEF";
        out.clear();
        out.reserve(b->data.size() * 2);
        for (std::uint8_t byte : b->data) {
            out += hex[byte >> 4];
            out += hex[byte & 15];
        }
    }
}

std::optional<std::string> valueText(const Value &value, const DateDisplay &dates) {
    std::optional<std::string> cell;
    assignValueText(cell, value, dates);
    return cell;
}

std::string binaryNumberText(double value, bool single) { return functions::binaryNumberText(value, single); }

std::string fitBinaryNumberText(const std::string &text, bool single, int width) {
    if (static_cast<int>(text.size()) <= width)
        return text;
    char *end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end == text.c_str())
        return text;
    for (int digits = single ? 9 : 15; digits >= 1; --digits) {
        std::string fitted = functions::binaryNumberText(value, single, digits);
        if (static_cast<int>(fitted.size()) <= width)
            return fitted;
    }
    return std::string(static_cast<size_t>(width > 0 ? width : 0), '#');
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
