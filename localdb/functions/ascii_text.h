// Letter case and character classes of ASCII, independent of the process locale: format
// elements, keywords and English names are ASCII, and any other byte (a part of a Japanese name
// in UTF-8) must pass through unchanged whatever locale the program runs in.
#pragma once

#include <string>
#include <string_view>

namespace localdb::functions::ascii {

constexpr bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }
constexpr bool isLower(char c) { return c >= 'a' && c <= 'z'; }
constexpr bool isAlpha(char c) { return isUpper(c) || isLower(c); }
constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool isAlnum(char c) { return isAlpha(c) || isDigit(c); }
// The blanks Oracle skips around numbers.
constexpr bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
constexpr char toUpper(char c) { return isLower(c) ? static_cast<char>(c - 'a' + 'A') : c; }
constexpr char toLower(char c) { return isUpper(c) ? static_cast<char>(c - 'A' + 'a') : c; }
// The value of a hexadecimal digit of either case, or -1.
constexpr int hexDigitValue(char c)
{
    return isDigit(c) ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

inline std::string upper(std::string_view text)
{
    std::string result(text);
    for (char &c : result)
        c = toUpper(c);
    return result;
}

inline std::string lower(std::string_view text)
{
    std::string result(text);
    for (char &c : result)
        c = toLower(c);
    return result;
}

}  // namespace localdb::functions::ascii
