// Numbers as the settings files write them: integers in decimal or hexadecimal ("$1F", "0x1F"),
// floats in the C locale's notation. Parsing never throws; text that is not a whole number gives
// nullopt.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace settings {

// An optional sign, then decimal digits, or "$" / "0x" / "0X" and up to 8 hexadecimal digits
// (read as a 32-bit pattern, so "$FFFFFFFF" is -1). Decimal values outside 32 bits are invalid.
std::optional<int> ParseInteger(std::string_view text);

// A decimal float ("1.5", "-2", "1e-3", "inf" and "nan" as the writer writes them).
std::optional<double> ParseFloat(std::string_view text);

// The shortest text that reads back as exactly the same value.
std::string FormatFloat(double value);

} // namespace settings
