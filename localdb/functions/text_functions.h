// Oracle's character functions on UTF-8 text, counting characters as code points. A result that
// would be empty is returned as nullopt: Oracle has no empty string, so such results are NULL.
// Positions and lengths arrive as numbers and are truncated toward zero as Oracle does.
#pragma once

#include "localdb/functions/database_charset.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace localdb::functions {

using OptionalText = std::optional<std::string>;

// Longest text LPAD and RPAD build, in display columns: the VARCHAR2 limit of SQL, which also
// keeps LPAD('x', 1e12) from exhausting memory.
inline constexpr std::int64_t kMaxPadLength = 4000;

// Longest text a function builds, SQLite's own limit on a value; REPLACE raises ORA-01489 beyond it.
inline constexpr std::size_t kMaxTextBytes = 1000000000;

// SUBSTR: position 0 is 1, a negative position counts from the end, past either end -> NULL;
// length below 1 -> NULL; no length -> to the end.
OptionalText substr(std::string_view text, double position, std::optional<double> length);
// SUBSTRB: the same in bytes of the database character set; a character cut by either end
// becomes blanks.
OptionalText substrb(std::string_view text, double position, std::optional<double> length, DatabaseCharset charset);

// INSTR: position of the occurrence-th match searching forward from position, or backward from
// the position counted from the end when it is negative; 0 when none or position is 0.
// ORA-01428 for an occurrence below 1.
std::int64_t instr(std::string_view text, std::string_view search, double position, double occurrence);
std::int64_t instrb(std::string_view text, std::string_view search, double position, double occurrence,
                    DatabaseCharset charset);

std::int64_t lengthOf(std::string_view text);
std::int64_t lengthbOf(std::string_view text, DatabaseCharset charset);

// LPAD and RPAD pad to a display width (a full-width character takes two columns) and truncate
// longer text; a length below 1 -> NULL.
OptionalText lpad(std::string_view text, double length, std::string_view padding);
OptionalText rpad(std::string_view text, double length, std::string_view padding);

// LTRIM and RTRIM remove characters of set from one end; TRIM from the ends asked for.
OptionalText trimCharacters(std::string_view text, std::string_view set, bool leading, bool trailing);

std::string upperText(std::string_view text);
std::string lowerText(std::string_view text);
std::string initcapText(std::string_view text);

// REPLACE: an empty search returns the text as it is; an empty replacement removes the matches.
OptionalText replaceText(std::string_view text, std::string_view search, std::string_view replacement);
// TRANSLATE: characters of from map to the same position in to, or are deleted beyond its end.
OptionalText translateText(std::string_view text, std::string_view from, std::string_view to);
// SOUNDEX: four characters, NULL when the text has no letter.
OptionalText soundexText(std::string_view text);

// CHR: the character whose code in the database character set is code (ORA-01428 for a
// negative code or one beyond four bytes). ASCII: the code of the first character.
std::string chrText(double code, DatabaseCharset charset);
std::int64_t asciiCode(std::string_view text, DatabaseCharset charset);

}  // namespace localdb::functions
