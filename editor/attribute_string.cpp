// Column arithmetic of the editor: attribute strings, their cursor and the column conversions.
#include "editor/attribute_string.h"

#include <algorithm>

namespace editor {

const std::bitset<256> &WordDelimiters()
{
    static const std::bitset<256> set = [] {
        std::bitset<256> s;
        auto range = [&s](int from, int to) {
            for (int c = from; c <= to; ++c)
                s.set(static_cast<std::size_t>(c));
        };
        range(0x00, 0x2F);
        range(0x3A, 0x40);
        range(0x5B, 0x5E);
        range(0x60, 0x60);
        range(0x7B, 0x80);
        range(0xA0, 0xA5);
        range(0xFD, 0xFF);
        return s;
    }();
    return set;
}

int TColumnRules::TabWidthAt(int col) const
{
    const int tab = std::max(1, TabSpaceCount);
    int n = tab - col % tab;
    if (WordWrap && WrapByte > 0)
        n = std::min(n, WrapByte - col % WrapByte);
    return std::max(1, n);
}

TAttributeString::TAttributeString(std::string_view text, const TColumnRules &rules)
    : TAttributeString(text, rules, rules.Cap())
{
}

TAttributeString::TAttributeString(std::string_view text, const TColumnRules &rules, int cap)
{
    FClasses.reserve(static_cast<std::size_t>(std::min<std::size_t>(text.size() * 2, cap + 8)));
    std::size_t i = 0;
    while (i < text.size() && static_cast<int>(FClasses.size()) < cap) {
        if (CharLengthAt(text, i) == 2) {
            FClasses += acLead;
            FClasses += acTrail;
            i += 2;
            continue;
        }
        const auto c = static_cast<unsigned char>(text[i]);
        const int col = static_cast<int>(FClasses.size());
        FClasses += IsWordDelimiter(c) ? acDelimiter : acChar;
        if (c == '\t')
            FClasses.append(static_cast<std::size_t>(rules.TabWidthAt(col) - 1), acTabFill);
        ++i;
    }
    FByteCount = static_cast<int>(i);
}

int TAttributeString::ByteAt(int col) const
{
    if (col > Columns())
        return FByteCount;
    int bytes = 0;
    for (int c = 1; c <= col; ++c)
        if (FClasses[static_cast<std::size_t>(c - 1)] != acTabFill)
            ++bytes;
    return std::max(0, bytes - 1);
}

int TAttributeString::CharStartColumn(int col) const
{
    const char cls = At(col);
    if (cls == acTrail)
        return col - 1;
    if (cls == acTabFill) {
        while (col > 1 && At(col) == acTabFill)
            --col;
    }
    return col;
}

int TAttributeString::BytesThrough(int col) const
{
    if (col <= 0)
        return 0;
    if (col > Columns())
        return FByteCount;
    return ByteAt(col) + 1 + (At(col) == acLead ? 1 : 0);
}

void TAttributeCursor::Right()
{
    ++FColumn;
    if (Class() != acTabFill)
        ++FByte;
}

void TAttributeCursor::Left()
{
    if (FColumn <= 0)
        return;
    const bool leavingFill = Class() == acTabFill;
    --FColumn;
    if (!leavingFill)
        --FByte;
}

void TAttributeCursor::MoveTo(int column)
{
    while (FColumn < column)
        Right();
    while (FColumn > column)
        Left();
}

std::string_view TAttributeCursor::Char() const
{
    const auto at = [this](int byte1, std::size_t len) -> std::string_view {
        if (byte1 < 1 || static_cast<std::size_t>(byte1 - 1) >= FText.size())
            return {};
        return FText.substr(static_cast<std::size_t>(byte1 - 1), len);
    };
    switch (Class()) {
    case acLead:
        return at(FByte, 2);
    case acTrail:
        return at(FByte - 1, 2);
    case acEnd:
        return {};
    default:
        return at(FByte, 1);
    }
}

int RowWidth(std::string_view text, const TColumnRules &rules)
{
    int col = 0;
    for (std::size_t i = 0; i < text.size();) {
        const int len = CharLengthAt(text, i);
        if (len == 2)
            col += 2;
        else
            col += text[i] == '\t' ? rules.TabWidthAt(col) : 1;
        i += static_cast<std::size_t>(len);
    }
    return col;
}

int ColumnToByte(std::string_view text, int col, const TColumnRules &rules)
{
    if (col <= 0)
        return 0;
    int c = 0;
    int fills = 0;
    for (std::size_t i = 0; i < text.size() && c < col;) {
        const int len = CharLengthAt(text, i);
        if (len == 2) {
            c += 2;
        } else if (text[i] == '\t') {
            const int w = rules.TabWidthAt(c);
            fills += std::max(0, std::min(c + w - 1, col - 1) - c);
            c += w;
        } else {
            c += 1;
        }
        i += static_cast<std::size_t>(len);
    }
    return std::min(col - fills, static_cast<int>(text.size()));
}

int ByteToColumn(std::string_view text, int byteIndex, const TColumnRules &rules)
{
    int c = 0;
    for (std::size_t i = 0; i < text.size();) {
        const int len = CharLengthAt(text, i);
        if (static_cast<int>(i + static_cast<std::size_t>(len)) > byteIndex)
            return c;
        c += len == 2 ? 2 : text[i] == '\t' ? rules.TabWidthAt(c) : 1;
        i += static_cast<std::size_t>(len);
    }
    return c;
}

int IndentWidth(std::string_view text, const TColumnRules &rules)
{
    if (text.empty())
        return -1;
    int c = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == ' ') {
            c += 1;
            i += 1;
        } else if (text[i] == '\t') {
            c += rules.TabWidthAt(c);
            i += 1;
        } else if (text.substr(i, 2) == "\x81\x40") {
            c += 2;
            i += 2;
        } else {
            break;
        }
    }
    return c;
}

std::string ExpandTabs(std::string_view text, const TColumnRules &rules)
{
    std::string out;
    out.reserve(text.size() + 8);
    int c = 0;
    for (std::size_t i = 0; i < text.size();) {
        const int len = CharLengthAt(text, i);
        if (len == 1 && text[i] == '\t') {
            const int w = rules.TabWidthAt(c);
            out.append(static_cast<std::size_t>(w), ' ');
            c += w;
        } else {
            out.append(text.substr(i, static_cast<std::size_t>(len)));
            c += len == 2 ? 2 : 1;
        }
        i += static_cast<std::size_t>(len);
    }
    return out;
}

} // namespace editor
