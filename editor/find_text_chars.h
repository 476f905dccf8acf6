// The character rules of the search engine: how a code page 932 character is read as one 16-bit
// code, how half-width forms become full-width ones, how letter case is folded, and which bytes
// delimit words. Kept apart from the scanner so that the tables can be tested on their own.
//
// A character code is the byte itself for a single-byte character (0x00-0xFF) and
// lead << 8 | trail for a double-byte one (always 0x8100 or more), so the two never compare equal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace editor::search {

// True for a byte of the code page's lead range (the byte after it is then a trail byte, unless
// it is the end of the text or a NUL byte).
constexpr bool IsLeadRange(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Word delimiters of whole-word search: 0x00-0x2F, 0x3A-0x40, 0x5B-0x60, 0x7B-0x80, 0xA0-0xA5,
// 0xFD-0xFF. Digits, letters, half-width katakana and every double-byte character are word
// characters (a lead byte is never a delimiter).
bool IsWordDelimiter(unsigned char c);

// Full-width code of a single byte: ASCII 0x20-0x7E and half-width katakana 0xA1-0xDF have one;
// every other byte gives itself.
std::uint16_t FullWidthOf(unsigned char c);
// The voiced (after 0xDE) or semi-voiced (after 0xDF) full-width kana of a half-width kana, or 0
// when the pair does not combine (a kana outside the voiceable rows, or a semi-voiced mark after
// anything but the ha row: those stay two characters).
std::uint16_t CombinedKana(unsigned char kana, unsigned char mark);

// Letter case: a-z as the locale upper-cases them, and the full-width lower-case Latin, Greek
// and Cyrillic letters and the small Roman numerals to their capitals. Other codes unchanged.
// Inline: the scanner folds every character it compares.
inline std::uint16_t UpperCode(std::uint16_t code)
{
    if (code < 0x100)
        return code >= 'a' && code <= 'z' ? static_cast<std::uint16_t>(code - 0x20) : code;
    const unsigned trail = code & 0xFF;
    switch (code >> 8) {
    case 0x82:  // full-width a-z (0x8281-0x829A) to A-Z (0x8260-0x8279)
        return trail >= 0x81 && trail <= 0x9A ? static_cast<std::uint16_t>(code - 0x21) : code;
    case 0x83:  // Greek small letters (0x83BF-0x83D6) to capitals (0x839F-0x83B6)
        return trail >= 0xBF && trail <= 0xD6 ? static_cast<std::uint16_t>(code - 0x20) : code;
    case 0x84:  // Cyrillic small letters (0x8470-0x8491) to capitals (0x8440-0x8460); the trail
                // bytes skip 0x7F, so the distance changes halfway
        if (trail >= 0x70 && trail <= 0x7E) return static_cast<std::uint16_t>(code - 0x30);
        if (trail >= 0x80 && trail <= 0x91) return static_cast<std::uint16_t>(code - 0x31);
        return code;
    case 0xEE:  // small Roman numerals of the vendor rows (0xEEEF-0xEEF8) to 0x8754-0x875D
        return trail >= 0xEF && trail <= 0xF8 ? static_cast<std::uint16_t>(0x8754 + trail - 0xEF) : code;
    default:
        return code;
    }
}

// One character read from a text.
struct TCharRead {
    std::uint16_t Code = 0;
    std::uint8_t Size = 0;  // bytes taken from the text (1 or 2)
};

// Reads the character at pos (pos < text size). With convert, half-width forms become full-width
// and a voiceable kana followed by its mark is read as one character of two bytes.
TCharRead ReadChar(const unsigned char *text, std::size_t size, std::size_t pos, bool convert);

// The whole text converted to full-width form (as the search compares it), as code page 932.
std::string ToFullWidth(std::string_view text);

} // namespace editor::search
