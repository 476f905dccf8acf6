// Code page 932 (Shift-JIS) text: character boundaries, display columns, conversion to and from
// Unicode, and the letter case rules used on such text.
//
// Kestrim keeps text as code page 932 bytes in std::string wherever lengths and positions are
// counted in bytes. A lead byte (0x81-0x9F, 0xE0-0xFC) begins a double-byte character; the byte
// after it is a trail byte, which may hold any value, including ones that look like ASCII
// ("\\", "|", "[", "]", "a"-"z"). Every scan over such text must step whole characters, which is
// what this unit is for. A lead byte at the end of the text, or followed by a NUL byte, is taken
// as a single-byte character so that no scan ever reads past the text.
//
// Display columns: a double-byte character takes two columns, every other byte (ASCII,
// half-width katakana, stray bytes) one; the *Tab variants let a TAB advance to the next tab stop.
#pragma once

#include <QString>

#include <cstddef>
#include <string>
#include <string_view>

namespace classlib::cp932 {

// True for a byte that begins a double-byte character.
constexpr bool IsLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
constexpr bool IsLeadByte(char c) { return IsLeadByte(static_cast<unsigned char>(c)); }

// Length in bytes of the character that starts at pos: 2 for a lead byte followed by a non-NUL
// byte, 1 for any other byte, 0 when pos is at or past the end.
std::size_t CharLength(std::string_view text, std::size_t pos);

// True when the byte at index is the second byte of a double-byte character (false past the end).
bool IsTrailByteAt(std::string_view text, std::size_t index);

// Start of the character that holds the byte at pos (pos itself unless pos is a trail byte);
// positions at or past the end give text.size().
std::size_t CharStart(std::string_view text, std::size_t pos);

// The character boundary after the character at pos (text.size() at the end); a pos inside a
// character moves to the end of that character.
std::size_t NextCharPos(std::string_view text, std::size_t pos);

// The character boundary before pos (0 at the start); a pos inside a character moves to its start.
std::size_t PrevCharPos(std::string_view text, std::size_t pos);

// Number of characters (double-byte characters count once).
std::size_t CharCount(std::string_view text);

// Width in display columns of the whole text.
int DisplayWidth(std::string_view text);
// Same, with TAB advancing to the next multiple of tabWidth (tabWidth < 1 counts TAB as 1 column).
int DisplayWidthTab(std::string_view text, int tabWidth);

// Display column (0-based) at which the character holding byte index starts; an index past the
// end gives the width of the text.
int ByteToColumn(std::string_view text, std::size_t index);
int ByteToColumnTab(std::string_view text, std::size_t index, int tabWidth);

// How ColumnToByte treats a column that falls inside a character (the second column of a
// double-byte character, or the fill of a TAB): the character's own start, or the next one.
enum class ColumnSnap { Start, Next };

// Byte index of the character shown at a display column; never a trail byte. Columns past the
// end give text.size(), negative columns 0.
std::size_t ColumnToByte(std::string_view text, int column, ColumnSnap snap = ColumnSnap::Start);
std::size_t ColumnToByteTab(std::string_view text, int column, int tabWidth,
                            ColumnSnap snap = ColumnSnap::Start);

// Text with every TAB replaced by spaces up to the next tab stop.
std::string ExpandTabs(std::string_view text, int tabWidth);

// Code page 932 -> Unicode. Conversion never fails: a character that is not valid code page 932
// gives U+FFFD for its lead byte, and its second byte converts on its own (U+FFFD again unless
// it is ASCII or half-width katakana), so a line break after a stray lead byte survives.
QString ToUnicode(std::string_view text);

// Unicode -> code page 932. Characters that code page 932 cannot hold (and unpaired surrogates)
// become "?".
std::string FromUnicode(const QString &text);

// The same conversions with UTF-8 on the other side, for the database layer. Invalid UTF-8 bytes
// become "?" one byte at a time; invalid code page 932 bytes become U+FFFD.
std::string Cp932ToUtf8(std::string_view text);
std::string Utf8ToCp932(std::string_view text);

// Maps a byte offset in Cp932ToUtf8(cp932Text) back to the byte offset of the same character in
// cp932Text. An offset inside a UTF-8 sequence maps to the start of its character; offsets past
// the end give cp932Text.size().
std::size_t Utf8OffsetToCp932Offset(std::string_view cp932Text, std::size_t utf8Offset);
// The reverse: byte offset in cp932Text -> byte offset in Cp932ToUtf8(cp932Text).
std::size_t Cp932OffsetToUtf8Offset(std::string_view cp932Text, std::size_t cp932Offset);

// Upper-casing as the Japanese locale does it on code page 932 text: single-byte a-z only;
// trail bytes and all other bytes stay as they are. LowerCase is the same for A-Z.
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);

// Case-insensitive comparison on the same basis (a-z folded, trail bytes compared as they are);
// negative, zero or positive like strcmp, bytes compared unsigned.
int CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);

} // namespace classlib::cp932

// Short name used throughout the code base: cp932::ToUnicode(...), cp932::IsLeadByte(...).
namespace cp932 = classlib::cp932;
