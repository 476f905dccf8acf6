// Reading and writing the binary form of the component stream.
#include "classlib/stream_binary.h"

#include "classlib/errors.h"

#include <QString>

#include <cmath>
#include <cstring>

namespace classlib::stream {

namespace {

[[noreturn]] void Truncated()
{
    throw EReadError(QStringLiteral("ストリームが途中で終わっています"));
}

[[noreturn]] void Malformed(const QString &detail)
{
    throw EReadError(QStringLiteral("ストリームの形式が不正です (%1)").arg(detail));
}

void CheckDepth(int depth)
{
    if (depth > kMaxNesting)
        Malformed(QStringLiteral("入れ子が深すぎます"));
}

} // namespace

// ---------------------------------------------------------------- reading

std::uint8_t BinaryReader::PeekByte() const
{
    if (FPos >= FData.size())
        Truncated();
    return static_cast<std::uint8_t>(FData[FPos]);
}

std::uint8_t BinaryReader::ReadByte()
{
    const std::uint8_t byte = PeekByte();
    ++FPos;
    return byte;
}

std::string_view BinaryReader::ReadBytes(std::size_t count)
{
    if (count > FData.size() - FPos)
        Truncated();
    const std::string_view bytes = FData.substr(FPos, count);
    FPos += count;
    return bytes;
}

std::int64_t BinaryReader::ReadSigned(std::size_t size)
{
    const std::string_view bytes = ReadBytes(size);
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i)
        value |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    // Sign-extend from the top bit of the stored width.
    if (size < 8 && (value & (std::uint64_t{1} << (8 * size - 1))))
        value |= ~std::uint64_t{0} << (8 * size);
    return static_cast<std::int64_t>(value);
}

std::string BinaryReader::ReadShortString()
{
    const std::size_t length = ReadByte();
    return std::string(ReadBytes(length));
}

std::string BinaryReader::ReadLengthPrefixed()
{
    const std::int64_t length = ReadSigned(4);
    if (length < 0)
        Malformed(QStringLiteral("負の長さ"));
    return std::string(ReadBytes(static_cast<std::size_t>(length)));
}

void BinaryReader::ReadSignature()
{
    if (FData.size() < 4 || FData.substr(0, 4) != "TPF0")
        Malformed(QStringLiteral("TPF0 がありません"));
    FPos = 4;
}

void BinaryReader::ReadComponentHeader(std::string &className, std::string &name)
{
    // Filer flags: a byte 0xF0 | flags; flag 2 is followed by the child's position.
    if ((PeekByte() & 0xF0) == 0xF0) {
        const std::uint8_t flags = ReadByte() & 0x0F;
        if (flags & 0x02) {
            const Value position = ReadValue(0);
            if (!position.IsInteger())
                Malformed(QStringLiteral("子の位置"));
        }
    }
    className = ReadShortString();
    if (className.empty())
        Malformed(QStringLiteral("クラス名が空です"));
    name = ReadShortString();
}

bool BinaryReader::ReadProperty(Property &property)
{
    std::string name = ReadShortString();
    if (name.empty())
        return false;
    Value value = ReadValue(0);
    property.name = std::move(name);
    property.value = std::move(value);
    return true;
}

bool BinaryReader::ReadEndOfChildren()
{
    if (PeekByte() != 0)
        return false;
    ++FPos;
    return true;
}

std::vector<Property> BinaryReader::ReadPropertyList(int depth)
{
    CheckDepth(depth);
    std::vector<Property> properties;
    for (;;) {
        std::string name = ReadShortString();
        if (name.empty())
            return properties;
        Value value = ReadValue(depth + 1);
        properties.push_back(Property{std::move(name), std::move(value)});
    }
}

Component BinaryReader::ReadComponent(int depth)
{
    CheckDepth(depth);
    Component component;
    ReadComponentHeader(component.className, component.name);
    component.properties = ReadPropertyList(depth);
    while (!ReadEndOfChildren())
        component.children.push_back(ReadComponent(depth + 1));
    return component;
}

Value BinaryReader::ReadValue(int depth)
{
    CheckDepth(depth);
    const std::uint8_t type = ReadByte();
    if (type > kLastValueType)
        Malformed(QStringLiteral("値の種類 %1").arg(type));
    return ReadValueOfType(static_cast<ValueType>(type), depth);
}

Value BinaryReader::ReadValueOfType(ValueType type, int depth)
{
    Value value = Value::Of(type);
    switch (type) {
    case ValueType::Null:
    case ValueType::False:
    case ValueType::True:
    case ValueType::Nil:
        break;
    case ValueType::List:
        while (PeekByte() != 0)
            value.list.push_back(ReadValue(depth + 1));
        ++FPos;
        break;
    case ValueType::Int8: value.integer = ReadSigned(1); break;
    case ValueType::Int16: value.integer = ReadSigned(2); break;
    case ValueType::Int32: value.integer = ReadSigned(4); break;
    case ValueType::Int64:
    case ValueType::Currency: value.integer = ReadSigned(8); break;
    case ValueType::Extended: {
        const std::string_view bytes = ReadBytes(10);
        value.real = DecodeExtended(reinterpret_cast<const unsigned char *>(bytes.data()));
        break;
    }
    case ValueType::Single: {
        const auto bits = static_cast<std::uint32_t>(ReadSigned(4));
        float f;
        std::memcpy(&f, &bits, sizeof f);
        value.real = f;
        break;
    }
    case ValueType::Date: {
        const auto bits = static_cast<std::uint64_t>(ReadSigned(8));
        double d;
        std::memcpy(&d, &bits, sizeof d);
        value.real = d;
        break;
    }
    case ValueType::String:
    case ValueType::Ident: value.bytes = ReadShortString(); break;
    case ValueType::LString:
    case ValueType::Binary: value.bytes = ReadLengthPrefixed(); break;
    case ValueType::WString: {
        const std::int64_t count = ReadSigned(4);
        if (count < 0 || static_cast<std::uint64_t>(count) > (FData.size() - FPos) / 2)
            Truncated();
        const std::string_view bytes = ReadBytes(static_cast<std::size_t>(count) * 2);
        value.wide.resize(static_cast<std::size_t>(count));
        for (std::size_t i = 0; i < value.wide.size(); ++i) {
            value.wide[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                                  static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
        }
        break;
    }
    case ValueType::Set:
        for (;;) {
            std::string member = ReadShortString();
            if (member.empty())
                break;
            value.members.push_back(std::move(member));
        }
        break;
    case ValueType::Collection:
        while (PeekByte() != 0) {
            CollectionItem item;
            const std::uint8_t marker = ReadByte();
            if (marker == static_cast<std::uint8_t>(ValueType::Int8) ||
                marker == static_cast<std::uint8_t>(ValueType::Int16) ||
                marker == static_cast<std::uint8_t>(ValueType::Int32)) {
                item.index = ReadValueOfType(static_cast<ValueType>(marker), depth + 1).integer;
                if (ReadByte() != static_cast<std::uint8_t>(ValueType::List))
                    Malformed(QStringLiteral("コレクションの項目"));
            } else if (marker != static_cast<std::uint8_t>(ValueType::List)) {
                Malformed(QStringLiteral("コレクションの項目"));
            }
            item.properties = ReadPropertyList(depth + 1);
            value.items.push_back(std::move(item));
        }
        ++FPos;
        break;
    }
    return value;
}

// ---------------------------------------------------------------- writing

namespace {

void PutSigned(std::string &out, std::int64_t value, std::size_t size)
{
    const auto bits = static_cast<std::uint64_t>(value);
    for (std::size_t i = 0; i < size; ++i)
        out += static_cast<char>((bits >> (8 * i)) & 0xFF);
}

void PutShortString(std::string &out, const std::string &s)
{
    if (s.size() > 255)
        throw EWriteError(QStringLiteral("名前が 255 バイトを超えています"));
    out += static_cast<char>(s.size());
    out += s;
}

void PutLengthPrefixed(std::string &out, const std::string &s)
{
    if (s.size() > 0x7FFFFFFF)
        throw EWriteError(QStringLiteral("値が大きすぎます"));
    PutSigned(out, static_cast<std::int64_t>(s.size()), 4);
    out += s;
}

void PutType(std::string &out, ValueType type)
{
    out += static_cast<char>(type);
}

void PutValue(std::string &out, const Value &value);

void PutPropertyList(std::string &out, const std::vector<Property> &properties)
{
    for (const Property &property : properties) {
        PutShortString(out, property.name);
        PutValue(out, property.value);
    }
    out += '\0';
}

void PutValue(std::string &out, const Value &value)
{
    PutType(out, value.type);
    switch (value.type) {
    case ValueType::Null:
    case ValueType::False:
    case ValueType::True:
    case ValueType::Nil:
        break;
    case ValueType::List:
        for (const Value &element : value.list)
            PutValue(out, element);
        out += '\0';
        break;
    case ValueType::Int8: PutSigned(out, value.integer, 1); break;
    case ValueType::Int16: PutSigned(out, value.integer, 2); break;
    case ValueType::Int32: PutSigned(out, value.integer, 4); break;
    case ValueType::Int64:
    case ValueType::Currency: PutSigned(out, value.integer, 8); break;
    case ValueType::Extended: {
        unsigned char bytes[10];
        EncodeExtended(value.real, bytes);
        out.append(reinterpret_cast<const char *>(bytes), 10);
        break;
    }
    case ValueType::Single: {
        const auto f = static_cast<float>(value.real);
        std::uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        PutSigned(out, bits, 4);
        break;
    }
    case ValueType::Date: {
        const auto d = static_cast<double>(value.real);
        std::uint64_t bits;
        std::memcpy(&bits, &d, sizeof bits);
        PutSigned(out, static_cast<std::int64_t>(bits), 8);
        break;
    }
    case ValueType::String:
    case ValueType::Ident: PutShortString(out, value.bytes); break;
    case ValueType::LString:
    case ValueType::Binary: PutLengthPrefixed(out, value.bytes); break;
    case ValueType::WString:
        PutSigned(out, static_cast<std::int64_t>(value.wide.size()), 4);
        for (char16_t c : value.wide)
            PutSigned(out, c, 2);
        break;
    case ValueType::Set:
        for (const std::string &member : value.members)
            PutShortString(out, member);
        out += '\0';
        break;
    case ValueType::Collection:
        for (const CollectionItem &item : value.items) {
            if (item.index)
                PutValue(out, Value::Integer(*item.index));
            PutType(out, ValueType::List);
            PutPropertyList(out, item.properties);
        }
        out += '\0';
        break;
    }
}

void PutComponent(std::string &out, const Component &component)
{
    // A first header byte of 0xF0 or more would read back as filer flags.
    if (component.className.size() >= 0xF0)
        throw EWriteError(QStringLiteral("クラス名が長すぎます"));
    PutShortString(out, component.className);
    PutShortString(out, component.name);
    PutPropertyList(out, component.properties);
    for (const Component &child : component.children)
        PutComponent(out, child);
    out += '\0';
}

} // namespace

std::string WriteBinary(const Component &root)
{
    std::string out = "TPF0";
    PutComponent(out, root);
    return out;
}

// ---------------------------------------------------------------- extended floats

void EncodeExtended(long double value, unsigned char out[10])
{
    std::uint64_t mantissa = 0;
    int exponentField = 0;
    const bool negative = std::signbit(value);
    if (std::isnan(value)) {
        mantissa = 0xC000000000000000ull;
        exponentField = 0x7FFF;
    } else if (std::isinf(value)) {
        mantissa = 0x8000000000000000ull;
        exponentField = 0x7FFF;
    } else if (value != 0) {
        int exponent = 0;
        const long double fraction = std::frexp(std::fabs(value), &exponent);  // [0.5, 1)
        exponentField = exponent - 1 + 16383;
        if (exponentField >= 0x7FFF) {
            mantissa = 0x8000000000000000ull;
            exponentField = 0x7FFF;
        } else if (exponentField <= 0) {
            // Too small for a normal number: stored as a denormal (or zero).
            mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 64 + exponentField - 1));
            exponentField = 0;
        } else {
            mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 64));
        }
    }
    for (int i = 0; i < 8; ++i)
        out[i] = static_cast<unsigned char>((mantissa >> (8 * i)) & 0xFF);
    const int top = exponentField | (negative ? 0x8000 : 0);
    out[8] = static_cast<unsigned char>(top & 0xFF);
    out[9] = static_cast<unsigned char>((top >> 8) & 0xFF);
}

long double DecodeExtended(const unsigned char in[10])
{
    std::uint64_t mantissa = 0;
    for (int i = 0; i < 8; ++i)
        mantissa |= static_cast<std::uint64_t>(in[i]) << (8 * i);
    const int top = in[8] | (in[9] << 8);
    const bool negative = (top & 0x8000) != 0;
    const int exponentField = top & 0x7FFF;
    long double value;
    if (exponentField == 0x7FFF) {
        value = (mantissa << 1) == 0 ? INFINITY : NAN;
    } else if (exponentField == 0) {
        value = std::ldexp(static_cast<long double>(mantissa), 1 - 16383 - 63);
    } else {
        value = std::ldexp(static_cast<long double>(mantissa), exponentField - 16383 - 63);
    }
    return negative ? -value : value;
}

} // namespace classlib::stream
