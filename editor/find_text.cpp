// The search engine. The text is scanned for candidate positions with a first-byte filter (or
// memmem when the pattern must match byte for byte), and each candidate is checked character by
// character. Trail bytes share values with lead bytes and ASCII, so a candidate is first checked
// not to be the second byte of a double-byte character; that check reads backwards only as far
// as the last position already known to begin a character, which keeps a whole scan linear.
#include "editor/find_text.h"

#include "editor/find_text_chars.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

using namespace editor::search;

// Knows which bytes of a text are trail bytes. A byte outside the lead range always ends a
// character, so the parity of the run of lead-range bytes before a position decides. Forward
// scans raise the floor (a known character start) as they go; backward scans reuse the last
// run they measured.
class TTrailBytes {
public:
    TTrailBytes(const unsigned char *text, std::size_t size) : FText(text), FSize(size) {}

    bool IsTrail(std::size_t pos)
    {
        if (pos == 0 || pos >= FSize || FText[pos] == 0 || pos == FFloor)
            return false;
        if (pos + 1 == FFloor && FFloorAfterTrail)
            return true;
        if (!(FRunValid && pos > FRunStart && pos <= FRunEnd)) {
            const std::size_t low = FFloor < pos ? FFloor : 0;
            std::size_t start = pos;
            while (start > low && IsLeadRange(FText[start - 1]))
                --start;
            FRunStart = start;
            FRunEnd = pos;
            FRunValid = true;
        }
        return ((pos - FRunStart) & 1) != 0;
    }

    // pos is known to begin a character (and, with afterTrail, to follow a trail byte); later
    // questions are about positions after it, or the byte just before it.
    void RaiseFloor(std::size_t pos, bool afterTrail = false)
    {
        FFloor = pos;
        FFloorAfterTrail = afterTrail;
        FRunValid = false;
    }

private:
    const unsigned char *FText;
    std::size_t FSize;
    std::size_t FFloor = 0;
    bool FFloorAfterTrail = false;
    std::size_t FRunStart = 0;
    std::size_t FRunEnd = 0;  // FText[FRunStart, FRunEnd) are lead-range bytes, FRunStart starts a character
    bool FRunValid = false;
};

// The pattern as character codes, folded and converted as the text will be.
struct TPattern {
    std::vector<std::uint16_t> Codes;
    std::size_t MinMatch = 0;  // the fewest text bytes a match can take
};

class TSearcher {
public:
    TSearcher(std::string_view text, std::string_view pattern, unsigned options)
        : FText(reinterpret_cast<const unsigned char *>(text.data())), FSize(text.size()), FPatternBytes(pattern),
          FMatchCase((options & soMatchCase) != 0), FConvert((options & soNoMatchZenkaku) != 0),
          FWholeWord((options & soWholeWord) != 0), FSkipLineBreaks((options & soIgnoreLineBreaks) != 0),
          FSkipBlanks((options & soIgnoreBlanks) != 0), FTrail(FText, FSize)
    {
        const auto *p = reinterpret_cast<const unsigned char *>(pattern.data());
        for (std::size_t pos = 0; pos < pattern.size();) {
            const TCharRead read = ReadChar(p, pattern.size(), pos, FConvert);
            FPattern.Codes.push_back(Fold(read.Code));
            pos += read.Size;
        }
        FPattern.MinMatch = FConvert ? FPattern.Codes.size() : pattern.size();
        for (unsigned c = 0; c < 256; ++c) {
            const auto byte = static_cast<unsigned char>(c);
            FSingleCode[c] = Fold(FConvert ? FullWidthOf(byte) : byte);
            FKana[c] = FConvert && (CombinedKana(byte, 0xDE) != 0 || CombinedKana(byte, 0xDF) != 0);
        }
        BuildFirstBytes();
    }

    bool Forward(std::int64_t from, TFindPosition &hit);
    bool Backward(std::int64_t selStart, TFindPosition &hit);

private:
    std::uint16_t Fold(std::uint16_t code) const { return FMatchCase ? code : UpperCode(code); }
    // The character at pos as the pattern was prepared: converted and folded as asked.
    TCharRead Read(std::size_t pos) const
    {
        const unsigned char c = FText[pos];
        if (pos + 1 < FSize) {
            const unsigned char next = FText[pos + 1];
            if (IsLeadRange(c) && next != 0)
                return {Fold(static_cast<std::uint16_t>(c << 8 | next)), 2};
            if (FKana[c])
                if (const std::uint16_t combined = CombinedKana(c, next))
                    return {Fold(combined), 2};
        }
        return {FSingleCode[c], 1};
    }
    void BuildFirstBytes();
    // The first position from pos up to last whose byte can begin the pattern's first
    // character (last + 1 when there is none).
    std::size_t SkipToFirstByte(std::size_t pos, std::size_t last) const;
    // Bytes matched by the pattern at pos, or -1.
    std::int64_t MatchAt(std::size_t pos) const;
    // The byte-for-byte match needs no character reading: the pattern equals the text there.
    bool PlainBytes() const { return FMatchCase && !FConvert && !FSkipLineBreaks && !FSkipBlanks; }
    bool PlainMatchAt(std::size_t pos) const;
    // Whole-word conditions around a match of length bytes at pos.
    bool IsWordStart(std::size_t pos);
    bool EndsWord(std::size_t end) const { return end >= FSize || IsWordDelimiter(FText[end]); }
    bool Accept(std::size_t pos, std::int64_t length, TFindPosition &hit);
    // Start of the character before pos (a voiceable kana with its mark counts as one when
    // converting).
    std::size_t PrevChar(std::size_t pos);

    const unsigned char *FText;
    std::size_t FSize;
    std::string_view FPatternBytes;
    bool FMatchCase, FConvert, FWholeWord, FSkipLineBreaks, FSkipBlanks;
    TTrailBytes FTrail;
    TPattern FPattern;
    std::array<std::uint16_t, 256> FSingleCode{};  // each byte read alone, converted and folded
    std::array<bool, 256> FKana{};                 // bytes that combine with a following kana mark
    std::array<bool, 256> FFirst{};                // bytes that can begin a match
    struct TFirstUnit {
        unsigned char First;
        int Second;  // the byte that must follow, or -1
    };
    std::vector<TFirstUnit> FFirstUnits;           // the ways the first character can be written
#if defined(__SSE2__)
    static constexpr std::size_t MaxSimdUnits = 8;
    __m128i FSimdFirst[MaxSimdUnits];
    __m128i FSimdSecond[MaxSimdUnits];
    std::size_t FSimdSingles = 0;  // units before this index stand alone; those after need a second byte
#endif
};

void TSearcher::BuildFirstBytes()
{
    // Every byte sequence that reads as the pattern's first character: single bytes, pairs
    // (the character itself and, ignoring case, its lower-case forms) and kana with their mark.
    const std::uint16_t first = FPattern.Codes.front();
    auto add = [&](unsigned char b0, int b1) {
        FFirst[b0] = true;
        FFirstUnits.push_back({b0, b1});
    };
    for (unsigned c = 0; c < 256; ++c) {
        const auto byte = static_cast<unsigned char>(c);
        if (FSingleCode[c] == first)
            add(byte, -1);
        for (const unsigned char mark : {0xDE, 0xDF}) {
            const std::uint16_t combined = FKana[c] ? CombinedKana(byte, mark) : 0;
            if (combined != 0 && Fold(combined) == first)
                add(byte, mark);
        }
    }
    if (first >= 0x100) {
        add(static_cast<unsigned char>(first >> 8), first & 0xFF);
        // Ignoring case, the lower-case letters of these leads fold onto capitals.
        for (const unsigned lead : {0x82u, 0x83u, 0x84u, 0xEEu}) {
            for (unsigned trail = 0x40; trail <= 0xFC && !FMatchCase; ++trail) {
                const auto code = static_cast<std::uint16_t>(lead << 8 | trail);
                if (code != first && UpperCode(code) == first)
                    add(static_cast<unsigned char>(lead), static_cast<int>(trail));
            }
        }
    }
#if defined(__SSE2__)
    std::stable_partition(FFirstUnits.begin(), FFirstUnits.end(), [](const TFirstUnit &unit) { return unit.Second < 0; });
    FSimdSingles = static_cast<std::size_t>(
        std::count_if(FFirstUnits.begin(), FFirstUnits.end(), [](const TFirstUnit &unit) { return unit.Second < 0; }));
    for (std::size_t i = 0; i < FFirstUnits.size() && i < MaxSimdUnits; ++i) {
        FSimdFirst[i] = _mm_set1_epi8(static_cast<char>(FFirstUnits[i].First));
        FSimdSecond[i] = _mm_set1_epi8(static_cast<char>(FFirstUnits[i].Second));
    }
#endif
}

std::size_t TSearcher::SkipToFirstByte(std::size_t pos, std::size_t last) const
{
    const unsigned char *p = FText + pos;
    const unsigned char *end = FText + last + 1;
#if defined(__SSE2__)
    // Sixteen positions per step, each compared with every way the first character can be
    // written (a byte, or a byte followed by a given byte). The second load reads one byte
    // further, so the loop stops a byte before the end of the text.
    if (FFirstUnits.size() <= MaxSimdUnits) {
        const unsigned char *simdEnd = std::min(end, FText + FSize - 1);
        while (simdEnd - p >= 16) {
            const __m128i v0 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
            const __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + 1));
            __m128i hits = _mm_setzero_si128();
            for (std::size_t i = 0; i < FSimdSingles; ++i)
                hits = _mm_or_si128(hits, _mm_cmpeq_epi8(v0, FSimdFirst[i]));
            for (std::size_t i = FSimdSingles; i < FFirstUnits.size(); ++i)
                hits = _mm_or_si128(hits, _mm_and_si128(_mm_cmpeq_epi8(v0, FSimdFirst[i]), _mm_cmpeq_epi8(v1, FSimdSecond[i])));
            if (const int mask = _mm_movemask_epi8(hits))
                return static_cast<std::size_t>(p - FText) + static_cast<unsigned>(__builtin_ctz(static_cast<unsigned>(mask)));
            p += 16;
        }
    }
#endif
    const bool *first = FFirst.data();
    while (p < end && !first[*p])
        ++p;
    return static_cast<std::size_t>(p - FText);
}

bool TSearcher::PlainMatchAt(std::size_t pos) const
{
    if (std::memcmp(FText + pos, FPatternBytes.data(), FPatternBytes.size()) != 0)
        return false;
    // A pattern ending in a lone lead byte is a single-byte character; it must not match the
    // first half of a double-byte one.
    const std::size_t last = pos + FPatternBytes.size() - 1;
    const auto *p = reinterpret_cast<const unsigned char *>(FPatternBytes.data());
    if (IsLeadRange(FText[last]) && last + 1 < FSize && FText[last + 1] != 0) {
        std::size_t start = FPatternBytes.size() - 1;
        while (start > 0 && IsLeadRange(p[start - 1]))
            --start;
        if (((FPatternBytes.size() - 1 - start) & 1) == 0)
            return false;
    }
    return true;
}

std::int64_t TSearcher::MatchAt(std::size_t pos) const
{
    if (PlainBytes())
        return pos + FPatternBytes.size() <= FSize && PlainMatchAt(pos) ? static_cast<std::int64_t>(FPatternBytes.size()) : -1;
    std::size_t t = pos;
    for (std::size_t i = 0; i < FPattern.Codes.size(); ++i) {
        for (;;) {
            if (t >= FSize)
                return -1;
            const TCharRead read = Read(t);
            if (read.Code == FPattern.Codes[i]) {
                t += read.Size;
                break;
            }
            if (i == 0)
                return -1;
            const unsigned char c = FText[t];
            if (FSkipLineBreaks && (c == '\r' || c == '\n')) {
                ++t;
            } else if (FSkipBlanks && (c == '\t' || c == ' ')) {
                ++t;
            } else if (FSkipBlanks && c == 0x81 && t + 1 < FSize && FText[t + 1] == 0x40) {
                t += 2;
            } else {
                return -1;
            }
        }
    }
    return static_cast<std::int64_t>(t - pos);
}

bool TSearcher::IsWordStart(std::size_t pos)
{
    if (IsWordDelimiter(FText[pos]))
        return false;
    if (pos == 0)
        return true;
    // The character before is a delimiter only when it is a single byte (asked second: most
    // bytes settle it without looking further back).
    return IsWordDelimiter(FText[pos - 1]) && !FTrail.IsTrail(pos - 1);
}

bool TSearcher::Accept(std::size_t pos, std::int64_t length, TFindPosition &hit)
{
    if (length < 0)
        return false;
    if (FWholeWord && !EndsWord(pos + static_cast<std::size_t>(length)))
        return false;
    hit = {static_cast<std::int64_t>(pos), length};
    return true;
}

bool TSearcher::Forward(std::int64_t from, TFindPosition &hit)
{
    if (from > static_cast<std::int64_t>(FSize) || FPattern.MinMatch > FSize)
        return false;
    std::size_t pos = static_cast<std::size_t>(from);
    if (FTrail.IsTrail(pos))
        ++pos;
    const std::size_t last = FSize - FPattern.MinMatch;
    const bool useMemmem = PlainBytes();
    while (pos <= last) {
        if (useMemmem) {
            const void *found = memmem(FText + pos, last + FPatternBytes.size() - pos, FPatternBytes.data(),
                                       FPatternBytes.size());
            if (!found)
                return false;
            pos = static_cast<std::size_t>(static_cast<const unsigned char *>(found) - FText);
        } else {
            pos = SkipToFirstByte(pos, last);
            if (pos > last)
                return false;
            if (Read(pos).Code != FPattern.Codes.front()) {
                ++pos;
                continue;
            }
        }
        if (FTrail.IsTrail(pos)) {
            FTrail.RaiseFloor(pos + 1, true);
            ++pos;
            continue;
        }
        const bool wordOk = !FWholeWord || IsWordStart(pos);
        FTrail.RaiseFloor(pos);
        if (wordOk && Accept(pos, MatchAt(pos), hit))
            return true;
        ++pos;
    }
    return false;
}

std::size_t TSearcher::PrevChar(std::size_t pos)
{
    if (pos >= 2 && FTrail.IsTrail(pos - 1))
        return pos - 2;
    if (FConvert && pos >= 2 && CombinedKana(FText[pos - 2], FText[pos - 1]) != 0 && !FTrail.IsTrail(pos - 2))
        return pos - 2;
    return pos - 1;
}

bool TSearcher::Backward(std::int64_t selStart, TFindPosition &hit)
{
    std::int64_t start;
    if (FConvert) {
        // Characters are counted back from the start of the one the selection starts in.
        std::size_t pos = static_cast<std::size_t>(selStart);
        if (FTrail.IsTrail(pos))
            --pos;
        for (std::size_t k = 0; k < FPattern.Codes.size(); ++k) {
            if (pos == 0)
                return false;
            pos = PrevChar(pos);
        }
        start = static_cast<std::int64_t>(pos);
    } else {
        start = selStart - static_cast<std::int64_t>(FPatternBytes.size());
    }
    if (start < 0)
        return false;
    std::size_t pos = static_cast<std::size_t>(start);
    for (;;) {
        if (FTrail.IsTrail(pos))
            --pos;  // a trail byte is never at 0
        if (FFirst[FText[pos]] && Read(pos).Code == FPattern.Codes.front() && (!FWholeWord || IsWordStart(pos)) &&
            Accept(pos, MatchAt(pos), hit))
            return true;
        if (pos == 0)
            return false;
        --pos;
    }
}

} // namespace

bool FindText(std::string_view text, TFindPosition &position, std::string_view pattern, unsigned options)
{
    if (pattern.empty() || text.empty())
        return false;
    const auto size = static_cast<std::int64_t>(text.size());
    if (position.Start < 0 || position.Start > size || position.Length < 0)
        return false;
    TSearcher searcher(text, pattern, options);
    TFindPosition hit;
    const bool found = (options & soDown) != 0
                           ? position.Length <= size - position.Start && searcher.Forward(position.Start + position.Length, hit)
                           : searcher.Backward(position.Start, hit);
    if (found)
        position = hit;
    return found;
}
