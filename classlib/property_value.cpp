// Converting property values to and from stream values.
#include "classlib/property_value.h"

#include "classlib/cp932.h"
#include "classlib/errors.h"
#include "classlib/graphics.h"

#include <QDateTime>
#include <QMetaEnum>
#include <QStringList>

#include <cmath>
#include <cstring>
#include <limits>

namespace classlib::stream {

namespace {

// Day 0 of the stream's date values.
const QDate kDateBase(1899, 12, 30);

bool IsUnsignedType(const QMetaType &type)
{
    switch (type.id()) {
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::ULong:
    case QMetaType::ULongLong: return true;
    case QMetaType::Char: return !std::numeric_limits<char>::is_signed;
    default: return type.flags().testFlag(QMetaType::IsUnsignedEnumeration);
    }
}

bool IsIntegerType(const QMetaType &type)
{
    switch (type.id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: return true;
    default: return false;
    }
}

// The integer held by a variant of an integer, enumeration or flags type, read by its size (a
// QFlags holds one int); unsigned 64-bit values above the signed range are kept as their bit
// pattern.
std::int64_t RawInteger(const QVariant &variant)
{
    const QMetaType type = variant.metaType();
    const void *data = variant.constData();
    const bool isUnsigned = IsUnsignedType(type);
    switch (type.sizeOf()) {
    case 1: {
        std::uint8_t v;
        std::memcpy(&v, data, 1);
        return isUnsigned ? v : static_cast<std::int8_t>(v);
    }
    case 2: {
        std::uint16_t v;
        std::memcpy(&v, data, 2);
        return isUnsigned ? v : static_cast<std::int16_t>(v);
    }
    case 4: {
        std::uint32_t v;
        std::memcpy(&v, data, 4);
        return isUnsigned ? static_cast<std::int64_t>(v) : static_cast<std::int32_t>(v);
    }
    case 8: {
        std::int64_t v;
        std::memcpy(&v, data, 8);
        return v;
    }
    default: return 0;
    }
}

// A variant of the given integer-like type holding value, or nullopt when it does not fit.
std::optional<QVariant> MakeInteger(const QMetaType &type, std::int64_t value)
{
    const int size = static_cast<int>(type.sizeOf());
    const bool isUnsigned = IsUnsignedType(type);
    if (size < 8) {
        const int bits = 8 * size;
        const std::int64_t low = isUnsigned ? 0 : -(std::int64_t{1} << (bits - 1));
        const std::int64_t high =
            isUnsigned ? (std::int64_t{1} << bits) - 1 : (std::int64_t{1} << (bits - 1)) - 1;
        if (value < low || value > high)
            return std::nullopt;
    }
    QVariant variant(type);  // default-constructed value of the type, overwritten below
    void *data = variant.data();
    switch (size) {
    case 1: { const auto v = static_cast<std::uint8_t>(value); std::memcpy(data, &v, 1); break; }
    case 2: { const auto v = static_cast<std::uint16_t>(value); std::memcpy(data, &v, 2); break; }
    case 4: { const auto v = static_cast<std::uint32_t>(value); std::memcpy(data, &v, 4); break; }
    case 8: std::memcpy(data, &value, 8); break;
    default: return std::nullopt;
    }
    return variant;
}

[[noreturn]] void InvalidValue(const QString &path)
{
    throw EReadError(QStringLiteral("プロパティ %1 の値が不正です").arg(path));
}

// The key of an enumeration member compared case-insensitively, as names are in streams.
std::optional<int> EnumKeyValue(const QMetaEnum &enumerator, const std::string &key)
{
    for (int i = 0; i < enumerator.keyCount(); ++i) {
        if (cp932::SameText(enumerator.key(i), key))
            return enumerator.value(i);
    }
    return std::nullopt;
}

template <class Enum>
Value NamedOrInteger(Enum value, std::optional<QString> (*toIdent)(Enum))
{
    if (const auto ident = toIdent(value))
        return Value::Identifier(ident->toStdString());
    return Value::Integer(static_cast<std::int64_t>(value));
}

// A TColor, TCursor or TFontCharset from an identifier or a 32-bit integer (a colour's bit
// pattern such as 0x80000005 also counts).
template <class Enum>
QVariant NamedFromValue(const Value &value, std::optional<Enum> (*fromIdent)(const QString &),
                        const QString &path)
{
    if (value.type == ValueType::Ident) {
        if (const auto named = fromIdent(QString::fromStdString(value.bytes)))
            return QVariant::fromValue(*named);
        InvalidValue(path);
    }
    if (value.IsInteger() && value.integer >= std::numeric_limits<std::int32_t>::min() &&
        value.integer <= std::numeric_limits<std::uint32_t>::max())
        return QVariant::fromValue(static_cast<Enum>(static_cast<std::int32_t>(value.integer)));
    InvalidValue(path);
}

long double DateToReal(const QDateTime &dateTime)
{
    const long double days = static_cast<long double>(kDateBase.daysTo(dateTime.date()));
    const long double fraction = dateTime.time().msecsSinceStartOfDay() / 86400000.0L;
    // Before the base day the fraction still counts forward from midnight: -1.25 is 06:00 on
    // the day before the base.
    return days >= 0 ? days + fraction : days - fraction;
}

std::optional<QDateTime> RealToDate(long double real)
{
    if (!std::isfinite(real) || std::fabs(real) > 3.0e6L)
        return std::nullopt;
    const long double days = std::trunc(real);
    const long double fraction = std::fabs(real - days);
    auto msecs = static_cast<int>(std::llround(fraction * 86400000.0L));
    msecs = std::min(msecs, 86400000 - 1);
    return QDateTime(kDateBase.addDays(static_cast<qint64>(days)),
                     QTime::fromMSecsSinceStartOfDay(msecs));
}

std::optional<long double> RealOf(const Value &value)
{
    switch (value.type) {
    case ValueType::Extended:
    case ValueType::Single:
    case ValueType::Date: return value.real;
    case ValueType::Currency: return static_cast<long double>(value.integer) / 10000;
    default:
        if (value.IsInteger())
            return static_cast<long double>(value.integer);
        return std::nullopt;
    }
}

Value StringValue(const QString &text)
{
    std::string bytes = cp932::FromUnicode(text);
    if (cp932::ToUnicode(bytes) == text)
        return Value::Text(std::move(bytes));
    // Code page 932 cannot hold the text: keep it whole as a wide string.
    Value value = Value::Of(ValueType::WString);
    value.wide = text.toStdU16String();
    return value;
}

} // namespace

std::optional<std::string> StringBytes(const Value &value)
{
    if (value.type == ValueType::String || value.type == ValueType::LString)
        return value.bytes;
    if (value.type == ValueType::WString)
        return cp932::FromUnicode(QString::fromStdU16String(value.wide));
    return std::nullopt;
}

std::optional<Value> ValueFromVariant(const QMetaProperty &property, const QVariant &variant)
{
    const QMetaType type = variant.metaType();
    if (type == QMetaType::fromType<TColor>())
        return NamedOrInteger(variant.value<TColor>(), &ColorToIdent);
    if (type == QMetaType::fromType<TCursor>())
        return NamedOrInteger(variant.value<TCursor>(), &CursorToIdent);
    if (type == QMetaType::fromType<TFontCharset>())
        return NamedOrInteger(variant.value<TFontCharset>(), &CharsetToIdent);
    if (property.isEnumType()) {
        const QMetaEnum enumerator = property.enumerator();
        const std::int64_t raw = RawInteger(variant);
        if (enumerator.isFlag()) {
            Value set = Value::Of(ValueType::Set);
            for (int i = 0; i < enumerator.keyCount(); ++i) {
                const auto bit = static_cast<std::int64_t>(enumerator.value(i));
                // Single bits only: a key that names a combination would repeat its members.
                if (bit != 0 && (bit & (bit - 1)) == 0 && (raw & bit) == bit)
                    set.members.emplace_back(enumerator.key(i));
            }
            return set;
        }
        if (const char *key = enumerator.valueToKey(static_cast<int>(raw)))
            return Value::Identifier(key);
        return Value::Integer(raw);
    }
    if (IsIntegerType(type))
        return Value::Integer(RawInteger(variant));
    switch (type.id()) {
    case QMetaType::Bool: return Value::Boolean(variant.toBool());
    case QMetaType::Double: {
        Value value = Value::Of(ValueType::Extended);
        value.real = variant.toDouble();
        return value;
    }
    case QMetaType::Float: {
        Value value = Value::Of(ValueType::Single);
        value.real = variant.toFloat();
        return value;
    }
    case QMetaType::QString: return StringValue(variant.toString());
    case QMetaType::QByteArray: {
        Value value = Value::Of(ValueType::Binary);
        value.bytes = variant.toByteArray().toStdString();
        return value;
    }
    case QMetaType::QDateTime:
    case QMetaType::QDate: {
        const QDateTime dateTime = type.id() == QMetaType::QDate
                                       ? variant.toDate().startOfDay()
                                       : variant.toDateTime();
        if (!dateTime.isValid())
            return std::nullopt;
        Value value = Value::Of(ValueType::Date);
        value.real = DateToReal(dateTime);
        return value;
    }
    case QMetaType::QStringList: {
        Value value = Value::Of(ValueType::List);
        for (const QString &item : variant.toStringList())
            value.list.push_back(StringValue(item));
        return value;
    }
    default: return std::nullopt;
    }
}

QVariant VariantFromValue(const QMetaProperty &property, const Value &value, const QString &path)
{
    const QMetaType type = property.metaType();
    if (type == QMetaType::fromType<TColor>())
        return NamedFromValue<TColor>(value, &IdentToColor, path);
    if (type == QMetaType::fromType<TCursor>())
        return NamedFromValue<TCursor>(value, &IdentToCursor, path);
    if (type == QMetaType::fromType<TFontCharset>())
        return NamedFromValue<TFontCharset>(value, &IdentToCharset, path);
    if (property.isEnumType()) {
        const QMetaEnum enumerator = property.enumerator();
        std::int64_t raw = 0;
        if (enumerator.isFlag() && value.type == ValueType::Set) {
            for (const std::string &member : value.members) {
                const auto bit = EnumKeyValue(enumerator, member);
                if (!bit)
                    InvalidValue(path);
                raw |= *bit;
            }
        } else if (!enumerator.isFlag() && value.type == ValueType::Ident) {
            const auto key = EnumKeyValue(enumerator, value.bytes);
            if (!key)
                InvalidValue(path);
            raw = *key;
        } else if (value.IsInteger()) {
            raw = value.integer;
        } else {
            InvalidValue(path);
        }
        if (auto variant = MakeInteger(type, raw))
            return *variant;
        InvalidValue(path);
    }
    if (IsIntegerType(type)) {
        if (!value.IsInteger())
            InvalidValue(path);
        if (auto variant = MakeInteger(type, value.integer))
            return *variant;
        InvalidValue(path);
    }
    switch (type.id()) {
    case QMetaType::Bool:
        if (value.type == ValueType::True || value.type == ValueType::False)
            return QVariant(value.type == ValueType::True);
        if (value.IsInteger())
            return QVariant(value.integer != 0);
        if (value.type == ValueType::Ident && cp932::SameText(value.bytes, "True"))
            return QVariant(true);
        if (value.type == ValueType::Ident && cp932::SameText(value.bytes, "False"))
            return QVariant(false);
        InvalidValue(path);
    case QMetaType::Double:
    case QMetaType::Float: {
        const auto real = RealOf(value);
        if (!real)
            InvalidValue(path);
        if (type.id() == QMetaType::Float)
            return QVariant(static_cast<float>(*real));
        return QVariant(static_cast<double>(*real));
    }
    case QMetaType::QString:
        if (value.type == ValueType::WString)
            return QVariant(QString::fromStdU16String(value.wide));
        if (value.type == ValueType::String || value.type == ValueType::LString)
            return QVariant(cp932::ToUnicode(value.bytes));
        InvalidValue(path);
    case QMetaType::QByteArray:
        if (const auto bytes = value.type == ValueType::Binary ? value.bytes : StringBytes(value))
            return QVariant(QByteArray::fromStdString(*bytes));
        InvalidValue(path);
    case QMetaType::QDateTime:
    case QMetaType::QDate: {
        const auto real = RealOf(value);
        const auto dateTime = real ? RealToDate(*real) : std::nullopt;
        if (!dateTime)
            InvalidValue(path);
        if (type.id() == QMetaType::QDate)
            return QVariant(dateTime->date());
        return QVariant(*dateTime);
    }
    case QMetaType::QStringList: {
        if (value.type != ValueType::List)
            InvalidValue(path);
        QStringList items;
        for (const Value &element : value.list) {
            const auto bytes = StringBytes(element);
            if (!bytes)
                InvalidValue(path);
            items.push_back(element.type == ValueType::WString
                                ? QString::fromStdU16String(element.wide)
                                : cp932::ToUnicode(*bytes));
        }
        return QVariant(items);
    }
    default: InvalidValue(path);
    }
}

} // namespace classlib::stream
