// Constructors of stream values that apply the writing rules (smallest integer, short string).
#include "classlib/stream_value.h"

#include <limits>

namespace classlib::stream {

Value Value::Integer(std::int64_t value)
{
    Value v;
    v.integer = value;
    if (value >= std::numeric_limits<std::int8_t>::min() &&
        value <= std::numeric_limits<std::int8_t>::max())
        v.type = ValueType::Int8;
    else if (value >= std::numeric_limits<std::int16_t>::min() &&
             value <= std::numeric_limits<std::int16_t>::max())
        v.type = ValueType::Int16;
    else if (value >= std::numeric_limits<std::int32_t>::min() &&
             value <= std::numeric_limits<std::int32_t>::max())
        v.type = ValueType::Int32;
    else
        v.type = ValueType::Int64;
    return v;
}

Value Value::Text(std::string cp932)
{
    Value v;
    v.type = cp932.size() <= 255 ? ValueType::String : ValueType::LString;
    v.bytes = std::move(cp932);
    return v;
}

Value Value::Identifier(std::string ident)
{
    Value v;
    v.type = ValueType::Ident;
    v.bytes = std::move(ident);
    return v;
}

Value Value::Boolean(bool value)
{
    return Of(value ? ValueType::True : ValueType::False);
}

Value Value::Of(ValueType type)
{
    Value v;
    v.type = type;
    return v;
}

bool Value::IsInteger() const
{
    return type == ValueType::Int8 || type == ValueType::Int16 || type == ValueType::Int32 ||
           type == ValueType::Int64;
}

bool Value::IsString() const
{
    return type == ValueType::String || type == ValueType::LString || type == ValueType::WString;
}

} // namespace classlib::stream
