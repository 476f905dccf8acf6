// Aggregates SQLite lacks: STDDEV, VARIANCE and their _POP/_SAMP forms, MEDIAN and LISTAGG.
// NULLs are skipped; no non-NULL value gives NULL.
#include "localdb/functions/function_registry.h"
#include "localdb/functions/text_functions.h"

#include <algorithm>
#include <cmath>

namespace localdb::functions {

namespace {

// Running count, mean and sum of squared deviations (Welford's method keeps the variance exact
// enough where the naive sum of squares would cancel).
struct Moments {
    double count;
    double mean;
    double squares;
};

enum class Spread { Variance, VarianceSample, VariancePopulation, Deviation, DeviationSample, DeviationPopulation };

template <Spread Kind>
void momentsStep(sqlite3_context *context, int count, sqlite3_value **values)
{
    try {
        Arguments arguments(context, count, values);
        if (arguments.anyNull())
            return;
        double x = arguments.real(0);
        auto *m = static_cast<Moments *>(sqlite3_aggregate_context(context, sizeof(Moments)));
        if (!m) {
            sqlite3_result_error_nomem(context);
            return;
        }
        m->count += 1;
        double delta = x - m->mean;
        m->mean += delta / m->count;
        m->squares += delta * (x - m->mean);
    } catch (...) {
        reportException(context);
    }
}

// Over a moving window frame the row leaving the frame is taken out again.
void momentsInverse(sqlite3_context *context, int count, sqlite3_value **values)
{
    try {
        Arguments arguments(context, count, values);
        auto *m = static_cast<Moments *>(sqlite3_aggregate_context(context, 0));
        if (!m || arguments.anyNull() || m->count == 0)
            return;
        double x = arguments.real(0);
        m->count -= 1;
        if (m->count == 0) {
            *m = Moments{};
            return;
        }
        double delta = x - m->mean;
        m->mean -= delta / m->count;
        m->squares -= delta * (x - m->mean);
    } catch (...) {
        reportException(context);
    }
}

template <Spread Kind>
void momentsFinal(sqlite3_context *context)
{
    try {
        auto *m = static_cast<Moments *>(sqlite3_aggregate_context(context, 0));
        if (!m || m->count == 0)
            return;
        Arguments result(context, 0, nullptr);
        bool sample = Kind == Spread::Variance || Kind == Spread::VarianceSample || Kind == Spread::Deviation
                      || Kind == Spread::DeviationSample;
        double variance;
        if (!sample) {
            variance = m->squares / m->count;
        } else if (m->count < 2) {
            // One row: VARIANCE and STDDEV give 0, the _SAMP forms NULL.
            if (Kind == Spread::VarianceSample || Kind == Spread::DeviationSample)
                return;
            variance = 0;
        } else {
            variance = m->squares / (m->count - 1);
        }
        variance = std::max(variance, 0.0);
        bool deviation = Kind == Spread::Deviation || Kind == Spread::DeviationSample
                         || Kind == Spread::DeviationPopulation;
        result.setNumber(deviation ? std::sqrt(variance) : variance);
    } catch (...) {
        reportException(context);
    }
}

// MEDIAN keeps every value; the aggregate context holds a pointer to them, freed by the final
// call (which SQLite makes also when a statement is reset part way).
struct MedianState {
    std::vector<double> *values;
};

void medianStep(sqlite3_context *context, int count, sqlite3_value **values)
{
    try {
        Arguments arguments(context, count, values);
        if (arguments.anyNull())
            return;
        double x = arguments.real(0);
        auto *state = static_cast<MedianState *>(sqlite3_aggregate_context(context, sizeof(MedianState)));
        if (!state) {
            sqlite3_result_error_nomem(context);
            return;
        }
        if (!state->values)
            state->values = new std::vector<double>();
        state->values->push_back(x);
    } catch (...) {
        reportException(context);
    }
}

void medianInverse(sqlite3_context *context, int count, sqlite3_value **values)
{
    try {
        Arguments arguments(context, count, values);
        auto *state = static_cast<MedianState *>(sqlite3_aggregate_context(context, 0));
        if (!state || !state->values || arguments.anyNull())
            return;
        auto found = std::find(state->values->begin(), state->values->end(), arguments.real(0));
        if (found != state->values->end())
            state->values->erase(found);
    } catch (...) {
        reportException(context);
    }
}

// The median of the values so far; the window form asks again as the frame moves.
void medianValue(sqlite3_context *context)
{
    auto *state = static_cast<MedianState *>(sqlite3_aggregate_context(context, 0));
    if (!state || !state->values || state->values->empty())
        return;
    try {
        std::vector<double> values = *state->values;
        std::size_t n = values.size();
        std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(n / 2), values.end());
        double upper = values[n / 2];
        double median = upper;
        if (n % 2 == 0) {
            double lower = *std::max_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(n / 2));
            median = lower + (upper - lower) / 2;
        }
        Arguments result(context, 0, nullptr);
        result.setNumber(median);
    } catch (...) {
        reportException(context);
    }
}

void medianFinal(sqlite3_context *context)
{
    medianValue(context);
    auto *state = static_cast<MedianState *>(sqlite3_aggregate_context(context, 0));
    if (state) {
        delete state->values;
        state->values = nullptr;
    }
}

// LISTAGG keeps the text joined so far; like MEDIAN its state is a pointer freed by the final call.
struct ListState {
    std::string *text;
    bool any;
};

// Oracle's limit for VARCHAR2 in SQL, in bytes of the database character set.
constexpr std::size_t kMaxListBytes = 4000;

void listaggStep(sqlite3_context *context, int count, sqlite3_value **values)
{
    try {
        Arguments arguments(context, count, values);
        if (arguments.isNull(0) || arguments.text(0).empty())
            return;
        auto *state = static_cast<ListState *>(sqlite3_aggregate_context(context, sizeof(ListState)));
        if (!state) {
            sqlite3_result_error_nomem(context);
            return;
        }
        if (!state->text)
            state->text = new std::string();
        if (state->any && count > 1 && !arguments.isNull(1))
            *state->text += arguments.text(1);
        *state->text += arguments.text(0);
        state->any = true;
        // Checked as it grows, so that a huge group fails early instead of filling memory.
        if (state->text->size() > kMaxListBytes
            && lengthbOf(*state->text, charsetFor(arguments.session().characterSet))
                   > static_cast<std::int64_t>(kMaxListBytes))
            raiseError(1489);
    } catch (...) {
        reportException(context);
    }
}

void listaggFinal(sqlite3_context *context)
{
    auto *state = static_cast<ListState *>(sqlite3_aggregate_context(context, 0));
    if (!state || !state->text)
        return;
    std::string *text = state->text;
    state->text = nullptr;
    try {
        Arguments result(context, 0, nullptr);
        result.setText(*text);
    } catch (...) {
        reportException(context);
    }
    delete text;
}

// Each also runs over a window: value reports the current frame (the moments' final call leaves
// the state in place, so it serves as both), inverse takes out the row leaving the frame.
struct AggregateImplementation {
    const char *name;
    void (*step)(sqlite3_context *, int, sqlite3_value **);
    void (*final)(sqlite3_context *);
    void (*value)(sqlite3_context *);
    void (*inverse)(sqlite3_context *, int, sqlite3_value **);
};

template <Spread Kind>
constexpr AggregateImplementation moments(const char *name)
{
    return {name, momentsStep<Kind>, momentsFinal<Kind>, momentsFinal<Kind>, momentsInverse};
}

constexpr AggregateImplementation kAggregates[] = {
    moments<Spread::Variance>("ora_variance"),
    moments<Spread::VarianceSample>("ora_var_samp"),
    moments<Spread::VariancePopulation>("ora_var_pop"),
    moments<Spread::Deviation>("ora_stddev"),
    moments<Spread::DeviationSample>("ora_stddev_samp"),
    moments<Spread::DeviationPopulation>("ora_stddev_pop"),
    {"ora_median", medianStep, medianFinal, medianValue, medianInverse},
};

}  // namespace

void registerAggregates(sqlite3 *db, SessionContext *context)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    for (const AggregateImplementation &aggregate : kAggregates)
        sqlite3_create_window_function(db, aggregate.name, 1, flags, context, aggregate.step, aggregate.final,
                                       aggregate.value, aggregate.inverse, nullptr);
    for (int arguments : {1, 2})
        sqlite3_create_function_v2(db, "ora_listagg", arguments, flags, context, nullptr, listaggStep, listaggFinal,
                                   nullptr);
}

}  // namespace localdb::functions
