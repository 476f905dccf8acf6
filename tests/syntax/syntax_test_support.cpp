// Shared helpers for the syntax tests.
#include "syntax_test_support.h"

namespace syntax_test {

void PrintTo(const Tok &tok, std::ostream *out)
{
    *out << "{kind " << int(tok.Kind) << ", at " << tok.Offset << ", length " << tok.Length << "}";
}

std::vector<Tok> Tokenise(TFountainParser &parser, std::string_view row, const TRowParseState &state)
{
    std::vector<Tok> tokens;
    parser.StartRow(row, state);
    for (TTokenKind kind = parser.NextToken(); kind != ftEnd; kind = parser.NextToken())
        tokens.push_back(Tok{kind, parser.TokenOffset(), parser.TokenLength()});
    return tokens;
}

std::unique_ptr<TEditorFountain> SqlFountain(const std::vector<std::string> &reserved)
{
    auto fountain = std::make_unique<TEditorFountain>();
    fountain->SetCommenter("--");
    fountain->SetQuotation("'");
    TFountainBracketItem *comment = fountain->Brackets()->AddBracket("/*", "*/");
    comment->ItemColor()->SetColor(clGreen);
    comment->ItemColor()->SetBkColor(clWhite);
    comment->ItemColor()->SetStyle(fsBold);
    fountain->Reserve()->SetColor(clBlue);
    fountain->Reserve()->SetBkColor(clWhite);
    fountain->Reserve()->SetStyle(fsBold);
    TStringList words;
    for (const std::string &word : reserved)
        words.Add(word);
    fountain->SetReserveWordList(&words);
    return fountain;
}

TVectorRowList TVectorRowList::FromLines(const std::vector<std::string> &lines)
{
    TVectorRowList list;
    for (const std::string &line : lines)
        list.Add(line, raCrlf);
    if (!list.Attributes.empty())
        list.Attributes.back() = raEof;
    return list;
}

void TVectorRowList::Add(std::string text, TRowAttribute attribute)
{
    Rows.push_back(std::move(text));
    Attributes.push_back(attribute);
}

std::vector<TRowParseState> AllStates(TFountain &fountain, const TParserRowList &rows)
{
    std::vector<TRowParseState> states;
    TRowParseState state;
    states.push_back(state);
    const auto parser = fountain.CreateParser();
    for (int row = 0; row < rows.RowCount(); ++row) {
        parser->AdvanceRowState(row, rows, state);
        states.push_back(state);
    }
    return states;
}

} // namespace syntax_test
