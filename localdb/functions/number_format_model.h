// A number format model (the second argument of TO_CHAR and TO_NUMBER for numbers) parsed into
// its parts: digit positions, separators, sign, currency and the special forms (EEEE, V, X, RN,
// TM). Invalid models raise ORA-01481.
#pragma once

#include <string>
#include <string_view>

namespace localdb::functions {

struct NumberFormatModel {
    enum class Kind { Digits, Hex, Roman, TextMinimum, TextMinimumScientific };
    enum class Sign { Default, LeadingS, TrailingS, TrailingMinus, Brackets };
    enum class Currency { None, Dollar, Local, Iso, Dual };

    Kind kind = Kind::Digits;
    bool fillMode = false;   // FM
    bool blankZero = false;  // B
    Sign sign = Sign::Default;
    Currency currency = Currency::None;
    bool currencyAtEnd = false;

    // Positions left of the decimal character in model order: '9', '0' and ',' (a group separator,
    // written , or G). Digits after V are included; shiftDigits counts them.
    std::string integerMask;
    bool hasDecimal = false;
    bool nlsSeparators = false;  // G and D rather than , and .
    std::string fractionMask;    // '9' and '0' after the decimal character
    int shiftDigits = 0;         // V
    bool scientific = false;     // EEEE

    int hexDigits = 0;           // X positions plus leading 0 positions
    bool hexLower = false;
    bool hexZeroFill = false;
    bool romanLower = false;

    int integerDigitCount() const;
};

NumberFormatModel parseNumberFormatModel(std::string_view model);

}  // namespace localdb::functions
