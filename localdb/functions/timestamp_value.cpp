// Storage forms of timestamps and intervals, interval texts and the arithmetic they share.
#include "localdb/functions/timestamp_value.h"

#include "localdb/functions/ascii_text.h"
#include "localdb/functions/date_calendar.h"
#include "localdb/functions/function_errors.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <vector>

namespace localdb::functions {

namespace {

constexpr std::int64_t kPowersOfTen[] = {1,      10,      100,      1000,      10000,
                                         100000, 1000000, 10000000, 100000000, 1000000000};

int digitsAt(std::string_view t, std::size_t from, std::size_t n, bool &ok)
{
    int v = 0;
    for (std::size_t i = from; i < from + n; ++i) {
        if (i >= t.size() || !ascii::isDigit(t[i])) {
            ok = false;
            return 0;
        }
        v = v * 10 + (t[i] - '0');
    }
    return v;
}

// The number of decimal digits of a non-negative value.
int digitCount(std::int64_t v)
{
    int n = 1;
    while (v >= 10) {
        v /= 10;
        ++n;
    }
    return n;
}

}  // namespace

Timestamp ZonedTimestamp::local() const
{
    return timestampFromNanos(timestampNanos(utc) + WideNanos(offset().offset) * kNanosPerSecond);
}

ZoneOffset ZonedTimestamp::offset() const { return offsetAtUtc(zone, toSeconds(utc.date)); }

std::string timestampStorage(const Timestamp &t)
{
    char fraction[16];
    std::snprintf(fraction, sizeof fraction, ".%09d", t.nanos);
    return storageText(t.date) + fraction;
}

std::optional<Timestamp> parseStorageTimestamp(std::string_view text)
{
    if (text.size() == 10 || text.size() == 19) {
        auto d = parseStorageDate(text);
        if (!d)
            return std::nullopt;
        return Timestamp{*d, 0};
    }
    if (text.size() != 29 || text[19] != '.')
        return std::nullopt;
    auto d = parseStorageDate(text.substr(0, 19));
    bool ok = true;
    int nanos = digitsAt(text, 20, 9, ok);
    if (!d || !ok)
        return std::nullopt;
    return Timestamp{*d, nanos};
}

std::string zonedStorage(const ZonedTimestamp &t) { return timestampStorage(t.utc) + " " + t.zone.name; }

std::optional<ZonedTimestamp> parseStorageZoned(std::string_view text)
{
    if (text.size() < 31 || text[29] != ' ')
        return std::nullopt;
    auto utc = parseStorageTimestamp(text.substr(0, 29));
    if (!utc)
        return std::nullopt;
    return ZonedTimestamp{*utc, findTimeZone(text.substr(30))};
}

ZonedTimestamp zonedFromLocal(const Timestamp &local, const TimeZone &zone)
{
    std::int64_t utcSeconds = localToUtc(zone, toSeconds(local.date));
    return ZonedTimestamp{Timestamp{fromSeconds(utcSeconds), local.nanos}, zone};
}

ZonedTimestamp zonedFromUtc(const Timestamp &utc, const TimeZone &zone) { return ZonedTimestamp{utc, zone}; }

WideNanos timestampNanos(const Timestamp &t) { return WideNanos(toSeconds(t.date)) * kNanosPerSecond + t.nanos; }

Timestamp timestampFromNanos(WideNanos nanos)
{
    WideNanos seconds = nanos / kNanosPerSecond;
    WideNanos rest = nanos % kNanosPerSecond;
    if (rest < 0) {
        rest += kNanosPerSecond;
        --seconds;
    }
    if (seconds > std::numeric_limits<std::int64_t>::max() / 2 || seconds < std::numeric_limits<std::int64_t>::min() / 2)
        raiseError(1841);
    return Timestamp{fromSeconds(static_cast<std::int64_t>(seconds)), static_cast<int>(rest)};
}

Timestamp roundFraction(const Timestamp &t, int digits)
{
    if (digits >= 9 || digits < 0)
        return t;
    const std::int64_t unit = kPowersOfTen[9 - digits];
    std::int64_t rounded = (t.nanos + unit / 2) / unit * unit;
    if (rounded < kNanosPerSecond)
        return Timestamp{t.date, static_cast<int>(rounded)};
    return Timestamp{fromSeconds(toSeconds(t.date) + 1), 0};
}

std::int64_t roundIntervalFraction(std::int64_t nanos, int digits)
{
    if (digits >= 9 || digits < 0)
        return nanos;
    const std::int64_t unit = kPowersOfTen[9 - digits];
    std::int64_t magnitude = nanos < 0 ? -nanos : nanos;
    magnitude = (magnitude + unit / 2) / unit * unit;
    return nanos < 0 ? -magnitude : magnitude;
}

Timestamp addMonthsExact(const Timestamp &t, std::int64_t months)
{
    std::int64_t total = std::int64_t(t.date.year) * 12 + (t.date.month - 1) + months;
    if (total < 12 || total >= 10000 * 12)
        raiseError(1841);
    Timestamp r = t;
    r.date.year = static_cast<int>(total / 12);
    r.date.month = static_cast<int>(total % 12) + 1;
    if (r.date.day > daysInMonth(r.date.year, r.date.month))
        raiseError(1839);
    return r;
}

void checkYearMonthPrecision(std::int64_t months, int leading)
{
    std::int64_t years = (months < 0 ? -months : months) / 12;
    if (leading >= 0 && leading <= 9 && years >= kPowersOfTen[leading])
        raiseError(1873);
}

void checkDaySecondPrecision(std::int64_t nanos, int leading)
{
    std::int64_t days = (nanos < 0 ? -(nanos / kNanosPerDay) : nanos / kNanosPerDay);
    if (leading >= 0 && leading <= 9 && days >= kPowersOfTen[leading])
        raiseError(1873);
}

std::int64_t narrowInterval(WideNanos nanos)
{
    if (nanos > std::numeric_limits<std::int64_t>::max() || nanos < -std::numeric_limits<std::int64_t>::max())
        raiseError(1873);
    return static_cast<std::int64_t>(nanos);
}

std::string yearMonthText(std::int64_t months, int leading)
{
    std::int64_t a = months < 0 ? -months : months;
    char text[48];
    std::snprintf(text, sizeof text, "%c%0*lld-%02lld", months < 0 ? '-' : '+', std::clamp(leading, 1, 9),
                  static_cast<long long>(a / 12), static_cast<long long>(a % 12));
    return text;
}

std::string daySecondText(std::int64_t nanos, int leading, int fraction)
{
    std::int64_t a = nanos < 0 ? -nanos : nanos;
    std::int64_t seconds = a / kNanosPerSecond;
    char text[64];
    int n = std::snprintf(text, sizeof text, "%c%0*lld %02lld:%02lld:%02lld", nanos < 0 ? '-' : '+',
                          std::clamp(leading, 1, 9), static_cast<long long>(seconds / 86400),
                          static_cast<long long>(seconds / 3600 % 24), static_cast<long long>(seconds / 60 % 60),
                          static_cast<long long>(seconds % 60));
    std::string out(text, static_cast<std::size_t>(n));
    if (fraction > 0) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%09lld", static_cast<long long>(a % kNanosPerSecond));
        out += '.';
        out.append(digits, static_cast<std::size_t>(std::min(fraction, 9)));
    }
    return out;
}

namespace {

// Splits interval text into its numbers: digits runs, with the separators between them.
struct IntervalText {
    bool negative = false;
    std::vector<std::string> numbers;
    std::string separators;  // one per gap
};

IntervalText splitInterval(std::string_view text)
{
    IntervalText out;
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ')
        ++pos;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+'))
        out.negative = text[pos++] == '-';
    std::string current;
    bool any = false;
    for (; pos < text.size(); ++pos) {
        char c = text[pos];
        if (ascii::isDigit(c)) {
            current += c;
            any = true;
        } else if (c == ' ' && pos + 1 < text.size() && text.find_first_not_of(' ', pos) == std::string_view::npos) {
            break;
        } else if (c == ' ' || c == ':' || c == '.' || c == '-') {
            if (!any)
                raiseError(1867);
            out.numbers.push_back(current);
            out.separators += c;
            current.clear();
            any = false;
        } else {
            raiseError(1867);
        }
    }
    if (!any)
        raiseError(1867);
    out.numbers.push_back(current);
    return out;
}

std::int64_t numberOf(const std::string &digits)
{
    if (digits.size() > 18)
        raiseError(1873);
    return std::stoll(digits);
}

int fieldIndex(const std::string &field)
{
    static const char *const kFields[] = {"DAY", "HOUR", "MINUTE", "SECOND"};
    for (int i = 0; i < 4; ++i)
        if (field == kFields[i])
            return i;
    raiseError(1867);
}

}  // namespace

std::int64_t parseYearMonth(std::string_view text, const std::string &first, const std::string &last, int leading)
{
    IntervalText t = splitInterval(text);
    std::int64_t months = 0;
    if (first == "YEAR" && last == "MONTH") {
        if (t.numbers.size() != 2 || t.separators != "-")
            raiseError(1867);
        std::int64_t m = numberOf(t.numbers[1]);
        if (m > 11)
            raiseError(1843);
        if (leading >= 0 && digitCount(numberOf(t.numbers[0])) > leading)
            raiseError(1873);
        months = numberOf(t.numbers[0]) * 12 + m;
    } else {
        if (t.numbers.size() != 1)
            raiseError(1867);
        std::int64_t v = numberOf(t.numbers[0]);
        if (leading >= 0 && digitCount(v) > leading)
            raiseError(1873);
        months = first == "YEAR" ? v * 12 : v;
    }
    return t.negative ? -months : months;
}

std::int64_t parseDaySecond(std::string_view text, const std::string &first, const std::string &last, int leading)
{
    IntervalText t = splitInterval(text);
    int from = fieldIndex(first), to = fieldIndex(last);
    if (to < from)
        raiseError(1867);
    // Expected separators between the fields: DAY ' ' HOUR ':' MINUTE ':' SECOND '.' fraction.
    static const char kSeparatorAfter[] = {' ', ':', ':', '.'};
    std::string expected;
    for (int f = from; f < to; ++f)
        expected += kSeparatorAfter[f];
    bool withFraction = to == 3 && t.separators.size() == expected.size() + 1 && t.separators.back() == '.';
    if (t.separators != expected && !withFraction)
        raiseError(1867);
    static const std::int64_t kUnit[] = {kNanosPerDay, 3600 * kNanosPerSecond, 60 * kNanosPerSecond, kNanosPerSecond};
    static const std::int64_t kLimit[] = {0, 23, 59, 59};
    static const int kRangeError[] = {0, 1850, 1851, 1852};
    WideNanos total = 0;
    for (int f = from; f <= to; ++f) {
        std::int64_t v = numberOf(t.numbers[std::size_t(f - from)]);
        if (f == from) {
            if (leading >= 0 && digitCount(v) > leading)
                raiseError(1873);
        } else if (v > kLimit[f]) {
            raiseError(kRangeError[f]);
        }
        total += WideNanos(v) * kUnit[f];
    }
    if (withFraction) {
        std::string digits = t.numbers.back();
        if (digits.size() > 9)
            raiseError(1867);
        digits.append(9 - digits.size(), '0');
        total += std::stoll(digits);
    }
    std::int64_t nanos = narrowInterval(total);
    return t.negative ? -nanos : nanos;
}

namespace {

// 'P' then number-unit pairs; units from the allowed list in order, 'T' before time units.
std::optional<WideNanos> parseIso(std::string_view text, bool yearMonth)
{
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ')
        ++pos;
    bool negative = false;
    if (pos < text.size() && text[pos] == '-') {
        negative = true;
        ++pos;
    }
    if (pos >= text.size() || ascii::toUpper(text[pos]) != 'P')
        return std::nullopt;
    ++pos;
    bool inTime = false, any = false;
    WideNanos total = 0;
    std::string lastUnits;
    while (pos < text.size() && text[pos] != ' ') {
        char c = ascii::toUpper(text[pos]);
        if (c == 'T') {
            if (yearMonth || inTime)
                return std::nullopt;
            inTime = true;
            ++pos;
            continue;
        }
        std::string digits, fraction;
        while (pos < text.size() && ascii::isDigit(text[pos]))
            digits += text[pos++];
        if (pos < text.size() && text[pos] == '.') {
            ++pos;
            while (pos < text.size() && ascii::isDigit(text[pos]))
                fraction += text[pos++];
        }
        if (digits.empty() || digits.size() > 12 || pos >= text.size())
            return std::nullopt;
        char unit = ascii::toUpper(text[pos++]);
        std::int64_t v = std::stoll(digits);
        if (yearMonth) {
            if ((unit != 'Y' && unit != 'M') || !fraction.empty())
                return std::nullopt;
            total += unit == 'Y' ? WideNanos(v) * 12 : v;
        } else if (!inTime && unit == 'D' && fraction.empty()) {
            total += WideNanos(v) * kNanosPerDay;
        } else if (inTime && (unit == 'H' || unit == 'M') && fraction.empty()) {
            total += WideNanos(v) * (unit == 'H' ? 3600 : 60) * kNanosPerSecond;
        } else if (inTime && unit == 'S') {
            total += WideNanos(v) * kNanosPerSecond;
            if (fraction.size() > 9)
                return std::nullopt;
            fraction.append(9 - fraction.size(), '0');
            total += std::stoll(fraction);
        } else {
            return std::nullopt;
        }
        any = true;
    }
    if (!any)
        return std::nullopt;
    return negative ? -total : total;
}

}  // namespace

std::optional<std::int64_t> parseIsoYearMonth(std::string_view text)
{
    auto v = parseIso(text, true);
    if (!v)
        return std::nullopt;
    return narrowInterval(*v);
}

std::optional<std::int64_t> parseIsoDaySecond(std::string_view text)
{
    auto v = parseIso(text, false);
    if (!v)
        return std::nullopt;
    return narrowInterval(*v);
}

}  // namespace localdb::functions
