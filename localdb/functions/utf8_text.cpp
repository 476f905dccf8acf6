// Code point stepping, decoding and display widths for UTF-8 text.
#include "localdb/functions/utf8_text.h"

namespace localdb::functions::utf8 {

namespace {

bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Decodes the character at pos; sets length to its byte count.
char32_t decodeAt(std::string_view text, std::size_t pos, std::size_t &length)
{
    unsigned char c = static_cast<unsigned char>(text[pos]);
    std::size_t need = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if (c < 0x80) {
        length = 1;
        return c;
    } else if (c >= 0xC2 && c <= 0xDF) {
        need = 1;
        value = c & 0x1F;
        minimum = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        need = 2;
        value = c & 0x0F;
        minimum = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        need = 3;
        value = c & 0x07;
        minimum = 0x10000;
    } else {
        length = 1;
        return 0xFFFD;
    }
    if (pos + need >= text.size()) {
        length = 1;
        return 0xFFFD;
    }
    for (std::size_t i = 1; i <= need; ++i) {
        unsigned char next = static_cast<unsigned char>(text[pos + i]);
        if (!isContinuation(next)) {
            length = 1;
            return 0xFFFD;
        }
        value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        length = 1;
        return 0xFFFD;
    }
    length = need + 1;
    return value;
}

}  // namespace

std::size_t charLength(std::string_view text, std::size_t pos)
{
    if (pos >= text.size())
        return 0;
    std::size_t length = 1;
    decodeAt(text, pos, length);
    return length;
}

std::size_t charCount(std::string_view text)
{
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); pos += charLength(text, pos))
        ++count;
    return count;
}

std::vector<std::size_t> charOffsets(std::string_view text)
{
    std::vector<std::size_t> offsets;
    offsets.reserve(text.size() + 1);
    for (std::size_t pos = 0; pos < text.size(); pos += charLength(text, pos))
        offsets.push_back(pos);
    offsets.push_back(text.size());
    return offsets;
}

std::u32string decode(std::string_view text)
{
    std::u32string result;
    result.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t length = 1;
        result += decodeAt(text, pos, length);
        pos += length;
    }
    return result;
}

void append(std::string &text, char32_t c)
{
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else if (c < 0x800) {
        text += static_cast<char>(0xC0 | (c >> 6));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        text += static_cast<char>(0xE0 | (c >> 12));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (c >> 18));
        text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string encode(std::u32string_view codePoints)
{
    std::string text;
    text.reserve(codePoints.size());
    for (char32_t c : codePoints)
        append(text, c);
    return text;
}

int displayWidth(char32_t c)
{
    // The wide ranges of East Asian text: Hangul Jamo, CJK punctuation and ideographs, kana,
    // Hangul syllables, compatibility ideographs, full-width forms and the supplementary planes
    // of ideographs.
    if ((c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF)
        || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF)
        || (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F)
        || (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6)
        || (c >= 0x20000 && c <= 0x3FFFD))
        return 2;
    return 1;
}

}  // namespace localdb::functions::utf8
