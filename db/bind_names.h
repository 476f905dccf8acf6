// The bind variables (":name") a statement text refers to, so that the database binds only the
// parameters a statement uses: parameters stay in the collection across statements.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace db {

// Upper-case names without the colon, in order of first use, each once. Colons inside quoted
// text, quoted identifiers and comments do not count, nor ":=" of PL/SQL.
std::vector<std::string> BindNamesInStatement(std::string_view sql);

} // namespace db
