// Shared helpers for the syntax tests: the SQL-configured fountain the worksheet uses, a row list
// held in vectors, token lists that print readably, and code page 932 text from UTF-8 literals.
#pragma once

#include "classlib/cp932.h"
#include "syntax/editor_fountain.h"
#include "syntax/editor_parser.h"
#include "syntax/parser_row_list.h"

#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace syntax_test {

// Code page 932 bytes of a UTF-8 literal.
inline std::string Sj(std::string_view utf8) { return cp932::Utf8ToCp932(utf8); }

struct Tok {
    TTokenKind Kind;
    int Offset;
    int Length;
    friend bool operator==(const Tok &, const Tok &) = default;
};
void PrintTo(const Tok &tok, std::ostream *out);

// The tokens of one row started with state (up to the first ftEnd).
std::vector<Tok> Tokenise(TFountainParser &parser, std::string_view row,
                          const TRowParseState &state = TRowParseState{});

// A fountain set up as the worksheet sets up its editors: commenter "--", one bracket "/*" "*/"
// (green on white, bold), quotation "'", the given reserved words (blue on white, bold).
std::unique_ptr<TEditorFountain> SqlFountain(const std::vector<std::string> &reserved = {
                                                 "select", "from", "where", "by", "order"});

// Rows in vectors; the last row is raEof unless given otherwise.
class TVectorRowList : public TParserRowList {
public:
    TVectorRowList() = default;
    // One row per line, raCrlf, the last raEof.
    static TVectorRowList FromLines(const std::vector<std::string> &lines);
    void Add(std::string text, TRowAttribute attribute);

    int RowCount() const override { return static_cast<int>(Rows.size()); }
    std::string_view RowText(int row) const override { return Rows[static_cast<std::size_t>(row)]; }
    TRowAttribute RowAttribute(int row) const override
    {
        return Attributes[static_cast<std::size_t>(row)];
    }

    std::vector<std::string> Rows;
    std::vector<TRowAttribute> Attributes;
};

// States at the start of every row, from the initial state, one parser for the run (as the
// editor's full re-parse does); the result has RowCount() + 1 entries.
std::vector<TRowParseState> AllStates(TFountain &fountain, const TParserRowList &rows);

} // namespace syntax_test
