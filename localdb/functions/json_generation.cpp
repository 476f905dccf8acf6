// JSON_OBJECT, JSON_ARRAY, JSON_OBJECTAGG and JSON_ARRAYAGG. The parser passes the ON NULL
// clause as the first argument ('NULL' or 'ABSENT'):
//   ora_json_object(on-null, key1, value1, key2, value2 ...)
//   ora_json_array(on-null, value1, value2 ...)
//   ora_json_formatted(text)                       a value written with FORMAT JSON
//   ora_json_objectagg(key, value, on-null)
//   ora_json_arrayagg(value, on-null [, sort-key, 'A'|'D' + 'F'|'L' ...])
// Numbers become JSON numbers, text JSON strings, and values carrying the JSON subtype are
// embedded as they are.
#include "localdb/functions/json_document.h"
#include "localdb/functions/json_functions.h"
#include "localdb/functions/number_text.h"

#include <algorithm>
#include <memory>

namespace localdb::functions {

namespace {

// The JSON text of argument i; nullopt for NULL.
std::optional<std::string> memberText(const Arguments &a, sqlite3_value **values, int i)
{
    switch (a.type(i)) {
    case SQLITE_NULL:
        return std::nullopt;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: {
        // JSON wants a digit before the point: .5 is written 0.5.
        std::string text = defaultNumberText(a.number(i));
        if (text[0] == '.')
            text.insert(0, "0");
        else if (text.rfind("-.", 0) == 0)
            text.insert(1, "0");
        return text;
    }
    default: {
        std::string text = a.text(i);
        if (text.empty())
            return std::nullopt;
        if (sqlite3_value_subtype(values[i]) == kJsonSubtype)
            return text;
        std::string quoted;
        appendJsonString(quoted, text);
        return quoted;
    }
    }
}

void setJson(sqlite3_context *context, const std::string &text)
{
    sqlite3_result_text64(context, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    sqlite3_result_subtype(context, kJsonSubtype);
}

bool absentOnNull(const Arguments &a, int i) { return !a.isNull(i) && a.text(i) == "ABSENT"; }

void objectEntry(sqlite3_context *context, int count, sqlite3_value **values)
{
    try {
        Arguments a(context, count, values);
        bool absent = absentOnNull(a, 0);
        std::string out = "{";
        for (int k = 1; k + 1 < count; k += 2) {
            std::optional<std::string> value = memberText(a, values, k + 1);
            if (!value && absent)
                continue;
            if (out.size() > 1)
                out += ',';
            appendJsonString(out, a.text(k));
            out += ':';
            out += value ? *value : "null";
        }
        setJson(context, out + "}");
    } catch (...) {
        reportException(context);
    }
}

void arrayEntry(sqlite3_context *context, int count, sqlite3_value **values)
{
    try {
        Arguments a(context, count, values);
        bool absent = count > 0 && (a.isNull(0) || a.text(0) != "NULL");
        std::string out = "[";
        for (int k = 1; k < count; ++k) {
            std::optional<std::string> value = memberText(a, values, k);
            if (!value && absent)
                continue;
            if (out.size() > 1)
                out += ',';
            out += value ? *value : "null";
        }
        setJson(context, out + "]");
    } catch (...) {
        reportException(context);
    }
}

// FORMAT JSON: the text is checked and then embedded as JSON.
void formattedEntry(sqlite3_context *context, int count, sqlite3_value **values)
{
    try {
        Arguments a(context, count, values);
        if (a.isNull(0))
            return;
        JsonParseResult parsed = parseJson(a.text(0), JsonSyntax::Lax);
        if (!parsed.value)
            throw Error(40441, "ORA-40441: JSON syntax error");
        setJson(context, serializeJson(*parsed.value));
    } catch (...) {
        reportException(context);
    }
}

// A sort key of JSON_ARRAYAGG(... ORDER BY ...): NULL, a number or text, compared as SQLite does.
struct SortKey {
    int kind = 0;  // 0 NULL, 1 number, 2 text
    double number = 0;
    std::string text;
};

struct Element {
    std::string json;
    std::vector<SortKey> keys;
};

struct AggregateState {
    std::vector<Element> elements;
    std::vector<std::string> directions;  // per key: 'A'|'D' then 'F'|'L'
    bool any = false;
};

AggregateState *stateOf(sqlite3_context *context, bool create)
{
    auto **slot = static_cast<AggregateState **>(sqlite3_aggregate_context(context, create ? sizeof(AggregateState *) : 0));
    if (!slot)
        return nullptr;
    if (!*slot && create)
        *slot = new AggregateState();
    return *slot;
}

std::unique_ptr<AggregateState> takeState(sqlite3_context *context)
{
    auto **slot = static_cast<AggregateState **>(sqlite3_aggregate_context(context, 0));
    if (!slot || !*slot)
        return nullptr;
    std::unique_ptr<AggregateState> state(*slot);
    *slot = nullptr;
    return state;
}

void arrayaggStep(sqlite3_context *context, int count, sqlite3_value **values)
{
    try {
        Arguments a(context, count, values);
        AggregateState *state = stateOf(context, true);
        if (!state)
            return sqlite3_result_error_nomem(context);
        std::optional<std::string> value = memberText(a, values, 0);
        state->any = true;
        if (!value && (count < 2 || a.isNull(1) || a.text(1) != "NULL"))
            return;
        Element element{value ? *value : "null", {}};
        state->directions.clear();
        for (int k = 2; k + 1 < count; k += 2) {
            SortKey key;
            if (a.type(k) == SQLITE_INTEGER || a.type(k) == SQLITE_FLOAT) {
                key.kind = 1;
                key.number = a.real(k);
            } else if (!a.isNull(k) && !a.text(k).empty()) {
                key.kind = 2;
                key.text = a.text(k);
            }
            element.keys.push_back(std::move(key));
            state->directions.push_back(a.text(k + 1));
        }
        state->elements.push_back(std::move(element));
    } catch (...) {
        reportException(context);
    }
}

int compareKeys(const SortKey &x, const SortKey &y)
{
    if (x.kind != y.kind)
        return x.kind < y.kind ? -1 : 1;
    if (x.kind == 1)
        return x.number < y.number ? -1 : x.number > y.number ? 1 : 0;
    return x.text.compare(y.text);
}

void arrayaggFinal(sqlite3_context *context)
{
    std::unique_ptr<AggregateState> state = takeState(context);
    if (!state || state->elements.empty())
        return;
    try {
        const auto &directions = state->directions;
        std::stable_sort(state->elements.begin(), state->elements.end(), [&](const Element &x, const Element &y) {
            for (std::size_t k = 0; k < x.keys.size() && k < directions.size(); ++k) {
                bool descending = directions[k].size() > 0 && directions[k][0] == 'D';
                // NULLs come last going up and first going down unless NULLS FIRST/LAST says otherwise.
                bool nullsFirst = directions[k].size() > 1 ? directions[k][1] == 'F' : descending;
                const SortKey &p = x.keys[k];
                const SortKey &q = y.keys[k];
                if ((p.kind == 0) != (q.kind == 0))
                    return (p.kind == 0) == nullsFirst;
                int c = compareKeys(p, q);
                if (c != 0)
                    return descending ? c > 0 : c < 0;
            }
            return false;
        });
        std::string out = "[";
        for (const Element &e : state->elements) {
            if (out.size() > 1)
                out += ',';
            out += e.json;
        }
        setJson(context, out + "]");
    } catch (...) {
        reportException(context);
    }
}

void objectaggStep(sqlite3_context *context, int count, sqlite3_value **values)
{
    try {
        Arguments a(context, count, values);
        AggregateState *state = stateOf(context, true);
        if (!state)
            return sqlite3_result_error_nomem(context);
        state->any = true;
        if (a.isNull(0))
            return;  // a member needs a name
        std::optional<std::string> value = memberText(a, values, 1);
        if (!value && count > 2 && !a.isNull(2) && a.text(2) == "ABSENT")
            return;
        std::string member;
        appendJsonString(member, a.text(0));
        state->elements.push_back({member + ":" + (value ? *value : "null"), {}});
    } catch (...) {
        reportException(context);
    }
}

void objectaggFinal(sqlite3_context *context)
{
    std::unique_ptr<AggregateState> state = takeState(context);
    if (!state || !state->any)
        return;
    std::string out = "{";
    for (const Element &e : state->elements) {
        if (out.size() > 1)
            out += ',';
        out += e.json;
    }
    setJson(context, out + "}");
}

// A DATE as JSON text has it: 1980-12-17T00:00:00.
void jsonDateBody(Arguments &a)
{
    std::string text = a.text(0);
    if (text.size() > 10 && text[10] == ' ')
        text[10] = 'T';
    a.setText(text);
}

}  // namespace

std::vector<ScalarImplementation> jsonGenerationImplementations()
{
    return {
        {"ora_json_date", scalarEntry<jsonDateBody>},
        {"ora_json_object", objectEntry},
        {"ora_json_array", arrayEntry},
        {"ora_json_formatted", formattedEntry},
    };
}

void registerJsonAggregates(sqlite3 *db, SessionContext *context)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    // As many counts as the catalogue allows: the value, the ON NULL clause and key pairs.
    for (int arguments = 2; arguments <= 126; ++arguments)
        sqlite3_create_function_v2(db, "ora_json_arrayagg", arguments, flags, context, nullptr, arrayaggStep,
                                   arrayaggFinal, nullptr);
    sqlite3_create_function_v2(db, "ora_json_objectagg", 3, flags, context, nullptr, objectaggStep,
                               objectaggFinal, nullptr);
}

}  // namespace localdb::functions
