// Window functions SQLite lacks:
//   kdb_frame_value(x, n, from_last, ignore_nulls)   the n-th value of the frame from either end,
//                                                    optionally skipping NULLs (FIRST_VALUE,
//                                                    LAST_VALUE, NTH_VALUE ... IGNORE NULLS /
//                                                    FROM LAST, LAG and LEAD IGNORE NULLS)
//   kdb_distinct_aggregate(kind, x)                  COUNT, SUM or AVG of the distinct values of
//                                                    the frame (COUNT(DISTINCT x) OVER (...))
//   kdb_window_argument(n, least)                    NTILE's count, NTH_VALUE's n, LAG's offset checked
// Both keep the frame's rows so that SQLite can move the frame forward (its inverse call drops
// the oldest row).
#include "localdb/functions/function_errors.h"
#include "localdb/functions/function_registry.h"
#include "localdb/functions/window_support.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <map>

namespace localdb::functions {
namespace {

struct FrameValues {
    std::deque<std::pair<std::int64_t, Cell>> kept;  // (row number in the partition, value)
    std::int64_t added = 0;
    std::int64_t removed = 0;
    bool nthNull = false;
    std::int64_t nth = 1;
    bool fromLast = false;
    bool ignoreNulls = false;
};

void frameValueStep(sqlite3_context *context, int, sqlite3_value **values)
{
    try {
        auto *s = groupState<FrameValues>(context);
        s->nthNull = sqlite3_value_type(values[1]) == SQLITE_NULL;
        s->nth = sqlite3_value_int64(values[1]);
        s->fromLast = sqlite3_value_int(values[2]) != 0;
        s->ignoreNulls = sqlite3_value_int(values[3]) != 0;
        Cell c = Cell::of(values[0]);
        if (!s->ignoreNulls || !c.isNull())
            s->kept.emplace_back(s->added, std::move(c));
        ++s->added;
    } catch (...) {
        reportException(context);
    }
}

void frameValueInverse(sqlite3_context *context, int, sqlite3_value **)
{
    auto *s = existingGroupState<FrameValues>(context);
    if (!s)
        return;
    if (!s->kept.empty() && s->kept.front().first == s->removed)
        s->kept.pop_front();
    ++s->removed;
}

void frameValueValue(sqlite3_context *context)
{
    try {
        auto *s = existingGroupState<FrameValues>(context);
        if (!s || s->nthNull)
            return;
        if (s->nth < 1)
            raiseOutOfRange(std::to_string(s->nth));
        if (std::uint64_t(s->nth) > s->kept.size())
            return;
        const size_t i = s->fromLast ? s->kept.size() - size_t(s->nth) : size_t(s->nth - 1);
        s->kept[i].second.setResult(context);
    } catch (...) {
        reportException(context);
    }
}

void frameValueFinal(sqlite3_context *context)
{
    frameValueValue(context);
    releaseGroupState<FrameValues>(context);
}

struct ByValue {
    bool operator()(const Cell &a, const Cell &b) const { return compareValues(a, b) < 0; }
};

struct DistinctValues {
    std::map<Cell, std::int64_t, ByValue> counts;  // each distinct non-NULL value: rows holding it
    double sum = 0;
    std::string kind;
};

void distinctStep(sqlite3_context *context, int, sqlite3_value **values)
{
    try {
        auto *s = groupState<DistinctValues>(context);
        if (s->kind.empty())
            s->kind = reinterpret_cast<const char *>(sqlite3_value_text(values[0]));
        Cell c = Cell::of(values[1]);
        if (c.isNull())
            return;
        double x = sqlite3_value_double(values[1]);
        if (s->counts[c]++ == 0)
            s->sum += x;
    } catch (...) {
        reportException(context);
    }
}

void distinctInverse(sqlite3_context *context, int, sqlite3_value **values)
{
    auto *s = existingGroupState<DistinctValues>(context);
    Cell c = Cell::of(values[1]);
    if (!s || c.isNull())
        return;
    auto found = s->counts.find(c);
    if (found == s->counts.end())
        return;
    if (--found->second == 0) {
        s->sum -= sqlite3_value_double(values[1]);
        s->counts.erase(found);
    }
}

void distinctValue(sqlite3_context *context)
{
    try {
        auto *s = existingGroupState<DistinctValues>(context);
        const size_t n = s ? s->counts.size() : 0;
        if (!s || s->kind == "COUNT") {
            sqlite3_result_int64(context, std::int64_t(n));
            return;
        }
        if (n == 0)
            return;
        Arguments result(context, 0, nullptr);
        result.setNumber(s->kind == "AVG" ? s->sum / double(n) : s->sum);
    } catch (...) {
        reportException(context);
    }
}

void distinctFinal(sqlite3_context *context)
{
    distinctValue(context);
    releaseGroupState<DistinctValues>(context);
}

// kdb_window_argument(n, least): the count or offset n of NTILE, NTH_VALUE, LAG or LEAD as a
// whole number, or ORA-01428 when it is below least (SQLite would report its own message, or for
// LAG with a negative offset look forward instead).
void windowArgument(sqlite3_context *context, int, sqlite3_value **values)
{
    try {
        if (sqlite3_value_type(values[0]) == SQLITE_NULL)
            return;
        Arguments arguments(context, 1, values);
        const double n = std::trunc(arguments.real(0));
        if (n < sqlite3_value_int64(values[1]))
            raiseOutOfRange(arguments.text(0));
        sqlite3_result_int64(context, std::int64_t(std::min(n, 9e18)));
    } catch (...) {
        reportException(context);
    }
}

}  // namespace

void registerWindowFunctions(sqlite3 *db, SessionContext *context)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    sqlite3_create_function_v2(db, "kdb_window_argument", 2, flags, context, windowArgument, nullptr, nullptr, nullptr);
    sqlite3_create_window_function(db, "kdb_frame_value", 4, flags, context, frameValueStep, frameValueFinal,
                                   frameValueValue, frameValueInverse, nullptr);
    sqlite3_create_window_function(db, "kdb_distinct_aggregate", 2, flags, context, distinctStep, distinctFinal,
                                   distinctValue, distinctInverse, nullptr);
}

}  // namespace localdb::functions
