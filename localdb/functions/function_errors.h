// Oracle's errors raised by the built-in functions, thrown as localdb::Error with the exact
// message text so that the SQLite layer can pass it on unchanged.
#pragma once

#include <string>
#include <string_view>

namespace localdb::functions {

// Throws localdb::Error for a code with a fixed text ("ORA-01722: invalid number").
[[noreturn]] void raiseError(int code);

// ORA-01428: argument '<value>' is out of range.
[[noreturn]] void raiseOutOfRange(std::string_view valueText);

// The full message for a code with a fixed text; empty for an unknown code.
std::string errorText(int code);

}  // namespace localdb::functions
