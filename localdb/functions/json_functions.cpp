// SQLite entry points of the JSON conditions and query functions: IS JSON, JSON_VALUE, JSON_QUERY
// and JSON_EXISTS. The parser turns their clauses into trailing text arguments:
//   ora_is_json(doc, 'LAX'|'STRICT', 'UNIQUE'|'')
//   ora_json_value(doc, path, returning, on-error, error-default, on-empty, empty-default)
//   ora_json_query(doc, path, wrapper, on-error, on-empty)
//   ora_json_exists(doc, path, on-error)
// where a clause not written is ''. Results that are JSON text carry the JSON subtype so that the
// generation functions embed them as JSON rather than as strings.
#include "localdb/functions/json_functions.h"

#include "localdb/functions/date_calendar.h"
#include "localdb/functions/function_registry.h"
#include "localdb/functions/json_path.h"
#include "localdb/functions/number_text.h"

namespace localdb::functions {

namespace {

[[noreturn]] void raiseJson(int code)
{
    static const std::pair<int, const char *> kTexts[] = {
        {40441, "ORA-40441: JSON syntax error"},
        {40456, "ORA-40456: JSON_VALUE evaluated to non-scalar value"},
        {40462, "ORA-40462: JSON_VALUE evaluated to no value"},
        {40470, "ORA-40470: JSON_VALUE evaluated to multiple values"},
        {40480, "ORA-40480: result cannot be returned without array wrapper"},
    };
    for (auto [c, text] : kTexts) {
        if (c == code)
            throw Error(code, text);
    }
    raiseError(code);
}

std::string optionalText(const Arguments &a, int i)
{
    return i < a.count() && !a.isNull(i) ? a.text(i) : std::string();
}

const JsonPath &pathOf(const Arguments &a, std::optional<JsonPath> &storage)
{
    std::string text = a.text(1);
    storage = parseJsonPath(text);
    if (!storage)
        throw Error(40597, "ORA-40597: JSON path expression syntax error ('" + text + "')");
    return *storage;
}

// What an ON ERROR or ON EMPTY clause does with a failure: raise it, give NULL or a default.
struct FailureRule {
    std::string mode;  // "ERROR", "NULL", "DEFAULT", "EMPTY ARRAY", "EMPTY OBJECT", "TRUE", "FALSE"
    int defaultArgument = -1;
};

enum class JsonResult { Text, Number, Date };

void setScalar(Arguments &a, const std::string &text, JsonResult returning, const FailureRule &onError,
               bool fromDefault);

void fail(Arguments &a, const FailureRule &rule, int code, JsonResult returning)
{
    if (rule.mode == "ERROR")
        raiseJson(code);
    if (rule.mode == "DEFAULT" && rule.defaultArgument >= 0 && !a.isNull(rule.defaultArgument)) {
        setScalar(a, a.text(rule.defaultArgument), returning, FailureRule{"ERROR"}, true);
        return;
    }
    a.setNull();
}

std::optional<DateTime> isoDate(const std::string &text)
{
    std::string storage = text;
    if (storage.size() > 10 && (storage[10] == 'T' || storage[10] == ' '))
        storage[10] = ' ';
    if (storage.size() > 19)
        storage.resize(19);
    return parseStorageDate(storage);
}

void setScalar(Arguments &a, const std::string &text, JsonResult returning, const FailureRule &onError,
               bool fromDefault)
{
    switch (returning) {
    case JsonResult::Text:
        a.setText(text);
        return;
    case JsonResult::Number:
        if (auto number = DecimalNumber::parse(text)) {
            a.setNumber(*number);
            return;
        }
        if (fromDefault)
            raiseError(1722);
        return fail(a, onError, 1722, returning);
    case JsonResult::Date:
        if (auto date = isoDate(text)) {
            a.setDate(*date);
            return;
        }
        if (fromDefault)
            raiseError(1861);
        return fail(a, onError, 1861, returning);
    }
}

JsonResult returningOf(const std::string &type)
{
    if (type == "NUMBER" || type == "FLOAT" || type == "BINARY_DOUBLE" || type == "BINARY_FLOAT")
        return JsonResult::Number;
    if (type == "DATE" || type.rfind("TIMESTAMP", 0) == 0)
        return JsonResult::Date;
    return JsonResult::Text;
}

void setJsonText(sqlite3_context *context, const std::string &text)
{
    sqlite3_result_text64(context, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    sqlite3_result_subtype(context, kJsonSubtype);
}

// The document of argument 0 read leniently; nullopt when it is not JSON.
std::optional<JsonValue> documentOf(const Arguments &a)
{
    return parseJson(documentText(a, 0), JsonSyntax::Lax).value;
}

void isJsonBody(Arguments &a)
{
    if (a.isNull(0))
        return;
    JsonSyntax syntax = optionalText(a, 1) == "STRICT" ? JsonSyntax::Strict : JsonSyntax::Lax;
    JsonParseResult parsed = parseJson(documentText(a, 0), syntax);
    bool ok = parsed.value && !(optionalText(a, 2) == "UNIQUE" && parsed.duplicateKeys);
    a.setInteger(ok ? 1 : 0);
}

void jsonValueBody(Arguments &a)
{
    std::optional<JsonPath> storage;
    const JsonPath &path = pathOf(a, storage);
    if (a.isNull(0))
        return;
    JsonResult returning = returningOf(optionalText(a, 2));
    FailureRule onError{optionalText(a, 3).empty() ? "NULL" : optionalText(a, 3), 4};
    FailureRule onEmpty{optionalText(a, 5), 6};
    if (onEmpty.mode.empty())
        onEmpty = onError;  // without ON EMPTY, a missing value follows the ON ERROR clause
    std::optional<JsonValue> document = documentOf(a);
    if (!document)
        return fail(a, onError, 40441, returning);
    std::vector<const JsonValue *> found = evaluateJsonPath(path, *document);
    if (found.empty())
        return fail(a, onEmpty, 40462, returning);
    if (found.size() > 1)
        return fail(a, onError, 40470, returning);
    const JsonValue &value = *found.front();
    switch (value.kind) {
    case JsonValue::Null:
        return a.setNull();
    case JsonValue::True:
        return setScalar(a, "true", returning, onError, false);
    case JsonValue::False:
        return setScalar(a, "false", returning, onError, false);
    case JsonValue::Number:
    case JsonValue::String:
        return setScalar(a, value.text, returning, onError, false);
    default:
        return fail(a, onError, 40456, returning);
    }
}

void jsonQueryEntry(sqlite3_context *context, int count, sqlite3_value **values)
{
    try {
        Arguments a(context, count, values);
        std::optional<JsonPath> storage;
        pathOf(a, storage);
        if (a.isNull(0))
            return;
        std::string wrapper = optionalText(a, 2);
        if (wrapper == "DOT") {
            for (JsonPathStep &step : storage->steps)
                step.ignoreCase = true;
        }
        const JsonPath &path = *storage;
        FailureRule onError{optionalText(a, 3).empty() ? "NULL" : optionalText(a, 3)};
        FailureRule onEmpty{optionalText(a, 4)};
        if (onEmpty.mode.empty())
            onEmpty = onError;
        auto failWith = [&](const FailureRule &rule, int code) {
            if (rule.mode == "ERROR")
                raiseJson(code);
            if (rule.mode == "EMPTY ARRAY" || rule.mode == "EMPTY")
                setJsonText(context, "[]");
            else if (rule.mode == "EMPTY OBJECT")
                setJsonText(context, "{}");
        };
        std::optional<JsonValue> document = documentOf(a);
        if (!document)
            return failWith(onError, 40441);
        std::vector<const JsonValue *> found = evaluateJsonPath(path, *document);
        if (found.empty())
            return failWith(onEmpty, 40462);
        bool single = found.size() == 1 && !found.front()->isScalar();
        if (wrapper == "DOT" && found.size() == 1 && found.front()->isScalar()) {
            const JsonValue &v = *found.front();
            if (v.kind == JsonValue::Number || v.kind == JsonValue::String)
                a.setText(v.text);
            else if (v.kind != JsonValue::Null)
                a.setText(v.kind == JsonValue::True ? "true" : "false");
            return;
        }
        if (wrapper == "UNCONDITIONAL" || ((wrapper == "CONDITIONAL" || wrapper == "DOT") && !single)) {
            JsonValue array;
            array.kind = JsonValue::Array;
            for (const JsonValue *v : found)
                array.items.push_back(*v);
            return setJsonText(context, serializeJson(array));
        }
        if (!single)
            return failWith(onError, found.size() > 1 ? 40470 : 40480);
        setJsonText(context, serializeJson(*found.front()));
    } catch (...) {
        reportException(context);
    }
}

void jsonExistsBody(Arguments &a)
{
    std::optional<JsonPath> storage;
    const JsonPath &path = pathOf(a, storage);
    if (a.isNull(0))
        return;
    std::optional<JsonValue> document = documentOf(a);
    if (!document) {
        std::string onError = optionalText(a, 2);
        if (onError == "ERROR")
            raiseJson(40441);
        a.setInteger(onError == "TRUE" ? 1 : 0);
        return;
    }
    a.setInteger(evaluateJsonPath(path, *document).empty() ? 0 : 1);
}

}  // namespace

std::string documentText(const Arguments &a, int i)
{
    if (a.type(i) != SQLITE_BLOB)
        return a.text(i);
    std::vector<std::uint8_t> bytes = a.raw(i);
    return std::string(bytes.begin(), bytes.end());
}

std::vector<ScalarImplementation> jsonFunctionImplementations()
{
    using enum NullArguments;
    std::vector<ScalarImplementation> entries = {
        {"ora_is_json", scalarEntry<isJsonBody, Handled>},
        {"ora_json_value", scalarEntry<jsonValueBody, Handled>},
        {"ora_json_query", jsonQueryEntry},
        {"ora_json_exists", scalarEntry<jsonExistsBody, Handled>},
    };
    for (const ScalarImplementation &generation : jsonGenerationImplementations())
        entries.push_back(generation);
    return entries;
}

}  // namespace localdb::functions
