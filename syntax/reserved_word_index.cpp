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
    FMaxLength = 0;
}

void TReservedWordIndex::Add(std::string_view word)
{
    if (word.empty())
        return;
    const auto offset = static_cast<std::uint32_t>(FPool.size());
    FoldCase(word, FPool);
    FWords.push_back(Word{offset, static_cast<std::uint32_t>(word.size())});
    FLengths[Byte(FPool[offset])] |= LengthBit(word.size());
    FMaxLength = std::max(FMaxLength, word.size());
}

void TReservedWordIndex::Finish()
{
    const auto less = [this](const Word &a, const Word &b) { return WordAt(a) < WordAt(b); };
    // The list a fountain keeps is sorted case-insensitively already, which usually is this
    // order too; sorting is then skipped.
    if (!std::is_sorted(FWords.begin(), FWords.end(), less))
        std::sort(FWords.begin(), FWords.end(), less);
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

    std::size_t low = 0;
    std::size_t high = FWords.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        const int order = WordAt(FWords[middle]).compare(key);
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
