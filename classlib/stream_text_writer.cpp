// Writing the text form of the component stream.
#include "classlib/stream_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace classlib::stream {

namespace {

constexpr const char *kLineBreak = "\r\n";

std::string Indent(int level)
{
    return std::string(static_cast<std::size_t>(level) * 2, ' ');
}

// A string of bytes: printable bytes (double-byte characters included) inside quotes, control
// characters and DEL as #nnn. No trail byte of code page 932 can be a quote, so the bytes can be
// copied as they are.
std::string QuoteBytes(const std::string &bytes)
{
    if (bytes.empty())
        return "''";
    std::string out;
    bool inQuotes = false;
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            if (inQuotes)
                out += '\'';
            inQuotes = false;
            out += '#' + std::to_string(byte);
        } else {
            if (!inQuotes)
                out += '\'';
            inQuotes = true;
            out += c;
            if (c == '\'')
                out += '\'';
        }
    }
    if (inQuotes)
        out += '\'';
    return out;
}

// A wide string: printable ASCII inside quotes, every other code unit as #nnn, so that the
// parser sees a code of 128 or more and keeps the string wide.
std::string QuoteWide(const std::u16string &wide)
{
    if (wide.empty())
        return "''";
    std::string out;
    bool inQuotes = false;
    for (char16_t c : wide) {
        if (c < 0x20 || c >= 0x7F) {
            if (inQuotes)
                out += '\'';
            inQuotes = false;
            out += '#' + std::to_string(static_cast<unsigned>(c));
        } else {
            if (!inQuotes)
                out += '\'';
            inQuotes = true;
            out += static_cast<char>(c);
            if (c == u'\'')
                out += '\'';
        }
    }
    if (inQuotes)
        out += '\'';
    return out;
}

// The shortest decimal that reads back as the same value, always with a point or an exponent
// so that it is read as a float.
template <class Float>
std::string FormatFloat(Float value)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, result.ptr);
    if (text.find_first_of(".e") == std::string::npos)
        text += ".0";
    return text;
}

std::string FormatCurrency(std::int64_t units)
{
    // Units of 1/10000, written with four decimals.
    const bool negative = units < 0;
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(units) : static_cast<std::uint64_t>(units);
    char fraction[8];
    std::snprintf(fraction, sizeof fraction, "%04u", static_cast<unsigned>(magnitude % 10000));
    return (negative ? "-" : "") + std::to_string(magnitude / 10000) + "." + fraction + "c";
}

std::string HexLines(const std::string &bytes, int level)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out = "{";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i % 32 == 0)
            out += kLineBreak + Indent(level);
        const auto byte = static_cast<unsigned char>(bytes[i]);
        out += kDigits[byte >> 4];
        out += kDigits[byte & 0xF];
    }
    out += '}';
    return out;
}

void WriteProperties(std::string &out, const std::vector<Property> &properties, int level);

// The value's text; values spanning lines continue at the given level.
std::string ValueText(const Value &value, int level)
{
    switch (value.type) {
    case ValueType::Null: return "Null";
    case ValueType::Nil: return "nil";
    case ValueType::False: return "False";
    case ValueType::True: return "True";
    case ValueType::Int8:
    case ValueType::Int16:
    case ValueType::Int32:
    case ValueType::Int64: return std::to_string(value.integer);
    case ValueType::Extended: return FormatFloat(value.real);
    case ValueType::Single: return FormatFloat(static_cast<float>(value.real)) + "s";
    case ValueType::Date: return FormatFloat(static_cast<double>(value.real)) + "d";
    case ValueType::Currency: return FormatCurrency(value.integer);
    case ValueType::String:
    case ValueType::LString: return QuoteBytes(value.bytes);
    case ValueType::WString: return QuoteWide(value.wide);
    case ValueType::Ident: return value.bytes;
    case ValueType::Binary: return HexLines(value.bytes, level + 1);
    case ValueType::Set: {
        std::string out = "[";
        for (std::size_t i = 0; i < value.members.size(); ++i)
            out += (i ? ", " : "") + value.members[i];
        return out + "]";
    }
    case ValueType::List: {
        std::string out = "(";
        for (const Value &element : value.list)
            out += kLineBreak + Indent(level + 1) + ValueText(element, level + 1);
        return out + ")";
    }
    case ValueType::Collection: {
        std::string out = "<";
        for (const CollectionItem &item : value.items) {
            out += kLineBreak + Indent(level + 1) + "item";
            if (item.index)
                out += " [" + std::to_string(*item.index) + "]";
            out += kLineBreak;
            WriteProperties(out, item.properties, level + 2);
            out += Indent(level + 1) + "end";
        }
        return out + ">";
    }
    }
    return "Null";
}

void WriteProperties(std::string &out, const std::vector<Property> &properties, int level)
{
    for (const Property &property : properties)
        out += Indent(level) + property.name + " = " + ValueText(property.value, level) + kLineBreak;
}

void WriteComponent(std::string &out, const Component &component, int level)
{
    out += Indent(level) + "object ";
    if (!component.name.empty())
        out += component.name + ": ";
    out += component.className + kLineBreak;
    WriteProperties(out, component.properties, level + 1);
    for (const Component &child : component.children)
        WriteComponent(out, child, level + 1);
    out += Indent(level) + "end" + kLineBreak;
}

} // namespace

std::string WriteText(const Component &root)
{
    std::string out;
    WriteComponent(out, root, 0);
    return out;
}

std::string FormatValue(const Value &value)
{
    return ValueText(value, 0);
}

} // namespace classlib::stream
