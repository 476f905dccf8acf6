// Display width of UTF-8 text on a terminal: the client lines up columns by what the eye sees,
// so a Japanese character takes two columns and a combining mark none.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace localdb::client {

// Columns the text occupies; malformed bytes count one column each.
int displayWidth(std::string_view text);

// The longest leading part of text that fits in width columns, never splitting a character.
std::string_view leadingColumns(std::string_view text, int width);

// text followed by blanks up to width columns (text itself is not cut).
std::string padRight(std::string_view text, int width);
// Blanks up to width columns, then text.
std::string padLeft(std::string_view text, int width);

// Pieces of at most width columns each, cut at character boundaries; breaks at line feeds too.
// An empty text gives one empty piece.
std::vector<std::string> wrapToWidth(std::string_view text, int width);

}  // namespace localdb::client
