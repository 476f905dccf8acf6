// Default conversions between NUMBER and text.
#include "localdb/functions/number_text.h"

#include "localdb/functions/function_errors.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace localdb::functions {

namespace {

// Oracle switches to scientific notation when the plain text would not fit in this many
// characters.
constexpr std::size_t kPlainTextLimit = 40;

}  // namespace

std::string scientificNumberText(const DecimalNumber &value, char decimalCharacter)
{
    const std::string &digits = value.digits();
    if (value.isZero())
        return "0E+00";
    std::string text = value.isNegative() ? "-" : "";
    text += digits[0];
    if (digits.size() > 1) {
        text += decimalCharacter;
        text += digits.substr(1);
    }
    int exponent = value.exponent() - 1;
    text += exponent < 0 ? "E-" : "E+";
    int magnitude = std::abs(exponent);
    if (magnitude < 10)
        text += '0';
    text += std::to_string(magnitude);
    return text;
}

std::string defaultNumberText(const DecimalNumber &value, char decimalCharacter)
{
    if (value.isZero())
        return "0";
    const std::string &digits = value.digits();
    long exponent = value.exponent();
    long size = static_cast<long>(digits.size());
    long plainLength = exponent >= size ? exponent : (exponent > 0 ? size + 1 : size - exponent + 1);
    if (plainLength > static_cast<long>(kPlainTextLimit))
        return scientificNumberText(value, decimalCharacter);
    std::string text = value.isNegative() ? "-" : "";
    if (exponent >= size) {
        text += digits;
        text.append(static_cast<std::size_t>(exponent - size), '0');
    } else if (exponent > 0) {
        text += digits.substr(0, static_cast<std::size_t>(exponent));
        text += decimalCharacter;
        text += digits.substr(static_cast<std::size_t>(exponent));
    } else {
        text += decimalCharacter;
        text.append(static_cast<std::size_t>(-exponent), '0');
        text += digits;
    }
    return text;
}

DecimalNumber parseNumberText(std::string_view text, char decimalCharacter)
{
    auto parsed = DecimalNumber::parse(text, decimalCharacter);
    if (!parsed)
        raiseError(1722);
    return *parsed;
}

std::string binaryNumberText(double value, bool single, int maxDigits) {
    if (value != value)
        return "Nan";
    if (value == HUGE_VAL || value == -HUGE_VAL)
        return value < 0 ? "-Inf" : "Inf";
    if (value == 0)
        return "0";
    char text[64];
    const int mostDigits = maxDigits > 0 ? maxDigits : single ? 9 : 15;
    for (int digits = 1; digits <= mostDigits; ++digits) {
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

}  // namespace localdb::functions
