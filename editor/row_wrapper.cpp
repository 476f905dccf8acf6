// Word wrap. The cut of a row depends only on the text from the row's start to a few columns
// past the row width, which is what lets the row store re-wrap from the edited row instead of
// from the start of the line.
#include "editor/row_wrapper.h"

#include "editor/attribute_string.h"
#include "editor/row_attribute_string_list.h"

namespace editor {

namespace {

// The character shown at column col of (text, attributes): both bytes of a double-byte one.
std::string_view CharAtColumn(std::string_view text, const TAttributeString &attributes, int col)
{
    if (attributes.At(col) == acEnd)
        return {};
    const int start = attributes.CharStartColumn(col);
    const auto byte = static_cast<std::size_t>(attributes.ByteAt(start));
    return text.substr(byte, attributes.At(start) == acLead ? 2 : 1);
}

// Column of the last column of the character before the one at col.
int StepBack(const TAttributeString &attributes, int col) { return attributes.CharStartColumn(col) - 1; }

// Length in bytes of the next row cut from rest (whose width reaches the row width).
int CutRow(std::string_view rest, const TAttributeString &attributes, const TWrapRules &rules)
{
    const int wrap = rules.WrapByte;
    const int width = attributes.Columns();
    int col = wrap;

    // A double-byte character never straddles the row end; otherwise, with WordBreak, the row
    // ends after a delimiter, a tab or a double-byte character, but not before a third of it.
    if (attributes.At(col) == acLead) {
        col -= 1;
    } else if (rules.WordBreak && width > wrap) {
        while (col > wrap / 3) {
            const char cls = attributes.At(col);
            if (cls == acDelimiter || cls == acTabFill || cls == acTrail)
                break;
            col = StepBack(attributes, col);
        }
    }

    // Punctuation may hang up to two columns past the row width.
    if (rules.FollowPunctuation) {
        while (col < wrap + 2) {
            const char next = attributes.At(col + 1);
            if (next == acEnd || !rules.Punctuation.Contains(CharAtColumn(rest, attributes, col + 1)))
                break;
            col = next == acLead ? col + 2 : col + 1;
        }
    }

    // An opening bracket does not end a row and a closing one does not begin one; the row gives
    // up at most a fifth of its width for this.
    if (rules.Leading && col < width) {
        const int limit = (wrap / 5) * 4;
        while (col > limit && rules.Lead.Contains(CharAtColumn(rest, attributes, col)))
            col = StepBack(attributes, col);
        if (width - col >= 2 && rules.Follow.Contains(CharAtColumn(rest, attributes, col + 1))) {
            while (col > limit && (rules.Lead.Contains(CharAtColumn(rest, attributes, col)) ||
                                   rules.Follow.Contains(CharAtColumn(rest, attributes, col + 1))))
                col = StepBack(attributes, col);
        }
    }

    const int bytes = attributes.BytesThrough(col);
    return bytes > 0 ? bytes : CharLengthAt(rest, 0);
}

} // namespace

std::vector<int> CutLine(std::string_view line, const TWrapRules &rules)
{
    const TColumnRules columns{rules.TabSpaceCount, true, rules.WrapByte};
    std::vector<int> rows;
    std::string_view rest = line;
    for (;;) {
        const TAttributeString attributes(rest, columns);
        if (attributes.Columns() < rules.WrapByte) {
            // The rest fits: it is the last row. When nothing is left after a full row, the
            // line-end mark takes an empty row of its own unless it may follow the last character.
            if (!rest.empty() || rows.empty() || !rules.FollowRetMark)
                rows.push_back(static_cast<int>(rest.size()));
            return rows;
        }
        const int bytes = CutRow(rest, attributes, rules);
        rows.push_back(bytes);
        rest.remove_prefix(static_cast<std::size_t>(bytes));
    }
}

bool ForEachLine(std::string_view text, const std::function<void(std::string_view)> &f)
{
    std::size_t start = 0;
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        f(text.substr(start, i - start));
        i += (c == '\r' && i + 1 < size && text[i + 1] == '\n') ? 2 : 1;
        start = i;
    }
    if (start < size) {
        f(text.substr(start));
        return false;
    }
    return size > 0;
}

void WrapText(std::string_view text, bool wordWrap, const TWrapRules &rules, TRowAttributeStringList &rows)
{
    ForEachLine(text, [&](std::string_view line) {
        if (!wordWrap) {
            rows.AddRow(line, raCrlf);
            return;
        }
        const std::vector<int> cuts = CutLine(line, rules);
        std::size_t pos = 0;
        for (std::size_t k = 0; k < cuts.size(); ++k) {
            rows.AddRow(line.substr(pos, static_cast<std::size_t>(cuts[k])),
                        k + 1 < cuts.size() ? raWrapped : raCrlf);
            pos += static_cast<std::size_t>(cuts[k]);
        }
    });
}

int CountTextRows(std::string_view text, bool wordWrap, const TWrapRules &rules)
{
    int count = 0;
    ForEachLine(text, [&](std::string_view line) {
        count += wordWrap ? static_cast<int>(CutLine(line, rules).size()) : 1;
    });
    return count;
}

} // namespace editor
