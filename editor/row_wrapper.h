// Word wrap: cutting a logical line into screen rows by the row width and the Japanese
// line-breaking options, and splitting a text into rows (cut when word wrap is on).
#pragma once

#include "editor/wrap_option.h"

#include <functional>
#include <string_view>
#include <vector>

class TRowAttributeStringList;

namespace editor {

// Byte lengths of the rows one logical line (no line break in it) is cut into; a line that
// fits gives one row. The line's rows are these slices in order; all but the last continue on
// the next row. A line of exactly the row width ends with an empty row unless FollowRetMark.
std::vector<int> CutLine(std::string_view line, const TWrapRules &rules);

// Calls f(line) for each line of text split at CR, LF or CR LF; a final line break adds no
// empty line, and an empty text has no lines. Returns true when the text ends with a break.
bool ForEachLine(std::string_view text, const std::function<void(std::string_view)> &f);

// Appends the rows of text to rows: each line's last row raCrlf, the rows before it raWrapped.
// Without word wrap every line is one row.
void WrapText(std::string_view text, bool wordWrap, const TWrapRules &rules, TRowAttributeStringList &rows);

// The number of rows WrapText would append.
int CountTextRows(std::string_view text, bool wordWrap, const TWrapRules &rules);

} // namespace editor
