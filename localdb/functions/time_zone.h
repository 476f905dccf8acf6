// Time zones of TIMESTAMP WITH TIME ZONE values: fixed offsets ('+09:00') and named regions
// ('America/New_York') read from the system's time zone database (/usr/share/zoneinfo), with the
// daylight-saving rules of each region at any instant.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace localdb::functions {

class ZoneRules;

// A zone as a value carries it: either a fixed offset or a region.
struct TimeZone {
    std::string name;  // "+09:00", "-05:30", or the region's own spelling "America/New_York"
    int fixedOffset = 0;  // seconds east of UTC, for an offset zone
    std::shared_ptr<const ZoneRules> rules;  // set for a region

    bool isRegion() const { return rules != nullptr; }
};

// What a zone says about one instant.
struct ZoneOffset {
    int offset = 0;  // seconds east of UTC
    bool daylight = false;
    std::string abbreviation;  // "EST", "JST"; empty for an offset zone
};

// Reads a zone as written: '+hh:mi', '-hh:mi', 'hh:mi' or a region name in any letter case.
// ORA-01882 for a region the database lacks; ORA-01857 for an offset out of range.
TimeZone findTimeZone(std::string_view text);

// The offset text '+hh:mi' of seconds east of UTC.
std::string offsetText(int seconds);

ZoneOffset offsetAtUtc(const TimeZone &zone, std::int64_t utcSeconds);

// UTC seconds of a local wall-clock time in the zone. A time skipped by a daylight-saving change
// is ORA-01878; a time that happens twice is taken in standard time.
std::int64_t localToUtc(const TimeZone &zone, std::int64_t localSeconds);

// The zone of the operating system now, as an offset ('+09:00'): the default session and
// SYSTIMESTAMP zone.
std::string systemOffsetText();

}  // namespace localdb::functions
