// TO_MULTI_BYTE and TO_SINGLE_BYTE: ASCII, the blank and half-width katakana to their full-width
// forms and back, the conversions a Shift-JIS database offers between its single-byte and
// double-byte characters.
#pragma once

#include <string>
#include <string_view>

namespace localdb::functions {

// A half-width katakana followed by a half-width (semi-)voiced sound mark becomes one full-width
// character (ｶﾞ -> ガ).
std::string toMultiByte(std::string_view text);
// Full-width characters with a single-byte form; voiced katakana become two half-width characters.
std::string toSingleByte(std::string_view text);

}  // namespace localdb::functions
