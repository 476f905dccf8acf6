// SQLite entry points of the timestamp and interval functions and operators. The binder passes
// the static kind of each datetime argument (the Temporal code) after it, since the storage text
// alone does not say whether a value is a TIMESTAMP or one kept in the database time zone.
#include "localdb/functions/ascii_text.h"
#include "localdb/functions/date_calendar.h"
#include "localdb/functions/date_functions.h"
#include "localdb/functions/nls_parameters.h"
#include "localdb/functions/function_errors.h"
#include "localdb/functions/function_registry.h"
#include "localdb/functions/timestamp_format.h"
#include "localdb/functions/timestamp_functions.h"
#include "localdb/functions/timestamp_session.h"

#include <cmath>
#include <stdexcept>

namespace localdb::functions {

namespace {

Temporal kindAt(Arguments &a, int i) { return static_cast<Temporal>(a.integer(i)); }

// The date language an nlsparams argument ('NLS_DATE_LANGUAGE = JAPANESE') asks for.
DateLanguage languageOf(const std::string &parameters, const SessionContext &session)
{
    NlsSettings nls = session.nls;
    applyNlsParameters(parameters, nls);
    return dateLanguageFor(nls.language);
}

ZonedTimestamp zonedAt(Arguments &a, int i, Temporal kind) { return zonedOf(a.text(i), kind, a.session()); }

// The wall-clock time of a datetime argument of any kind; text is read by the session's format
// for the kind.
Timestamp localAt(Arguments &a, int i, Temporal kind)
{
    if (kind == Temporal::Date || kind == Temporal::Timestamp) {
        if (auto t = parseStorageTimestamp(a.text(i)))
            return *t;
        raiseError(1891);
    }
    return zonedAt(a, i, kind).local();
}

// The value in the storage form of a kind, fraction rounded to the given digits.
void setTemporal(Arguments &a, const ZonedTimestamp &z, Temporal kind, int fraction)
{
    switch (kind) {
    case Temporal::Date:
        a.setText(storageText(z.local().date));
        return;
    case Temporal::Timestamp:
        a.setText(timestampStorage(roundFraction(z.local(), fraction)));
        return;
    case Temporal::TimestampLtz:
        a.setText(timestampStorage(roundFraction(z.utc, fraction)));
        return;
    default:
        a.setText(zonedStorage(ZonedTimestamp{roundFraction(z.utc, fraction), z.zone}));
        return;
    }
}

// Reads text as a datetime of a kind by the session's default format for it.
ZonedTimestamp zonedFromText(Arguments &a, int i, Temporal kind)
{
    const SessionContext &s = a.session();
    const DateFormatSettings settings = dateSettingsOf(s);
    if (kind == Temporal::Date)
        return zonedFromLocal(Timestamp{a.date(i), 0}, sessionTimeZone(s));
    // A date bound by a caller arrives in the storage form, whatever the session's format.
    if (auto stored = parseStorageTimestamp(a.text(i)))
        return zonedFromLocal(*stored, sessionTimeZone(s));
    std::optional<TimeZone> zone;
    Timestamp t = parseTimestamp(a.text(i), kind == Temporal::TimestampTz ? s.nls.timestampTzFormat : s.nls.timestampFormat,
                                 settings, kind == Temporal::TimestampTz ? &zone : nullptr);
    return zonedFromLocal(t, zone ? *zone : sessionTimeZone(s));
}

// ora_ts_convert(value, from kind, to kind, fraction): between datetime kinds; kind 0 is text.
void convertBody(Arguments &a)
{
    Temporal from = kindAt(a, 1), to = kindAt(a, 2);
    int fraction = static_cast<int>(a.integer(3));
    if (from == Temporal::None) {
        setTemporal(a, zonedFromText(a, 0, to), to, fraction);
        return;
    }
    if ((from == Temporal::Date || from == Temporal::Timestamp) && (to == Temporal::Date || to == Temporal::Timestamp)) {
        Timestamp t = localAt(a, 0, from);
        if (to == Temporal::Date)
            a.setText(storageText(t.date));
        else
            a.setText(timestampStorage(roundFraction(t, fraction)));
        return;
    }
    setTemporal(a, zonedAt(a, 0, from), to, fraction);
}

// ora_ts_text(value, kind, fraction): the session's default text of a timestamp.
void textBody(Arguments &a)
{
    a.setText(temporalDisplayText(a.text(0), kindAt(a, 1), 0, static_cast<int>(a.integer(2)), a.session()));
}

// ora_interval_text(value, kind, leading, fraction)
void intervalTextBody(Arguments &a)
{
    a.setText(intervalDisplayText(a.integer(0), kindAt(a, 1), static_cast<int>(a.integer(2)),
                                  static_cast<int>(a.integer(3))));
}

// ora_ts_to_char(value, kind, fraction, format [, nls parameters])
void toCharBody(Arguments &a)
{
    Temporal kind = kindAt(a, 1);
    TimestampDisplay display;
    display.precision = static_cast<int>(a.integer(2));
    ZonedTimestamp z = kind == Temporal::Date || kind == Temporal::Timestamp
                           ? ZonedTimestamp{localAt(a, 0, kind), TimeZone{}}
                           : zonedAt(a, 0, kind);
    display.local = kind == Temporal::Date || kind == Temporal::Timestamp ? z.utc : z.local();
    if (kind == Temporal::TimestampTz) {
        display.zone = &z.zone;
        display.offset = z.offset();
    }
    const SessionContext &s = a.session();
    std::string model = a.count() > 3 ? a.text(3) : kind == Temporal::TimestampTz ? s.nls.timestampTzFormat : s.nls.timestampFormat;
    DateFormatSettings settings = dateSettingsOf(s);
    if (a.count() > 4)
        settings.language = languageOf(a.text(4), s);
    a.setText(formatTimestamp(display, model, settings));
}

// ora_to_timestamp(text, zoned [, format [, nls parameters]])
void toTimestampBody(Arguments &a)
{
    const SessionContext &s = a.session();
    bool zoned = a.integer(1) != 0;
    std::string model = a.count() > 2 ? a.text(2) : zoned ? s.nls.timestampTzFormat : s.nls.timestampFormat;
    DateFormatSettings settings = dateSettingsOf(s);
    if (a.count() > 3)
        settings.language = languageOf(a.text(3), s);
    std::optional<TimeZone> zone;
    Timestamp t = parseTimestamp(a.text(0), model, settings, zoned ? &zone : nullptr);
    if (!zoned)
        a.setText(timestampStorage(t));
    else
        a.setText(zonedStorage(zonedFromLocal(t, zone ? *zone : sessionTimeZone(s))));
}

// ora_systimestamp(kind): SYSTIMESTAMP (3), CURRENT_TIMESTAMP (3 in the session zone),
// LOCALTIMESTAMP (2), CURRENT_DATE (1). The second argument says whether the session's zone applies.
void clockBody(Arguments &a)
{
    const SessionContext &s = a.session();
    Temporal kind = kindAt(a, 0);
    bool sessionZone = a.integer(1) != 0;
    DateFormatSettings settings = dateSettingsOf(s);
    TimeZone system = findTimeZone(systemOffsetText());
    ZonedTimestamp now = zonedFromLocal(Timestamp{settings.now, s.statementNanos}, system);
    if (sessionZone)
        now.zone = sessionTimeZone(s);
    setTemporal(a, now, kind, 6);
}

void sessionZoneBody(Arguments &a)
{
    const SessionContext &s = a.session();
    a.setText(s.nls.timeZone.empty() ? systemOffsetText() : s.nls.timeZone);
}

void databaseZoneBody(Arguments &a) { a.setText(kDatabaseTimeZone); }

// ora_ts_diff(a, kind a, b, kind b): a - b as nanoseconds; in UTC when either has a zone.
void diffBody(Arguments &a)
{
    Temporal ka = kindAt(a, 1), kb = kindAt(a, 3);
    bool local = (ka == Temporal::Date || ka == Temporal::Timestamp) && (kb == Temporal::Date || kb == Temporal::Timestamp);
    WideNanos left = local ? timestampNanos(localAt(a, 0, ka)) : timestampNanos(zonedAt(a, 0, ka).utc);
    WideNanos right = local ? timestampNanos(localAt(a, 2, kb)) : timestampNanos(zonedAt(a, 2, kb).utc);
    a.setInteger(narrowInterval(left - right));
}

// ora_ts_add(value, kind, interval, interval kind, sign): datetime +/- interval, same kind back.
void addIntervalBody(Arguments &a)
{
    Temporal kind = kindAt(a, 1);
    Temporal intervalKind = kindAt(a, 3);
    std::int64_t amount = a.integer(2) * (a.integer(4) < 0 ? -1 : 1);
    bool local = kind == Temporal::Date || kind == Temporal::Timestamp;
    ZonedTimestamp z = local ? ZonedTimestamp{localAt(a, 0, kind), TimeZone{}} : zonedAt(a, 0, kind);
    // Zoned values move in UTC, so a day across a daylight-saving change is 24 hours.
    Timestamp moved = intervalKind == Temporal::YearMonth ? addMonthsExact(z.utc, amount)
                                                          : timestampFromNanos(timestampNanos(z.utc) + amount);
    if (local) {
        a.setText(kind == Temporal::Date ? storageText(moved.date) : timestampStorage(moved));
        return;
    }
    z.utc = moved;
    setTemporal(a, z, kind, 9);
}

// ora_ts_add_days(value, kind, days): TIMESTAMP + NUMBER, a DATE.
void addDaysBody(Arguments &a)
{
    Temporal kind = kindAt(a, 1);
    Timestamp t = localAt(a, 0, kind);
    a.setText(storageText(addDays(t.date, a.real(2))));
}

// ora_ds_check(nanos, leading, fraction), ora_ym_check(months, leading): values stored in or cast
// to an interval type.
void daySecondCheckBody(Arguments &a)
{
    std::int64_t v = roundIntervalFraction(a.integer(0), static_cast<int>(a.integer(2)));
    checkDaySecondPrecision(v, static_cast<int>(a.integer(1)));
    a.setInteger(v);
}

void yearMonthCheckBody(Arguments &a)
{
    std::int64_t v = a.integer(0);
    checkYearMonthPrecision(v, static_cast<int>(a.integer(1)));
    a.setInteger(v);
}

// ora_ds_scale(nanos, factor, divide): interval * n and interval / n.
void daySecondScaleBody(Arguments &a)
{
    double factor = a.real(1);
    if (a.integer(2) != 0) {
        if (factor == 0)
            raiseError(1476);
        factor = 1 / factor;
    }
    long double v = static_cast<long double>(a.integer(0)) * factor;
    if (!(std::fabs(v) < 9.2e18L))
        raiseError(1873);
    a.setInteger(std::llround(v));
}

void yearMonthScaleBody(Arguments &a)
{
    double factor = a.real(1);
    if (a.integer(2) != 0) {
        if (factor == 0)
            raiseError(1476);
        factor = 1 / factor;
    }
    double v = static_cast<double>(a.integer(0)) * factor;
    if (!(std::fabs(v) < 9e15))
        raiseError(1873);
    a.setInteger(static_cast<std::int64_t>(std::trunc(v)));
}

void numToDsIntervalBody(Arguments &a)
{
    std::string unit = ascii::upper(a.text(1));
    while (!unit.empty() && unit.back() == ' ')
        unit.pop_back();
    double seconds = 0;
    if (unit == "DAY")
        seconds = 86400;
    else if (unit == "HOUR")
        seconds = 3600;
    else if (unit == "MINUTE")
        seconds = 60;
    else if (unit == "SECOND")
        seconds = 1;
    else
        raiseError(1760);
    long double nanos = static_cast<long double>(a.real(0)) * seconds * kNanosPerSecond;
    if (!(std::fabs(nanos) < 9.2e18L))
        raiseError(1873);
    a.setInteger(std::llround(nanos));
}

void numToYmIntervalBody(Arguments &a)
{
    std::string unit = ascii::upper(a.text(1));
    while (!unit.empty() && unit.back() == ' ')
        unit.pop_back();
    double months = 0;
    if (unit == "YEAR")
        months = a.real(0) * 12;
    else if (unit == "MONTH")
        months = a.real(0);
    else
        raiseError(1760);
    if (!(std::fabs(months) < 9e15))
        raiseError(1873);
    a.setInteger(static_cast<std::int64_t>(std::trunc(months + (months < 0 ? -1e-9 : 1e-9))));
}

void toDsIntervalBody(Arguments &a)
{
    std::string text = a.text(0);
    if (auto iso = parseIsoDaySecond(text)) {
        a.setInteger(*iso);
        return;
    }
    a.setInteger(parseDaySecond(text, "DAY", "SECOND", 9));
}

void toYmIntervalBody(Arguments &a)
{
    std::string text = a.text(0);
    if (auto iso = parseIsoYearMonth(text)) {
        a.setInteger(*iso);
        return;
    }
    a.setInteger(parseYearMonth(text, "YEAR", "MONTH", 9));
}

// ora_extract_ts(field, value, kind)
void extractTimestampBody(Arguments &a)
{
    std::string field = ascii::upper(a.text(0));
    Temporal kind = kindAt(a, 2);
    if (kind == Temporal::Date && field != "YEAR" && field != "MONTH" && field != "DAY")
        raiseError(30076);
    bool zoned = kind == Temporal::TimestampTz || kind == Temporal::TimestampLtz;
    if (field.rfind("TIMEZONE", 0) == 0 && kind != Temporal::TimestampTz)
        raiseError(30076);
    // A zoned value's date and time fields are those of UTC.
    Timestamp t = zoned ? zonedAt(a, 1, kind).utc : localAt(a, 1, kind);
    if (field == "YEAR")
        a.setInteger(t.date.year);
    else if (field == "MONTH")
        a.setInteger(t.date.month);
    else if (field == "DAY")
        a.setInteger(t.date.day);
    else if (field == "HOUR")
        a.setInteger(t.date.hour);
    else if (field == "MINUTE")
        a.setInteger(t.date.minute);
    else if (field == "SECOND")
        a.setNumber(DecimalNumber::parse(std::to_string(t.date.second) + "." + [&] {
                        char d[16];
                        std::snprintf(d, sizeof d, "%09d", t.nanos);
                        return std::string(d);
                    }()).value_or(DecimalNumber::fromInt64(t.date.second)));
    else if (field == "TIMEZONE_HOUR" || field == "TIMEZONE_MINUTE") {
        int offset = zonedAt(a, 1, kind).offset().offset;
        int sign = offset < 0 ? -1 : 1;
        int magnitude = offset < 0 ? -offset : offset;
        a.setInteger(sign * (field == "TIMEZONE_HOUR" ? magnitude / 3600 : magnitude / 60 % 60));
    } else if (field == "TIMEZONE_REGION" || field == "TIMEZONE_ABBR") {
        ZonedTimestamp z = zonedAt(a, 1, kind);
        if (!z.zone.isRegion())
            a.setText(field == "TIMEZONE_REGION" ? "UNKNOWN" : "UNK");
        else
            a.setText(field == "TIMEZONE_REGION" ? z.zone.name : z.offset().abbreviation);
    } else {
        raiseError(30076);
    }
}

// ora_extract_interval(field, value, kind)
void extractIntervalBody(Arguments &a)
{
    std::string field = ascii::upper(a.text(0));
    Temporal kind = kindAt(a, 2);
    std::int64_t v = a.integer(1);
    int sign = v < 0 ? -1 : 1;
    std::int64_t m = v < 0 ? -v : v;
    if (kind == Temporal::YearMonth) {
        if (field == "YEAR")
            a.setInteger(sign * (m / 12));
        else if (field == "MONTH")
            a.setInteger(sign * (m % 12));
        else
            raiseError(30076);
        return;
    }
    std::int64_t seconds = m / kNanosPerSecond;
    if (field == "DAY")
        a.setInteger(sign * (seconds / 86400));
    else if (field == "HOUR")
        a.setInteger(sign * (seconds / 3600 % 24));
    else if (field == "MINUTE")
        a.setInteger(sign * (seconds / 60 % 60));
    else if (field == "SECOND") {
        char text[48];
        std::snprintf(text, sizeof text, "%s%lld.%09lld", sign < 0 ? "-" : "", static_cast<long long>(seconds % 60),
                      static_cast<long long>(m % kNanosPerSecond));
        a.setNumber(DecimalNumber::parse(text).value_or(DecimalNumber::fromInt64(0)));
    } else {
        raiseError(30076);
    }
}

// ora_from_tz(timestamp, kind, zone text)
void fromTzBody(Arguments &a)
{
    Timestamp t = localAt(a, 0, kindAt(a, 1));
    a.setText(zonedStorage(zonedFromLocal(t, findTimeZone(a.text(2)))));
}

// ora_at_time_zone(value, kind, zone text or NULL for the session's zone)
void atTimeZoneBody(Arguments &a)
{
    if (a.isNull(0))
        return;
    ZonedTimestamp z = zonedAt(a, 0, kindAt(a, 1));
    z.zone = a.isNull(2) ? sessionTimeZone(a.session()) : findTimeZone(a.text(2));
    a.setText(zonedStorage(z));
}

// ora_sys_extract_utc(value, kind)
void extractUtcBody(Arguments &a) { a.setText(timestampStorage(zonedAt(a, 0, kindAt(a, 1)).utc)); }

// ora_tz_offset(zone): '+09:00' of a zone now.
void tzOffsetBody(Arguments &a)
{
    std::string text = a.text(0);
    std::string word = ascii::upper(text);
    if (word == "SESSIONTIMEZONE")
        text = a.session().nls.timeZone.empty() ? systemOffsetText() : a.session().nls.timeZone;
    else if (word == "DBTIMEZONE")
        text = kDatabaseTimeZone;
    TimeZone zone = findTimeZone(text);
    const DateFormatSettings settings = dateSettingsOf(a.session());
    a.setText(offsetText(offsetAtUtc(zone, toSeconds(settings.now)).offset));
}

void nullHandledConvert(Arguments &a)
{
    if (a.isNull(0) || (a.type(0) == SQLITE_TEXT && a.text(0).empty()))
        return;
    convertBody(a);
}

struct Helper {
    const char *name;
    ScalarEntry entry;
    bool deterministic;
};

const Helper kHelpers[] = {
    {"ora_ts_convert", scalarEntry<nullHandledConvert, NullArguments::Handled>, false},
    {"ora_ts_text", scalarEntry<textBody>, false},
    {"ora_interval_text", scalarEntry<intervalTextBody>, true},
    {"ora_ts_to_char", scalarEntry<toCharBody>, false},
    {"ora_to_timestamp", scalarEntry<toTimestampBody>, false},
    {"ora_clock", scalarEntry<clockBody>, false},
    {"ora_sessiontimezone", scalarEntry<sessionZoneBody>, false},
    {"ora_dbtimezone", scalarEntry<databaseZoneBody>, true},
    {"ora_ts_diff", scalarEntry<diffBody>, false},
    {"ora_ts_add", scalarEntry<addIntervalBody>, false},
    {"ora_ts_add_days", scalarEntry<addDaysBody>, false},
    {"ora_ds_check", scalarEntry<daySecondCheckBody>, true},
    {"ora_ym_check", scalarEntry<yearMonthCheckBody>, true},
    {"ora_ds_scale", scalarEntry<daySecondScaleBody>, true},
    {"ora_ym_scale", scalarEntry<yearMonthScaleBody>, true},
    {"ora_numtodsinterval", scalarEntry<numToDsIntervalBody>, true},
    {"ora_numtoyminterval", scalarEntry<numToYmIntervalBody>, true},
    {"ora_to_dsinterval", scalarEntry<toDsIntervalBody>, true},
    {"ora_to_yminterval", scalarEntry<toYmIntervalBody>, true},
    {"ora_extract_ts", scalarEntry<extractTimestampBody>, false},
    {"ora_extract_interval", scalarEntry<extractIntervalBody>, true},
    {"ora_from_tz", scalarEntry<fromTzBody>, false},
    {"ora_at_time_zone", scalarEntry<atTimeZoneBody, NullArguments::Handled>, false},
    {"ora_sys_extract_utc", scalarEntry<extractUtcBody>, false},
    {"ora_tz_offset", scalarEntry<tzOffsetBody>, false},
};

}  // namespace

void registerTimestampFunctions(sqlite3 *db, SessionContext *context)
{
    for (const Helper &h : kHelpers) {
        int flags = SQLITE_UTF8 | SQLITE_INNOCUOUS | (h.deterministic ? SQLITE_DETERMINISTIC : 0);
        if (sqlite3_create_function_v2(db, h.name, -1, flags, context, h.entry, nullptr, nullptr, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string("cannot register the function ") + h.name + ": " + sqlite3_errmsg(db));
    }
}

}  // namespace localdb::functions
