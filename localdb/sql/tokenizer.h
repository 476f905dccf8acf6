// Splits an Oracle SQL statement into tokens, each with its byte offset in the UTF-8 text, so
// every later error can point at the token where it was found.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace localdb {

enum class TokenKind {
    Identifier,        // unquoted: text is folded to upper case
    QuotedIdentifier,  // "Mixed Case": text without the quotes, case kept
    String,            // 'it''s': text is the value (may be empty: Oracle's NULL)
    Number,            // 12, 1.5, .5, 1e3
    Bind,              // :name or :1 (text without the colon, upper case)
    Operator,          // punctuation and operators: ( ) , . + - * / || = <> != ^= < > <= >= ; (+) @ %
    End,               // after the last token; offset is the text length
};

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;  // folded / unquoted text as described per kind
    int offset = 0;    // byte offset of the first character in the statement
    int length = 0;    // bytes of the token in the statement text

    bool isOperator(std::string_view op) const { return kind == TokenKind::Operator && text == op; }
    // An unquoted word such as SELECT; keywords are never quoted.
    bool isWord(std::string_view word) const { return kind == TokenKind::Identifier && text == word; }
    int end() const { return offset + length; }
};

// Tokenizes the whole statement. Throws ORA-01756 for an unterminated string, ORA-01740 for an
// unterminated quoted identifier, ORA-01741 for "" and ORA-00911 for a character that begins no
// token. Comments (-- and /* */) are skipped.
std::vector<Token> tokenize(std::string_view sql);

}  // namespace localdb
