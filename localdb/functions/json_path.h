// Oracle's JSON path language in its lax mode (a scalar taken as a one-element array, arrays looked
// through by a field step) or strict mode: field and array steps, filters ?( ... ) and item methods.
#pragma once

#include "localdb/functions/json_document.h"

#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace localdb::functions {

struct JsonFilter;

// A path: $ followed by .name, ."name", .*, [n], [n to m], [n, m ...], [*], [last], ?(condition)
// and .method() steps, optionally preceded by lax or strict.
struct JsonPathStep {
    enum Kind { Field, AnyField, Elements, AnyElement, Filter, Method } kind = Field;
    std::string name;                           // Field: the member; Method: the method
    std::vector<std::pair<long, long>> ranges;  // Elements: inclusive index ranges (-1 = last)
    bool ignoreCase = false;                    // Field: names match in any case
    std::shared_ptr<const JsonFilter> filter;   // Filter
};
struct JsonPath {
    bool strict = false;
    std::vector<JsonPathStep> steps;
    // The values item methods made in the last evaluation: the results point into it.
    mutable std::deque<JsonValue> made;
};

// A filter condition: && || ! of comparisons, exists( ), starts with and has substring, whose
// operands are literals or paths from the current item (@) or the document ($).
struct JsonFilter {
    enum Kind { And, Or, Not, Exists, Compare, StartsWith, HasSubstring } kind = Compare;
    std::string op;  // Compare: == != < <= > >=
    std::vector<JsonFilter> children;
    struct Operand {
        bool isPath = false;
        bool fromRoot = false;  // $ instead of @
        JsonPath path;
        JsonValue literal;
    };
    std::vector<Operand> operands;
};

// nullopt when the text is not a path.
std::optional<JsonPath> parseJsonPath(std::string_view text);

// Every value the path selects, in document order. Values made by item methods stay valid until
// the path is evaluated again.
std::vector<const JsonValue *> evaluateJsonPath(const JsonPath &path, const JsonValue &root);

}  // namespace localdb::functions
