// Box paste into the editor's rows.
#include "editor/editor_box_paste.h"

#include "editor/attribute_string.h"
#include "editor/editor_model.h"

#include <algorithm>
#include <vector>

namespace editor {

namespace {

// Lines separated by CR LF, CR or LF; a final line break does not start another line.
std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

// Byte index at which text inserted at column col goes into row (a column inside a double-byte
// character or a tab means after it), and the spaces needed first when the row is shorter.
std::pair<std::size_t, int> InsertPoint(std::string_view row, int col, const TColumnRules &rules)
{
    std::size_t i = 0;
    int c = 0;
    while (i < row.size() && c < col) {
        const int length = CharLengthAt(row, i);
        c += length == 2 ? 2 : row[i] == '\t' ? rules.TabWidthAt(c) : 1;
        i += static_cast<std::size_t>(length);
    }
    return {i, std::max(0, col - c)};
}

} // namespace

std::string SanitizePasted(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (!cp932::IsLeadByte(c)) {
            out += static_cast<char>(c);
            continue;
        }
        const unsigned char trail = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if ((trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC)) {
            out += static_cast<char>(c);
            out += static_cast<char>(trail);
            ++i;
        } else {
            out += '?';
        }
    }
    return out;
}

void BoxPaste(TEditorModel &model, std::string_view text)
{
    if (model.ReadOnly())
        return;
    const std::vector<std::string_view> lines = SplitLines(text);
    if (lines.empty())
        return;
    if (model.Selected())
        model.ClearSelection();
    TEditorScreenStrings &store = model.Store();
    const TColumnRules rules = model.ColumnRules();
    const int row = model.Row();
    const int col = model.Col();
    const int rows = model.RowCount();
    const int count = static_cast<int>(lines.size());
    // The rows from the caret row to the last one the lines reach are rebuilt as one text, so
    // that the paste is one change; rows past the end are added in the same text.
    const bool endsWithBreak = rows > 0 && store.RowAttribute(rows - 1) == raCrlf;
    std::string s;
    for (int k = 0; k < count; ++k) {
        const int r = row + k;
        const bool lastLine = k == count - 1;
        if (r < rows) {
            const std::string_view current = store.View(r);
            const auto [at, pad] = InsertPoint(current, col, rules);
            s.append(current.substr(0, at));
            s.append(static_cast<std::size_t>(pad), ' ');
            s.append(lines[static_cast<std::size_t>(k)]);
            s.append(current.substr(at));
            const TRowAttribute attribute = store.RowAttribute(r);
            if (attribute == raCrlf || (attribute == raEof && !lastLine))
                s += "\r\n";
        } else {
            s.append(static_cast<std::size_t>(col), ' ');
            s.append(lines[static_cast<std::size_t>(k)]);
            if (!lastLine || endsWithBreak)
                s += "\r\n";
        }
    }
    const int replaced = std::max(0, std::min(rows, row + count) - row);
    store.ReplaceRows(std::min(row, rows), replaced, s);
    model.SetCaretPosition(std::min(row, model.RowCount()), col);
}

} // namespace editor
