// Time zone regions from the system's compiled zone files: the transitions each file lists, and
// the rule string at its end for instants after the last transition (files may stop listing
// transitions in any year, so the rule carries daylight saving on for ever).
#include "localdb/functions/time_zone.h"

#include "localdb/functions/ascii_text.h"
#include "localdb/functions/date_calendar.h"
#include "localdb/functions/function_errors.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

namespace localdb::functions {

namespace {

const char *const kZoneDirectory = "/usr/share/zoneinfo";
constexpr std::size_t kLargestZoneFile = 1 << 20;

struct LocalType {
    int offset = 0;
    bool daylight = false;
    std::string abbreviation;
};

// A daylight-saving change of a rule string: Mm.w.d (day d of week w of month m, 5 = last),
// Jn (day n of a year without Feb 29) or n (0-based day of the year), at seconds of local time.
struct RuleDate {
    char form = 'M';
    int month = 0, week = 0, weekday = 0, day = 0;
    int time = 7200;
};

struct PosixRule {
    LocalType standard, daylight;
    bool hasDaylight = false;
    RuleDate start, end;
};

}  // namespace

class ZoneRules {
public:
    std::vector<std::int64_t> transitions;  // UTC seconds
    std::vector<std::uint8_t> typeAfter;    // local type in force from each transition
    std::vector<LocalType> types;
    std::optional<PosixRule> rule;

    ZoneOffset at(std::int64_t utc) const;
};

namespace {

std::int64_t bigEndian(const unsigned char *p, int bytes)
{
    std::uint64_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | p[i];
    if (bytes == 4)
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    return static_cast<std::int64_t>(v);
}

// Reads "name", "<+09>" style names of a rule string.
bool ruleName(std::string_view s, std::size_t &pos, std::string &out)
{
    if (pos < s.size() && s[pos] == '<') {
        std::size_t close = s.find('>', pos);
        if (close == std::string_view::npos)
            return false;
        out = std::string(s.substr(pos + 1, close - pos - 1));
        pos = close + 1;
        return true;
    }
    std::size_t start = pos;
    while (pos < s.size() && ascii::isAlpha(s[pos]))
        ++pos;
    out = std::string(s.substr(start, pos - start));
    return pos - start >= 3;
}

// [+|-]hh[:mm[:ss]] as seconds.
bool ruleTime(std::string_view s, std::size_t &pos, int &out)
{
    int sign = 1;
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-'))
        sign = s[pos++] == '-' ? -1 : 1;
    int parts[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            if (pos >= s.size() || s[pos] != ':')
                break;
            ++pos;
        }
        std::size_t start = pos;
        int v = 0;
        while (pos < s.size() && ascii::isDigit(s[pos]) && pos - start < 3)
            v = v * 10 + (s[pos++] - '0');
        if (pos == start)
            return false;
        parts[i] = v;
    }
    out = sign * (parts[0] * 3600 + parts[1] * 60 + parts[2]);
    return true;
}

bool ruleNumber(std::string_view s, std::size_t &pos, int &out)
{
    std::size_t start = pos;
    out = 0;
    while (pos < s.size() && ascii::isDigit(s[pos]) && pos - start < 4)
        out = out * 10 + (s[pos++] - '0');
    return pos > start;
}

bool ruleDate(std::string_view s, std::size_t &pos, RuleDate &out)
{
    if (pos < s.size() && s[pos] == 'M') {
        ++pos;
        out.form = 'M';
        if (!ruleNumber(s, pos, out.month) || pos >= s.size() || s[pos++] != '.' || !ruleNumber(s, pos, out.week) ||
            pos >= s.size() || s[pos++] != '.' || !ruleNumber(s, pos, out.weekday))
            return false;
        if (out.month < 1 || out.month > 12 || out.week < 1 || out.week > 5 || out.weekday > 6)
            return false;
    } else {
        out.form = 'n';
        if (pos < s.size() && s[pos] == 'J') {
            out.form = 'J';
            ++pos;
        }
        if (!ruleNumber(s, pos, out.day) || out.day > 365)
            return false;
    }
    if (pos < s.size() && s[pos] == '/') {
        ++pos;
        return ruleTime(s, pos, out.time);
    }
    return true;
}

std::optional<PosixRule> parseRule(std::string_view s)
{
    PosixRule r;
    std::size_t pos = 0;
    int offset = 0;
    if (!ruleName(s, pos, r.standard.abbreviation) || !ruleTime(s, pos, offset))
        return std::nullopt;
    r.standard.offset = -offset;  // the rule string counts west of UTC
    if (pos == s.size())
        return r;
    if (!ruleName(s, pos, r.daylight.abbreviation))
        return std::nullopt;
    r.daylight.daylight = true;
    r.daylight.offset = r.standard.offset + 3600;
    if (pos < s.size() && s[pos] != ',') {
        if (!ruleTime(s, pos, offset))
            return std::nullopt;
        r.daylight.offset = -offset;
    }
    if (pos >= s.size() || s[pos++] != ',' || !ruleDate(s, pos, r.start) || pos >= s.size() || s[pos++] != ',' ||
        !ruleDate(s, pos, r.end) || pos != s.size())
        return std::nullopt;
    r.hasDaylight = true;
    return r;
}

// Local seconds since the epoch at which a rule date falls in a year.
std::int64_t ruleLocalSeconds(const RuleDate &d, int year)
{
    std::int64_t day = 0;
    if (d.form == 'M') {
        std::int64_t first = daysFromCivil(year, d.month, 1);
        int firstWeekday = static_cast<int>(((first % 7) + 11) % 7);  // 1970-01-01 was a Thursday (4)
        std::int64_t candidate = first + (d.weekday - firstWeekday + 7) % 7 + 7 * (d.week - 1);
        while (candidate >= first + daysInMonth(year, d.month))
            candidate -= 7;
        day = candidate;
    } else if (d.form == 'J') {
        int n = d.day;  // 1-based, February 29 never counted
        day = daysFromCivil(year, 1, 1) + n - 1 + (isLeapYear(year) && n > 59 ? 1 : 0);
    } else {
        day = daysFromCivil(year, 1, 1) + d.day;
    }
    return day * 86400 + d.time;
}

ZoneOffset fromType(const LocalType &t) { return ZoneOffset{t.offset, t.daylight, t.abbreviation}; }

ZoneOffset ruleAt(const PosixRule &r, std::int64_t utc)
{
    if (!r.hasDaylight)
        return fromType(r.standard);
    std::int64_t localStd = utc + r.standard.offset;
    int year, month, day;
    civilFromDays(localStd >= 0 ? localStd / 86400 : (localStd - 86399) / 86400, year, month, day);
    // The change to daylight time happens at a standard-time clock reading, the change back at
    // a daylight-time one.
    std::int64_t start = ruleLocalSeconds(r.start, year) - r.standard.offset;
    std::int64_t end = ruleLocalSeconds(r.end, year) - r.daylight.offset;
    bool inDaylight = start < end ? (utc >= start && utc < end) : !(utc >= end && utc < start);
    return fromType(inDaylight ? r.daylight : r.standard);
}

std::shared_ptr<ZoneRules> readZoneFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return nullptr;
    std::vector<unsigned char> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (data.size() < 44 || data.size() > kLargestZoneFile || std::memcmp(data.data(), "TZif", 4) != 0)
        return nullptr;
    auto counts = [&](std::size_t at, std::int64_t c[6]) {
        for (int i = 0; i < 6; ++i)
            c[i] = bigEndian(&data[at + 20 + 4 * std::size_t(i)], 4);
    };
    std::int64_t c[6];  // isutcnt, isstdcnt, leapcnt, timecnt, typecnt, charcnt
    counts(0, c);
    std::size_t pos = 44;
    int timeBytes = 4;
    if (data[4] >= '2') {
        // Skip the 32-bit block; the 64-bit one after it covers every year.
        pos += std::size_t(c[3] * 5 + c[4] * 6 + c[5] + c[2] * 8 + c[1] + c[0]);
        if (pos + 44 > data.size() || std::memcmp(&data[pos], "TZif", 4) != 0)
            return nullptr;
        counts(pos, c);
        pos += 44;
        timeBytes = 8;
    }
    for (std::int64_t v : c)
        if (v < 0 || v > 100000)
            return nullptr;
    std::size_t need = std::size_t(c[3] * (timeBytes + 1) + c[4] * 6 + c[5] + c[2] * (timeBytes + 4) + c[1] + c[0]);
    if (pos + need > data.size() || c[4] == 0)
        return nullptr;
    auto rules = std::make_shared<ZoneRules>();
    for (std::int64_t i = 0; i < c[3]; ++i)
        rules->transitions.push_back(bigEndian(&data[pos + std::size_t(i) * std::size_t(timeBytes)], timeBytes));
    pos += std::size_t(c[3] * timeBytes);
    for (std::int64_t i = 0; i < c[3]; ++i) {
        std::uint8_t t = data[pos + std::size_t(i)];
        if (t >= c[4])
            return nullptr;
        rules->typeAfter.push_back(t);
    }
    pos += std::size_t(c[3]);
    std::size_t typesAt = pos, charsAt = pos + std::size_t(c[4] * 6);
    for (std::int64_t i = 0; i < c[4]; ++i) {
        const unsigned char *p = &data[typesAt + std::size_t(i) * 6];
        LocalType t;
        t.offset = static_cast<int>(bigEndian(p, 4));
        t.daylight = p[4] != 0;
        std::size_t a = charsAt + p[5];
        while (a < charsAt + std::size_t(c[5]) && data[a])
            t.abbreviation += char(data[a++]);
        rules->types.push_back(t);
    }
    pos = charsAt + std::size_t(c[5]) + std::size_t(c[2] * (timeBytes + 4) + c[1] + c[0]);
    if (timeBytes == 8 && pos < data.size() && data[pos] == '\n') {
        std::size_t end = pos + 1;
        while (end < data.size() && data[end] != '\n')
            ++end;
        if (end < data.size())
            rules->rule = parseRule(std::string_view(reinterpret_cast<const char *>(&data[pos + 1]), end - pos - 1));
    }
    return rules;
}

// Region names in upper case -> their spelling in the database, found once by walking it.
const std::map<std::string, std::string> &regionIndex()
{
    static const std::map<std::string, std::string> index = [] {
        std::map<std::string, std::string> out;
        std::error_code ec;
        namespace fs = std::filesystem;
        fs::recursive_directory_iterator it(kZoneDirectory, fs::directory_options::skip_permission_denied, ec), end;
        for (; !ec && it != end; it.increment(ec)) {
            std::string relative = it->path().lexically_relative(kZoneDirectory).generic_string();
            if (it->is_directory(ec)) {
                if (relative == "posix" || relative == "right")
                    it.disable_recursion_pending();
                continue;
            }
            if (relative.find('.') != std::string::npos || relative == "posixrules" || relative == "localtime" ||
                relative == "Factory")
                continue;
            out.emplace(ascii::upper(relative), relative);
        }
        return out;
    }();
    return index;
}

std::shared_ptr<const ZoneRules> regionRules(const std::string &name)
{
    static std::mutex mutex;
    static std::map<std::string, std::shared_ptr<const ZoneRules>> loaded;
    std::lock_guard<std::mutex> lock(mutex);
    auto found = loaded.find(name);
    if (found != loaded.end())
        return found->second;
    auto rules = readZoneFile(std::string(kZoneDirectory) + "/" + name);
    loaded.emplace(name, rules);
    return rules;
}

}  // namespace

ZoneOffset ZoneRules::at(std::int64_t utc) const
{
    if (transitions.empty() || utc < transitions.front()) {
        if (transitions.empty() && rule)
            return ruleAt(*rule, utc);
        // Before the first change: the first standard-time type.
        for (const LocalType &t : types)
            if (!t.daylight)
                return fromType(t);
        return fromType(types.front());
    }
    if (utc >= transitions.back() && rule)
        return ruleAt(*rule, utc);
    auto it = std::upper_bound(transitions.begin(), transitions.end(), utc);
    return fromType(types[typeAfter[std::size_t(it - transitions.begin() - 1)]]);
}

std::string offsetText(int seconds)
{
    char text[16];
    int a = seconds < 0 ? -seconds : seconds;
    std::snprintf(text, sizeof text, "%c%02d:%02d", seconds < 0 ? '-' : '+', a / 3600, a / 60 % 60);
    return text;
}

TimeZone findTimeZone(std::string_view written)
{
    std::string text = ascii::upper(std::string(written));
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    while (!text.empty() && text.front() == ' ')
        text.erase(0, 1);
    if (!text.empty() && (text[0] == '+' || text[0] == '-' || ascii::isDigit(text[0]))) {
        std::size_t pos = 0;
        int sign = 1;
        if (text[0] == '+' || text[0] == '-')
            sign = text[pos++] == '-' ? -1 : 1;
        int hours = 0, minutes = 0, digits = 0;
        while (pos < text.size() && ascii::isDigit(text[pos]) && digits < 2) {
            hours = hours * 10 + (text[pos++] - '0');
            ++digits;
        }
        if (digits == 0 || pos >= text.size() || text[pos] != ':')
            raiseError(1857);
        ++pos;
        digits = 0;
        while (pos < text.size() && ascii::isDigit(text[pos]) && digits < 2) {
            minutes = minutes * 10 + (text[pos++] - '0');
            ++digits;
        }
        if (digits == 0 || pos != text.size())
            raiseError(1857);
        if (hours > 14 || (hours == 14 && minutes > 0))
            raiseError(1874);
        if (minutes > 59)
            raiseError(1875);
        TimeZone zone;
        zone.fixedOffset = sign * (hours * 3600 + minutes * 60);
        zone.name = offsetText(zone.fixedOffset);
        return zone;
    }
    const auto &index = regionIndex();
    auto found = index.find(text);
    if (found == index.end())
        raiseError(1882);
    TimeZone zone;
    zone.name = found->second;
    zone.rules = regionRules(found->second);
    if (!zone.rules)
        raiseError(1882);
    return zone;
}

ZoneOffset offsetAtUtc(const TimeZone &zone, std::int64_t utcSeconds)
{
    if (!zone.rules)
        return ZoneOffset{zone.fixedOffset, false, {}};
    return zone.rules->at(utcSeconds);
}

std::int64_t localToUtc(const TimeZone &zone, std::int64_t localSeconds)
{
    if (!zone.rules)
        return localSeconds - zone.fixedOffset;
    // The offsets in force a day either side bound every reading of this local time.
    int before = zone.rules->at(localSeconds - 86400).offset;
    int after = zone.rules->at(localSeconds + 86400).offset;
    std::optional<std::int64_t> chosen;
    bool chosenDaylight = true;
    for (int offset : {before, after}) {
        std::int64_t utc = localSeconds - offset;
        ZoneOffset z = zone.rules->at(utc);
        if (z.offset != offset)
            continue;
        if (!chosen || (chosenDaylight && !z.daylight)) {
            chosen = utc;
            chosenDaylight = z.daylight;
        }
    }
    if (!chosen)
        raiseError(1878);
    return *chosen;
}

std::string systemOffsetText()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return offsetText(static_cast<int>(local.tm_gmtoff));
}

}  // namespace localdb::functions
