// A parser's private copy of the reserved word list, folded for case-insensitive lookup and
// searched by bisection.
//
// Folding is that of code page 932 text comparison: single-byte a-z become A-Z, the two bytes
// of a double-byte character are kept as they are (so two different kanji never compare equal).
// The words sit in one byte pool, so building the copy costs a single allocation for a list of
// short words; a table of word lengths per first byte rejects many tokens before the bisection
// starts, which keeps the lookup cheap for the numbers, symbols and identifiers of a text.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace syntax {

class TReservedWordIndex {
public:
    void Clear();
    void Add(std::string_view word);  // empty words are ignored
    void Finish();                    // sorts; call after the last Add, before Contains

    bool Contains(std::string_view token) const;
    int Count() const { return static_cast<int>(FWords.size()); }

private:
    // A word is ordered by its first eight folded bytes as one big-endian integer, then by the
    // bytes after them, then by its length, so that most steps of the bisection compare two
    // integers.
    struct Word {
        std::uint64_t Key;
        std::uint32_t Offset;
        std::uint32_t Length;
    };
    static std::uint64_t KeyOf(std::string_view folded);
    static std::uint32_t HashOf(std::string_view folded);
    // Negative, zero or positive as word orders before, equal to or after the folded token.
    int Compare(const Word &word, std::uint64_t key, std::string_view folded) const;
    static std::uint64_t LengthBit(std::size_t length) { return std::uint64_t{1} << (length < 63 ? length : 63); }

    std::string FPool;
    std::vector<Word> FWords;
    std::array<std::uint64_t, 256> FLengths{};  // per folded first byte: bit n = a word of length n
    // A bit per hash of the folded words: a token whose hash bit is clear is no word, which
    // settles most identifiers without a bisection.
    std::array<std::uint64_t, 64> FHashBits{};
    std::size_t FMaxLength = 0;
};

// Appends text folded as described above to out.
void FoldCase(std::string_view text, std::string &out);

} // namespace syntax
