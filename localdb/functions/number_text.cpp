// Default conversions between NUMBER and text.
#include "localdb/functions/number_text.h"

#include "localdb/functions/function_errors.h"

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

}  // namespace localdb::functions
