// Comment removal, classification and the history rule of the worksheet.
#include "sql/statement_text.h"

#include "classlib/cp932.h"

namespace worksheet {

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

bool StartsWithUpper(std::string_view text, std::string_view word)
{
    if (text.size() < word.size())
        return false;
    return cp932::UpperCase(text.substr(0, word.size())) == word;
}

} // namespace

namespace {

// Removes every comment from opener to closer (closer included), in one pass. The text kept so
// far never holds the opener, so an opener that forms where a removed comment joined its
// neighbours (a "/" before it and a "*" after it) is found, as repeated searching from the start
// would find it. An opener without a closer after it ends the removal when dropUnclosed is false
// (the rest stays as it is) and removes the rest when it is true.
std::string RemoveDelimited(std::string_view text, std::string_view opener, std::string_view closer,
                            bool dropUnclosed)
{
    std::string kept;
    kept.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        kept += text[i++];
        if (kept.size() < 2 || kept.compare(kept.size() - 2, 2, opener) != 0)
            continue;
        const std::size_t close = text.find(closer, i);
        if (close == std::string_view::npos) {
            if (dropUnclosed)
                kept.resize(kept.size() - 2);
            else
                kept.append(text.substr(i));
            break;
        }
        kept.resize(kept.size() - 2);
        i = close + closer.size();
    }
    return kept;
}

} // namespace

std::string RemoveComments(std::string_view text)
{
    // Block comments first, then line comments up to and including their CR LF; a line comment
    // on the last line runs to the end of the text.
    return RemoveDelimited(RemoveDelimited(text, "/*", "*/", false), "--", "\r\n", true);
}

std::string_view TrimBlanks(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

TStatementKind ClassifyStatement(std::string_view statement)
{
    std::size_t begin = 0;
    while (begin < statement.size() && IsBlank(statement[begin]))
        ++begin;
    const std::string_view text = statement.substr(begin);
    if (StartsWithUpper(text, "SELECT"))
        return TStatementKind::Query;
    if (StartsWithUpper(text, "COMMIT"))
        return TStatementKind::Commit;
    if (StartsWithUpper(text, "ROLLBACK"))
        return TStatementKind::Rollback;
    if (StartsWithUpper(text, "DESC "))
        return TStatementKind::Describe;
    if (StartsWithUpper(text, "TRUNCATE "))
        return TStatementKind::Truncate;
    return TStatementKind::Other;
}

std::string DescribedName(std::string_view statement)
{
    std::size_t begin = 0;
    while (begin < statement.size() && IsBlank(statement[begin]))
        ++begin;
    return cp932::UpperCase(statement.substr(std::min(statement.size(), begin + 5)));
}

bool HistoryAccepts(const std::vector<std::string> &items, std::string_view text)
{
    // A text of blanks alone is no statement worth keeping.
    const std::string_view trimmed = TrimBlanks(text);
    if (trimmed.empty())
        return false;
    for (const std::string &item : items) {
        if (TrimBlanks(item) == trimmed)
            return false;
    }
    return true;
}

std::string LongBinaryQuery(std::string_view field, std::string_view statement, int record)
{
    // The name goes in double quotes with its own quotes doubled, so that a column named by an
    // expression or holding a quote still names the column instead of breaking the query.
    std::string query = "select rawtohex(\"";
    for (char c : field) {
        query += c;
        if (c == '"')
            query += '"';
    }
    query += "\") from (";
    query += statement;
    query += ") where rownum<=";
    query += std::to_string(record);
    return query;
}

} // namespace worksheet
