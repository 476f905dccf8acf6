// Golden samples: sample texts whose expected token classes are written inline in a ".tokens"
// file beside them. Each sample is checked three ways, which must all give the same result:
// whole (one parser for the state run and the painting), row by row (a fresh parser for every
// row, as painting does), and after random edits kept up the way the editor keeps its stored
// states (re-parse from the row before the edit until a stored state matches), undone again.
//
// Format of a ".tokens" line: the row's start state ("-" for the initial one, else b<bracket>
// k<carried kind> w<carried length>), "|", then the row with each token written as
// {class}text; the class is R for a reserved word, else the token kind's name. Set
// KESTRIM_UPDATE_GOLDEN=1 to rewrite the files from the parser's output (then review the diff).
#include "syntax_test_support.h"

#include "syntax/oracle_reserved_words.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

using namespace syntax_test;

namespace {

const char *KindName(TTokenKind kind)
{
    switch (kind) {
    case ftSymbol: return "sym";
    case ftInteger: return "int";
    case ftFloat: return "float";
    case ftBracket: return "bracket";
    case ftComment: return "comment";
    case ftReserve: return "reserve";
    case ftTab: return "tab";
    case ftAnk: return "ank";
    case ftDbcsSymbol: return "dbcs";
    case ftZenkakuDigit: return "zdigit";
    case ftZenkakuAlpha: return "zalpha";
    case ftHiragana: return "hira";
    case ftKatakana: return "kata";
    case ftKanji: return "kanji";
    case ftKanaSymbol: return "kanasym";
    case ftHankakuKana: return "hkana";
    case ftUrl: return "url";
    case ftMail: return "mail";
    case ftHex: return "hex";
    case ftQuotation: return "str";
    case ftControlCode: return "ctl";
    case ftControlHex: return "ctlhex";
    default: return "?";
    }
}

std::string StateTag(const TRowParseState &state)
{
    if (state == TRowParseState{})
        return "-";
    std::ostringstream tag;
    tag << "b" << state.Bracket;
    if (state.PrevToken != 0)
        tag << " k" << int(state.PrevToken) << " w" << state.WrappedByte;
    return tag.str();
}

std::string RenderRow(TFountainParser &parser, std::string_view row, const TRowParseState &state)
{
    std::string out = StateTag(state) + "|";
    parser.StartRow(row, state);
    std::size_t pos = 0;
    while (parser.NextToken() != ftEnd) {
        const auto offset = static_cast<std::size_t>(parser.TokenOffset());
        out += cp932::Cp932ToUtf8(row.substr(pos, offset - pos));
        out += std::string("{") + (parser.IsReservedToken() ? "R" : KindName(parser.TokenKind())) + "}";
        out += cp932::Cp932ToUtf8(parser.TokenText());
        pos = offset + static_cast<std::size_t>(parser.TokenLength());
    }
    return out + cp932::Cp932ToUtf8(row.substr(std::min(pos, row.size())));
}

std::string ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> SplitLines(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Stored states kept up the way the editor keeps them.
class TStateKeeper {
public:
    TStateKeeper(TFountain &fountain, TVectorRowList &rows)
        : States(AllStates(fountain, rows)), FFountain(fountain), FRows(rows)
    {
        States.pop_back();  // one stored state per row
    }

    // Row a was replaced: its state is not computed any more; re-parse from the nearest computed
    // row before it until a stored state equals the computed one.
    void RowReplaced(int a)
    {
        States[static_cast<std::size_t>(a)].Bracket = -2;
        int row = a - 1;
        while (row >= 0 && States[static_cast<std::size_t>(row)].Bracket == -2)
            --row;
        TRowParseState state;
        if (row < 0) {
            row = 0;
            States[0] = state;
        } else {
            state = States[static_cast<std::size_t>(row)];
        }
        const auto parser = FFountain.CreateParser();
        for (; row + 1 < FRows.RowCount(); ++row) {
            parser->AdvanceRowState(row, FRows, state);
            TRowParseState &stored = States[static_cast<std::size_t>(row + 1)];
            if (stored == state)
                break;
            stored = state;
        }
    }

    std::vector<TRowParseState> States;

private:
    TFountain &FFountain;
    TVectorRowList &FRows;
};

class GoldenTest : public ::testing::TestWithParam<const char *> {
protected:
    void SetUp() override
    {
        const std::string name = GetParam();
        FSamplePath = std::string(KESTRIM_SYNTAX_GOLDEN_DIR) + "/" + name;
        for (const std::string &line : SplitLines(ReadFile(FSamplePath)))
            FLines.push_back(cp932::Utf8ToCp932(line));
        ASSERT_FALSE(FLines.empty()) << FSamplePath;
        if (name.ends_with(".sql")) {
            Fountain = SqlFountain(syntax::OracleReservedWords());
        } else {
            Fountain = SqlFountain({"and", "between"});
            Fountain->SetMail(true);
            Fountain->SetUrl(true);
            Fountain->SetControlCode(true);
            Fountain->SetHexPrefix("0x");
            Fountain->SetQuotation("\"");
            Fountain->Brackets()->AddBracket("{", "}");
            Fountain->Brackets()->AddBracket("(*", "*)");
        }
    }

    std::string RenderWhole(const TVectorRowList &rows)
    {
        const auto parser = Fountain->CreateParser();
        const auto states = AllStates(*Fountain, rows);
        std::string out;
        for (int row = 0; row < rows.RowCount(); ++row)
            out += RenderRow(*parser, rows.RowText(row), states[static_cast<std::size_t>(row)]) + "\n";
        return out;
    }

    std::string RenderStored(const TVectorRowList &rows, const std::vector<TRowParseState> &states)
    {
        std::string out;
        for (int row = 0; row < rows.RowCount(); ++row) {
            const auto parser = Fountain->CreateParser();
            out += RenderRow(*parser, rows.RowText(row), states[static_cast<std::size_t>(row)]) + "\n";
        }
        return out;
    }

    std::string FSamplePath;
    std::vector<std::string> FLines;
    std::unique_ptr<TEditorFountain> Fountain;
};

TEST_P(GoldenTest, WholeRowByRowAndAfterRandomEdits)
{
    TVectorRowList rows = TVectorRowList::FromLines(FLines);
    const std::string actual = RenderWhole(rows);
    const std::string goldenPath = FSamplePath + ".tokens";
    if (const char *update = std::getenv("KESTRIM_UPDATE_GOLDEN"); update != nullptr && *update == '1')
        std::ofstream(goldenPath, std::ios::binary) << actual;
    const std::string golden = ReadFile(goldenPath);
    ASSERT_EQ(actual, golden) << "whole: " << goldenPath;

    // Row by row: each row's state from its own parser, advanced from the row before.
    {
        std::string out;
        TRowParseState state;
        for (int row = 0; row < rows.RowCount(); ++row) {
            const auto painter = Fountain->CreateParser();
            out += RenderRow(*painter, rows.RowText(row), state) + "\n";
            const auto stepper = Fountain->CreateParser();
            stepper->AdvanceRowState(row, rows, state);
        }
        EXPECT_EQ(out, golden) << "row by row";
    }

    // Random edits, each kept up incrementally and then undone.
    const std::vector<std::string> pieces{"'", "/*", "*/", "--", "x", " ", "\"", "{", "}", "(*",
                                          "*)", "@a.b", "#", Sj("漢"), "\x82"};
    std::mt19937 random(20261207);
    TStateKeeper keeper(*Fountain, rows);
    for (int step = 0; step < 300; ++step) {
        const int a = static_cast<int>(random() % rows.Rows.size());
        std::string &text = rows.Rows[static_cast<std::size_t>(a)];
        const std::string original = text;
        const std::size_t at = text.empty() ? 0 : random() % (text.size() + 1);
        if (random() % 3 == 0 && !text.empty())
            text.erase(std::min(at, text.size() - 1), 1 + random() % 4);
        else
            text.insert(at, pieces[random() % pieces.size()]);
        keeper.RowReplaced(a);
        auto expected = AllStates(*Fountain, rows);
        expected.pop_back();
        ASSERT_EQ(keeper.States, expected) << "after editing row " << a << " at step " << step;
        text = original;
        keeper.RowReplaced(a);
    }
    EXPECT_EQ(RenderStored(rows, keeper.States), golden) << "after edits undone";
}

INSTANTIATE_TEST_SUITE_P(Samples, GoldenTest, ::testing::Values("worksheet.sql", "features.txt"),
                         [](const auto &sample) {
                             std::string name = sample.param;
                             return name.substr(0, name.find('.'));
                         });

// The samples again with every line wrapped into rows of a few bytes (never splitting a
// double-byte character): strings, comments and brackets go on over the wrapped rows, so every
// byte of them is painted with the same class as without wrapping (rows painted with the next
// row in view, as the editor paints wrapped rows), and the stored states kept up after edits
// equal a full recomputation.
class WrappedGoldenTest : public GoldenTest {};

// Class of every byte of the text, painted row by row with the computed states.
std::vector<std::string> ByteClasses(TFountain &fountain, const TVectorRowList &rows)
{
    const auto states = AllStates(fountain, rows);
    std::vector<std::string> classes;
    for (int row = 0; row < rows.RowCount(); ++row) {
        const auto parser = fountain.CreateParser();
        const std::string_view text = rows.RowText(row);
        std::vector<std::string> rowClasses(text.size(), "blank");
        parser->StartRow(rows, row, states[static_cast<std::size_t>(row)]);
        while (parser->NextToken() != ftEnd) {
            for (int i = 0; i < parser->TokenLength(); ++i)
                rowClasses[static_cast<std::size_t>(parser->TokenOffset() + i)] = KindName(parser->TokenKind());
        }
        classes.insert(classes.end(), rowClasses.begin(), rowClasses.end());
        if (rows.RowAttribute(row) != raWrapped)
            classes.push_back("eol");
    }
    return classes;
}

TEST_P(WrappedGoldenTest, LongTokensKeepTheirClassOverWrappedRows)
{
    const TVectorRowList lines = TVectorRowList::FromLines(FLines);
    for (const std::size_t width : {3u, 7u, 16u}) {
        TVectorRowList rows;
        for (const std::string &line : FLines) {
            std::size_t start = 0;
            do {
                std::size_t end = std::min(line.size(), start + width);
                if (end < line.size() && cp932::IsTrailByteAt(line, end))
                    ++end;
                rows.Add(line.substr(start, end - start), end < line.size() ? raWrapped : raCrlf);
                start = end;
            } while (start < line.size());
        }
        rows.Attributes.back() = raEof;

        const auto unwrapped = ByteClasses(*Fountain, lines);
        const auto wrapped = ByteClasses(*Fountain, rows);
        ASSERT_EQ(unwrapped.size(), wrapped.size());
        for (std::size_t i = 0; i < unwrapped.size(); ++i) {
            const std::string &c = unwrapped[i];
            if (c == "str" || c == "comment" || c == "bracket") {
                EXPECT_EQ(wrapped[i], c) << "byte " << i << " at width " << width;
            }
        }

        std::mt19937 random(static_cast<unsigned>(width));
        TStateKeeper keeper(*Fountain, rows);
        for (int step = 0; step < 200; ++step) {
            const int a = static_cast<int>(random() % rows.Rows.size());
            std::string &text = rows.Rows[static_cast<std::size_t>(a)];
            const std::string original = text;
            text.insert(text.empty() ? 0 : random() % (text.size() + 1), (random() & 1) ? "'" : "/*");
            keeper.RowReplaced(a);
            auto expected = AllStates(*Fountain, rows);
            expected.pop_back();
            ASSERT_EQ(keeper.States, expected) << "width " << width << ", row " << a;
            text = original;
            keeper.RowReplaced(a);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Samples, WrappedGoldenTest, ::testing::Values("worksheet.sql", "features.txt"),
                         [](const auto &sample) {
                             std::string name = sample.param;
                             return name.substr(0, name.find('.'));
                         });

} // namespace
