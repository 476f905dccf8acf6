// TRowAttributeStringList: the editor's row list with its per-row data packed into the two
// attribute words of each item, and TEditorStringList, the same list used for temporary rows
// (the output of wrapping, the rows an undo restores).
//
// Word A: bits 0-3 row attribute, 4-7 Bracket + 2, 8-11 Element, 12-19 WrappedByte.
// Word B: bits 0-7 PrevToken, 8-15 TokenExtra, 16-31 the row's marks.
// A fresh row has both words zero: raCrlf, Bracket -2 (state not computed yet).
#pragma once

#include "editor/kel_string_list.h"
#include "syntax/parser_row_list.h"
#include "syntax/row_parse_state.h"

#include <climits>
#include <cstdint>

class TRowAttributeStringList : public TKelStringList, public TParserRowList {
    Q_OBJECT
public:
    explicit TRowAttributeStringList(QObject *parent = nullptr);
    ~TRowAttributeStringList() override;

    // TParserRowList
    int RowCount() const override { return Count(); }
    std::string_view RowText(int row) const override { return View(row); }
    TRowAttribute RowAttribute(int row) const override;

    void SetRowAttribute(int row, TRowAttribute attribute);

    // The parser state stored at the row's start; Bracket -2 when it is not computed, which is
    // also what every row at or after StatesValidBelow() reads as.
    TRowParseState ParseState(int row) const;
    void SetParseState(int row, const TRowParseState &state);
    int Brackets(int row) const { return ParseState(row).Bracket; }
    int Elements(int row) const { return ParseState(row).Element; }
    int WrappedBytes(int row) const { return ParseState(row).WrappedByte; }
    int PrevTokens(int row) const { return ParseState(row).PrevToken; }
    int TokenExtras(int row) const { return ParseState(row).TokenExtra; }

    // Rows from this index on read as not computed, whatever their words hold, so that
    // invalidating the states of a long text costs nothing.
    int StatesValidBelow() const { return FStatesValidBelow; }
    void InvalidateStatesFrom(int row);
    // Extends the valid range past row after its state was stored (only from the boundary).
    void ValidateStatesThrough(int row);

    std::uint16_t RowMarks(int row) const { return static_cast<std::uint16_t>(WordB(row) >> 16); }
    void SetRowMarks(int row, std::uint16_t marks);
    // Union of the marks present on any row.
    std::uint16_t MarksInUse() const;

    // Appends a row with the given text and attribute (state not computed, no marks).
    void AddRow(std::string_view text, TRowAttribute attribute);
    // Text, object and the two words of row `from` of another list into row `to`; the marks of
    // row `to` are kept when keepMarks is set.
    void CopyRow(const TRowAttributeStringList &source, int from, int to, bool keepMarks);

    // Joined text of rows [first, first + count): every raCrlf row followed by CR LF.
    std::string RowsText(int first, int count) const;

protected:
    void RowsShifted(int index, int count) override;

private:
    int FStatesValidBelow = INT_MAX;
};

// Temporary row lists.
class TEditorStringList : public TRowAttributeStringList {
    Q_OBJECT
public:
    using TRowAttributeStringList::TRowAttributeStringList;
    ~TEditorStringList() override;
};
