// JSON documents as the JSON functions see them: parsed with Oracle's lax or strict syntax,
// members kept in their written order (generation and JSON_QUERY give them back as written), and
// searched with Oracle's path language in its lax mode (a scalar taken as a one-element array,
// arrays looked through by a field step).
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace localdb::functions {

struct JsonMember;

struct JsonValue {
    enum Kind { Null, False, True, Number, String, Array, Object } kind = Null;
    std::string text;  // a string's value, or a number as written
    std::vector<JsonValue> items;
    // A vector may hold a type completed later; a pair of an incomplete type may not, so an
    // object's members are a struct of their own, declared after the value.
    std::vector<JsonMember> members;

    bool isScalar() const { return kind != Array && kind != Object; }
};

// An object's member: its name and value, as a pair would hold them.
struct JsonMember {
    JsonMember(std::string name, JsonValue value) : first(std::move(name)), second(std::move(value)) {}
    std::string first;
    JsonValue second;
};

// Strict: RFC 8259 text. Lax also takes names without quotes, single-quoted strings, true, false
// and null in any case, and numbers such as .5, +1 or 1. with no digits after the point.
enum class JsonSyntax { Lax, Strict };

struct JsonParseResult {
    std::optional<JsonValue> value;  // nullopt: not JSON
    bool duplicateKeys = false;      // some object names a member twice
};
// Documents nest at most this deep; a deeper one is not taken as JSON rather than exhausting the
// stack.
inline constexpr int kMaxJsonDepth = 1000;
JsonParseResult parseJson(std::string_view text, JsonSyntax syntax);

// Compact JSON text (no blanks), members in order.
std::string serializeJson(const JsonValue &value);
void appendJsonString(std::string &out, std::string_view text);

}  // namespace localdb::functions
