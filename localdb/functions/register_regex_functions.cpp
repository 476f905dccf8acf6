// SQLite entry points of the regular expression functions. A pattern is compiled once per
// statement: the compiled form stays with the statement as long as the pattern argument is a
// constant, and is compiled again only when the pattern or match parameter changes.
#include "localdb/functions/function_registry.h"
#include "localdb/functions/regex_functions.h"

#include <memory>

namespace localdb::functions {

namespace {

// The text of an argument without a copy when SQLite already holds it as text.
std::string_view textView(sqlite3_value *value, std::string &converted, const Arguments &a, int i)
{
    if (sqlite3_value_type(value) == SQLITE_TEXT) {
        const unsigned char *data = sqlite3_value_text(value);
        return std::string_view(reinterpret_cast<const char *>(data), std::size_t(sqlite3_value_bytes(value)));
    }
    converted = a.text(i);
    return converted;
}

// The compiled pattern of a call. A pattern compiled for this call is handed to the statement
// only when the call is over, because SQLite may free it at once when it cannot be kept. SQLite
// keeps a call's auxiliary data only while its argument is a constant of the statement, so a
// pattern found there is the pattern of this call: only the match parameter, which may vary from
// row to row, is compared again.
class PatternSlot {
public:
    PatternSlot(sqlite3_context *context, sqlite3_value **values, const Arguments &a, int patternArgument,
                int matchArgument)
        : context_(context), argument_(patternArgument)
    {
        std::string matchText;
        std::string_view match;
        if (matchArgument < a.count() && !a.isNull(matchArgument))
            match = textView(values[matchArgument], matchText, a, matchArgument);
        auto *cached = static_cast<CompiledPattern *>(sqlite3_get_auxdata(context, patternArgument));
        if (cached && cached->sameMatchParameter(match)) {
            pattern_ = cached;
            return;
        }
        std::string patternText;
        std::string_view pattern = textView(values[patternArgument], patternText, a, patternArgument);
        std::size_t bytes = pattern.size() > kMaxPatternBytes / 2
                                ? std::size_t(lengthbOf(pattern, charsetFor(a.session().characterSet)))
                                : pattern.size();
        fresh_ = std::make_unique<CompiledPattern>(pattern, match, bytes);
        pattern_ = fresh_.get();
    }

    ~PatternSlot()
    {
        if (fresh_)
            sqlite3_set_auxdata(context_, argument_, fresh_.release(),
                                [](void *p) { delete static_cast<CompiledPattern *>(p); });
    }

    PatternSlot(const PatternSlot &) = delete;
    PatternSlot &operator=(const PatternSlot &) = delete;

    const CompiledPattern &operator*() const { return *pattern_; }

private:
    sqlite3_context *context_;
    int argument_;
    std::unique_ptr<CompiledPattern> fresh_;
    const CompiledPattern *pattern_ = nullptr;
};

// A number argument that may be left out; NULL when given as NULL.
bool optionalNumber(const Arguments &a, int i, double fallback, double &value)
{
    if (i >= a.count()) {
        value = fallback;
        return true;
    }
    if (a.isNull(i))
        return false;
    value = a.real(i);
    return true;
}

// Runs body with the subject text and the compiled pattern, unless the subject or the pattern is
// NULL (the result is then NULL).
template <typename Body>
void withPattern(sqlite3_context *context, int count, sqlite3_value **values, int matchArgument, Body body)
{
    try {
        Arguments a(context, count, values);
        if (a.isNull(0) || a.isNull(1) || sqlite3_value_bytes(values[0]) == 0 || sqlite3_value_bytes(values[1]) == 0)
            return;
        std::string converted;
        std::string_view subject = textView(values[0], converted, a, 0);
        PatternSlot pattern(context, values, a, 1, matchArgument);
        body(a, subject, *pattern);
    } catch (...) {
        reportException(context);
    }
}

// ora_regexp_like(source, pattern [, match]): 1, 0, or NULL for a NULL source or pattern.
void likeEntry(sqlite3_context *context, int count, sqlite3_value **values)
{
    withPattern(context, count, values, 2, [&](Arguments &, std::string_view subject, const CompiledPattern &p) {
        sqlite3_result_int(context, regexpLike(p, subject) ? 1 : 0);
    });
}

// ora_regexp_substr(source, pattern [, position [, occurrence [, match [, subexpression]]]])
void substrEntry(sqlite3_context *context, int count, sqlite3_value **values)
{
    withPattern(context, count, values, 4, [&](Arguments &a, std::string_view subject, const CompiledPattern &p) {
        double position, occurrence, group;
        if (optionalNumber(a, 2, 1, position) && optionalNumber(a, 3, 1, occurrence) && optionalNumber(a, 5, 0, group))
            a.setText(regexpSubstr(p, subject, position, occurrence, group));
    });
}

// ora_regexp_instr(source, pattern [, position [, occurrence [, return [, match [, subexpression]]]]])
void instrEntry(sqlite3_context *context, int count, sqlite3_value **values)
{
    withPattern(context, count, values, 5, [&](Arguments &a, std::string_view subject, const CompiledPattern &p) {
        double position, occurrence, option, group;
        if (optionalNumber(a, 2, 1, position) && optionalNumber(a, 3, 1, occurrence)
            && optionalNumber(a, 4, 0, option) && optionalNumber(a, 6, 0, group))
            a.setInteger(regexpInstr(p, subject, position, occurrence, option, group));
    });
}

// ora_regexp_count(source, pattern [, position [, match]])
void countEntry(sqlite3_context *context, int count, sqlite3_value **values)
{
    withPattern(context, count, values, 3, [&](Arguments &a, std::string_view subject, const CompiledPattern &p) {
        double position;
        if (optionalNumber(a, 2, 1, position))
            a.setInteger(regexpCount(p, subject, position));
    });
}

// ora_regexp_replace(source, pattern [, replacement [, position [, occurrence [, match]]]]): a NULL
// pattern leaves the source as it is; a NULL replacement removes the matches.
void replaceEntry(sqlite3_context *context, int count, sqlite3_value **values)
{
    try {
        Arguments a(context, count, values);
        if (a.isNull(0) || sqlite3_value_bytes(values[0]) == 0)
            return;
        if (a.isNull(1) || sqlite3_value_bytes(values[1]) == 0) {
            a.setText(a.text(0));
            return;
        }
    } catch (...) {
        reportException(context);
        return;
    }
    withPattern(context, count, values, 5, [&](Arguments &a, std::string_view subject, const CompiledPattern &p) {
        std::string replacement = a.count() > 2 ? a.text(2) : std::string();
        double position, occurrence;
        if (optionalNumber(a, 3, 1, position) && optionalNumber(a, 4, 0, occurrence))
            a.setText(regexpReplace(p, subject, replacement, position, occurrence));
    });
}

}  // namespace

std::vector<ScalarImplementation> regexFunctionImplementations()
{
    return {
        {"ora_regexp_like", likeEntry},
        {"ora_regexp_substr", substrEntry},
        {"ora_regexp_instr", instrEntry},
        {"ora_regexp_replace", replaceEntry},
        {"ora_regexp_count", countEntry},
    };
}

}  // namespace localdb::functions
