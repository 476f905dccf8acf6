// Oracle data types as declared (TypeSpec) and as the binder tracks them on expressions (Type),
// with the field type codes and type texts shown to callers.
#pragma once

#include "localdb/localdb.h"

#include <string>

namespace localdb {

// A declared column type: NUMBER(7,2), VARCHAR2(10), DATE ... as the dictionary shows it.
struct TypeSpec {
    std::string name = "NUMBER";  // dictionary DATA_TYPE: NUMBER, FLOAT, VARCHAR2, CHAR, DATE, ...
    int length = 22;              // DATA_LENGTH
    static constexpr int None = -9999;  // NULL in the dictionary (scale may be negative)
    int precision = None;
    int scale = None;
    bool charSemantics = false;   // VARCHAR2(10 CHAR)

    // "NUMBER(7,2)", "VARCHAR2(10)", "DATE": the text describing result columns.
    std::string text() const;
};

// The static type family of an expression, which picks functions and arithmetic.
enum class BaseType { Unknown, Number, Text, Date, Raw };

struct Type {
    BaseType base = BaseType::Unknown;
    bool hasSpec = false;  // set when the value comes straight from a column
    TypeSpec spec;
    bool isLong = false;   // LONG / CLOB (memo field)

    static Type number() { return Type{BaseType::Number}; }
    static Type text() { return Type{BaseType::Text}; }
    static Type date() { return Type{BaseType::Date}; }
    static Type raw() { return Type{BaseType::Raw}; }
    static Type of(const TypeSpec &spec);

    bool isNumber() const { return base == BaseType::Number; }
    bool isText() const { return base == BaseType::Text; }
    bool isDate() const { return base == BaseType::Date; }
    bool isUnknown() const { return base == BaseType::Unknown; }
};

// The family a declared type belongs to.
BaseType baseTypeOf(const TypeSpec &spec);

// The caller-visible field type code of a result column of this type.
FieldType fieldTypeOf(const Type &type);

// The type text of a result column ("NUMBER", "VARCHAR2(4000)" for computed text ...).
std::string oracleTypeText(const Type &type);

}  // namespace localdb
