// Character functions on UTF-8 text.
#include "localdb/functions/text_functions.h"

#include "localdb/functions/decimal_number.h"
#include "localdb/functions/function_errors.h"
#include "localdb/functions/number_text.h"
#include "localdb/functions/utf8_text.h"

#include <QString>

#include <algorithm>
#include <cmath>
#include <vector>

namespace localdb::functions {

namespace {

// Positions far beyond any text length behave the same; clamping keeps the arithmetic in range.
std::int64_t truncated(double value)
{
    if (std::isnan(value))
        return 0;
    return static_cast<std::int64_t>(std::trunc(std::clamp(value, -1e15, 1e15)));
}

OptionalText nonEmpty(std::string text)
{
    if (text.empty())
        return std::nullopt;
    return text;
}

struct Window {
    std::int64_t start;  // 0-based
    std::int64_t count;
};

std::optional<Window> substrWindow(std::int64_t size, double position, std::optional<double> length)
{
    std::int64_t p = truncated(position);
    if (p == 0)
        p = 1;
    if (p < 0)
        p += size + 1;
    if (p < 1 || p > size)
        return std::nullopt;
    std::int64_t available = size - p + 1;
    std::int64_t count = available;
    if (length) {
        std::int64_t l = truncated(*length);
        if (l < 1)
            return std::nullopt;
        count = std::min(l, available);
    }
    return Window{p - 1, count};
}

// The INSTR search on any sequence of units; validStart says where a match may begin.
template <typename Text, typename ValidStart>
std::int64_t instrUnits(const Text &text, const Text &search, double position, double occurrence,
                        ValidStart validStart)
{
    std::int64_t occ = truncated(occurrence);
    if (occ < 1)
        raiseOutOfRange(defaultNumberText(DecimalNumber::fromDouble(occurrence)));
    std::int64_t p = truncated(position);
    std::int64_t n = static_cast<std::int64_t>(text.size());
    std::int64_t m = static_cast<std::int64_t>(search.size());
    if (p == 0 || m == 0 || m > n)
        return 0;
    auto matchesAt = [&](std::int64_t i) {
        return validStart(i) && std::equal(search.begin(), search.end(), text.begin() + i);
    };
    if (p > 0) {
        for (std::int64_t i = p - 1; i + m <= n; ++i) {
            if (matchesAt(i) && --occ == 0)
                return i + 1;
        }
        return 0;
    }
    std::int64_t from = std::min(n + p, n - m);
    for (std::int64_t i = from; i >= 0; --i) {
        if (matchesAt(i) && --occ == 0)
            return i + 1;
    }
    return 0;
}

OptionalText pad(std::string_view text, double length, std::string_view padding, bool left)
{
    std::int64_t n = truncated(length);
    if (n < 1)
        return std::nullopt;
    n = std::min(n, kMaxPadLength);
    std::u32string chars = utf8::decode(text);
    std::int64_t width = 0;
    std::size_t fits = 0;
    while (fits < chars.size() && width + utf8::displayWidth(chars[fits]) <= n)
        width += utf8::displayWidth(chars[fits++]);
    if (fits < chars.size()) {
        // Longer than n: the first n columns; a wide character cut in half becomes a blank.
        chars.resize(fits);
        if (width < n)
            chars += U' ';
        return nonEmpty(utf8::encode(chars));
    }
    std::u32string padChars = utf8::decode(padding);
    if (padChars.empty())
        return std::nullopt;
    std::u32string fill;
    for (std::size_t i = 0; width < n; ++i) {
        char32_t c = padChars[i % padChars.size()];
        if (width + utf8::displayWidth(c) > n)
            c = U' ';
        fill += c;
        width += utf8::displayWidth(c);
    }
    return nonEmpty(utf8::encode(left ? fill + chars : chars + fill));
}

std::string viaQString(std::string_view text, QString (QString::*convert)() const &)
{
    bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    QString converted = (QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).*convert)();
    if (ascii)
        return converted.toStdString();
    QByteArray bytes = converted.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

char soundexCode(char c)
{
    switch (c) {
    case 'B': case 'F': case 'P': case 'V':
        return '1';
    case 'C': case 'G': case 'J': case 'K': case 'Q': case 'S': case 'X': case 'Z':
        return '2';
    case 'D': case 'T':
        return '3';
    case 'L':
        return '4';
    case 'M': case 'N':
        return '5';
    case 'R':
        return '6';
    default:
        return '0';
    }
}

}  // namespace

OptionalText substr(std::string_view text, double position, std::optional<double> length)
{
    std::vector<std::size_t> offsets = utf8::charOffsets(text);
    auto window = substrWindow(static_cast<std::int64_t>(offsets.size()) - 1, position, length);
    if (!window)
        return std::nullopt;
    std::size_t begin = offsets[static_cast<std::size_t>(window->start)];
    std::size_t end = offsets[static_cast<std::size_t>(window->start + window->count)];
    return nonEmpty(std::string(text.substr(begin, end - begin)));
}

OptionalText substrb(std::string_view text, double position, std::optional<double> length, DatabaseCharset charset)
{
    std::string bytes = toDatabaseBytes(text, charset);
    auto window = substrWindow(static_cast<std::int64_t>(bytes.size()), position, length);
    if (!window)
        return std::nullopt;
    std::size_t start = static_cast<std::size_t>(window->start);
    std::size_t end = start + static_cast<std::size_t>(window->count);
    std::string result;
    for (std::size_t pos = 0; pos < bytes.size() && pos < end;) {
        std::size_t charEnd = pos + databaseCharLength(bytes, pos, charset);
        if (pos >= start && charEnd <= end)
            result.append(bytes, pos, charEnd - pos);
        else if (charEnd > start)
            result.append(std::min(charEnd, end) - std::max(pos, start), ' ');
        pos = charEnd;
    }
    return nonEmpty(fromDatabaseBytes(result, charset));
}

std::int64_t instr(std::string_view text, std::string_view search, double position, double occurrence)
{
    return instrUnits(utf8::decode(text), utf8::decode(search), position, occurrence,
                      [](std::int64_t) { return true; });
}

std::int64_t instrb(std::string_view text, std::string_view search, double position, double occurrence,
                    DatabaseCharset charset)
{
    std::string bytes = toDatabaseBytes(text, charset);
    std::vector<bool> starts(bytes.size(), false);
    for (std::size_t pos = 0; pos < bytes.size(); pos += databaseCharLength(bytes, pos, charset))
        starts[pos] = true;
    return instrUnits(bytes, toDatabaseBytes(search, charset), position, occurrence,
                      [&](std::int64_t i) { return starts[static_cast<std::size_t>(i)]; });
}

std::int64_t lengthOf(std::string_view text)
{
    return static_cast<std::int64_t>(utf8::charCount(text));
}

std::int64_t lengthbOf(std::string_view text, DatabaseCharset charset)
{
    return static_cast<std::int64_t>(toDatabaseBytes(text, charset).size());
}

OptionalText lpad(std::string_view text, double length, std::string_view padding)
{
    return pad(text, length, padding, true);
}

OptionalText rpad(std::string_view text, double length, std::string_view padding)
{
    return pad(text, length, padding, false);
}

OptionalText trimCharacters(std::string_view text, std::string_view set, bool leading, bool trailing)
{
    std::u32string chars = utf8::decode(text);
    std::u32string setChars = utf8::decode(set);
    auto inSet = [&](char32_t c) { return setChars.find(c) != std::u32string::npos; };
    std::size_t begin = 0;
    std::size_t end = chars.size();
    if (leading)
        while (begin < end && inSet(chars[begin]))
            ++begin;
    if (trailing)
        while (end > begin && inSet(chars[end - 1]))
            --end;
    return nonEmpty(utf8::encode(std::u32string_view(chars).substr(begin, end - begin)));
}

std::string upperText(std::string_view text)
{
    return viaQString(text, &QString::toUpper);
}

std::string lowerText(std::string_view text)
{
    return viaQString(text, &QString::toLower);
}

std::string initcapText(std::string_view text)
{
    QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    bool wordStart = true;
    for (qsizetype i = 0; i < s.size(); ++i) {
        QChar c = s.at(i);
        if (c.isLetterOrNumber()) {
            s[i] = wordStart ? c.toUpper() : c.toLower();
            wordStart = false;
        } else {
            wordStart = true;
        }
    }
    QByteArray bytes = s.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

OptionalText replaceText(std::string_view text, std::string_view search, std::string_view replacement)
{
    if (search.empty())
        return nonEmpty(std::string(text));
    // The size is known before building: a result beyond what SQLite can hold is refused at once
    // rather than after exhausting memory (REPLACE(x, 'a', x) squares the length).
    std::size_t matches = 0;
    for (std::size_t at = text.find(search); at != std::string_view::npos; at = text.find(search, at + search.size()))
        ++matches;
    if (replacement.size() > search.size()
        && static_cast<double>(text.size()) + static_cast<double>(matches) * static_cast<double>(replacement.size() - search.size())
               > static_cast<double>(kMaxTextBytes))
        raiseError(1489);
    std::string result;
    result.reserve(text.size() + matches * (replacement.size() > search.size() ? replacement.size() - search.size() : 0));
    std::size_t pos = 0;
    while (true) {
        std::size_t found = text.find(search, pos);
        if (found == std::string_view::npos)
            break;
        result.append(text, pos, found - pos);
        result.append(replacement);
        pos = found + search.size();
    }
    result.append(text.substr(pos));
    return nonEmpty(std::move(result));
}

OptionalText translateText(std::string_view text, std::string_view from, std::string_view to)
{
    std::u32string fromChars = utf8::decode(from);
    std::u32string toChars = utf8::decode(to);
    std::u32string result;
    for (char32_t c : utf8::decode(text)) {
        std::size_t index = fromChars.find(c);
        if (index == std::u32string::npos)
            result += c;
        else if (index < toChars.size())
            result += toChars[index];
    }
    return nonEmpty(utf8::encode(result));
}

OptionalText soundexText(std::string_view text)
{
    std::string code;
    char previous = 0;
    for (char raw : text) {
        if (!((raw >= 'a' && raw <= 'z') || (raw >= 'A' && raw <= 'Z')))
            continue;
        char c = static_cast<char>(raw & ~0x20);
        char digit = soundexCode(c);
        if (code.empty()) {
            code += c;
            previous = digit;
            continue;
        }
        // H and W do not separate letters of the same code; vowels do.
        if (c == 'H' || c == 'W')
            continue;
        if (digit != '0' && digit != previous)
            code += digit;
        previous = digit;
        if (code.size() == 4)
            break;
    }
    if (code.empty())
        return std::nullopt;
    code.resize(4, '0');
    return code;
}

std::string chrText(double code, DatabaseCharset charset)
{
    if (std::isnan(code) || code < 0 || code > 4294967295.0)
        raiseOutOfRange(defaultNumberText(DecimalNumber::fromDouble(code)));
    auto value = static_cast<std::uint32_t>(std::trunc(code));
    std::string bytes;
    do {
        bytes.insert(bytes.begin(), static_cast<char>(value & 0xFF));
        value >>= 8;
    } while (value != 0);
    return fromDatabaseBytes(bytes, charset);
}

std::int64_t asciiCode(std::string_view text, DatabaseCharset charset)
{
    std::string first(text.substr(0, utf8::charLength(text, 0)));
    std::int64_t code = 0;
    for (unsigned char c : toDatabaseBytes(first, charset))
        code = code * 256 + c;
    return code;
}

}  // namespace localdb::functions
