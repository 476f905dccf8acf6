// Aggregates over rows in an order of their own, usable alone and over a window:
//   kdb_listagg(x, delimiter, overflow, spec, key...)   LISTAGG ... WITHIN GROUP (ORDER BY key...)
//       spec: D (DISTINCT) or A, then the sort letters; overflow: NULL (ON OVERFLOW ERROR) or
//       C / N (WITH / WITHOUT COUNT) followed by the truncation indicator
//   kdb_percentile_cont(p, spec, key), kdb_percentile_disc(p, spec, key)
//   kdb_keep(aggregate, x, spec, key...)                 MIN(x) KEEP (DENSE_RANK FIRST ORDER BY key)
//       spec: F or L (FIRST / LAST), then the sort letters
// The rows are kept in arrival order; SQLite's inverse call drops the oldest. A result is
// computed once for each set of rows (a window without ORDER BY asks the same partition once
// per row).
#include "localdb/system/errors.h"
#include "localdb/functions/function_errors.h"
#include "localdb/functions/function_registry.h"
#include "localdb/functions/text_functions.h"
#include "localdb/functions/window_support.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <set>

namespace localdb::functions {
namespace {

// Oracle's limit for VARCHAR2 in SQL, in bytes of the database character set.
constexpr std::int64_t kMaxListBytes = 4000;

struct OrderedRow {
    std::int64_t number;  // arrival number in the group
    Cell value;
    std::vector<Cell> keys;
};

struct OrderedRows {
    std::deque<OrderedRow> rows;
    std::int64_t added = 0;
    std::int64_t removed = 0;
    std::vector<Cell> parameters;  // the call's constant arguments, from its first row
    bool fresh = false;             // result is up to date
    Cell result;
};

// Keeps a row (unless skipped) with its sort keys from argument firstKey on.
void keepRow(sqlite3_context *context, int count, sqlite3_value **values, int valueArgument, int parameterCount,
             int firstKey, bool skipNullValue)
{
    auto *s = groupState<OrderedRows>(context);
    if (s->parameters.empty())
        for (int i = 0; i < parameterCount; ++i)
            s->parameters.push_back(Cell::of(values[i]));
    const std::int64_t number = s->added++;
    s->fresh = false;
    Cell value = Cell::of(values[valueArgument]);
    if (skipNullValue && value.isNull())
        return;
    OrderedRow row{number, std::move(value), {}};
    row.keys.reserve(size_t(count - firstKey));
    for (int k = firstKey; k < count; ++k)
        row.keys.push_back(Cell::of(values[k]));
    s->rows.push_back(std::move(row));
}

void dropOldest(sqlite3_context *context, int, sqlite3_value **)
{
    auto *s = existingGroupState<OrderedRows>(context);
    if (!s)
        return;
    if (!s->rows.empty() && s->rows.front().number == s->removed)
        s->rows.pop_front();
    ++s->removed;
    s->fresh = false;
}

std::string textOf(const Cell &c) {
    return c.value.index() == 3 ? std::get<std::string>(c.value) : std::string();
}

std::vector<const OrderedRow *> sortedRows(const OrderedRows &s, const SortSpec &spec)
{
    std::vector<const OrderedRow *> sorted;
    sorted.reserve(s.rows.size());
    for (const auto &r : s.rows)
        sorted.push_back(&r);
    if (spec.keys() > 0)
        std::stable_sort(sorted.begin(), sorted.end(),
                         [&](const OrderedRow *a, const OrderedRow *b) { return spec.compare(a->keys, b->keys) < 0; });
    return sorted;
}

// Computes the result when the rows changed, then reports it (and frees the state when final).
template <Cell (*Compute)(sqlite3_context *, const OrderedRows &)>
void orderedValue(sqlite3_context *context)
{
    try {
        auto *s = existingGroupState<OrderedRows>(context);
        if (!s)
            return;
        if (!s->fresh) {
            s->result = Compute(context, *s);
            s->fresh = true;
        }
        s->result.setResult(context);
    } catch (...) {
        reportException(context);
    }
}

template <Cell (*Compute)(sqlite3_context *, const OrderedRows &)>
void orderedFinal(sqlite3_context *context)
{
    orderedValue<Compute>(context);
    releaseGroupState<OrderedRows>(context);
}

// --- LISTAGG ---

void listaggStep(sqlite3_context *context, int count, sqlite3_value **values)
{
    try {
        keepRow(context, count, values, 0, 4, 4, true);
    } catch (...) {
        reportException(context);
    }
}

Cell listaggResult(sqlite3_context *context, const OrderedRows &s)
{
    const std::string spec = textOf(s.parameters[3]);
    const std::string delimiter = textOf(s.parameters[1]);
    const std::string overflow = textOf(s.parameters[2]);
    std::vector<const OrderedRow *> rows = sortedRows(s, SortSpec(spec.empty() ? "" : spec.substr(1)));
    if (!spec.empty() && spec[0] == 'D') {
        // DISTINCT keeps the first of equal values in the order.
        std::set<std::string> seen;
        std::vector<const OrderedRow *> unique;
        for (const OrderedRow *r : rows)
            if (seen.insert(textOf(r->value)).second)
                unique.push_back(r);
        rows = std::move(unique);
    }
    if (rows.empty())
        return Cell{};
    Arguments arguments(context, 0, nullptr);
    const DatabaseCharset charset = charsetFor(arguments.session().characterSet);
    const std::int64_t delimiterBytes = lengthbOf(delimiter, charset);
    std::string text;
    std::int64_t bytes = 0;
    size_t kept = 0;
    for (; kept < rows.size(); ++kept) {
        const std::string value = textOf(rows[kept]->value);
        const std::int64_t grown = bytes + (kept ? delimiterBytes : 0) + lengthbOf(value, charset);
        if (grown > kMaxListBytes)
            break;
        if (kept)
            text += delimiter;
        text += value;
        bytes = grown;
    }
    if (kept < rows.size()) {
        if (overflow.empty())
            raiseError(1489);
        // ON OVERFLOW TRUNCATE: whole values only, then the delimiter, the indicator and the
        // number of values left out, all within the limit.
        const std::string indicator = overflow.substr(1);
        const bool withCount = overflow[0] == 'C';
        auto tailFor = [&](size_t keptValues) {
            return (keptValues ? delimiter : std::string()) + indicator +
                   (withCount ? "(" + std::to_string(rows.size() - keptValues) + ")" : std::string());
        };
        std::vector<std::int64_t> ends;  // bytes after each kept value
        std::int64_t running = 0;
        for (size_t i = 0; i < kept; ++i) {
            running += (i ? delimiterBytes : 0) + lengthbOf(textOf(rows[i]->value), charset);
            ends.push_back(running);
        }
        while (kept > 0 && ends[kept - 1] + lengthbOf(tailFor(kept), charset) > kMaxListBytes)
            --kept;
        text.clear();
        for (size_t i = 0; i < kept; ++i)
            text += (i ? delimiter : std::string()) + textOf(rows[i]->value);
        text += tailFor(kept);
    }
    Cell c;
    c.value = std::move(text);
    return c;
}

// --- PERCENTILE_CONT and PERCENTILE_DISC ---

void percentileStep(sqlite3_context *context, int count, sqlite3_value **values)
{
    try {
        keepRow(context, count, values, 2, 2, 2, true);
    } catch (...) {
        reportException(context);
    }
}

// The non-NULL keys in order, and the fraction p checked to lie within 0 and 1.
std::vector<const OrderedRow *> percentileRows(const OrderedRows &s, double &p, bool &none)
{
    none = s.parameters[0].isNull() || s.rows.empty();
    if (s.parameters[0].isNull())
        return {};
    const Cell &fraction = s.parameters[0];
    if (fraction.value.index() == 3)
        raiseError(1722);
    p = fraction.value.index() == 1 ? double(std::get<std::int64_t>(fraction.value)) : std::get<double>(fraction.value);
    if (p < 0 || p > 1)
        raise(30493);
    return sortedRows(s, SortSpec(textOf(s.parameters[1])));
}

// A computed number as the engine stores one: integral values as integers, others kept to
// Oracle's 15 significant digits of a binary double.
Cell numberCell(double value)
{
    Cell c;
    if (value == std::floor(value) && std::fabs(value) < 9e15) {
        c.value = std::int64_t(value);
    } else {
        char text[32];
        std::snprintf(text, sizeof text, "%.15g", value);
        c.value = std::strtod(text, nullptr);
    }
    return c;
}

double realOf(const Cell &c) {
    return c.value.index() == 1 ? double(std::get<std::int64_t>(c.value))
           : c.value.index() == 2 ? std::get<double>(c.value)
                                  : 0.0;
}

Cell percentileContResult(sqlite3_context *, const OrderedRows &s)
{
    double p = 0;
    bool none = false;
    std::vector<const OrderedRow *> rows = percentileRows(s, p, none);
    if (none)
        return Cell{};
    // Row number 1 + p * (N - 1), interpolated between its neighbours when it falls between rows.
    const double position = p * double(rows.size() - 1);
    const size_t below = size_t(std::floor(position)), above = size_t(std::ceil(position));
    const double low = realOf(rows[below]->value), high = realOf(rows[above]->value);
    return numberCell(below == above ? low : low + (position - double(below)) * (high - low));
}

Cell percentileDiscResult(sqlite3_context *, const OrderedRows &s)
{
    double p = 0;
    bool none = false;
    std::vector<const OrderedRow *> rows = percentileRows(s, p, none);
    if (none)
        return Cell{};
    // The first value whose cumulative share of the rows reaches p.
    const double wanted = std::ceil(p * double(rows.size()) - 1e-9);
    const size_t index = wanted < 1 ? 0 : std::min(rows.size() - 1, size_t(wanted) - 1);
    return rows[index]->value;
}

// --- KEEP (DENSE_RANK FIRST | LAST ORDER BY ...) ---

void keepStep(sqlite3_context *context, int count, sqlite3_value **values)
{
    try {
        keepRow(context, count, values, 1, 3, 3, false);
    } catch (...) {
        reportException(context);
    }
}

Cell keepResult(sqlite3_context *, const OrderedRows &s)
{
    const std::string aggregate = textOf(s.parameters[0]);
    const std::string spec = textOf(s.parameters[2]);
    if (s.rows.empty() || spec.empty())
        return Cell{};
    const SortSpec order(spec.substr(1));
    const bool last = spec[0] == 'L';
    // The rows ranked first (last): those sorting with the smallest (largest) key.
    const OrderedRow *best = &s.rows.front();
    for (const auto &r : s.rows) {
        int c = order.compare(r.keys, best->keys);
        if (last ? c > 0 : c < 0)
            best = &r;
    }
    std::vector<const Cell *> values;
    for (const auto &r : s.rows)
        if (order.compare(r.keys, best->keys) == 0 && !r.value.isNull())
            values.push_back(&r.value);
    Cell out;
    if (aggregate == "COUNT") {
        out.value = std::int64_t(values.size());
        return out;
    }
    if (values.empty())
        return out;
    if (aggregate == "MIN" || aggregate == "MAX") {
        const Cell *pick = values.front();
        for (const Cell *v : values) {
            int c = compareValues(*v, *pick);
            if (aggregate == "MIN" ? c < 0 : c > 0)
                pick = v;
        }
        return *pick;
    }
    double sum = 0;
    for (const Cell *v : values)
        sum += realOf(*v);
    const double n = double(values.size());
    double result = sum;
    if (aggregate == "AVG") {
        result = sum / n;
    } else if (aggregate == "VARIANCE" || aggregate == "STDDEV") {
        const double mean = sum / n;
        double squares = 0;
        for (const Cell *v : values)
            squares += (realOf(*v) - mean) * (realOf(*v) - mean);
        result = n < 2 ? 0 : squares / (n - 1);
        if (aggregate == "STDDEV")
            result = std::sqrt(result);
    }
    return numberCell(result);
}

}  // namespace

void registerOrderedAggregates(sqlite3 *db, SessionContext *context)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    sqlite3_create_window_function(db, "kdb_listagg", -1, flags, context, listaggStep, orderedFinal<listaggResult>,
                                   orderedValue<listaggResult>, dropOldest, nullptr);
    sqlite3_create_window_function(db, "kdb_percentile_cont", 3, flags, context, percentileStep,
                                   orderedFinal<percentileContResult>, orderedValue<percentileContResult>, dropOldest,
                                   nullptr);
    sqlite3_create_window_function(db, "kdb_percentile_disc", 3, flags, context, percentileStep,
                                   orderedFinal<percentileDiscResult>, orderedValue<percentileDiscResult>, dropOldest,
                                   nullptr);
    sqlite3_create_window_function(db, "kdb_keep", -1, flags, context, keepStep, orderedFinal<keepResult>,
                                   orderedValue<keepResult>, dropOldest, nullptr);
}

}  // namespace localdb::functions
