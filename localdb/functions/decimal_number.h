// A decimal number as a string of significant digits and a power of ten: the form in which the
// built-in functions round, truncate and print Oracle NUMBER values. Stored numbers are SQLite
// integers (exact) or doubles, taken at 15 significant digits so that 0.1 + 0.2 prints as .3 and
// ROUND(1.005, 2) is 1.01 as it is in Oracle's decimal arithmetic.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace localdb::functions {

class DecimalNumber {
public:
    DecimalNumber() = default;  // zero

    static DecimalNumber fromInt64(std::int64_t value);
    // Throws ORA-01426 for an infinite or NaN value.
    static DecimalNumber fromDouble(double value, int significantDigits = 15);
    // Oracle's numeric text: optional blanks, sign, digits with at most one decimal character,
    // optional exponent (E or e, optional sign, digits), optional blanks. nullopt otherwise.
    static std::optional<DecimalNumber> parse(std::string_view text, char decimalCharacter = '.');
    // From a sign, a string of decimal digits (leading and trailing zeros allowed) and the number
    // of those digits that stand before the decimal point.
    static DecimalNumber fromDigits(bool negative, std::string_view digits, int integerDigits);

    bool isZero() const { return digits_.empty(); }
    bool isNegative() const { return negative_; }
    // Significant digits without leading or trailing zeros ("" for zero).
    const std::string &digits() const { return digits_; }
    // The value is 0.<digits> times ten to this power.
    int exponent() const { return exponent_; }
    bool isInteger() const { return isZero() || static_cast<int>(digits_.size()) <= exponent_; }

    // Digits before the decimal point without leading zeros ("" when |value| < 1).
    std::string integerPart() const;
    // Exactly count digits after the decimal point (not rounded).
    std::string fractionPart(int count) const;

    // Rounded half away from zero / truncated toward zero to scale decimal places; a negative
    // scale works left of the point (ROUND(1234.5, -2) = 1200).
    DecimalNumber rounded(int scale) const;
    DecimalNumber truncated(int scale) const;
    // Rounded half away from zero to count significant digits.
    DecimalNumber roundedSignificant(int count) const;
    DecimalNumber absolute() const;
    // Multiplied by ten to the given power.
    DecimalNumber scaled(int powerOfTen) const;

    // The value when it is an integer within 64 bits.
    std::optional<std::int64_t> toInt64() const;
    // Nearest double; infinite beyond the double range.
    double toDouble() const;

private:
    void normalise();

    bool negative_ = false;
    std::string digits_;
    int exponent_ = 0;
};

}  // namespace localdb::functions
