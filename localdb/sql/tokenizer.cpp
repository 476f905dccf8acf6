// The statement tokenizer: a byte-class table decides how each token starts, which keeps the
// scanner a single switch and treats every byte of a multi-byte UTF-8 character as part of a word.
#include "localdb/sql/tokenizer.h"

#include "localdb/system/errors.h"

#include <array>

namespace localdb {
namespace {

enum ByteClass : unsigned char { Other, Space, Letter, Digit, Quote, DoubleQuote, Punct };

// Why a table: each byte's class is one lookup, and bytes >= 0x80 (UTF-8 parts of Japanese
// names inside quoted identifiers or aliases) count as letters, as Oracle allows them in names.
constexpr std::array<ByteClass, 256> makeClasses() {
    std::array<ByteClass, 256> c{};
    for (int i = 0; i < 256; ++i)
        c[i] = Other;
    for (int ch : {' ', '\t', '\r', '\n', '\f', '\v'})
        c[ch] = Space;
    for (int ch = 'a'; ch <= 'z'; ++ch)
        c[ch] = Letter;
    for (int ch = 'A'; ch <= 'Z'; ++ch)
        c[ch] = Letter;
    for (int ch = 0x80; ch < 256; ++ch)
        c[ch] = Letter;
    for (int ch = '0'; ch <= '9'; ++ch)
        c[ch] = Digit;
    c['\''] = Quote;
    c['"'] = DoubleQuote;
    for (int ch : {'(', ')', ',', '.', '+', '-', '*', '/', '|', '=', '<', '>', '!', '^', ';', ':', '@', '%', '[', ']'})
        c[ch] = Punct;
    return c;
}
constexpr auto kClasses = makeClasses();

bool isWordByte(unsigned char b) {
    ByteClass c = kClasses[b];
    return c == Letter || c == Digit || b == '_' || b == '$' || b == '#';
}

std::string upper(std::string_view s) {
    std::string out(s);
    for (char &ch : out)
        if (ch >= 'a' && ch <= 'z')
            ch = char(ch - 'a' + 'A');
    return out;
}

}  // namespace

std::vector<Token> tokenize(std::string_view sql) {
    std::vector<Token> tokens;
    const size_t n = sql.size();
    size_t i = 0;
    auto at = [&](size_t k) -> unsigned char { return k < n ? (unsigned char)sql[k] : 0; };
    while (i < n) {
        unsigned char b = at(i);
        ByteClass cls = kClasses[b];
        if (cls == Space) {
            ++i;
            continue;
        }
        if (b == '-' && at(i + 1) == '-') {
            while (i < n && sql[i] != '\n')
                ++i;
            continue;
        }
        if (b == '/' && at(i + 1) == '*') {
            size_t close = sql.find("*/", i + 2);
            i = close == std::string_view::npos ? n : close + 2;
            continue;
        }
        Token t;
        t.offset = int(i);
        size_t start = i;
        // N'...' and q'[...]' are rarely met in workbench statements; plain quotes only.
        if (cls == Letter || b == '_') {
            while (i < n && isWordByte(at(i)))
                ++i;
            t.kind = TokenKind::Identifier;
            t.text = upper(sql.substr(start, i - start));
        } else if (cls == Digit || (b == '.' && kClasses[at(i + 1)] == Digit && !(i > 0 && sql[i - 1] == '.'))) {
            // ".5" is a number, but not the 5 of PL/SQL's range "1..5".
            while (kClasses[at(i)] == Digit)
                ++i;
            if (at(i) == '.' && at(i + 1) != '.') {
                ++i;
                while (kClasses[at(i)] == Digit)
                    ++i;
            }
            if ((at(i) == 'e' || at(i) == 'E') &&
                (kClasses[at(i + 1)] == Digit ||
                 ((at(i + 1) == '+' || at(i + 1) == '-') && kClasses[at(i + 2)] == Digit))) {
                i += 2;
                while (kClasses[at(i)] == Digit)
                    ++i;
            }
            // 1.5d and 1.5f are BINARY_DOUBLE and BINARY_FLOAT literals; the suffix stays in the text.
            const unsigned char suffix = at(i) | 0x20;
            if ((suffix == 'd' || suffix == 'f') && !isWordByte(at(i + 1)))
                ++i;
            t.kind = TokenKind::Number;
            t.text = std::string(sql.substr(start, i - start));
        } else if (cls == Quote) {
            ++i;
            std::string value;
            for (;;) {
                if (i >= n)
                    raise(1756, int(start));
                if (sql[i] == '\'') {
                    if (at(i + 1) == '\'') {
                        value += '\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += sql[i++];
            }
            t.kind = TokenKind::String;
            t.text = std::move(value);
        } else if (cls == DoubleQuote) {
            size_t close = sql.find('"', i + 1);
            if (close == std::string_view::npos)
                raise(1740, int(start));
            if (close == i + 1)
                raise(1741, int(start));
            t.kind = TokenKind::QuotedIdentifier;
            t.text = std::string(sql.substr(i + 1, close - i - 1));
            i = close + 1;
        } else if (b == ':' && (isWordByte(at(i + 1)))) {
            ++i;
            while (i < n && isWordByte(at(i)))
                ++i;
            t.kind = TokenKind::Bind;
            t.text = upper(sql.substr(start + 1, i - start - 1));
        } else if (cls == Punct) {
            t.kind = TokenKind::Operator;
            std::string_view two = sql.substr(i, 2);
            if (b == '(' && at(i + 1) == '+' && at(i + 2) == ')') {
                t.text = "(+)";
                i += 3;
            } else if (two == "||" || two == "<>" || two == "!=" || two == "^=" || two == "<=" ||
                       two == ">=" || two == ":=" || two == "=>") {
                t.text = std::string(two);
                i += 2;
            } else {
                t.text = std::string(1, char(b));
                ++i;
            }
            if (t.text == "!" || t.text == "^" || t.text == "|")
                raise(911, t.offset);
        } else {
            raise(911, int(start));
        }
        t.length = int(i - start);
        tokens.push_back(std::move(t));
    }
    Token end;
    end.kind = TokenKind::End;
    end.offset = int(n);
    tokens.push_back(end);
    return tokens;
}

}  // namespace localdb
