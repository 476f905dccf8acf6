// Whether a statement text is a query, read from its first word, so that a dynaset is never made
// by running a statement that changes data or the schema and only then finding it is no query.
#pragma once

#include <string>
#include <string_view>

namespace db {

// The first word in upper case when it cannot begin a query (anything but SELECT or WITH, after
// blanks, comments and opening parentheses); empty when it can, or when the text has no word.
std::string NonQueryCommand(std::string_view sql);

} // namespace db
