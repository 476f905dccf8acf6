// TRowAttributeStringList: packing of row attributes, parser states and marks.
#include "editor/row_attribute_string_list.h"

#include <algorithm>

namespace {

constexpr std::uint32_t AttributeMask = 0xFu;
constexpr std::uint32_t StateMaskA = 0xFFFF0u;  // Bracket, Element, WrappedByte
constexpr std::uint32_t StateMaskB = 0xFFFFu;   // PrevToken, TokenExtra

} // namespace

TRowAttributeStringList::TRowAttributeStringList(QObject *parent) : TKelStringList(parent) {}
TRowAttributeStringList::~TRowAttributeStringList() = default;
TEditorStringList::~TEditorStringList() = default;

TRowAttribute TRowAttributeStringList::RowAttribute(int row) const
{
    return static_cast<TRowAttribute>(WordA(row) & AttributeMask);
}

void TRowAttributeStringList::SetRowAttribute(int row, TRowAttribute attribute)
{
    SetWordA(row, (WordA(row) & ~AttributeMask) | (static_cast<std::uint32_t>(attribute) & AttributeMask));
}

TRowParseState TRowAttributeStringList::ParseState(int row) const
{
    const std::uint32_t a = WordA(row);
    const std::uint32_t b = WordB(row);
    TRowParseState state;
    if (row >= FStatesValidBelow) {
        state.Bracket = -2;
        return state;
    }
    state.Bracket = static_cast<int>((a >> 4) & 0xFu) - 2;
    state.Element = static_cast<int>((a >> 8) & 0xFu);
    state.WrappedByte = static_cast<int>((a >> 12) & 0xFFu);
    state.PrevToken = static_cast<std::uint8_t>(b & 0xFFu);
    state.TokenExtra = static_cast<std::uint8_t>((b >> 8) & 0xFFu);
    return state;
}

void TRowAttributeStringList::SetParseState(int row, const TRowParseState &state)
{
    const auto bracket = static_cast<std::uint32_t>(std::clamp(state.Bracket, -2, 13) + 2);
    const auto element = static_cast<std::uint32_t>(std::clamp(state.Element, 0, 15));
    const auto wrapped = static_cast<std::uint32_t>(std::clamp(state.WrappedByte, 0, 255));
    const std::uint32_t a = (WordA(row) & ~StateMaskA) | (bracket << 4) | (element << 8) | (wrapped << 12);
    const std::uint32_t b = (WordB(row) & ~StateMaskB) | state.PrevToken |
                            (static_cast<std::uint32_t>(state.TokenExtra) << 8);
    SetWordA(row, a);
    SetWordB(row, b);
}

void TRowAttributeStringList::InvalidateStatesFrom(int row)
{
    FStatesValidBelow = std::min(FStatesValidBelow, std::max(row, 0));
}

void TRowAttributeStringList::ValidateStatesThrough(int row)
{
    if (row == FStatesValidBelow)
        FStatesValidBelow = row + 1 >= Count() ? INT_MAX : row + 1;
}

void TRowAttributeStringList::SetRowMarks(int row, std::uint16_t marks)
{
    SetWordB(row, (WordB(row) & 0xFFFFu) | (static_cast<std::uint32_t>(marks) << 16));
}

std::uint16_t TRowAttributeStringList::MarksInUse() const
{
    std::uint16_t used = 0;
    for (int m = 0; m < 16; ++m)
        if (RowsWithMark(m) > 0)
            used = static_cast<std::uint16_t>(used | (1u << m));
    return used;
}

void TRowAttributeStringList::AddRow(std::string_view text, TRowAttribute attribute)
{
    const int row = Count();
    InsertRows(row, 1);
    PutView(row, text);
    SetRowAttribute(row, attribute);
}

void TRowAttributeStringList::CopyRow(const TRowAttributeStringList &source, int from, int to, bool keepMarks)
{
    PutView(to, source.View(from));
    PutObject(to, source.GetObject(from));
    SetWordA(to, source.WordA(from));
    const std::uint32_t marks = keepMarks ? (WordB(to) & 0xFFFF0000u) : (source.WordB(from) & 0xFFFF0000u);
    SetWordB(to, (source.WordB(from) & 0xFFFFu) | marks);
}

std::string TRowAttributeStringList::RowsText(int first, int count) const
{
    std::size_t size = 0;
    for (int r = first; r < first + count; ++r)
        size += static_cast<std::size_t>(Length(r)) + (RowAttribute(r) == raCrlf ? 2 : 0);
    std::string text;
    text.reserve(size);
    for (int r = first; r < first + count; ++r) {
        text += View(r);
        if (RowAttribute(r) == raCrlf)
            text += "\r\n";
    }
    return text;
}

void TRowAttributeStringList::RowsShifted(int index, int count)
{
    if (FStatesValidBelow == INT_MAX)
        return;
    if (Count() == 0) {
        FStatesValidBelow = INT_MAX;
        return;
    }
    if (count > 0) {
        if (FStatesValidBelow > index)
            FStatesValidBelow += count;
    } else if (FStatesValidBelow > index) {
        FStatesValidBelow = std::max(index, FStatesValidBelow + count);
    }
}
