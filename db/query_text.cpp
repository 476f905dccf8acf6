// The first word of a statement.
#include "db/query_text.h"

#include "classlib/cp932.h"

namespace db {

namespace {

bool IsWordByte(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x80 || c == '_' || c == '$' || c == '#' || (c >= '0' && c <= '9') ||
           (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The offset of the first byte that is neither blank, nor part of a comment, nor "(".
std::size_t FirstWordStart(std::string_view sql)
{
    std::size_t i = 0;
    while (i < sql.size()) {
        if (static_cast<unsigned char>(sql[i]) <= 0x20 || sql[i] == '(') {
            ++i;
        } else if (sql.substr(i, 2) == "--") {
            const std::size_t end = sql.find_first_of("\r\n", i);
            i = end == std::string_view::npos ? sql.size() : end;
        } else if (sql.substr(i, 2) == "/*") {
            const std::size_t end = sql.find("*/", i + 2);
            i = end == std::string_view::npos ? sql.size() : end + 2;
        } else {
            break;
        }
    }
    return i;
}

} // namespace

std::string NonQueryCommand(std::string_view sql)
{
    const std::size_t start = FirstWordStart(sql);
    std::size_t end = start;
    while (end < sql.size() && IsWordByte(sql[end]))
        ++end;
    const std::string word = cp932::UpperCase(sql.substr(start, end - start));
    if (word.empty() || word == "SELECT" || word == "WITH")
        return {};
    return word;
}

} // namespace db
