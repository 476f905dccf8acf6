// The values of the component stream as plain data: what the binary reader produces, the text
// parser builds, and both writers consume. Keeping one model lets the binary and text forms be
// converted into each other without touching any object.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace classlib::stream {

// The type byte that starts every value in the binary form.
enum class ValueType : std::uint8_t {
    Null = 0,
    List = 1,
    Int8 = 2,
    Int16 = 3,
    Int32 = 4,
    Extended = 5,
    String = 6,
    Ident = 7,
    False = 8,
    True = 9,
    Binary = 10,
    Set = 11,
    LString = 12,
    Nil = 13,
    Collection = 14,
    Single = 15,
    Currency = 16,
    Date = 17,
    WString = 18,
    Int64 = 19,
};
constexpr int kLastValueType = 19;

struct Property;

struct CollectionItem {
    std::optional<std::int64_t> index;  // an item may carry its index; reading ignores it
    std::vector<Property> properties;
};

struct Value {
    ValueType type = ValueType::Null;
    std::int64_t integer = 0;     // Int8 ... Int64; Currency as units of 1/10000
    long double real = 0;         // Extended, Single, Date
    std::string bytes;            // String, LString, Ident, Binary (code page 932 or raw)
    std::u16string wide;          // WString
    std::vector<std::string> members;  // Set
    std::vector<Value> list;           // List
    std::vector<CollectionItem> items; // Collection

    // Constructors that pick the type the writing rules ask for.
    static Value Integer(std::int64_t value);     // smallest of Int8, Int16, Int32, else Int64
    static Value Text(std::string cp932);         // String up to 255 bytes, else LString
    static Value Identifier(std::string ident);
    static Value Boolean(bool value);
    static Value Of(ValueType type);

    bool IsInteger() const;
    bool IsString() const;  // String, LString or WString
};

struct Property {
    std::string name;  // dotted path from the component
    Value value;
};

struct Component {
    std::string className;
    std::string name;
    std::vector<Property> properties;
    std::vector<Component> children;
};

// Nesting deeper than this (lists in lists, collections, child components) is refused, so that
// a hostile stream cannot exhaust the stack.
constexpr int kMaxNesting = 64;

} // namespace classlib::stream
