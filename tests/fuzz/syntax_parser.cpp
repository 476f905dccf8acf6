// Feeds random rows, start states and fountain settings to the editor parser and checks that
// the tokens of every row (painted alone, or with the row it wraps into in view) tile it (in order, without overlap, at least one byte each, only
// blanks between them, never past the row), that a row's tokens end only at its end, at a NUL
// byte or at a stored bracket that no longer exists, and that the state carried to the next
// row is one a row can store.
//
// Input layout: 8 header bytes (feature flags, start state, row separator, wrap bits), then the
// rows, separated by the separator byte.
#include "syntax/editor_fountain.h"
#include "syntax/editor_parser.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

bool IsBlank(unsigned char c) { return (c >= 0x01 && c <= 0x08) || (c >= 0x0A && c <= 0x20); }

class TRows : public TParserRowList {
public:
    int RowCount() const override { return static_cast<int>(Rows.size()); }
    std::string_view RowText(int row) const override { return Rows[static_cast<std::size_t>(row)]; }
    TRowAttribute RowAttribute(int row) const override { return Attributes[static_cast<std::size_t>(row)]; }
    std::vector<std::string> Rows;
    std::vector<TRowAttribute> Attributes;
};

// Checks the tokens of a row that StartRow (of either kind) has just started.
void CheckTokens(TFountainParser &parser, TEditorFountain &fountain, std::string_view row)
{
    std::size_t end = 0;
    for (int guard = 0;; ++guard) {
        Check(guard <= static_cast<int>(row.size()) + 1);
        const TTokenKind kind = parser.NextToken();
        const auto offset = static_cast<std::size_t>(parser.TokenOffset());
        if (kind == ftEnd) {
            for (std::size_t i = end; i < offset && i < row.size(); ++i)
                Check(IsBlank(static_cast<unsigned char>(row[i])));
            const int bracket = parser.BracketIndex();
            const bool staleBracket =
                bracket >= fountain.Brackets()->Count() ||
                (bracket >= 0 && fountain.Brackets()->BracketItem(bracket)->RightBracket().empty());
            Check(offset == row.size() || row[offset] == '\0' || staleBracket);
            Check(parser.NextToken() == ftEnd);
            return;
        }
        Check(parser.TokenLength() >= 1);
        Check(offset >= end);
        Check(offset + static_cast<std::size_t>(parser.TokenLength()) <= row.size());
        for (std::size_t i = end; i < offset; ++i)
            Check(IsBlank(static_cast<unsigned char>(row[i])));
        end = offset + static_cast<std::size_t>(parser.TokenLength());
        parser.TokenColor();
        Check(parser.TokenText().size() == static_cast<std::size_t>(parser.TokenLength()));
    }
}

void CheckRow(TFountainParser &parser, TEditorFountain &fountain, std::string_view row,
              const TRowParseState &state)
{
    parser.StartRow(row, state);
    CheckTokens(parser, fountain, row);
}

// Painting a row with the row it wraps into in view: the tokens still tile the row alone.
void CheckPaintedRow(TFountainParser &parser, TEditorFountain &fountain, const TParserRowList &rows, int row,
                     const TRowParseState &state)
{
    parser.StartRow(rows, row, state);
    CheckTokens(parser, fountain, rows.RowText(row));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 8)
        return 0;
    const std::uint8_t flags = data[0];
    TRowParseState state;
    state.Bracket = data[1] % 18 - 3;  // -3 .. 14: off, none, items and one past the limit
    state.PrevToken = data[2];
    state.WrappedByte = data[3];
    state.Element = data[4] & 15;
    state.TokenExtra = data[5];
    const char separator = static_cast<char>(data[6]);
    const std::uint8_t wrapBits = data[7];

    static TEditorFountain fountain;
    static TStringList words;
    if (words.Count() == 0) {
        for (const char *word : {"select", "from", "-", "\x88\x9f", "by", "x"})
            words.Add(word);
        fountain.SetReserveWordList(&words);
    }
    fountain.SetMail(flags & 1);
    fountain.SetUrl(flags & 2);
    fountain.SetControlCode(flags & 4);
    fountain.SetHexPrefix((flags & 8) ? "0x" : "");
    fountain.SetQuotation((flags & 16) ? "'" : "");
    fountain.SetCommenter((flags & 32) ? "--" : "\x81\x40");
    fountain.Brackets()->Clear();
    fountain.Brackets()->AddBracket("/*", "*/");
    if (flags & 64) {
        fountain.Brackets()->AddBracket("{", "}");
        fountain.Brackets()->AddBracket("<", "");
        fountain.Brackets()->AddBracket("\x82\xa0", "\x82\xa2");
    }

    TRows rows;
    std::string current;
    for (std::size_t i = 8; i < size; ++i) {
        if (static_cast<char>(data[i]) == separator) {
            rows.Rows.push_back(current);
            current.clear();
        } else {
            current.push_back(static_cast<char>(data[i]));
        }
    }
    rows.Rows.push_back(current);
    for (std::size_t i = 0; i < rows.Rows.size(); ++i)
        rows.Attributes.push_back((wrapBits >> (i % 8)) & 1 ? raWrapped : raCrlf);
    rows.Attributes.back() = raEof;

    const auto parser = fountain.CreateParser();
    for (int row = 0; row < rows.RowCount(); ++row) {
        const TRowParseState start = state;
        CheckRow(*parser, fountain, rows.RowText(row), start);
        CheckPaintedRow(*parser, fountain, rows, row, start);
        parser->AdvanceRowState(row, rows, state);
        Check(state.WrappedByte >= 0 && state.WrappedByte <= 255);
        Check(state.Bracket >= -3 && state.Bracket <= 14);
        Check(state.Element >= 0 && state.Element <= 15);
        // The state handed on is one the next row can be painted with.
        if (row + 1 < rows.RowCount())
            CheckRow(*parser, fountain, rows.RowText(row + 1), state);
    }
    return 0;
}
