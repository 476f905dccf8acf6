// Numeric functions with Oracle's rules.
#include "localdb/functions/numeric_functions.h"

#include "localdb/functions/function_errors.h"
#include "localdb/functions/number_text.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace localdb::functions {

namespace {

__extension__ typedef __int128 Int128;

// Digits after the decimal point.
int scaleOf(const DecimalNumber &n)
{
    return std::max(0, static_cast<int>(n.digits().size()) - n.exponent());
}

// The value times ten to scale as a 128-bit integer, when it has at most 38 digits.
std::optional<Int128> scaledInteger(const DecimalNumber &n, int scale)
{
    if (n.isZero())
        return Int128(0);
    DecimalNumber shifted = n.scaled(scale);
    if (shifted.exponent() > 38)
        return std::nullopt;
    Int128 value = 0;
    for (char c : shifted.integerPart())
        value = value * 10 + (c - '0');
    return n.isNegative() ? -value : value;
}

DecimalNumber fromScaledInteger(Int128 value, int scale)
{
    bool negative = value < 0;
    if (negative)
        value = -value;
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(value % 10)));
        value /= 10;
    } while (value > 0);
    return DecimalNumber::fromDigits(negative, digits, static_cast<int>(digits.size()) - scale);
}

[[noreturn]] void outOfRange(double value)
{
    raiseOutOfRange(defaultNumberText(DecimalNumber::fromDouble(value)));
}

double checked(double result)
{
    if (!std::isfinite(result))
        raiseError(1426);
    return result;
}

}  // namespace

DecimalNumber modNumber(const DecimalNumber &m, const DecimalNumber &n)
{
    if (n.isZero())
        return m;
    int scale = std::max(scaleOf(m), scaleOf(n));
    auto a = scaledInteger(m, scale);
    auto b = scaledInteger(n, scale);
    if (a && b)
        return fromScaledInteger(*a % *b, scale);
    return DecimalNumber::fromDouble(std::fmod(m.toDouble(), n.toDouble()));
}

DecimalNumber remainderNumber(const DecimalNumber &m, const DecimalNumber &n)
{
    if (n.isZero())
        raiseError(1476);
    int scale = std::max(scaleOf(m), scaleOf(n));
    auto a = scaledInteger(m, scale);
    auto b = scaledInteger(n, scale);
    if (!a || !b)
        return DecimalNumber::fromDouble(std::remainder(m.toDouble(), n.toDouble()));
    Int128 quotient = *a / *b;
    Int128 rest = *a - quotient * *b;
    Int128 twiceRest = rest < 0 ? -2 * rest : 2 * rest;
    Int128 divisor = *b < 0 ? -*b : *b;
    int direction = (*a < 0) != (*b < 0) ? -1 : 1;
    if (twiceRest > divisor || (twiceRest == divisor && quotient % 2 != 0))
        quotient += direction;
    return fromScaledInteger(*a - quotient * *b, scale);
}

DecimalNumber ceilNumber(const DecimalNumber &n)
{
    DecimalNumber whole = n.truncated(0);
    if (n.isInteger() || n.isNegative())
        return whole;
    auto value = whole.toInt64();
    if (!value)
        return DecimalNumber::fromDouble(std::ceil(n.toDouble()));
    return DecimalNumber::fromInt64(*value + 1);
}

DecimalNumber floorNumber(const DecimalNumber &n)
{
    DecimalNumber whole = n.truncated(0);
    if (n.isInteger() || !n.isNegative())
        return whole;
    auto value = whole.toInt64();
    if (!value)
        return DecimalNumber::fromDouble(std::floor(n.toDouble()));
    return DecimalNumber::fromInt64(*value - 1);
}

double sqrtNumber(double n)
{
    if (n < 0)
        outOfRange(n);
    return std::sqrt(n);
}

double lnNumber(double n)
{
    if (n <= 0)
        outOfRange(n);
    return std::log(n);
}

double logNumber(double base, double n)
{
    if (base <= 0 || base == 1)
        outOfRange(base);
    if (n <= 0)
        outOfRange(n);
    return std::log(n) / std::log(base);
}

double expNumber(double n)
{
    return checked(std::exp(n));
}

double powerNumber(double m, double n)
{
    if (m < 0 && n != std::trunc(n))
        outOfRange(m);
    if (m == 0 && n < 0)
        raiseError(1476);
    return checked(std::pow(m, n));
}

double asinNumber(double n)
{
    if (n < -1 || n > 1)
        outOfRange(n);
    return std::asin(n);
}

double acosNumber(double n)
{
    if (n < -1 || n > 1)
        outOfRange(n);
    return std::acos(n);
}

}  // namespace localdb::functions
