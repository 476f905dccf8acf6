// TO_CHAR and TO_TIMESTAMP for timestamps: the timestamp elements here, the rest as for dates.
#include "localdb/functions/timestamp_format.h"

#include "localdb/functions/ascii_text.h"
#include "localdb/functions/date_format_model.h"
#include "localdb/functions/function_errors.h"

#include <cstdio>
#include <cstdlib>

namespace localdb::functions {

namespace {

std::string zoneItemText(const DateFormatItem &item, const TimestampDisplay &value)
{
    if (!value.zone)
        raiseError(1821);
    const int offset = value.offset.offset;
    char text[16];
    switch (item.element) {
    case DateElement::ZoneHour:
        std::snprintf(text, sizeof text, "%c%02d", offset < 0 ? '-' : '+', std::abs(offset) / 3600);
        return text;
    case DateElement::ZoneMinute:
        std::snprintf(text, sizeof text, "%02d", std::abs(offset) / 60 % 60);
        return text;
    case DateElement::ZoneRegion:
        return value.zone->isRegion() ? ascii::upper(value.zone->name) : value.zone->name;
    default:
        // TZD: the abbreviation in force, known only for a region.
        return value.zone->isRegion() ? value.offset.abbreviation : std::string();
    }
}

}  // namespace

std::string formatTimestamp(const TimestampDisplay &value, std::string_view model, const DateFormatSettings &settings)
{
    std::string text;
    const std::vector<DateFormatItem> items = parseDateFormatModel(model);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const DateFormatItem &item = items[i];
        switch (item.element) {
        case DateElement::Fraction: {
            int digits = item.digits > 0 ? item.digits : value.precision;
            char all[16];
            std::snprintf(all, sizeof all, "%09d", value.local.nanos);
            text.append(all, static_cast<std::size_t>(digits));
            break;
        }
        case DateElement::Radix:
            // No radix before a fraction of no digits: TIMESTAMP(0) shows whole seconds.
            if (!(i + 1 < items.size() && items[i + 1].element == DateElement::Fraction && items[i + 1].digits == 0 &&
                  value.precision == 0))
                text += '.';
            break;
        case DateElement::ZoneHour:
        case DateElement::ZoneMinute:
        case DateElement::ZoneRegion:
        case DateElement::ZoneAbbreviation:
            text += zoneItemText(item, value);
            break;
        default:
            text += formatDateItem(item, value.local.date, settings);
        }
    }
    return text;
}

Timestamp parseTimestamp(std::string_view text, std::string_view model, const DateFormatSettings &settings,
                         std::optional<TimeZone> *zone)
{
    TimestampParts parts;
    DateTime date = parseDateParts(text, model, settings, &parts);
    if (zone) {
        if (!parts.zoneRegion.empty()) {
            *zone = findTimeZone(parts.zoneRegion);
        } else if (parts.hasZoneHour) {
            char offset[32];
            std::snprintf(offset, sizeof offset, "%c%02d:%02d", parts.zoneHour < 0 || parts.zoneMinute < 0 ? '-' : '+',
                          std::abs(parts.zoneHour), std::abs(parts.zoneMinute));
            *zone = findTimeZone(offset);
        }
    } else if (!parts.zoneRegion.empty() || parts.hasZoneHour) {
        raiseError(1821);
    }
    return Timestamp{date, parts.nanos};
}

}  // namespace localdb::functions
