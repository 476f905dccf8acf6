// UNISTR, ASCIISTR, COMPOSE and DECOMPOSE: text written with UTF-16 escapes, and the composed
// and decomposed Unicode forms of accented letters and voiced kana.
#pragma once

#include <string>
#include <string_view>

namespace localdb::functions {

// \hhhh is one UTF-16 unit (a surrogate pair makes one character), \\ a backslash; any other
// backslash is ORA-30186.
std::string unistrText(std::string_view text);
// Every character outside ASCII, and the backslash, as \hhhh in upper-case hexadecimal.
std::string asciistrText(std::string_view text);
std::string composeText(std::string_view text);
std::string decomposeText(std::string_view text);

}  // namespace localdb::functions
