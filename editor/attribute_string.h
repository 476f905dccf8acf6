// Column arithmetic of the editor: the attribute string of a row (one class character per display
// column), a cursor over it, and the conversions between columns, byte indexes, widths and
// tab-expanded text that the row store, wrapping and the caret rest on.
//
// A column is one display cell: a single byte takes one, a double-byte character two, a tab runs
// to the next tab stop (and, with word wrap on, never past the row width).
#pragma once

#include "classlib/cp932.h"

#include <bitset>
#include <string>
#include <string_view>

namespace editor {

// Column classes held by the attribute string.
constexpr char acEnd = '0';        // past the last column
constexpr char acChar = '1';       // a single byte that is not a word delimiter
constexpr char acDelimiter = '2';  // a single byte in the word-delimiter set (a tab is one)
constexpr char acTabFill = '3';    // the blank columns a tab adds after its own column
constexpr char acLead = '4';       // first column of a double-byte character
constexpr char acTrail = '5';      // second column of a double-byte character

// Columns shown of a row without word wrap; the caret may stand one column past a character
// that begins on the last of them.
constexpr int MaxColumns = 1000;

// The fixed set of word delimiters: control bytes, blanks and punctuation, the byte 0x80 and
// the half-width punctuation 0xA0-0xA5, and 0xFD-0xFF. Underscore, digits, letters, lead bytes
// and half-width katakana are not delimiters.
const std::bitset<256> &WordDelimiters();
inline bool IsWordDelimiter(unsigned char c) { return WordDelimiters().test(c); }

// What column arithmetic depends on besides the text.
struct TColumnRules {
    int TabSpaceCount = 8;
    bool WordWrap = false;
    int WrapByte = 80;

    // Columns a tab occupies when it stands at 0-based column col.
    int TabWidthAt(int col) const;
    // Columns the attribute string holds at most.
    int Cap() const { return WordWrap ? WrapByte + 3 : MaxColumns; }
};

// The attribute string of one row, built left to right until the cap is reached (the last
// double-byte character or tab may run one past it). Columns are 1-based as in the cursor;
// At() gives acEnd past the end.
class TAttributeString {
public:
    TAttributeString() = default;
    TAttributeString(std::string_view text, const TColumnRules &rules);
    TAttributeString(std::string_view text, const TColumnRules &rules, int cap);

    int Columns() const { return static_cast<int>(FClasses.size()); }
    char At(int col) const
    {
        return col >= 1 && col <= Columns() ? FClasses[static_cast<std::size_t>(col - 1)] : acEnd;
    }
    // 0-based index of the byte shown at column col (a tab-fill column gives the tab); columns
    // past the end give the number of bytes the string covers.
    int ByteAt(int col) const;
    // First column of the character shown at col.
    int CharStartColumn(int col) const;
    // Number of bytes in columns 1..col, the whole character at col included.
    int BytesThrough(int col) const;
    // Bytes covered by the whole string.
    int ByteCount() const { return FByteCount; }
    const std::string &Classes() const { return FClasses; }

private:
    std::string FClasses;
    int FByteCount = 0;
};

// A position in (text, attribute string): a 1-based column and the 1-based index of the byte
// that occupies it. Column 0 stands before the first character.
class TAttributeCursor {
public:
    TAttributeCursor(std::string_view text, const TAttributeString &attributes)
        : FText(text), FAttributes(&attributes)
    {
    }
    int Column() const { return FColumn; }
    int ByteIndex() const { return FByte; }
    char Class() const { return FAttributes->At(FColumn); }
    bool AtEnd() const { return Class() == acEnd; }
    // One column to the right / left.
    void Right();
    void Left();
    void MoveTo(int column);
    // The bytes of the character at the cursor: both bytes of a double-byte character on its
    // first or second column, the tab on its fill columns, else the single byte.
    std::string_view Char() const;

private:
    std::string_view FText;
    const TAttributeString *FAttributes;
    int FColumn = 0;
    int FByte = 0;
};

// Width of a row in columns, tabs included, without any cap.
int RowWidth(std::string_view text, const TColumnRules &rules);

// Byte index shown at 0-based column col: col less the tab-fill columns before it, at most the
// row length. A column inside a double-byte character gives that character's second byte; the
// caret rules keep the caret off such columns.
int ColumnToByte(std::string_view text, int col, const TColumnRules &rules);

// 0-based column at which the character holding byte index starts; indexes past the end give
// the row width.
int ByteToColumn(std::string_view text, int byteIndex, const TColumnRules &rules);

// Leading indentation in columns: spaces 1, a full-width space 2, tabs to the next stop; counting
// stops at the first other byte. An empty text yields -1.
int IndentWidth(std::string_view text, const TColumnRules &rules);

// The text with every tab replaced by spaces up to its tab stop.
std::string ExpandTabs(std::string_view text, const TColumnRules &rules);

// Length of the character at pos (2 for a lead byte followed by another byte, else 1; 0 at the
// end), the rule every scan of the editor shares.
inline int CharLengthAt(std::string_view text, std::size_t pos)
{
    if (pos >= text.size())
        return 0;
    return cp932::IsLeadByte(text[pos]) && pos + 1 < text.size() && text[pos + 1] != '\0' ? 2 : 1;
}

} // namespace editor
