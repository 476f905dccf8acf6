// Token kinds: the byte by which a parser labels a token. The numbers are stored in the editor's
// row states (as the kind of a token carried from one row to the next), so they never change.
// Numbers 2, 5, 10 and 13 are not produced by any parser of Kestrim.
#pragma once

#include <cstdint>

using TTokenKind = std::uint8_t;

enum TFountainTokenKind : TTokenKind {
    ftEnd = 0,            // end of the row text (NUL, CR or LF); also "no token"
    ftSymbol = 1,         // any other single byte
    ftInteger = 3,        // digits
    ftFloat = 4,          // digits with a fraction or an exponent
    ftBracket = 6,        // a bracket item's text from its left through its right bracket
    ftComment = 7,        // a comment running to the end of the row
    ftReserve = 8,        // a reserved word (only as a kind carried to the next row)
    ftTab = 9,            // a TAB byte
    ftAnk = 11,           // a word of ASCII letters, digits and '_'
    ftDbcsSymbol = 12,    // a double-byte symbol or other double-byte character
    ftZenkakuDigit = 14,  // run of full-width digits
    ftZenkakuAlpha = 15,  // run of full-width Latin letters
    ftHiragana = 16,      // run of hiragana
    ftKatakana = 17,      // run of full-width katakana
    ftKanji = 18,         // run of kanji
    ftKanaSymbol = 19,    // one half-width kana punctuation byte
    ftHankakuKana = 20,   // run of half-width katakana
    ftUrl = 21,           // URL
    ftMail = 22,          // mail address
    ftHex = 23,           // hexadecimal number after the hexadecimal prefix
    ftSingleQuote = 24,   // text in single quotes (framework scanner only)
    ftDoubleQuote = 25,   // text in double quotes (framework scanner only)
    ftQuotation = 26,     // quoted string of the editor parser
    ftControlCode = 27,   // number sign and decimal digits
    ftControlHex = 28,    // number sign, dollar sign and hexadecimal digits
};
