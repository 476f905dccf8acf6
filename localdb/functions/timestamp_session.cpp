// The session's time zone and the display text of timestamps and intervals.
#include "localdb/functions/timestamp_session.h"

#include "localdb/functions/ascii_text.h"
#include "localdb/functions/date_calendar.h"
#include "localdb/functions/function_errors.h"
#include "localdb/functions/sqlite_arguments.h"
#include "localdb/functions/timestamp_format.h"

namespace localdb::functions {

TimeZone sessionTimeZone(const SessionContext &session)
{
    return findTimeZone(session.nls.timeZone.empty() ? systemOffsetText() : session.nls.timeZone);
}

std::string sessionTimeZoneSetting(const std::string &value, int position)
{
    const std::string word = ascii::upper(value);
    if (word == "LOCAL")
        return {};
    if (word == "DBTIMEZONE")
        return kDatabaseTimeZone;
    try {
        return findTimeZone(value).name;
    } catch (const Error &e) {
        throw Error(e.code(), e.what(), position);
    }
}

ZonedTimestamp zonedOf(const std::string &stored, Temporal kind, const SessionContext &session)
{
    if (kind == Temporal::TimestampTz) {
        if (auto z = parseStorageZoned(stored))
            return *z;
        raiseError(1891);
    }
    auto t = parseStorageTimestamp(stored);
    if (!t)
        raiseError(1891);
    if (kind == Temporal::TimestampLtz)
        return ZonedTimestamp{*t, sessionTimeZone(session)};
    return zonedFromLocal(*t, sessionTimeZone(session));
}

std::string temporalDisplayText(const std::string &stored, Temporal kind, int leading, int fraction,
                                const SessionContext &session)
{
    (void)leading;
    TimestampDisplay display;
    display.precision = fraction;
    const DateFormatSettings settings = dateSettingsOf(session);
    if (kind == Temporal::Timestamp) {
        auto t = parseStorageTimestamp(stored);
        if (!t)
            return stored;
        display.local = *t;
        return formatTimestamp(display, session.nls.timestampFormat, settings);
    }
    ZonedTimestamp z = zonedOf(stored, kind, session);
    display.local = z.local();
    if (kind == Temporal::TimestampLtz)
        return formatTimestamp(display, session.nls.timestampFormat, settings);
    display.zone = &z.zone;
    display.offset = z.offset();
    return formatTimestamp(display, session.nls.timestampTzFormat, settings);
}

std::string intervalDisplayText(std::int64_t stored, Temporal kind, int leading, int fraction)
{
    if (kind == Temporal::YearMonth)
        return yearMonthText(stored, leading);
    return daySecondText(stored, leading, fraction);
}

}  // namespace localdb::functions
