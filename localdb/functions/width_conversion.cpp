// Half-width and full-width forms of ASCII and katakana.
#include "localdb/functions/width_conversion.h"

#include "localdb/functions/utf8_text.h"

namespace localdb::functions {

namespace {

// Full-width forms of U+FF61 .. U+FF9F in order.
constexpr char32_t kFullKatakana[] = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9, 0x30E3,
    0x30E5, 0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB, 0x30AD, 0x30AF,
    0x30B1, 0x30B3, 0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8,
    0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB, 0x30DE, 0x30DF,
    0x30E0, 0x30E1, 0x30E2, 0x30E4, 0x30E6, 0x30E8, 0x30E9, 0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF,
    0x30F3, 0x309B, 0x309C,
};
constexpr char32_t kHalfFirst = 0xFF61;
constexpr char32_t kHalfLast = 0xFF9F;
constexpr char32_t kHalfVoiced = 0xFF9E;
constexpr char32_t kHalfSemiVoiced = 0xFF9F;

// Full-width katakana that take the voiced mark as the next code point: カ..ト and ハ..ホ.
bool takesVoicedMark(char32_t c)
{
    return (c >= 0x30AB && c <= 0x30C8 && c != 0x30C3) || (c >= 0x30CF && c <= 0x30DB && (c - 0x30CF) % 3 == 0);
}

bool takesSemiVoicedMark(char32_t c)
{
    return c >= 0x30CF && c <= 0x30DB && (c - 0x30CF) % 3 == 0;
}

char32_t halfOf(char32_t full)
{
    for (char32_t i = 0; i <= kHalfLast - kHalfFirst; ++i) {
        if (kFullKatakana[i] == full)
            return kHalfFirst + i;
    }
    return 0;
}

}  // namespace

std::string toMultiByte(std::string_view text)
{
    std::u32string in = utf8::decode(text);
    std::u32string out;
    for (std::size_t i = 0; i < in.size(); ++i) {
        char32_t c = in[i];
        if (c == U' ') {
            out += 0x3000;
        } else if (c >= 0x21 && c <= 0x7E) {
            out += c - 0x21 + 0xFF01;
        } else if (c >= kHalfFirst && c <= kHalfLast) {
            char32_t full = kFullKatakana[c - kHalfFirst];
            char32_t next = i + 1 < in.size() ? in[i + 1] : 0;
            if (next == kHalfVoiced && full == 0x30A6) {
                full = 0x30F4;  // ヴ
                ++i;
            } else if (next == kHalfVoiced && takesVoicedMark(full)) {
                full += 1;
                ++i;
            } else if (next == kHalfSemiVoiced && takesSemiVoicedMark(full)) {
                full += 2;
                ++i;
            }
            out += full;
        } else {
            out += c;
        }
    }
    return utf8::encode(out);
}

std::string toSingleByte(std::string_view text)
{
    std::u32string out;
    for (char32_t c : utf8::decode(text)) {
        if (c == 0x3000) {
            out += U' ';
        } else if (c >= 0xFF01 && c <= 0xFF5E) {
            out += c - 0xFF01 + 0x21;
        } else if (char32_t half = halfOf(c)) {
            out += half;
        } else if (c == 0x30F4) {
            out += halfOf(0x30A6);
            out += kHalfVoiced;
        } else if (takesVoicedMark(c - 1) && halfOf(c - 1)) {
            out += halfOf(c - 1);
            out += kHalfVoiced;
        } else if (takesSemiVoicedMark(c - 2) && halfOf(c - 2)) {
            out += halfOf(c - 2);
            out += kHalfSemiVoiced;
        } else {
            out += c;
        }
    }
    return utf8::encode(out);
}

}  // namespace localdb::functions
