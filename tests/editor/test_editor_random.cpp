// Thousands of random edits, each compared with a plain vector of lines, then undone back to
// the original text and rows, with word wrap off and on. After every step the rows must be
// exactly what wrapping the text afresh gives, and every stored parser state must be what a
// fresh parse gives.
#include "editor/attribute_string.h"
#include "editor/row_wrapper.h"
#include "editor_test_support.h"
#include "syntax/editor_fountain.h"

#include <gtest/gtest.h>

#include <random>

using namespace editor_test;

namespace {

// The reference: lines and whether the text ends with a line break.
struct TReference {
    std::vector<std::string> Lines;
    bool FinalBreak = false;

    // An empty last line without a break is no line: the text ends with the break before it.
    void Normalize()
    {
        if (!FinalBreak && !Lines.empty() && Lines.back().empty()) {
            Lines.pop_back();
            FinalBreak = !Lines.empty();
        }
    }
    std::string Text() const
    {
        std::string text;
        for (std::size_t i = 0; i < Lines.size(); ++i) {
            if (i)
                text += "\r\n";
            text += Lines[i];
        }
        if (FinalBreak && !Lines.empty())
            text += "\r\n";
        return text;
    }
    static TReference FromText(const std::string &text)
    {
        TReference ref;
        std::size_t start = 0;
        for (;;) {
            const std::size_t pos = text.find("\r\n", start);
            if (pos == std::string::npos)
                break;
            ref.Lines.push_back(text.substr(start, pos - start));
            start = pos + 2;
        }
        if (start < text.size())
            ref.Lines.push_back(text.substr(start));
        else
            ref.FinalBreak = !text.empty();
        return ref;
    }
};

// Offset of the start of the character holding the byte at pos, in a CR LF separated text.
std::int64_t CharacterStart(const std::string &text, std::size_t pos)
{
    std::size_t start = 0;
    for (std::size_t found; (found = text.find("\r\n", start)) != std::string::npos && found + 2 <= pos;)
        start = found + 2;
    const std::string_view row = std::string_view(text).substr(start, text.find("\r\n", start) - start);
    std::size_t i = 0;
    while (i < row.size() && start + i < pos) {
        const auto length = static_cast<std::size_t>(editor::CharLengthAt(row, i));
        if (start + i + length > pos)
            break;
        i += length;
    }
    return static_cast<std::int64_t>(start + i);
}

struct TConfig {
    const char *Name;
    bool WordWrap;
    bool WordBreak;
};

class EditorRandom : public ::testing::TestWithParam<TConfig> {
protected:
    std::mt19937 random{20261207};
    TEditorFountain fountain;
    TRecordingDisplay display;
    TEditorModel editor;
    TEditorStrings &lines = *editor.Lines();

    int Pick(int from, int to) { return std::uniform_int_distribution<int>(from, to)(random); }

    std::string RandomText(int maxPieces)
    {
        static const std::vector<std::string> pieces = {
            "a", "bc", " ", "\t", "/*", "*/", "'", Hira, Hyou, Kakko, Maru, "\r\n", "\r\n", "xyz ", "\x82",
            std::string(1, '\0'), std::string(23, 'w'), "--", "12.5"};
        std::string text;
        const int n = Pick(0, maxPieces);
        for (int i = 0; i < n; ++i)
            text += pieces[static_cast<std::size_t>(Pick(0, static_cast<int>(pieces.size()) - 1))];
        return text;
    }
    std::string RandomLine()
    {
        std::string line = RandomText(6);
        for (std::size_t p; (p = line.find("\r\n")) != std::string::npos;)
            line.erase(p, 2);
        return line;
    }

    void CheckAgainst(const TReference &ref, int step)
    {
        const std::string expected = ref.Text();
        ASSERT_EQ(editor.Text(), expected) << "step " << step;
        ASSERT_EQ(editor.TextLength(), static_cast<std::int64_t>(expected.size()));
        ASSERT_EQ(lines.Count(), static_cast<int>(ref.Lines.size())) << "step " << step;
        if (!ref.Lines.empty()) {
            const int i = Pick(0, static_cast<int>(ref.Lines.size()) - 1);
            ASSERT_EQ(lines.Get(i), ref.Lines[static_cast<std::size_t>(i)]) << "step " << step;
        }
        CheckRows(step);
    }

    void CheckRows(int step)
    {
        const TEditorScreenStrings &store = editor.Store();
        const int count = store.Count();
        // The rows are exactly what the text wraps into.
        TEditorStringList fresh;
        editor::WrapText(store.Text(), store.WordWrap(), store.WrapRules(), fresh);
        if (fresh.Count() > 0 && count > 0)
            fresh.SetRowAttribute(fresh.Count() - 1, store.RowAttribute(count - 1));
        ASSERT_EQ(Rows(store), Rows(fresh)) << "step " << step;
        for (int r = 0; r + 1 < count; ++r)
            ASSERT_NE(store.RowAttribute(r), raEof) << "step " << step;
        // Stored states agree with a fresh parse.
        auto parser = fountain.CreateParser();
        TRowParseState state;
        for (int r = 0; r < count; ++r) {
            const TRowParseState stored = store.ParseState(r);
            if (stored.Bracket != -2) {
                ASSERT_EQ(stored, state) << "row " << r << " step " << step;
            }
            parser->AdvanceRowState(r, store, state);
        }
        // Marks in use are exactly the union of the rows' marks.
        std::uint16_t used = 0;
        for (int r = 0; r < count; ++r)
            used = static_cast<std::uint16_t>(used | store.RowMarks(r));
        ASSERT_EQ(editor.UsedMarks(), used);
    }

    // One random edit; returns false when it changed nothing.
    bool RandomEdit(TReference &ref)
    {
        const int lineCount = static_cast<int>(ref.Lines.size());
        switch (Pick(0, 9)) {
        case 0:
            if (lineCount == 0)
                return false;
            {
                const int i = Pick(0, lineCount - 1);
                const std::string s = RandomLine();
                lines.Put(i, s);
                ref.Lines[static_cast<std::size_t>(i)] = s;
            }
            return true;
        case 1: {
            const int i = Pick(0, lineCount);
            const std::string s = RandomLine();
            lines.Insert(i, s);
            if (i == lineCount && !ref.FinalBreak && lineCount > 0) {
                ref.Lines.push_back(s);  // Add after a last line without a break
            } else {
                ref.Lines.insert(ref.Lines.begin() + i, s);
                if (lineCount == 0)
                    ref.FinalBreak = true;
            }
            return true;
        }
        case 2:
            if (lineCount == 0)
                return false;
            {
                const int i = Pick(0, lineCount - 1);
                lines.Delete(i);
                ref.Lines.erase(ref.Lines.begin() + i);
                if (i == lineCount - 1 && !ref.Lines.empty())
                    ref.FinalBreak = true;  // the line above keeps its break
                if (ref.Lines.empty())
                    ref.FinalBreak = false;
            }
            return true;
        case 3:
            if (editor.RowCount() > 0) {
                // The row's bytes go, with its line break if it has one.
                const TEditorScreenStrings &store = editor.Store();
                const int r = Pick(0, editor.RowCount() - 1);
                const auto start = static_cast<std::size_t>(store.OffsetOf(r, 0));
                const auto length = static_cast<std::size_t>(store.Length(r) + (store.RowAttribute(r) == raCrlf ? 2 : 0));
                std::string expected = ref.Text();
                expected.erase(start, length);
                editor.DeleteRow(r);
                ref = TReference::FromText(expected);
                return true;
            }
            return false;
        default: {
            // Replace a random byte range with random text, through the selection.
            const std::string text = ref.Text();
            const int length = static_cast<int>(text.size());
            editor.SetSelStart(Pick(0, length));
            editor.SetSelLength(Pick(0, 39) == 0 ? Pick(0, length / 3) : Pick(0, 6));
            const std::int64_t selStart = editor.SelStart();
            const std::int64_t selLength = editor.SelLength();
            EXPECT_EQ(editor.SelText(), text.substr(static_cast<std::size_t>(selStart),
                                                    static_cast<std::size_t>(selLength)));
            const std::string insert = RandomText(8);
            if (selLength == 0 && insert.empty())
                return false;
            if (Pick(0, 7) == 0 && editor.RowCount() > 0)
                editor.PutMark(Pick(0, editor.RowCount() - 1), Pick(0, 15));
            editor.SetSelText(insert);
            std::string updated = text;
            updated.replace(static_cast<std::size_t>(selStart), static_cast<std::size_t>(selLength), insert);
            ref = TReference::FromText(updated);
            // The caret stands after the inserted text, or at the start of the character that
            // place fell into (a stray lead byte may have joined the byte after it).
            const std::int64_t after = selStart + static_cast<std::int64_t>(insert.size());
            EXPECT_EQ(editor.SelStart(), CharacterStart(updated, static_cast<std::size_t>(after)));
            return true;
        }
        }
    }
};

TEST_P(EditorRandom, EditsMatchAPlainListOfLinesAndUndoRestoresEverything)
{
    const TConfig config = GetParam();
    fountain.EditorBrackets()->AddBracket("/*", "*/");
    fountain.SetQuotation("'");
    display.Rows = 4;
    editor.SetDisplay(&display);
    editor.SetFountain(&fountain);
    editor.SetUndoListMax(100000);
    editor.SetWordWrap(config.WordWrap);
    editor.WrapOption()->SetWrapByte(20);
    editor.WrapOption()->SetWordBreak(config.WordBreak);
    editor.WrapOption()->SetLeading(config.WordBreak);
    editor.WrapOption()->SetFollowPunctuation(config.WordBreak);

    std::string initial;
    for (int i = 0; i < 120; ++i)
        initial += RandomLine() + "\r\n";
    initial += "no break at the end " + Hira;
    editor.SetText(initial);
    const std::string initialRows = Rows(editor);
    TReference ref = TReference::FromText(initial);

    // History of reference states, mirrored by undo and redo.
    std::vector<TReference> undo;
    std::vector<TReference> redo;
    int wrappedRows = 0;
    std::int64_t longestText = 0;
    const int steps = 3000;
    for (int step = 0; step < steps; ++step) {
        const int action = Pick(0, 19);
        if (action == 0 && editor.CanUndo()) {
            editor.Undo();
            redo.push_back(ref);
            ref = undo.back();
            undo.pop_back();
        } else if (action == 1 && editor.CanRedo()) {
            editor.Redo();
            undo.push_back(ref);
            ref = redo.back();
            redo.pop_back();
        } else {
            const TReference before = ref;
            const int recorded = editor.Store().Undo().UndoList().Count();
            if (!RandomEdit(ref))
                continue;
            ref.Normalize();
            if (editor.Store().Undo().UndoList().Count() > recorded) {
                undo.push_back(before);
                redo.clear();
            }
        }
        CheckAgainst(ref, step);
        if (HasFatalFailure() || HasFailure())
            return;
        wrappedRows = std::max(wrappedRows, editor.RowCount() - lines.Count());
        longestText = std::max(longestText, editor.TextLength());
    }
    // The run reached texts long enough for wrapping to matter.
    EXPECT_GT(longestText, 1000);
    EXPECT_EQ(wrappedRows > 5, config.WordWrap);
    // Redo whatever the last steps undid, so that redoing everything later ends here.
    while (!redo.empty()) {
        ASSERT_TRUE(editor.CanRedo());
        editor.Redo();
        undo.push_back(ref);
        ref = redo.back();
        redo.pop_back();
        CheckAgainst(ref, steps);
    }
    const std::string finalText = editor.Text();
    while (editor.CanUndo())
        editor.Undo();
    EXPECT_EQ(editor.Text(), initial);
    EXPECT_EQ(Rows(editor), initialRows);
    CheckRows(-1);
    while (editor.CanRedo())
        editor.Redo();
    EXPECT_EQ(editor.Text(), finalText);
    CheckRows(-2);
}

INSTANTIATE_TEST_SUITE_P(Wrap, EditorRandom,
                         ::testing::Values(TConfig{"WrapOff", false, false}, TConfig{"WrapOn", true, false},
                                           TConfig{"WrapWithLineBreakingRules", true, true}),
                         [](const ::testing::TestParamInfo<TConfig> &param) { return param.param.Name; });

} // namespace
