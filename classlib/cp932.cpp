// Code page 932 character boundaries, display columns and letter case (the conversions to and
// from Unicode are in cp932_convert.cpp).
#include "classlib/cp932.h"

#include <algorithm>

namespace classlib::cp932 {

namespace {

unsigned char Byte(std::string_view text, std::size_t i) { return static_cast<unsigned char>(text[i]); }

// Columns a TAB at column col occupies: up to the next multiple of tabWidth.
int TabAdvance(int col, int tabWidth)
{
    return tabWidth < 1 ? 1 : tabWidth - col % tabWidth;
}

// Columns taken by the character of len bytes starting at pos, when it starts at column col.
int CharColumns(std::string_view text, std::size_t pos, std::size_t len, int col, int tabWidth)
{
    if (len == 2) return 2;
    if (text[pos] == '\t') return TabAdvance(col, tabWidth);
    return 1;
}

} // namespace

std::size_t CharLength(std::string_view text, std::size_t pos)
{
    if (pos >= text.size()) return 0;
    if (IsLeadByte(text[pos]) && pos + 1 < text.size() && text[pos + 1] != '\0') return 2;
    return 1;
}

std::size_t CharStart(std::string_view text, std::size_t pos)
{
    if (pos >= text.size()) return text.size();
    // Trail bytes share values with lead bytes, so the text cannot be read backwards byte by
    // byte. A byte outside the lead range always ends a character, so the character boundary
    // before a run of lead-range bytes is known; step forward from there.
    std::size_t boundary = pos;
    while (boundary > 0 && IsLeadByte(text[boundary - 1])) --boundary;
    std::size_t i = boundary;
    for (;;) {
        const std::size_t next = i + CharLength(text, i);
        if (next > pos) return i;
        i = next;
    }
}

bool IsTrailByteAt(std::string_view text, std::size_t index)
{
    return index < text.size() && CharStart(text, index) != index;
}

std::size_t NextCharPos(std::string_view text, std::size_t pos)
{
    if (pos >= text.size()) return text.size();
    const std::size_t start = CharStart(text, pos);
    return start + CharLength(text, start);
}

std::size_t PrevCharPos(std::string_view text, std::size_t pos)
{
    if (pos == 0) return 0;
    if (pos > text.size()) return text.size();
    return CharStart(text, pos - 1);
}

std::size_t CharCount(std::string_view text)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); i += CharLength(text, i)) ++count;
    return count;
}

int DisplayWidth(std::string_view text) { return DisplayWidthTab(text, 0); }

int DisplayWidthTab(std::string_view text, int tabWidth)
{
    return ByteToColumnTab(text, text.size(), tabWidth);
}

int ByteToColumn(std::string_view text, std::size_t index) { return ByteToColumnTab(text, index, 0); }

int ByteToColumnTab(std::string_view text, std::size_t index, int tabWidth)
{
    int col = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t len = CharLength(text, i);
        if (i + len > index) break;
        col += CharColumns(text, i, len, col, tabWidth);
        i += len;
    }
    return col;
}

std::size_t ColumnToByte(std::string_view text, int column, ColumnSnap snap)
{
    return ColumnToByteTab(text, column, 0, snap);
}

std::size_t ColumnToByteTab(std::string_view text, int column, int tabWidth, ColumnSnap snap)
{
    if (column <= 0) return 0;
    int col = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t len = CharLength(text, i);
        const int width = CharColumns(text, i, len, col, tabWidth);
        if (column == col) return i;
        if (column < col + width) return snap == ColumnSnap::Start ? i : i + len;
        col += width;
        i += len;
    }
    return text.size();
}

std::string ExpandTabs(std::string_view text, int tabWidth)
{
    std::string out;
    out.reserve(text.size());
    int col = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t len = CharLength(text, i);
        const int width = CharColumns(text, i, len, col, tabWidth);
        if (len == 1 && text[i] == '\t')
            out.append(static_cast<std::size_t>(width), ' ');
        else
            out.append(text.substr(i, len));
        col += width;
        i += len;
    }
    return out;
}

namespace {

// Changes the single-byte letters in [from, to] by delta, leaving double-byte characters whole.
std::string MapLetters(std::string_view text, char from, char to, int delta)
{
    std::string out(text);
    for (std::size_t i = 0; i < out.size();) {
        const std::size_t len = CharLength(out, i);
        if (len == 1 && out[i] >= from && out[i] <= to) out[i] = static_cast<char>(out[i] + delta);
        i += len;
    }
    return out;
}

} // namespace

std::string UpperCase(std::string_view text) { return MapLetters(text, 'a', 'z', 'A' - 'a'); }
std::string LowerCase(std::string_view text) { return MapLetters(text, 'A', 'Z', 'a' - 'A'); }

int CompareText(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const std::size_t lenA = CharLength(a, i);
        const std::size_t lenB = CharLength(b, j);
        for (std::size_t k = 0; k < std::max(lenA, lenB); ++k) {
            // A single-byte character is compared against the lead byte of a double-byte one
            // and is then shorter; running out of bytes compares as 0, below every lead byte.
            unsigned char ca = k < lenA ? Byte(a, i + k) : 0;
            unsigned char cb = k < lenB ? Byte(b, j + k) : 0;
            if (lenA == 1 && ca >= 'a' && ca <= 'z') ca = static_cast<unsigned char>(ca - 'a' + 'A');
            if (lenB == 1 && cb >= 'a' && cb <= 'z') cb = static_cast<unsigned char>(cb - 'a' + 'A');
            if (ca != cb) return ca < cb ? -1 : 1;
        }
        i += lenA;
        j += lenB;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

bool SameText(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && CompareText(a, b) == 0;
}

} // namespace classlib::cp932
