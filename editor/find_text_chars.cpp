// Character rules of the search engine: full-width forms, letter case and word delimiters.
#include "editor/find_text_chars.h"

#include <array>

namespace editor::search {

namespace {

// JIS X 0208 row and cell (0x2121-0x7E7E) to Shift-JIS. The full-width forms below are written
// as JIS codes because the kana rows are contiguous there: the voiced kana is the next code, the
// semi-voiced one the code after it.
constexpr std::uint16_t JisToSjis(std::uint16_t jis)
{
    const unsigned j1 = jis >> 8;
    const unsigned j2 = jis & 0xFF;
    const unsigned s1 = ((j1 + 1) >> 1) + (j1 <= 0x5E ? 0x70 : 0xB0);
    const unsigned s2 = (j1 & 1) != 0 ? j2 + (j2 >= 0x60 ? 0x20 : 0x1F) : j2 + 0x7E;
    return static_cast<std::uint16_t>(s1 << 8 | s2);
}

// Full-width JIS codes of ASCII 0x20-0x7E. The quotes, the backslash, the grave accent and the
// tilde take the forms a Japanese reader types for them, not the literal full-width glyphs.
constexpr std::uint16_t AsciiJis[95] = {
    0x2121, 0x212A, 0x2149, 0x2174, 0x2170, 0x2173, 0x2175, 0x2147,  //  !"#$%&'
    0x214A, 0x214B, 0x2176, 0x215C, 0x2124, 0x215D, 0x2125, 0x213F,  // ()*+,-./
    0x2330, 0x2331, 0x2332, 0x2333, 0x2334, 0x2335, 0x2336, 0x2337,  // 01234567
    0x2338, 0x2339, 0x2127, 0x2128, 0x2163, 0x2161, 0x2164, 0x2129,  // 89:;<=>?
    0x2177, 0x2341, 0x2342, 0x2343, 0x2344, 0x2345, 0x2346, 0x2347,  // @ABCDEFG
    0x2348, 0x2349, 0x234A, 0x234B, 0x234C, 0x234D, 0x234E, 0x234F,  // HIJKLMNO
    0x2350, 0x2351, 0x2352, 0x2353, 0x2354, 0x2355, 0x2356, 0x2357,  // PQRSTUVW
    0x2358, 0x2359, 0x235A, 0x214E, 0x216F, 0x214F, 0x2130, 0x2132,  // XYZ[\]^_
    0x212E, 0x2361, 0x2362, 0x2363, 0x2364, 0x2365, 0x2366, 0x2367,  // `abcdefg
    0x2368, 0x2369, 0x236A, 0x236B, 0x236C, 0x236D, 0x236E, 0x236F,  // hijklmno
    0x2370, 0x2371, 0x2372, 0x2373, 0x2374, 0x2375, 0x2376, 0x2377,  // pqrstuvw
    0x2378, 0x2379, 0x237A, 0x2150, 0x2143, 0x2151, 0x2131,          // xyz{|}~
};

// Full-width JIS codes of the half-width katakana 0xA1-0xDF, in the order of the half-width set.
constexpr std::uint16_t KanaJis[63] = {
    0x2123, 0x2156, 0x2157, 0x2122, 0x2125,                          // 0xA1-0xA5 punctuation
    0x2572, 0x2521, 0x2523, 0x2525, 0x2527, 0x2529, 0x2563, 0x2565,  // 0xA6 wo, small a i u e o ya yu
    0x2567, 0x2543, 0x213C,                                          // small yo, small tu, long mark
    0x2522, 0x2524, 0x2526, 0x2528, 0x252A,                          // 0xB1 a i u e o
    0x252B, 0x252D, 0x252F, 0x2531, 0x2533,                          // ka row
    0x2535, 0x2537, 0x2539, 0x253B, 0x253D,                          // sa row
    0x253F, 0x2541, 0x2544, 0x2546, 0x2548,                          // ta row
    0x254A, 0x254B, 0x254C, 0x254D, 0x254E,                          // na row
    0x254F, 0x2552, 0x2555, 0x2558, 0x255B,                          // ha row
    0x255E, 0x255F, 0x2560, 0x2561, 0x2562,                          // ma row
    0x2564, 0x2566, 0x2568,                                          // ya yu yo
    0x2569, 0x256A, 0x256B, 0x256C, 0x256D,                          // ra row
    0x256F, 0x2573, 0x212B, 0x212C,                                  // wa, n, voiced and semi-voiced marks
};

constexpr std::uint16_t JisVu = 0x2574;  // the voiced u has no neighbouring code

constexpr bool IsHaRow(unsigned char c) { return c >= 0xCA && c <= 0xCE; }
constexpr bool IsVoiceable(unsigned char c) { return c == 0xB3 || (c >= 0xB6 && c <= 0xC4) || IsHaRow(c); }

constexpr std::array<std::uint16_t, 256> MakeFullWidthTable()
{
    std::array<std::uint16_t, 256> table{};
    for (unsigned c = 0; c < 256; ++c)
        table[c] = static_cast<std::uint16_t>(c);
    for (unsigned c = 0x20; c <= 0x7E; ++c)
        table[c] = JisToSjis(AsciiJis[c - 0x20]);
    for (unsigned c = 0xA1; c <= 0xDF; ++c)
        table[c] = JisToSjis(KanaJis[c - 0xA1]);
    return table;
}

constexpr std::array<std::uint16_t, 256> FullWidth = MakeFullWidthTable();

// Delimiter bit per byte value, as the comment in the header lists them.
constexpr std::array<bool, 256> MakeDelimiterTable()
{
    std::array<bool, 256> table{};
    const unsigned ranges[][2] = {{0x00, 0x2F}, {0x3A, 0x40}, {0x5B, 0x60}, {0x7B, 0x80}, {0xA0, 0xA5}, {0xFD, 0xFF}};
    for (const auto &range : ranges)
        for (unsigned c = range[0]; c <= range[1]; ++c)
            table[c] = true;
    return table;
}

constexpr std::array<bool, 256> Delimiters = MakeDelimiterTable();

} // namespace

bool IsWordDelimiter(unsigned char c) { return Delimiters[c]; }

std::uint16_t FullWidthOf(unsigned char c) { return FullWidth[c]; }

std::uint16_t CombinedKana(unsigned char kana, unsigned char mark)
{
    if (mark == 0xDE && IsVoiceable(kana))
        return JisToSjis(kana == 0xB3 ? JisVu : static_cast<std::uint16_t>(KanaJis[kana - 0xA1] + 1));
    if (mark == 0xDF && IsHaRow(kana))
        return JisToSjis(static_cast<std::uint16_t>(KanaJis[kana - 0xA1] + 2));
    return 0;
}

TCharRead ReadChar(const unsigned char *text, std::size_t size, std::size_t pos, bool convert)
{
    const unsigned char c = text[pos];
    const bool hasNext = pos + 1 < size;
    if (IsLeadRange(c) && hasNext && text[pos + 1] != 0)
        return {static_cast<std::uint16_t>(c << 8 | text[pos + 1]), 2};
    if (!convert)
        return {c, 1};
    if (hasNext)
        if (const std::uint16_t combined = CombinedKana(c, text[pos + 1]))
            return {combined, 2};
    return {FullWidth[c], 1};
}

std::string ToFullWidth(std::string_view text)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(text.data());
    std::string result;
    result.reserve(text.size() * 2);
    for (std::size_t pos = 0; pos < text.size();) {
        const TCharRead read = ReadChar(bytes, text.size(), pos, true);
        if (read.Code >= 0x100)
            result += static_cast<char>(read.Code >> 8);
        result += static_cast<char>(read.Code & 0xFF);
        pos += read.Size;
    }
    return result;
}

} // namespace editor::search
