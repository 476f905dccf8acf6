// The reserved word index of the token parser (see the header).
#include "syntax/reserved_word_index.h"

#include "syntax/byte_class.h"

#include <algorithm>

namespace syntax {

namespace {

// Folds text into buffer (which holds at least text.size() bytes).
void FoldInto(std::string_view text, char *buffer)
{
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char c = text[i];
        if (HasClass(c, bcLead) && i + 1 < n) {
            buffer[i] = c;
            buffer[i + 1] = text[i + 1];
            ++i;
        } else {
            buffer[i] = HasClass(c, bcAsciiLower) ? static_cast<char>(c - 'a' + 'A') : c;
        }
    }
}

} // namespace

void FoldCase(std::string_view text, std::string &out)
{
    const std::size_t start = out.size();
    out.resize(start + text.size());
    FoldInto(text, out.data() + start);
}

void TReservedWordIndex::Clear()
{
    FPool.clear();
    FWords.clear();
    FLengths.fill(0);
    FHashBits.fill(0);
    FMaxLength = 0;
}

void TReservedWordIndex::Add(std::string_view word)
{
    if (word.empty())
        return;
    const auto offset = static_cast<std::uint32_t>(FPool.size());
    FoldCase(word, FPool);
    const std::string_view folded = std::string_view(FPool).substr(offset);
    FWords.push_back(Word{KeyOf(folded), offset, static_cast<std::uint32_t>(word.size())});
    FLengths[Byte(folded[0])] |= LengthBit(word.size());
    const std::uint32_t hash = HashOf(folded);
    FHashBits[hash / 64 % FHashBits.size()] |= std::uint64_t{1} << (hash % 64);
    FMaxLength = std::max(FMaxLength, word.size());
}

std::uint64_t TReservedWordIndex::KeyOf(std::string_view folded)
{
    std::uint64_t key = 0;
    for (std::size_t i = 0; i < 8; ++i)
        key = (key << 8) | (i < folded.size() ? Byte(folded[i]) : 0u);
    return key;
}

std::uint32_t TReservedWordIndex::HashOf(std::string_view folded)
{
    std::uint32_t hash = 2166136261u;
    for (char c : folded)
        hash = (hash ^ Byte(c)) * 16777619u;
    return hash ^ (hash >> 15);
}

int TReservedWordIndex::Compare(const Word &word, std::uint64_t key, std::string_view folded) const
{
    if (word.Key != key)
        return word.Key < key ? -1 : 1;
    if (word.Length > 8 || folded.size() > 8) {
        const std::string_view tail = std::string_view(FPool).substr(word.Offset, word.Length).substr(8 < word.Length ? 8 : word.Length);
        const int order = tail.compare(folded.substr(folded.size() > 8 ? 8 : folded.size()));
        if (order != 0)
            return order;
    }
    if (word.Length != folded.size())
        return word.Length < folded.size() ? -1 : 1;
    return 0;
}

void TReservedWordIndex::Finish()
{
    std::sort(FWords.begin(), FWords.end(), [this](const Word &a, const Word &b) {
        const std::string_view foldedB = std::string_view(FPool).substr(b.Offset, b.Length);
        return Compare(a, b.Key, foldedB) < 0;
    });
}

bool TReservedWordIndex::Contains(std::string_view token) const
{
    const std::size_t n = token.size();
    if (n == 0 || n > FMaxLength)
        return false;
    char first = token[0];
    if (HasClass(first, bcAsciiLower))
        first = static_cast<char>(first - 'a' + 'A');
    if ((FLengths[Byte(first)] & LengthBit(n)) == 0)
        return false;

    char small[64];
    std::string large;
    char *folded = small;
    if (n > sizeof small) {
        large.resize(n);
        folded = large.data();
    }
    FoldInto(token, folded);
    const std::string_view key(folded, n);
    const std::uint32_t hash = HashOf(key);
    if ((FHashBits[hash / 64 % FHashBits.size()] & (std::uint64_t{1} << (hash % 64))) == 0)
        return false;
    const std::uint64_t prefix = KeyOf(key);

    std::size_t low = 0;
    std::size_t high = FWords.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        const int order = Compare(FWords[middle], prefix, key);
        if (order == 0)
            return true;
        if (order < 0)
            low = middle + 1;
        else
            high = middle;
    }
    return false;
}

} // namespace syntax
