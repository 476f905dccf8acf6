// UTF-8 text as the character functions see it: a sequence of code points. Invalid bytes are
// taken one at a time as characters of their own, so no input can make a scan read past the text
// or loop forever.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace localdb::functions::utf8 {

// Byte length of the character starting at pos (1 for an invalid or truncated sequence, 0 at the
// end).
std::size_t charLength(std::string_view text, std::size_t pos);

std::size_t charCount(std::string_view text);

// Byte offsets of the start of every character, plus text.size() at the end.
std::vector<std::size_t> charOffsets(std::string_view text);

// Code points; an invalid byte becomes U+FFFD.
std::u32string decode(std::string_view text);
std::string encode(std::u32string_view codePoints);
void append(std::string &text, char32_t codePoint);

// Columns a character takes on a display: 2 for East Asian wide and full-width characters,
// 1 otherwise (LPAD and RPAD pad to display width).
int displayWidth(char32_t codePoint);

}  // namespace localdb::functions::utf8
