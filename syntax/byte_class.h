// The byte classes every scanner of the token parser tests: one 256-entry table of bit sets.
//
// Why a table: a scanner asks several questions of every byte it passes (is it a digit, a word
// byte, a mail or URL byte, a blank, the end of the row, a lead byte of a double-byte
// character). One indexed load answers all of them at once, with no chain of comparisons and
// no branch per range, and the ranges below are then written down in exactly one place.
#pragma once

#include "classlib/cp932.h"

#include <array>
#include <cstdint>

namespace syntax {

enum ByteClass : std::uint16_t {
    bcRowEnd = 1 << 0,        // NUL, CR, LF: no token runs over them
    bcBlank = 1 << 1,         // 0x01-0x08 and 0x0A-0x20, skipped between tokens (TAB is a token)
    bcLead = 1 << 2,          // lead byte of a double-byte character: 0x81-0x9F, 0xE0-0xFC
    bcDigit = 1 << 3,         // '0'-'9'
    bcWord = 1 << 4,          // ASCII letters, digits and '_'
    bcHex = 1 << 5,           // '0'-'9', 'A'-'F', 'a'-'f'
    bcMail = 1 << 6,          // letters, digits and ! $ % & * , - . / ; = ? @ ^ _ ~
    bcUrl = 1 << 7,           // letters, digits and # % & + - . / : = ? _ ~
    bcKanjiLead = 1 << 8,     // lead bytes of kanji rows: 0x88-0x9F, 0xE0-0xFC
    bcKanaSymbol = 1 << 9,    // half-width kana punctuation 0xA1-0xA5
    bcHankakuKana = 1 << 10,  // half-width katakana 0xA6-0xDF
    bcAsciiLower = 1 << 11,   // 'a'-'z' (folded for reserved word lookup)
};

namespace detail {

constexpr bool InRange(int c, int low, int high) { return c >= low && c <= high; }

constexpr bool AnyOf(int c, const char *set)
{
    for (; *set != 0; ++set) {
        if (c == static_cast<unsigned char>(*set))
            return true;
    }
    return false;
}

constexpr std::array<std::uint16_t, 256> MakeByteClassTable()
{
    std::array<std::uint16_t, 256> table{};
    for (int c = 0; c < 256; ++c) {
        const bool digit = InRange(c, '0', '9');
        const bool upper = InRange(c, 'A', 'Z');
        const bool lower = InRange(c, 'a', 'z');
        const bool alnum = digit || upper || lower;
        std::uint16_t bits = 0;
        if (c == 0 || c == '\r' || c == '\n')
            bits |= bcRowEnd;
        if (InRange(c, 0x01, 0x08) || InRange(c, 0x0A, 0x20))
            bits |= bcBlank;
        if (cp932::IsLeadByte(static_cast<unsigned char>(c)))
            bits |= bcLead;
        if (digit)
            bits |= bcDigit;
        if (alnum || c == '_')
            bits |= bcWord;
        if (digit || InRange(c, 'A', 'F') || InRange(c, 'a', 'f'))
            bits |= bcHex;
        if (alnum || AnyOf(c, "!$%&*,-./;=?@^_~"))
            bits |= bcMail;
        if (alnum || AnyOf(c, "#%&+-./:=?_~"))
            bits |= bcUrl;
        if (InRange(c, 0x88, 0x9F) || InRange(c, 0xE0, 0xFC))
            bits |= bcKanjiLead;
        if (InRange(c, 0xA1, 0xA5))
            bits |= bcKanaSymbol;
        if (InRange(c, 0xA6, 0xDF))
            bits |= bcHankakuKana;
        if (lower)
            bits |= bcAsciiLower;
        table[static_cast<std::size_t>(c)] = bits;
    }
    return table;
}

} // namespace detail

inline constexpr std::array<std::uint16_t, 256> kByteClass = detail::MakeByteClassTable();

inline bool HasClass(char c, std::uint16_t bits)
{
    return (kByteClass[static_cast<unsigned char>(c)] & bits) != 0;
}

inline unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

} // namespace syntax
