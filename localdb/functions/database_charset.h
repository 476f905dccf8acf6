// Text in the database character set, for the functions that count or show bytes (LENGTHB,
// SUBSTRB, INSTRB, ASCII, CHR, RAWTOHEX of text). The engine stores UTF-8; a JA16SJIS database
// counts the bytes the text takes in code page 932, as an Oracle server with that character set
// does (a kanji is two bytes).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace localdb::functions {

enum class DatabaseCharset { ShiftJis, Utf8 };

// JA16SJIS (and other Shift-JIS names) -> ShiftJis; anything else -> Utf8.
DatabaseCharset charsetFor(std::string_view characterSetName);

std::string toDatabaseBytes(std::string_view utf8, DatabaseCharset charset);
std::string fromDatabaseBytes(std::string_view bytes, DatabaseCharset charset);

// Byte length of the character starting at pos of text in the database encoding (1 for a stray
// byte, 0 at the end).
std::size_t databaseCharLength(std::string_view bytes, std::size_t pos, DatabaseCharset charset);

}  // namespace localdb::functions
