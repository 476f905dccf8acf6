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
enum class BaseType { Unknown, Number, Text, Date, Raw, Interval };

// Which datetime or interval type a Date or Interval value has. Storage forms: DATE
// 'YYYY-MM-DD HH:MM:SS'; TIMESTAMP and WITH LOCAL TIME ZONE (held in UTC) the same with
// '.fffffffff'; WITH TIME ZONE the UTC timestamp, a blank and the zone; YEAR TO MONTH an
// integer of months; DAY TO SECOND an integer of nanoseconds.
enum class Temporal { None, Date, Timestamp, TimestampTz, TimestampLtz, YearMonth, DaySecond };

struct Type {
    BaseType base = BaseType::Unknown;
    bool hasSpec = false;  // set when the value comes straight from a column
    TypeSpec spec;
    bool isLong = false;   // LONG / CLOB (memo field)
    Temporal temporal = Temporal::None;
    int leading = 0;   // leading field precision of an interval
    int fraction = 0;  // fractional second digits of a timestamp or DAY TO SECOND interval

    static Type number() { return Type{BaseType::Number}; }
    static Type text() { return Type{BaseType::Text}; }
    static Type date() { return Type{BaseType::Date, false, {}, false, Temporal::Date}; }
    // A computed datetime or interval value of the given kind and precisions.
    static Type temporalOf(Temporal kind, int leading, int fraction);
    static Type raw() { return Type{BaseType::Raw}; }
    static Type of(const TypeSpec &spec);

    bool isNumber() const { return base == BaseType::Number; }
    bool isText() const { return base == BaseType::Text; }
    bool isDate() const { return base == BaseType::Date; }
    bool isUnknown() const { return base == BaseType::Unknown; }
    bool isInterval() const { return base == BaseType::Interval; }
    // A TIMESTAMP of any kind (not a plain DATE).
    bool isTimestamp() const {
        return temporal == Temporal::Timestamp || temporal == Temporal::TimestampTz || temporal == Temporal::TimestampLtz;
    }
};

// The declared type of a datetime or interval: "TIMESTAMP(6) WITH TIME ZONE",
// "INTERVAL DAY(2) TO SECOND(6)" with the dictionary's length, precision and scale.
TypeSpec temporalSpec(Temporal kind, int leading, int fraction);

// The family a declared type belongs to.
BaseType baseTypeOf(const TypeSpec &spec);

// The caller-visible field type code of a result column of this type.
FieldType fieldTypeOf(const Type &type);

// The type text of a result column ("NUMBER", "VARCHAR2(4000)" for computed text ...).
std::string oracleTypeText(const Type &type);

}  // namespace localdb
