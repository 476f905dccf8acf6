// The Oracle SQL and PL/SQL keywords that Kestrim's SQL editors colour as reserved words.
#pragma once

#include <string>
#include <vector>

namespace syntax {

// Lower-case keywords, in alphabetical order.
const std::vector<std::string> &OracleReservedWords();

} // namespace syntax
