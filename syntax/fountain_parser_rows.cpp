// Carrying the parser's state from one screen row to the next (the state the editor stores at
// the start of every row).
//
// A row is parsed together with the row it wraps into, so that a token broken by the wrap is
// seen whole: the part of it on the next row is then carried as the token's kind plus either
// the length of that part, or nothing when the next row resumes the token by its own scanner
// (comments and quoted texts, and tokens that run on through a further wrapped row).
#include "syntax/fountain_parser.h"

#include <algorithm>

namespace {

// The largest carried length a row can store (eight bits).
constexpr int kMaxWrappedByte = 255;

bool IsBlankRow(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' '; });
}

} // namespace

void TFountainParser::AdvanceRowState(int row, const TParserRowList &rows, TRowParseState &state)
{
    if (row < 0 || row >= rows.RowCount())
        return;
    const bool wrapped = rows.RowAttribute(row) == raWrapped;

    // A comment carried into the row takes all of it, and goes on while the line does.
    if (state.PrevToken == ftComment) {
        if (!wrapped)
            state.PrevToken = 0;
        state.WrappedByte = 0;
        return;
    }

    // The token carried into this row is resumed before the row's own tokens, exactly as
    // painting does, so that the state handed on describes the row as it is shown. (Parsing
    // the row from its first byte instead would take the closing quote of a carried string, or
    // the second half of a closing bracket, for the start of something new.)
    const TTokenKind carriedKind = state.PrevToken;
    const int carriedLength = state.WrappedByte;
    state.WrappedByte = 0;
    state.PrevToken = 0;

    const std::string_view text = rows.RowText(row);
    const int n = static_cast<int>(text.size());
    if (n == 0 || IsBlankRow(text))
        return;

    std::string_view joined = text;
    bool nextWrapped = false;
    if (wrapped && row + 1 < rows.RowCount()) {
        FJoined.assign(text.data(), text.size());
        FJoined.append(rows.RowText(row + 1));
        joined = FJoined;
        nextWrapped = rows.RowAttribute(row + 1) == raWrapped;
    }

    TRowParseState start = state;
    start.PrevToken = carriedKind;
    start.WrappedByte = std::clamp(carriedLength, 0, n);  // a stale length never reaches past the row
    StartRow(joined, start);

    int lastBracket = state.Bracket;
    int lastElement = state.Element;
    TTokenKind lastKind = ftEnd;
    bool straddles = false;
    for (TTokenKind kind = NextToken(); kind != ftEnd; kind = NextToken()) {
        lastKind = kind;
        state.Bracket = FBracketIndex;
        if (kind == ftBracket)
            lastBracket = FLastBracket;
        lastElement = FElementIndex;
        if (TokenOffset() + TokenLength() > n) {
            straddles = true;
            break;
        }
        state.Element = FElementIndex;
        state.TokenExtra = FTokenExtra;
    }
    if (!straddles)
        return;

    if (TokenOffset() >= n) {
        // Row R ended between tokens; the token found lies wholly on the next row.
        state.Bracket = -1;
        return;
    }

    state.Element = lastElement;
    const int end = TokenOffset() + TokenLength();
    const int rest = end - n;
    if (lastKind == ftBracket) {
        if (state.Bracket == -1) {
            // The bracket closes on the next row: it is still open where that row starts.
            state.Bracket = lastBracket;
            const TBracketText *item = BracketAt(lastBracket);
            const int rightLength = item != nullptr ? static_cast<int>(item->Right.size()) : 0;
            if (rest < rightLength) {
                // The closing text itself is split by the wrap.
                state.PrevToken = ftBracket;
                state.WrappedByte = rest;
            }
        }
        return;
    }

    lastKind = PromoteReserved(lastKind);
    state.PrevToken = lastKind;
    if (GetRescanKinds().test(lastKind))
        return;
    if (end == static_cast<int>(joined.size()) && nextWrapped)
        return;
    // A carried part longer than a row can store is resumed by the kind's own scanner instead.
    if (rest > kMaxWrappedByte)
        return;
    state.WrappedByte = rest;
}
