// Scanner for bind variables; it runs on the UTF-8 text sent to the engine, where no byte of a
// multi-byte character can look like a quote or a colon.
#include "db/bind_names.h"

#include <algorithm>

namespace db {

namespace {
bool IsNameByte(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '$' || c == '#';
}
} // namespace

std::vector<std::string> BindNamesInStatement(std::string_view sql)
{
    std::vector<std::string> names;
    const std::size_t n = sql.size();
    std::size_t i = 0;
    auto skipTo = [&](std::string_view end) {
        const std::size_t found = sql.find(end, i);
        i = found == std::string_view::npos ? n : found + end.size();
    };
    while (i < n) {
        const char c = sql[i];
        if (c == '\'') {
            ++i;
            skipTo("'");  // a doubled quote is two strings in a row: the same result
        } else if (c == '"') {
            ++i;
            skipTo("\"");
        } else if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
            skipTo("\n");
        } else if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
            i += 2;
            skipTo("*/");
        } else if (c == ':' && i + 1 < n && IsNameByte(sql[i + 1])) {
            std::size_t end = i + 1;
            while (end < n && IsNameByte(sql[end])) ++end;
            std::string name(sql.substr(i + 1, end - i - 1));
            for (char &ch : name) {
                if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
            }
            if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(std::move(name));
            i = end;
        } else {
            ++i;
        }
    }
    return names;
}

} // namespace db
