// Decimal digit arithmetic for rounding, truncating and printing NUMBER values.
#include "localdb/functions/ascii_text.h"
#include "localdb/functions/decimal_number.h"

#include "localdb/functions/function_errors.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace localdb::functions {

namespace {

// Exponents beyond this are far outside Oracle's NUMBER range (about 1E-130 to 1E126); parsing
// clamps to it so that absurd input cannot overflow an int.
constexpr int kExponentLimit = 100000;


// Adds one unit in the last place of a digit string; returns true when the carry ran off the front
// (the string was all nines or empty).
bool incrementDigits(std::string &digits)
{
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return false;
        }
        digits[i] = '0';
    }
    return true;
}

}  // namespace

void DecimalNumber::normalise()
{
    std::size_t first = digits_.find_first_not_of('0');
    if (first == std::string::npos) {
        digits_.clear();
        exponent_ = 0;
        negative_ = false;
        return;
    }
    exponent_ -= static_cast<int>(first);
    digits_.erase(0, first);
    digits_.erase(digits_.find_last_not_of('0') + 1);
}

DecimalNumber DecimalNumber::fromDigits(bool negative, std::string_view digits, int integerDigits)
{
    DecimalNumber n;
    n.negative_ = negative;
    n.digits_ = std::string(digits);
    n.exponent_ = integerDigits;
    n.normalise();
    return n;
}

DecimalNumber DecimalNumber::fromInt64(std::int64_t value)
{
    bool negative = value < 0;
    // Through unsigned so that the most negative value has a magnitude too.
    std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value)
                                       : static_cast<std::uint64_t>(value);
    std::string text = std::to_string(magnitude);
    return fromDigits(negative, text, static_cast<int>(text.size()));
}

DecimalNumber DecimalNumber::fromDouble(double value, int significantDigits)
{
    if (!std::isfinite(value))
        raiseError(1426);
    if (value == 0)
        return {};
    significantDigits = std::clamp(significantDigits, 1, 17);
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific,
                                significantDigits - 1);
    std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    // d.dddde+XX
    bool negative = text.front() == '-';
    if (negative)
        text.remove_prefix(1);
    std::size_t e = text.find('e');
    std::string digits;
    for (char c : text.substr(0, e)) {
        if (ascii::isDigit(c))
            digits += c;
    }
    int exponent = 0;
    std::string_view expText = text.substr(e + 1);
    if (!expText.empty() && expText.front() == '+')
        expText.remove_prefix(1);
    std::from_chars(expText.data(), expText.data() + expText.size(), exponent);
    return fromDigits(negative, digits, exponent + 1);
}

std::optional<DecimalNumber> DecimalNumber::parse(std::string_view text, char decimalCharacter)
{
    std::size_t i = 0;
    std::size_t n = text.size();
    while (i < n && ascii::isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::string digits;
    int integerDigits = 0;
    bool seenDigit = false;
    while (i < n && ascii::isDigit(text[i])) {
        digits += text[i++];
        ++integerDigits;
        seenDigit = true;
    }
    if (i < n && text[i] == decimalCharacter) {
        ++i;
        while (i < n && ascii::isDigit(text[i])) {
            digits += text[i++];
            seenDigit = true;
        }
    }
    if (!seenDigit)
        return std::nullopt;
    long exponent = 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool expNegative = false;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            expNegative = text[i] == '-';
            ++i;
        }
        if (i >= n || !ascii::isDigit(text[i]))
            return std::nullopt;
        while (i < n && ascii::isDigit(text[i])) {
            if (exponent < kExponentLimit)
                exponent = exponent * 10 + (text[i] - '0');
            ++i;
        }
        if (expNegative)
            exponent = -exponent;
    }
    while (i < n && ascii::isBlank(text[i]))
        ++i;
    if (i != n)
        return std::nullopt;
    long total = std::clamp<long>(integerDigits + exponent, -kExponentLimit, kExponentLimit);
    return fromDigits(negative, digits, static_cast<int>(total));
}

std::string DecimalNumber::integerPart() const
{
    if (exponent_ <= 0)
        return {};
    std::string part = digits_.substr(0, static_cast<std::size_t>(exponent_));
    part.resize(static_cast<std::size_t>(exponent_), '0');
    return part;
}

std::string DecimalNumber::fractionPart(int count) const
{
    std::string part;
    part.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        // Digit i after the point is digit (exponent_ + i) of digits_.
        long index = static_cast<long>(exponent_) + i;
        part += (index >= 0 && index < static_cast<long>(digits_.size()))
                    ? digits_[static_cast<std::size_t>(index)] : '0';
    }
    return part;
}

DecimalNumber DecimalNumber::rounded(int scale) const
{
    long keep = static_cast<long>(exponent_) + scale;
    if (isZero() || keep >= static_cast<long>(digits_.size()))
        return *this;
    if (keep < 0)
        return {};
    DecimalNumber result = *this;
    bool up = digits_[static_cast<std::size_t>(keep)] >= '5';
    result.digits_.resize(static_cast<std::size_t>(keep));
    if (up && incrementDigits(result.digits_)) {
        result.digits_.insert(result.digits_.begin(), '1');
        ++result.exponent_;
    }
    result.normalise();
    if (!result.isZero())
        result.negative_ = negative_;
    return result;
}

DecimalNumber DecimalNumber::truncated(int scale) const
{
    long keep = static_cast<long>(exponent_) + scale;
    if (isZero() || keep >= static_cast<long>(digits_.size()))
        return *this;
    if (keep <= 0)
        return {};
    DecimalNumber result = *this;
    result.digits_.resize(static_cast<std::size_t>(keep));
    result.normalise();
    return result;
}

DecimalNumber DecimalNumber::roundedSignificant(int count) const
{
    if (isZero())
        return *this;
    return rounded(count - exponent_);
}

DecimalNumber DecimalNumber::absolute() const
{
    DecimalNumber result = *this;
    result.negative_ = false;
    return result;
}

DecimalNumber DecimalNumber::scaled(int powerOfTen) const
{
    DecimalNumber result = *this;
    if (!isZero())
        result.exponent_ = static_cast<int>(std::clamp<long>(static_cast<long>(exponent_) + powerOfTen,
                                                             -kExponentLimit, kExponentLimit));
    return result;
}

std::optional<std::int64_t> DecimalNumber::toInt64() const
{
    if (!isInteger() || exponent_ > 19)
        return std::nullopt;
    std::uint64_t magnitude = 0;
    for (char c : integerPart()) {
        unsigned digit = static_cast<unsigned>(c - '0');
        if (magnitude > (std::numeric_limits<std::uint64_t>::max() - digit) / 10)
            return std::nullopt;
        magnitude = magnitude * 10 + digit;
    }
    constexpr std::uint64_t maxPositive = std::numeric_limits<std::int64_t>::max();
    if (negative_) {
        if (magnitude > maxPositive + 1)
            return std::nullopt;
        return static_cast<std::int64_t>(0 - magnitude);
    }
    if (magnitude > maxPositive)
        return std::nullopt;
    return static_cast<std::int64_t>(magnitude);
}

double DecimalNumber::toDouble() const
{
    if (isZero())
        return 0.0;
    if (exponent_ > 400)
        return negative_ ? -HUGE_VAL : HUGE_VAL;
    if (exponent_ < -400)
        return 0.0;
    std::string text = "0." + digits_ + "e" + std::to_string(exponent_);
    double value = 0;
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range)
        value = exponent_ > 0 ? HUGE_VAL : 0.0;
    return negative_ ? -value : value;
}

}  // namespace localdb::functions
