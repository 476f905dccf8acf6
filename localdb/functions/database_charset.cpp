// Conversion between the stored UTF-8 and the database character set.
#include "localdb/functions/database_charset.h"

#include "classlib/cp932.h"
#include "localdb/functions/utf8_text.h"

namespace localdb::functions {

DatabaseCharset charsetFor(std::string_view name)
{
    if (name == "JA16SJIS" || name == "JA16SJISTILDE" || name == "JA16SJISYEN")
        return DatabaseCharset::ShiftJis;
    return DatabaseCharset::Utf8;
}

std::string toDatabaseBytes(std::string_view utf8, DatabaseCharset charset)
{
    if (charset == DatabaseCharset::ShiftJis)
        return cp932::Utf8ToCp932(utf8);
    return std::string(utf8);
}

std::string fromDatabaseBytes(std::string_view bytes, DatabaseCharset charset)
{
    if (charset == DatabaseCharset::ShiftJis)
        return cp932::Cp932ToUtf8(bytes);
    // Stray bytes become U+FFFD so that only valid UTF-8 is ever stored.
    return utf8::encode(utf8::decode(bytes));
}

std::size_t databaseCharLength(std::string_view bytes, std::size_t pos, DatabaseCharset charset)
{
    if (charset == DatabaseCharset::ShiftJis)
        return cp932::CharLength(bytes, pos);
    return utf8::charLength(bytes, pos);
}

}  // namespace localdb::functions
