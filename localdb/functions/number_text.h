// Oracle's conversions between NUMBER and text when no format model is given: TO_CHAR(n), the
// conversion used by || and character functions, and TO_NUMBER(s) with its implicit uses.
#pragma once

#include "localdb/functions/decimal_number.h"

#include <string>
#include <string_view>

namespace localdb::functions {

// The shortest text holding the value: no leading zero before the decimal character, no trailing
// zeros, "-" for negatives (.5, -.5, 1.1, 100); scientific notation (1.5E+45) when the plain
// form would need more than 40 characters.
std::string defaultNumberText(const DecimalNumber &value, char decimalCharacter = '.');

// The same in scientific notation always (format model TME): 1.5E+02.
std::string scientificNumberText(const DecimalNumber &value, char decimalCharacter = '.');

// BINARY_FLOAT and BINARY_DOUBLE without a format model: scientific with a three-digit exponent
// and the fewest digits that read back as the same value, at most 15 for a double and 9 for a
// float (1.0E+001, 3.33333333333333E-001 for 1/3 as a double), 0, Nan, Inf, -Inf. maxDigits > 0 rounds to at most that many significant
// digits, as a display column narrower than the full text does.
std::string binaryNumberText(double value, bool single, int maxDigits = 0);

// Text to number: blanks, sign, digits, one decimal character, exponent. Throws ORA-01722 for
// anything else, including text with no digits.
DecimalNumber parseNumberText(std::string_view text, char decimalCharacter = '.');

}  // namespace localdb::functions
