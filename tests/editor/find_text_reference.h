// A slow, direct reading of the search rules that the random test and the fuzz target compare
// FindText with: every byte of the text is classified up front and every position is tried in
// turn, without the first-byte filter, memmem or the backward-reading trail check that make
// FindText fast.
#pragma once

#include "editor/find_text.h"
#include "editor/find_text_chars.h"

#include <string_view>
#include <vector>

namespace find_text_test {

inline bool ReferenceFind(std::string_view text, TFindPosition &position, std::string_view pattern, unsigned options)
{
    using namespace editor::search;
    const auto n = static_cast<std::int64_t>(text.size());
    if (pattern.empty() || text.empty() || position.Start < 0 || position.Start > n || position.Length < 0)
        return false;
    const bool convert = (options & soNoMatchZenkaku) != 0;
    const bool matchCase = (options & soMatchCase) != 0;
    const bool wholeWord = (options & soWholeWord) != 0;
    const auto *t = reinterpret_cast<const unsigned char *>(text.data());
    const auto *pat = reinterpret_cast<const unsigned char *>(pattern.data());
    auto fold = [&](std::uint16_t code) { return matchCase ? code : UpperCode(code); };

    std::vector<bool> trail(text.size() + 1, false);
    for (std::size_t i = 0; i < text.size(); i += ReadChar(t, text.size(), i, false).Size)
        if (ReadChar(t, text.size(), i, false).Size == 2)
            trail[i + 1] = true;

    std::vector<std::uint16_t> codes;
    for (std::size_t i = 0; i < pattern.size();) {
        const TCharRead read = ReadChar(pat, pattern.size(), i, convert);
        codes.push_back(fold(read.Code));
        i += read.Size;
    }
    const auto minMatch = static_cast<std::int64_t>(convert ? codes.size() : pattern.size());

    auto matchAt = [&](std::int64_t p) -> std::int64_t {
        std::int64_t q = p;
        for (std::size_t i = 0; i < codes.size(); ++i) {
            for (;;) {
                if (q >= n) return -1;
                const TCharRead read = ReadChar(t, text.size(), static_cast<std::size_t>(q), convert);
                if (fold(read.Code) == codes[i]) { q += read.Size; break; }
                const unsigned char c = t[q];
                if (i > 0 && (options & soIgnoreLineBreaks) && (c == '\r' || c == '\n')) q += 1;
                else if (i > 0 && (options & soIgnoreBlanks) && (c == ' ' || c == '\t')) q += 1;
                else if (i > 0 && (options & soIgnoreBlanks) && c == 0x81 && q + 1 < n && t[q + 1] == 0x40) q += 2;
                else return -1;
            }
        }
        return q - p;
    };
    // A trail byte belongs to a double-byte character, which is a word character.
    auto isDelimiterAt = [&](std::int64_t p) { return p >= n || (!trail[p] && IsWordDelimiter(t[p])); };
    auto tryAt = [&](std::int64_t p) {
        if (trail[p]) return false;
        const bool wordStart = !isDelimiterAt(p) && (p == 0 || isDelimiterAt(p - 1));
        if (wholeWord && !wordStart) return false;
        const std::int64_t length = matchAt(p);
        if (length < 0 || (wholeWord && !isDelimiterAt(p + length))) return false;
        position = {p, length};
        return true;
    };

    if (options & soDown) {
        if (position.Length > n - position.Start) return false;
        std::int64_t s = position.Start + position.Length;
        if (s < n && trail[s]) ++s;
        for (std::int64_t p = s; p + minMatch <= n; ++p)
            if (tryAt(p)) return true;
        return false;
    }
    std::int64_t s = position.Start - static_cast<std::int64_t>(pattern.size());
    if (convert) {
        s = position.Start;
        if (trail[s])
            --s;
        for (std::size_t k = 0; k < codes.size(); ++k) {
            if (s == 0) return false;
            if (s >= 2 && trail[s - 1]) s -= 2;
            else if (s >= 2 && !trail[s - 2] && CombinedKana(t[s - 2], t[s - 1]) != 0) s -= 2;
            else s -= 1;
        }
    }
    if (s < 0) return false;
    for (std::int64_t p = s; p >= 0; --p)
        if (tryAt(p)) return true;
    return false;
}

} // namespace find_text_test
