// TO_CHAR(number, model) and TO_NUMBER(text, model): numbers printed into and read from the
// fixed-width layout a number format model describes.
#pragma once

#include "localdb/functions/decimal_number.h"

#include <string>
#include <string_view>

namespace localdb::functions {

// The session's characters used by G, D, L, C and U.
struct NumberSymbols {
    char decimal = '.';
    char group = ',';
    std::string currency = "$";     // L and U
    std::string isoCurrency = "USD";  // C
};

// Throws ORA-01481 for an invalid model. A value too large for the model gives a string of '#'.
std::string formatNumber(const DecimalNumber &value, std::string_view model,
                         const NumberSymbols &symbols = {});

// Throws ORA-01481 for an invalid model and ORA-01722 for text that does not fit it.
DecimalNumber parseNumberWithModel(std::string_view text, std::string_view model,
                                   const NumberSymbols &symbols = {});

}  // namespace localdb::functions
