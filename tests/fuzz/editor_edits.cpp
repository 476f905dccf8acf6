// Sets a random text (any bytes: stray lead bytes, NUL, lone CR and LF) in an editor, applies
// random edits through the selection, Lines, DeleteRow and the messages, with word wrap and
// the line-breaking options taken from the input, and checks after every step that the rows
// tile the text and that undoing everything gives the first text back.
//
// Input layout: 2 option bytes, then the text up to the first 0xFF 0xFF pair, then edits of
// 4 bytes each (kind, two position bytes, a length byte followed by that many text bytes).
#include "editor/edit_messages.h"
#include "editor/editor_model.h"
#include "editor/editor_strings.h"
#include "syntax/editor_fountain.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// Rows never hold a line break, only the last may be raEof, and the text is their join.
void CheckRows(const TEditorModel &editor)
{
    const TEditorScreenStrings &store = editor.Store();
    const int count = store.Count();
    std::int64_t length = 0;
    for (int r = 0; r < count; ++r) {
        const std::string_view row = store.View(r);
        Check(row.find_first_of("\r\n") == std::string_view::npos);
        Check(r == count - 1 || store.RowAttribute(r) != raEof);
        Check(store.RowAttribute(r) != raInvalid);
        Check(store.WordWrap() || store.RowAttribute(r) != raWrapped);
        length += static_cast<std::int64_t>(row.size()) + (store.RowAttribute(r) == raCrlf ? 2 : 0);
    }
    Check(length == editor.TextLength());
    Check(editor.Row() >= 0 && editor.Row() <= count && editor.Col() >= 0 && editor.Col() <= 1001);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::uint8_t options = data[0];
    const std::uint8_t wrap = data[1];
    std::string_view input(reinterpret_cast<const char *>(data + 2), size - 2);
    const std::size_t split = input.find("\xFF\xFF");
    const std::string_view text = input.substr(0, split);
    std::string_view edits = split == std::string_view::npos ? std::string_view() : input.substr(split + 2);

    TEditorFountain fountain;
    fountain.EditorBrackets()->AddBracket("/*", "*/");
    fountain.SetQuotation("'");
    TEditorModel editor;
    editor.SetFountain(&fountain);
    editor.SetUndoListMax(1 << 20);
    editor.SetCaretRules({(options & 1) != 0, (options & 2) != 0, (options & 4) != 0, 2 + (options >> 3) % 7});
    editor.SetWordWrap((options & 0x80) != 0);
    editor.WrapOption()->SetWrapByte(20 + wrap % 40);
    editor.WrapOption()->SetWordBreak((wrap & 0x40) != 0);
    editor.WrapOption()->SetLeading((wrap & 0x80) != 0);
    editor.WrapOption()->SetFollowPunctuation((wrap & 0x20) != 0);
    editor.WrapOption()->SetFollowRetMark((options & 0x40) != 0);
    editor.SetText(text);
    const std::string initial = editor.Text();
    CheckRows(editor);

    int steps = 0;
    while (edits.size() >= 4 && steps++ < 200) {
        const auto kind = static_cast<std::uint8_t>(edits[0]);
        const int a = static_cast<std::uint8_t>(edits[1]);
        const int b = static_cast<std::uint8_t>(edits[2]);
        const std::size_t n = std::min<std::size_t>(static_cast<std::uint8_t>(edits[3]) % 16, edits.size() - 4);
        const std::string s(edits.substr(4, n));
        edits.remove_prefix(4 + n);
        const int rows = editor.RowCount();
        switch (kind % 8) {
        case 0:
            editor.SetSelStart(a * 7);
            editor.SetSelLength(b);
            editor.SetSelText(s);
            break;
        case 1:
            editor.SetCaretPosition(a % (rows + 2), b);
            editor.SetSelText(s);
            break;
        case 2:
            editor.DeleteRow(a % (rows + 2) - 1);
            break;
        case 3:
            if (a < editor.Lines()->Count())
                editor.Lines()->Put(a, s);
            else
                editor.Lines()->Add(s);
            break;
        case 4:
            if (a < editor.Lines()->Count())
                editor.Lines()->Delete(a);
            break;
        case 5:
            editor.Perform(EM_SETSEL, static_cast<std::uintptr_t>(a), b);
            editor.Perform(WM_CLEAR, 0, 0);
            break;
        case 6:
            editor.Store().ReplaceRows(a % (rows + 2) - 1, b % 3, s);
            break;
        default:
            editor.PutMark(a % (rows + 1), b % 16);
            editor.SetCol(b * 5);
            break;
        }
        CheckRows(editor);
    }
    while (editor.CanUndo())
        editor.Undo();
    CheckRows(editor);
    Check(editor.Text() == initial);
    return 0;
}
