// A parser's private copy of the reserved word list, folded for case-insensitive lookup and
// searched by bisection.
//
// Folding is that of code page 932 text comparison: single-byte a-z become A-Z, the two bytes
// of a double-byte character are kept as they are (so two different kanji never compare equal).
// The words sit in one byte pool, so building the copy costs a single allocation for a list of
// short words; a table of word lengths per first byte rejects most tokens before the bisection
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
    struct Word {
        std::uint32_t Offset;
        std::uint32_t Length;
    };
    std::string_view WordAt(const Word &word) const
    {
        return std::string_view(FPool).substr(word.Offset, word.Length);
    }
    static std::uint64_t LengthBit(std::size_t length) { return std::uint64_t{1} << (length < 63 ? length : 63); }

    std::string FPool;
    std::vector<Word> FWords;
    std::array<std::uint64_t, 256> FLengths{};  // per folded first byte: bit n = a word of length n
    std::size_t FMaxLength = 0;
};

// Appends text folded as described above to out.
void FoldCase(std::string_view text, std::string &out);

} // namespace syntax
