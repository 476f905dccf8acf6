// Parsing the text form of the component stream into stream values. A recursive-descent parser
// over the raw text; each Parse function states the grammar it accepts. Any fault raises
// EParserError with the line number; nothing is ever read past the text.
#include "classlib/stream_text.h"

#include "classlib/cp932.h"
#include "classlib/errors.h"

#include <QString>

#include <charconv>
#include <cmath>
#include <limits>

namespace classlib::stream {

namespace {

bool IsIdentStart(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsIdentChar(char c)
{
    return IsIdentStart(c) || (c >= '0' && c <= '9');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool SameWord(const std::string &a, const char *b)
{
    return cp932::SameText(a, b);
}

class TextParser {
public:
    explicit TextParser(std::string_view text) : FText(text) {}

    // text := object-block blanks
    Component ParseRoot()
    {
        Component root = ParseObject(0);
        SkipBlanks();
        if (FPos < FText.size())
            Error(QStringLiteral("end の後に余分な文字があります"));
        return root;
    }

private:
    [[noreturn]] void Error(const QString &what) const
    {
        throw EParserError(QStringLiteral("%1 行目: %2").arg(FLine).arg(what));
    }

    bool AtEnd() const { return FPos >= FText.size(); }
    char Peek() const { return AtEnd() ? '\0' : FText[FPos]; }

    // Blanks and line breaks; CR LF counts as one line.
    void SkipBlanks()
    {
        while (!AtEnd()) {
            const char c = FText[FPos];
            if (c == '\r') {
                ++FLine;
                ++FPos;
                if (Peek() == '\n')
                    ++FPos;
            } else if (c == '\n') {
                ++FLine;
                ++FPos;
            } else if (c == ' ' || c == '\t') {
                ++FPos;
            } else {
                return;
            }
        }
    }

    void Expect(char c)
    {
        SkipBlanks();
        if (Peek() != c)
            Error(QStringLiteral("'%1' が必要です").arg(QLatin1Char(c)));
        ++FPos;
    }

    // ident := (letter | "_") {letter | digit | "_"}
    std::string ReadIdent()
    {
        SkipBlanks();
        if (!IsIdentStart(Peek()))
            Error(QStringLiteral("識別子が必要です"));
        const std::size_t start = FPos;
        while (IsIdentChar(Peek()))
            ++FPos;
        if (FPos - start > 255)
            Error(QStringLiteral("識別子が長すぎます"));
        return std::string(FText.substr(start, FPos - start));
    }

    // The next identifier without consuming it (empty when none follows).
    std::string PeekIdent()
    {
        SkipBlanks();
        std::size_t end = FPos;
        while (end < FText.size() && IsIdentChar(FText[end]))
            ++end;
        if (end == FPos || !IsIdentStart(FText[FPos]))
            return {};
        return std::string(FText.substr(FPos, end - FPos));
    }

    static bool IsObjectKeyword(const std::string &word)
    {
        return SameWord(word, "object") || SameWord(word, "inherited") || SameWord(word, "inline");
    }

    void CheckDepth(int depth) const
    {
        if (depth > kMaxNesting)
            Error(QStringLiteral("入れ子が深すぎます"));
    }

    // object := ("object" | "inherited" | "inline") [name ":"] class
    //           {property} {object} "end"
    Component ParseObject(int depth)
    {
        CheckDepth(depth);
        if (!IsObjectKeyword(ReadIdent()))
            Error(QStringLiteral("object が必要です"));
        Component component;
        std::string first = ReadIdent();
        SkipBlanks();
        if (Peek() == ':') {
            ++FPos;
            component.name = std::move(first);
            component.className = ReadIdent();
        } else {
            component.className = std::move(first);
        }
        // A first header byte of 0xF0 or more announces filer flags in the binary form.
        if (component.className.size() >= 0xF0)
            Error(QStringLiteral("クラス名が長すぎます"));
        for (;;) {
            const std::string word = PeekIdent();
            if (word.empty())
                Error(QStringLiteral("end が必要です"));
            if (SameWord(word, "end")) {
                FPos += word.size();
                return component;
            }
            if (IsObjectKeyword(word))
                component.children.push_back(ParseObject(depth + 1));
            else if (!component.children.empty())
                Error(QStringLiteral("子の object の後にプロパティは書けません"));
            else
                component.properties.push_back(ParseProperty(depth));
        }
    }

    // property := ident {"." ident} "=" value
    Property ParseProperty(int depth)
    {
        Property property;
        property.name = ReadIdent();
        while (Peek() == '.') {
            ++FPos;
            property.name += '.';
            property.name += ReadIdent();
        }
        if (property.name.size() > 255)
            Error(QStringLiteral("プロパティ名が長すぎます"));
        Expect('=');
        property.value = ParseValue(depth + 1);
        return property;
    }

    // value := number | string | ident | set | list | collection | binary
    Value ParseValue(int depth)
    {
        CheckDepth(depth);
        SkipBlanks();
        const char c = Peek();
        if (c == '-' || c == '+' || c == '$' || IsDigit(c))
            return ParseNumber();
        if (c == '\'' || c == '#')
            return ParseString();
        if (IsIdentStart(c))
            return ParseIdentValue();
        if (c == '[')
            return ParseSet();
        if (c == '(')
            return ParseList(depth);
        if (c == '<')
            return ParseCollection(depth);
        if (c == '{')
            return ParseBinary();
        Error(QStringLiteral("値が必要です"));
    }

    // number := ["-" | "+"] ("$" hexdigits | digits ["." digits] [exponent]) ["s" | "c" | "d"]
    Value ParseNumber()
    {
        bool negative = false;
        if (Peek() == '-' || Peek() == '+') {
            negative = Peek() == '-';
            ++FPos;
        }
        if (Peek() == '$') {
            ++FPos;
            std::uint64_t value = 0;
            int digits = 0;
            for (int d; (d = HexDigit(Peek())) >= 0; ++FPos, ++digits) {
                if (digits == 16)
                    Error(QStringLiteral("数値が大きすぎます"));
                value = value << 4 | static_cast<std::uint64_t>(d);
            }
            if (digits == 0 || IsIdentChar(Peek()))
                Error(QStringLiteral("数値が不正です"));
            // Up to eight digits are a 32-bit pattern ($80000005 is a system colour).
            std::int64_t signedValue = digits <= 8 ? static_cast<std::int32_t>(value)
                                                   : static_cast<std::int64_t>(value);
            return Value::Integer(negative ? -signedValue : signedValue);
        }
        const std::size_t start = FPos;
        bool isFloat = false;
        while (IsDigit(Peek()))
            ++FPos;
        if (FPos == start)
            Error(QStringLiteral("数値が不正です"));
        if (Peek() == '.' && FPos + 1 < FText.size() && IsDigit(FText[FPos + 1])) {
            isFloat = true;
            ++FPos;
            while (IsDigit(Peek()))
                ++FPos;
        }
        if (Peek() == 'e' || Peek() == 'E') {
            std::size_t p = FPos + 1;
            if (p < FText.size() && (FText[p] == '+' || FText[p] == '-'))
                ++p;
            if (p < FText.size() && IsDigit(FText[p])) {
                isFloat = true;
                FPos = p;
                while (IsDigit(Peek()))
                    ++FPos;
            }
        }
        const std::string_view digits = FText.substr(start, FPos - start);
        char suffix = 0;
        if (Peek() == 's' || Peek() == 'S' || Peek() == 'c' || Peek() == 'C' || Peek() == 'd' ||
            Peek() == 'D') {
            suffix = static_cast<char>(Peek() | 0x20);
            ++FPos;
        }
        if (IsIdentChar(Peek()))
            Error(QStringLiteral("数値が不正です"));
        if (!isFloat && !suffix) {
            std::uint64_t magnitude = 0;
            const auto result = std::from_chars(digits.data(), digits.data() + digits.size(),
                                                magnitude);
            const std::uint64_t limit =
                static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) +
                (negative ? 1 : 0);
            if (result.ec != std::errc() || magnitude > limit)
                Error(QStringLiteral("数値が大きすぎます"));
            return Value::Integer(negative ? static_cast<std::int64_t>(0 - magnitude)
                                           : static_cast<std::int64_t>(magnitude));
        }
        long double real = 0;
        const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), real);
        if (result.ec != std::errc() || !std::isfinite(real))
            Error(QStringLiteral("数値が不正です"));
        if (negative)
            real = -real;
        Value value = Value::Of(ValueType::Extended);
        value.real = real;
        // Singles and dates are read at their own precision, so that the shortest decimal
        // the writer chose gives back exactly the value it came from.
        switch (suffix) {
        case 's': {
            float single = 0;
            if (std::from_chars(digits.data(), digits.data() + digits.size(), single).ec !=
                std::errc())
                Error(QStringLiteral("数値が不正です"));
            value.type = ValueType::Single;
            value.real = negative ? -single : single;
            break;
        }
        case 'd': {
            double date = 0;
            if (std::from_chars(digits.data(), digits.data() + digits.size(), date).ec !=
                std::errc())
                Error(QStringLiteral("数値が不正です"));
            value.type = ValueType::Date;
            value.real = negative ? -date : date;
            break;
        }
        case 'c': {
            value.type = ValueType::Currency;
            value.integer = CurrencyUnits(digits, real);
            if (negative)
                value.integer = -value.integer;
            value.real = 0;
            break;
        }
        default: break;
        }
        return value;
    }

    // Currency in units of 1/10000, counted exactly from the decimal digits (a float would
    // round large amounts); digits with an exponent go through real instead.
    std::int64_t CurrencyUnits(std::string_view digits, long double real) const
    {
        constexpr std::int64_t kLimit = std::numeric_limits<std::int64_t>::max() / 10;
        if (digits.find_first_of("eE") != std::string_view::npos) {
            const long double units = std::round(std::fabs(real) * 10000);
            if (!(units < 9.2e18L))
                Error(QStringLiteral("数値が大きすぎます"));
            return static_cast<std::int64_t>(units);
        }
        std::int64_t units = 0;
        int decimals = -1;  // digits seen after the point, -1 before it
        bool roundUp = false;
        for (char c : digits) {
            if (c == '.') {
                decimals = 0;
                continue;
            }
            if (decimals >= 4) {
                if (decimals++ == 4)
                    roundUp = c >= '5';
                continue;
            }
            const int digit = c - '0';
            if (units > (std::numeric_limits<std::int64_t>::max() - digit) / 10)
                Error(QStringLiteral("数値が大きすぎます"));
            units = units * 10 + digit;
            if (decimals >= 0)
                ++decimals;
        }
        for (int i = std::max(decimals, 0); i < 4; ++i) {
            if (units > kLimit)
                Error(QStringLiteral("数値が大きすぎます"));
            units *= 10;
        }
        if (roundUp) {
            if (units == std::numeric_limits<std::int64_t>::max())
                Error(QStringLiteral("数値が大きすぎます"));
            ++units;
        }
        return units;
    }

    // string := part {part} {"+" part {part}};  part := "'" {char | "''"} "'" | "#" digits
    Value ParseString()
    {
        struct Part {
            bool isCode;
            std::string bytes;
            unsigned code;
        };
        std::vector<Part> parts;
        bool wide = false;
        for (;;) {
            if (Peek() == '\'') {
                ++FPos;
                std::string bytes;
                for (;;) {
                    if (AtEnd() || Peek() == '\r' || Peek() == '\n')
                        Error(QStringLiteral("文字列が閉じていません"));
                    const char c = FText[FPos++];
                    if (c == '\'') {
                        if (Peek() != '\'')
                            break;
                        ++FPos;
                    }
                    bytes += c;
                }
                parts.push_back(Part{false, std::move(bytes), 0});
            } else if (Peek() == '#') {
                ++FPos;
                unsigned code = 0;
                int digits = 0;
                if (Peek() == '$') {
                    ++FPos;
                    for (int d; (d = HexDigit(Peek())) >= 0 && code <= 0xFFFF; ++FPos, ++digits)
                        code = code * 16 + static_cast<unsigned>(d);
                } else {
                    for (; IsDigit(Peek()) && code <= 0xFFFF; ++FPos, ++digits)
                        code = code * 10 + static_cast<unsigned>(Peek() - '0');
                }
                if (digits == 0 || code > 0xFFFF)
                    Error(QStringLiteral("文字コードが不正です"));
                wide = wide || code >= 128;
                parts.push_back(Part{true, {}, code});
            } else {
                break;
            }
            // Adjacent parts belong together; "+" continues the string after blanks or a
            // line break. Anything else ends it (in a list the next string is the next item).
            if (Peek() == '\'' || Peek() == '#')
                continue;
            const std::size_t savedPos = FPos;
            const int savedLine = FLine;
            SkipBlanks();
            if (Peek() != '+') {
                FPos = savedPos;
                FLine = savedLine;
                break;
            }
            ++FPos;
            SkipBlanks();
            if (Peek() != '\'' && Peek() != '#')
                Error(QStringLiteral("文字列が必要です"));
        }
        if (!wide) {
            std::string bytes;
            for (const Part &part : parts)
                bytes += part.isCode ? std::string(1, static_cast<char>(part.code)) : part.bytes;
            return Value::Text(std::move(bytes));
        }
        Value value = Value::Of(ValueType::WString);
        for (const Part &part : parts) {
            if (part.isCode)
                value.wide += static_cast<char16_t>(part.code);
            else
                value.wide += cp932::ToUnicode(part.bytes).toStdU16String();
        }
        return value;
    }

    Value ParseIdentValue()
    {
        std::string ident = ReadIdent();
        if (SameWord(ident, "True"))
            return Value::Boolean(true);
        if (SameWord(ident, "False"))
            return Value::Boolean(false);
        if (SameWord(ident, "nil"))
            return Value::Of(ValueType::Nil);
        if (SameWord(ident, "Null"))
            return Value::Of(ValueType::Null);
        return Value::Identifier(std::move(ident));
    }

    // set := "[" [ident {"," ident}] "]"
    Value ParseSet()
    {
        ++FPos;
        Value value = Value::Of(ValueType::Set);
        SkipBlanks();
        if (Peek() == ']') {
            ++FPos;
            return value;
        }
        for (;;) {
            value.members.push_back(ReadIdent());
            SkipBlanks();
            if (Peek() == ']') {
                ++FPos;
                return value;
            }
            Expect(',');
        }
    }

    // list := "(" {value} ")"
    Value ParseList(int depth)
    {
        ++FPos;
        Value value = Value::Of(ValueType::List);
        for (;;) {
            SkipBlanks();
            if (Peek() == ')') {
                ++FPos;
                return value;
            }
            Value element = ParseValue(depth + 1);
            // In the binary form a Null's type byte is the list's end marker.
            if (element.type == ValueType::Null)
                Error(QStringLiteral("リストの要素に Null は書けません"));
            value.list.push_back(std::move(element));
        }
    }

    // collection := "<" {"item" ["[" integer "]"] {property} "end"} ">"
    Value ParseCollection(int depth)
    {
        ++FPos;
        Value value = Value::Of(ValueType::Collection);
        for (;;) {
            SkipBlanks();
            if (Peek() == '>') {
                ++FPos;
                return value;
            }
            if (!SameWord(ReadIdent(), "item"))
                Error(QStringLiteral("item が必要です"));
            CollectionItem item;
            SkipBlanks();
            if (Peek() == '[') {
                ++FPos;
                SkipBlanks();
                const Value index = ParseNumber();
                if (!index.IsInteger() || index.type == ValueType::Int64)
                    Error(QStringLiteral("整数が必要です"));
                item.index = index.integer;
                Expect(']');
            }
            for (;;) {
                const std::string word = PeekIdent();
                if (word.empty())
                    Error(QStringLiteral("end が必要です"));
                if (SameWord(word, "end")) {
                    FPos += word.size();
                    break;
                }
                item.properties.push_back(ParseProperty(depth + 1));
            }
            value.items.push_back(std::move(item));
        }
    }

    // binary := "{" {hexdigit hexdigit | blank} "}"
    Value ParseBinary()
    {
        ++FPos;
        Value value = Value::Of(ValueType::Binary);
        int high = -1;
        for (;;) {
            SkipBlanks();
            if (AtEnd())
                Error(QStringLiteral("'}' が必要です"));
            const char c = FText[FPos++];
            if (c == '}')
                break;
            const int digit = HexDigit(c);
            if (digit < 0)
                Error(QStringLiteral("16 進数が不正です"));
            if (high < 0) {
                high = digit;
            } else {
                value.bytes += static_cast<char>(high << 4 | digit);
                high = -1;
            }
        }
        if (high >= 0)
            Error(QStringLiteral("16 進数の桁数が奇数です"));
        return value;
    }

    std::string_view FText;
    std::size_t FPos = 0;
    int FLine = 1;
};

} // namespace

Component ParseText(std::string_view text)
{
    return TextParser(text).ParseRoot();
}

} // namespace classlib::stream
