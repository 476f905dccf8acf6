// Declared-type texts, type families and the field type codes callers see.
#include "localdb/types.h"

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
    return t;
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
        return Date;
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
