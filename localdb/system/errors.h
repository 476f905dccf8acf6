// The engine's one table of Oracle messages: every failure the core raises is looked up here by
// its ORA code, so the texts live in one place and stay exactly as clients expect them.
//
// Error policy: a failure that ends a statement is thrown as localdb::Error (code, full text,
// byte position of the offending token or -1). Expected outcomes (no such object while probing a
// name, an empty result) are return values, never exceptions.
#pragma once

#include "localdb/localdb.h"

#include <initializer_list>
#include <string>
#include <string_view>

namespace localdb {

// The message template of an ORA code ("table or view does not exist"); "%s" marks each argument.
// Unknown codes give an empty view.
std::string_view messageTemplate(int code);

// "ORA-00942: table or view does not exist" with the arguments put in place of each "%s".
std::string formatOracleMessage(int code, std::initializer_list<std::string_view> args = {});

// Throws localdb::Error for the code, its formatted text and the position (-1: none).
[[noreturn]] void raise(int code, int position = -1, std::initializer_list<std::string_view> args = {});

// Reads "ORA-01722: ..." back into its code; 0 when the text does not start with an ORA prefix.
int oracleCodeOf(std::string_view message);

}  // namespace localdb
