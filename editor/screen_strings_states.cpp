// Keeping the parser state stored at each row's start valid. After an edit the states are
// carried forward from the edit only while they differ from what is stored, and never further
// than about two screens; rows below that read as "not computed" (one watermark, so invalidating
// a long text costs nothing) and are computed when painting reaches them.
#include "editor/screen_strings.h"

#include "syntax/fountain.h"
#include "syntax/fountain_parser.h"

#include <algorithm>

std::unique_ptr<TFountainParser> TEditorScreenStrings::NewParser() const
{
    const TScreenStringsClient *owner = Owner();
    TFountain *fountain = owner ? owner->ParserFountain() : nullptr;
    return fountain ? fountain->CreateParser() : nullptr;
}

void TEditorScreenStrings::AdvanceState(TFountainParser *parser, int row, TRowParseState &state) const
{
    if (parser)
        parser->AdvanceRowState(row, *this, state);
}

int TEditorScreenStrings::UpdateRowStates(int a)
{
    const int count = Count();
    if (FLoading > 0 || count == 0)
        return 0;
    a = std::clamp(a, 0, count - 1);
    // Start from the nearest row above whose state is known.
    int row = std::min(a, StatesValidBelow()) - 1;
    while (row >= 0 && Brackets(row) == -2)
        --row;
    const std::unique_ptr<TFountainParser> parser = NewParser();
    TRowParseState state;
    if (row >= 0) {
        state = ParseState(row);
        AdvanceState(parser.get(), row, state);
    }
    ++row;

    const long long bound = std::min<long long>(count - 1, static_cast<long long>(a) + 2LL * ScreenRows());
    int parsed = 0;
    for (; row <= bound; ++row) {
        if (ParseState(row) == state)
            return parsed;  // the rest is still valid
        SetParseState(row, state);
        ValidateStatesThrough(row);
        ++parsed;
        for (TScreenStringsClient *editor : FEditors)
            editor->RowStateChanged(row);
        AdvanceState(parser.get(), row, state);
    }
    if (row < count)
        InvalidateStatesFrom(row);
    return parsed;
}

void TEditorScreenStrings::EnsureRowStates(int target)
{
    const int count = Count();
    if (FLoading > 0 || count == 0)
        return;
    target = std::min(target, count - 1);
    if (target < 0 || (target < StatesValidBelow() && Brackets(target) != -2))
        return;
    int row = std::min(target, StatesValidBelow()) - 1;
    while (row >= 0 && Brackets(row) == -2)
        --row;
    const std::unique_ptr<TFountainParser> parser = NewParser();
    TRowParseState state;
    if (row >= 0) {
        state = ParseState(row);
        AdvanceState(parser.get(), row, state);
    }
    for (++row; row <= target; ++row) {
        SetParseState(row, state);
        ValidateStatesThrough(row);
        AdvanceState(parser.get(), row, state);
    }
}

void TEditorScreenStrings::ReparseAll()
{
    if (FLoading > 0)
        return;
    InvalidateStatesFrom(0);
    const TScreenStringsClient *owner = Owner();
    const int top = owner ? std::max(0, owner->FirstVisibleRow()) : 0;
    EnsureRowStates(FInitBracketsFull ? Count() - 1 : top + 2 * ScreenRows());
}
