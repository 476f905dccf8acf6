// The regular expression functions over the compiled patterns.
#include "localdb/functions/regex_functions.h"

#include "localdb/functions/decimal_number.h"
#include "localdb/functions/function_errors.h"
#include "localdb/functions/number_text.h"
#include "localdb/functions/utf8_text.h"

#include <re2/re2.h>

#include <cmath>
#include <limits>
#include <vector>

namespace localdb::functions {

namespace {

// The groups Oracle lets a caller name: \1 to \9 and subexpression 0 to 9.
constexpr int kMaxGroups = 9;

// A numeric argument truncated toward zero; ORA-01428 when below low or above high.
std::int64_t wholeArgument(double value, std::int64_t low, std::int64_t high)
{
    double t = std::trunc(value);
    if (std::isnan(t) || t < double(low) || t > double(high))
        raiseOutOfRange(defaultNumberText(DecimalNumber::fromDouble(value)));
    return static_cast<std::int64_t>(t);
}

constexpr std::int64_t kNoLimit = std::numeric_limits<std::int32_t>::max();

// Byte offset of the 1-based character position, or npos when the text is shorter.
std::size_t byteOffsetOf(std::string_view text, std::int64_t position)
{
    std::size_t at = 0;
    for (std::int64_t k = 1; k < position; ++k) {
        if (at >= text.size())
            return std::string_view::npos;
        at += utf8::charLength(text, at);
    }
    return at < text.size() ? at : std::string_view::npos;
}

std::int64_t charPositionOf(std::string_view text, std::size_t byteOffset)
{
    return static_cast<std::int64_t>(utf8::charCount(text.substr(0, byteOffset))) + 1;
}

// The matches of a pattern from a byte offset on, one after another: a match that took no
// characters moves the next search one character on, so every search makes progress.
class Matches {
public:
    Matches(const CompiledPattern &pattern, std::string_view text, std::size_t from)
        : regex_(pattern.regex()), text_(text), next_(from),
          groups_(std::size_t(std::min(pattern.groups(), kMaxGroups)) + 1)
    {
    }

    bool next()
    {
        if (next_ > text_.size())
            return false;
        re2::StringPiece subject(text_.data(), text_.size());
        if (!regex_.Match(subject, next_, text_.size(), RE2::UNANCHORED, groups_.data(), int(groups_.size())))
            return false;
        std::size_t end = endOf(0);
        next_ = end > beginOf(0) ? end : end + std::max<std::size_t>(1, utf8::charLength(text_, end));
        return true;
    }

    // Byte offsets of group g of the current match (0 = the whole match); npos when it took no part.
    bool took(int g) const { return std::size_t(g) < groups_.size() && groups_[std::size_t(g)].data() != nullptr; }
    std::size_t beginOf(int g) const { return std::size_t(groups_[std::size_t(g)].data() - text_.data()); }
    std::size_t endOf(int g) const { return beginOf(g) + groups_[std::size_t(g)].size(); }
    std::string_view group(int g) const
    {
        return took(g) ? std::string_view(groups_[std::size_t(g)].data(), groups_[std::size_t(g)].size())
                       : std::string_view();
    }

private:
    const RE2 &regex_;
    std::string_view text_;
    std::size_t next_;
    std::vector<re2::StringPiece> groups_;
};

// Steps to the occurrence-th match from the character position; false when there is none.
bool seekOccurrence(Matches &matches, std::int64_t occurrence)
{
    for (std::int64_t k = 0; k < occurrence; ++k) {
        if (!matches.next())
            return false;
    }
    return true;
}

}  // namespace

bool regexpLike(const CompiledPattern &pattern, std::string_view text)
{
    return pattern.regex().Match(re2::StringPiece(text.data(), text.size()), 0, text.size(), RE2::UNANCHORED, nullptr, 0);
}

OptionalText regexpSubstr(const CompiledPattern &pattern, std::string_view text, double position, double occurrence,
                          double subexpression)
{
    std::int64_t from = wholeArgument(position, 1, kNoLimit);
    std::int64_t nth = wholeArgument(occurrence, 1, kNoLimit);
    int group = int(wholeArgument(subexpression, 0, kMaxGroups));
    std::size_t start = byteOffsetOf(text, from);
    if (start == std::string_view::npos || group > pattern.groups())
        return std::nullopt;
    Matches matches(pattern, text, start);
    if (!seekOccurrence(matches, nth) || !matches.took(group) || matches.group(group).empty())
        return std::nullopt;
    return std::string(matches.group(group));
}

std::int64_t regexpInstr(const CompiledPattern &pattern, std::string_view text, double position, double occurrence,
                         double returnOption, double subexpression)
{
    std::int64_t from = wholeArgument(position, 1, kNoLimit);
    std::int64_t nth = wholeArgument(occurrence, 1, kNoLimit);
    std::int64_t after = wholeArgument(returnOption, 0, 1);
    int group = int(wholeArgument(subexpression, 0, kMaxGroups));
    std::size_t start = byteOffsetOf(text, from);
    if (start == std::string_view::npos || group > pattern.groups())
        return 0;
    Matches matches(pattern, text, start);
    if (!seekOccurrence(matches, nth) || !matches.took(group))
        return 0;
    return charPositionOf(text, after ? matches.endOf(group) : matches.beginOf(group));
}

OptionalText regexpReplace(const CompiledPattern &pattern, std::string_view text, std::string_view replacement,
                           double position, double occurrence)
{
    std::int64_t from = wholeArgument(position, 1, kNoLimit);
    std::int64_t nth = wholeArgument(occurrence, 0, kNoLimit);
    std::size_t start = byteOffsetOf(text, from);
    if (start == std::string_view::npos)
        return std::string(text);
    std::string result(text.substr(0, start));
    std::size_t copied = start;
    Matches matches(pattern, text, start);
    for (std::int64_t k = 1; matches.next(); ++k) {
        if (nth != 0 && k < nth)
            continue;
        result.append(text.substr(copied, matches.beginOf(0) - copied));
        for (std::size_t r = 0; r < replacement.size(); ++r) {
            char c = replacement[r];
            if (c == '\\' && r + 1 < replacement.size()) {
                char d = replacement[r + 1];
                if (d >= '1' && d <= '9') {
                    result.append(matches.group(d - '0'));
                    ++r;
                    continue;
                }
                if (d == '\\') {
                    result += '\\';
                    ++r;
                    continue;
                }
            }
            result += c;
        }
        copied = matches.endOf(0);
        // A result beyond what SQLite can hold is refused before it exhausts memory.
        if (result.size() > kMaxTextBytes)
            raiseError(1489);
        if (nth != 0)
            break;
    }
    result.append(text.substr(copied));
    if (result.empty())
        return std::nullopt;
    return result;
}

std::int64_t regexpCount(const CompiledPattern &pattern, std::string_view text, double position)
{
    std::int64_t from = wholeArgument(position, 1, kNoLimit);
    std::size_t start = byteOffsetOf(text, from);
    if (start == std::string_view::npos)
        return 0;
    Matches matches(pattern, text, start);
    std::int64_t count = 0;
    while (matches.next())
        ++count;
    return count;
}

}  // namespace localdb::functions
