// RAWTOHEX and HEXTORAW.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace localdb::functions {

// Upper-case hexadecimal, two digits per byte.
std::string rawToHex(const std::vector<std::uint8_t> &bytes);
// Pairs of hexadecimal digits (either case) to bytes; ORA-01465 for an odd length or a character
// that is not a hexadecimal digit.
std::vector<std::uint8_t> hexToRaw(std::string_view text);

}  // namespace localdb::functions
