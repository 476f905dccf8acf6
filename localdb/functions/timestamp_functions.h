// The timestamp and interval functions and operators, registered on a connection beside the
// catalogue's functions. The binder calls them by these names:
//   ora_ts_convert(v, from, to, fraction)      between datetime kinds (Temporal codes; 0 = text)
//   ora_ts_text(v, kind, fraction)             the session's default text of a timestamp
//   ora_interval_text(v, kind, lead, fraction) '+01 02:03:04.000000'
//   ora_ts_to_char(v, kind, fraction, fmt [, nls])
//   ora_to_timestamp(text, zoned [, fmt [, nls]])
//   ora_clock(kind, session zone)              SYSTIMESTAMP, CURRENT_TIMESTAMP, LOCALTIMESTAMP, CURRENT_DATE
//   ora_ts_diff(a, kind, b, kind)              nanoseconds
//   ora_ts_add(v, kind, interval, interval kind, sign)
//   ora_ts_add_days(v, kind, days)             TIMESTAMP + NUMBER, a DATE
//   ora_ds_check / ora_ym_check, ora_ds_scale / ora_ym_scale, ora_numtodsinterval ...
#pragma once

struct sqlite3;

namespace localdb {
struct SessionContext;
}

namespace localdb::functions {

void registerTimestampFunctions(sqlite3 *db, SessionContext *context);

}  // namespace localdb::functions
