// The dictionary query behind "DESC name": one row per column of the user's own table, with its
// type, nullability, key marks and comment.
#pragma once

#include <string>
#include <string_view>

namespace worksheet {

// name is trimmed of blanks and control characters and placed between quotes with its own
// quotes doubled, so no name changes what the query does.
std::string ColumnDescriptionQuery(std::string_view name);

} // namespace worksheet
