// Declared-type texts, type families and the field type codes callers see.
#include "localdb/sql/types.h"

namespace localdb {

std::string TypeSpec::text() const {
    if (name == "NUMBER") {
        if (precision == None && scale == None)
            return "NUMBER";
        if (precision == None)
            return "NUMBER(*," + std::to_string(scale) + ")";
        if (scale == None || scale == 0)
            return "NUMBER(" + std::to_string(precision) + ")";
        return "NUMBER(" + std::to_string(precision) + "," + std::to_string(scale) + ")";
    }
    if (name == "VARCHAR2" || name == "CHAR" || name == "RAW" || name == "NVARCHAR2" || name == "NCHAR")
        return name + "(" + std::to_string(length) + (charSemantics ? " CHAR)" : ")");
    if (name == "FLOAT" && precision != None && precision != 126)
        return "FLOAT(" + std::to_string(precision) + ")";
    return name;
}

BaseType baseTypeOf(const TypeSpec &spec) {
    const std::string &n = spec.name;
    if (n == "NUMBER" || n == "FLOAT" || n == "BINARY_FLOAT" || n == "BINARY_DOUBLE")
        return BaseType::Number;
    if (n == "DATE" || n.rfind("TIMESTAMP", 0) == 0)
        return BaseType::Date;
    if (n.rfind("INTERVAL", 0) == 0)
        return BaseType::Interval;
    if (n == "RAW" || n == "LONG RAW" || n == "BLOB")
        return BaseType::Raw;
    return BaseType::Text;
}

Type Type::of(const TypeSpec &spec) {
    Type t;
    t.base = baseTypeOf(spec);
    t.hasSpec = true;
    t.spec = spec;
    t.isLong = spec.name == "LONG" || spec.name == "CLOB";
    const std::string &n = spec.name;
    if (n == "DATE") {
        t.temporal = Temporal::Date;
    } else if (n.rfind("TIMESTAMP", 0) == 0) {
        t.temporal = n.find("LOCAL") != std::string::npos  ? Temporal::TimestampLtz
                     : n.find("ZONE") != std::string::npos ? Temporal::TimestampTz
                                                           : Temporal::Timestamp;
        t.fraction = spec.scale == TypeSpec::None ? 6 : spec.scale;
    } else if (n.rfind("INTERVAL", 0) == 0) {
        t.temporal = n.find("MONTH") != std::string::npos ? Temporal::YearMonth : Temporal::DaySecond;
        t.leading = spec.precision == TypeSpec::None ? 2 : spec.precision;
        t.fraction = spec.scale == TypeSpec::None ? 0 : spec.scale;
    }
    return t;
}

Type Type::temporalOf(Temporal kind, int leading, int fraction) {
    Type t;
    t.base = kind == Temporal::YearMonth || kind == Temporal::DaySecond ? BaseType::Interval : BaseType::Date;
    t.temporal = kind;
    t.leading = leading;
    t.fraction = fraction;
    return t;
}

TypeSpec temporalSpec(Temporal kind, int leading, int fraction) {
    TypeSpec s;
    const std::string f = std::to_string(fraction), l = std::to_string(leading);
    switch (kind) {
    case Temporal::Timestamp:
        s.name = "TIMESTAMP(" + f + ")";
        s.length = 11;
        break;
    case Temporal::TimestampTz:
        s.name = "TIMESTAMP(" + f + ") WITH TIME ZONE";
        s.length = 13;
        break;
    case Temporal::TimestampLtz:
        s.name = "TIMESTAMP(" + f + ") WITH LOCAL TIME ZONE";
        s.length = 11;
        break;
    case Temporal::YearMonth:
        s.name = "INTERVAL YEAR(" + l + ") TO MONTH";
        s.length = 5;
        s.precision = leading;
        s.scale = 0;
        return s;
    case Temporal::DaySecond:
        s.name = "INTERVAL DAY(" + l + ") TO SECOND(" + f + ")";
        s.length = 11;
        s.precision = leading;
        s.scale = fraction;
        return s;
    default:
        s.name = "DATE";
        s.length = 7;
        return s;
    }
    s.scale = fraction;
    return s;
}

FieldType fieldTypeOf(const Type &type) {
    switch (type.base) {
    case BaseType::Number:
        if (type.hasSpec && type.spec.name == "NUMBER" && type.spec.scale == 0 && type.spec.precision != TypeSpec::None) {
            if (type.spec.precision <= 4)
                return Integer;
            if (type.spec.precision <= 9)
                return LongInteger;
        }
        return Double;
    case BaseType::Date:
        // Timestamps and intervals reach callers as the session's display text of them.
        return type.temporal == Temporal::Date || type.temporal == Temporal::None ? Date : Text;
    case BaseType::Interval:
        return Text;
    case BaseType::Raw:
        return LongBinary;
    case BaseType::Text:
    case BaseType::Unknown:
        break;
    }
    return type.isLong ? Memo : Text;
}

std::string oracleTypeText(const Type &type) {
    if (type.hasSpec)
        return type.spec.text();
    if (type.temporal != Temporal::None && type.temporal != Temporal::Date)
        return temporalSpec(type.temporal, type.leading, type.fraction).text();
    switch (type.base) {
    case BaseType::Number:
        return "NUMBER";
    case BaseType::Date:
        return "DATE";
    case BaseType::Raw:
        return "RAW(2000)";
    default:
        return "VARCHAR2(4000)";
    }
}

}  // namespace localdb
