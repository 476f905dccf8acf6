// REGEXP_LIKE, REGEXP_SUBSTR, REGEXP_INSTR, REGEXP_REPLACE and REGEXP_COUNT on UTF-8 text.
// Positions are counted in characters, never in bytes, so that a double-byte character of the
// database is one position and no match starts or ends inside one. Positions, occurrences and
// options arrive as numbers and are truncated toward zero; those out of range raise ORA-01428.
#pragma once

#include "localdb/functions/regex_pattern.h"
#include "localdb/functions/text_functions.h"

#include <cstdint>
#include <string_view>

namespace localdb::functions {

bool regexpLike(const CompiledPattern &pattern, std::string_view text);

// subexpression 0 is the whole match; NULL when there is no such match or the group took no part.
OptionalText regexpSubstr(const CompiledPattern &pattern, std::string_view text, double position, double occurrence,
                          double subexpression);

// returnOption 0: the match's first character; 1: the character after it. 0 when there is none.
std::int64_t regexpInstr(const CompiledPattern &pattern, std::string_view text, double position, double occurrence,
                         double returnOption, double subexpression);

// occurrence 0 replaces every match; \1 to \9 in the replacement stand for the groups, \\ for a
// backslash.
OptionalText regexpReplace(const CompiledPattern &pattern, std::string_view text, std::string_view replacement,
                           double position, double occurrence);

std::int64_t regexpCount(const CompiledPattern &pattern, std::string_view text, double position);

}  // namespace localdb::functions
