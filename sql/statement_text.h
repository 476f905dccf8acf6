// What the worksheet does with a statement's text before sending it: removing comments, trimming,
// classifying it by its first word, the history rule, and the extra query that reads a long
// binary cell as hexadecimal text. Texts are code page 932 bytes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace worksheet {

// Block comments "/*" ... "*/" first, then line comments "--" up to and including the CR LF
// after them, both found anywhere (quoted literals are not recognised). A "/*" without a "*/"
// after it is kept with the rest of the text, so removal always ends.
std::string RemoveComments(std::string_view text);

// Leading and trailing blanks and control characters (bytes up to 0x20) removed.
std::string_view TrimBlanks(std::string_view text);

enum class TStatementKind { Query, Commit, Rollback, Describe, Truncate, Other };

// By the statement's leading characters after blanks and control characters, in upper case:
// "SELECT", "COMMIT", "ROLLBACK", "DESC " and "TRUNCATE " (with their blanks; a tab after DESC
// does not count), anything else Other.
TStatementKind ClassifyStatement(std::string_view statement);

// The table name of a "DESC " statement: what follows the five characters, upper-cased.
std::string DescribedName(std::string_view statement);

// True when text should be appended to the history: it is not blank and no item equals it once
// both are trimmed of blanks and control characters.
bool HistoryAccepts(const std::vector<std::string> &items, std::string_view text);

// The query that reads field `field` of record `record` (from 1) of `statement` as hexadecimal;
// the field name is quoted as an identifier.
std::string LongBinaryQuery(std::string_view field, std::string_view statement, int record);

} // namespace worksheet
