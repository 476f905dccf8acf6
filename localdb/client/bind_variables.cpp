// Values written back by a call are held to the declared type as PL/SQL holds an OUT parameter:
// text longer than the declared length, or text that is no number for a NUMBER variable, is
// Oracle's ORA-06502 and leaves the variable as it was.
#include "localdb/client/bind_variables.h"

#include "localdb/client/command_names.h"
#include "localdb/functions/decimal_number.h"

#include <cctype>

namespace localdb::client {
namespace {

constexpr int kMaxVarchar = 32767;
constexpr int kMaxChar = 2000;

const char *const kUsage =
    "usage: VARIABLE [name [NUMBER | CHAR[(n [CHAR | BYTE])] | NCHAR[(n)] | VARCHAR2(n [CHAR | BYTE]) | "
    "NVARCHAR2(n) | CLOB | NCLOB | BINARY_FLOAT | BINARY_DOUBLE] [= value]]";

bool isNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) >= 0x80; }
bool isNameChar(char c) {
    return isNameStart(c) || std::isdigit(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#';
}

// The end of a q'<...>' literal starting at i (at the q), or npos when it is not one.
size_t endOfQuotedLiteral(std::string_view text, size_t i) {
    if (i + 3 >= text.size() || text[i + 1] != '\'')
        return std::string_view::npos;
    const char open = text[i + 2];
    const char close = open == '[' ? ']' : open == '(' ? ')' : open == '{' ? '}' : open == '<' ? '>' : open;
    for (size_t j = i + 3; j + 1 < text.size(); ++j)
        if (text[j] == close && text[j + 1] == '\'')
            return j + 2;
    return text.size();
}

// Characters of UTF-8 text: declared lengths count characters, not bytes.
int characterCount(std::string_view text) {
    int count = 0;
    for (char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++count;
    return count;
}

struct TypeSpec {
    BindVariable::Kind kind;
    int length;
};

// "VARCHAR2 (20 CHAR)" and the like; nullopt with error set when it is not a type VARIABLE knows.
std::optional<TypeSpec> parseType(const std::string &text, std::string &error) {
    const std::string upper = upperAscii(text);
    std::string word;
    size_t i = 0;
    while (i < upper.size() && (std::isalnum(static_cast<unsigned char>(upper[i])) || upper[i] == '_'))
        word += upper[i++];
    std::string rest(trimmed(std::string_view(upper).substr(i)));
    std::optional<int> length;
    if (!rest.empty()) {
        if (rest.front() != '(' || rest.back() != ')') {
            error = kUsage;
            return std::nullopt;
        }
        std::string inside(trimmed(std::string_view(rest).substr(1, rest.size() - 2)));
        for (const char *unit : {" CHAR", " BYTE"})
            if (inside.size() > 5 && inside.compare(inside.size() - 5, 5, unit) == 0)
                inside = std::string(trimmed(std::string_view(inside).substr(0, inside.size() - 5)));
        if (inside.empty() || inside.size() > 9 || inside.find_first_not_of("0123456789") != std::string::npos) {
            error = kUsage;
            return std::nullopt;
        }
        length = std::stoi(inside);
    }
    struct Known {
        const char *name;
        BindVariable::Kind kind;
        int maxLength;  // 0: takes no length
    };
    static const Known known[] = {
        {"NUMBER", BindVariable::Number, 0},          {"VARCHAR2", BindVariable::Varchar2, kMaxVarchar},
        {"CHAR", BindVariable::Char, kMaxChar},       {"NVARCHAR2", BindVariable::NVarchar2, kMaxVarchar},
        {"NCHAR", BindVariable::NChar, kMaxChar},     {"CLOB", BindVariable::Clob, 0},
        {"NCLOB", BindVariable::NClob, 0},            {"BINARY_FLOAT", BindVariable::BinaryFloat, 0},
        {"BINARY_DOUBLE", BindVariable::BinaryDouble, 0},
    };
    for (const Known &k : known) {
        if (word != k.name)
            continue;
        if (k.maxLength == 0 && length) {
            error = kUsage;
            return std::nullopt;
        }
        if (k.maxLength > 0 && length && (*length < 1 || *length > k.maxLength)) {
            error = "Bind variable length cannot exceed " + std::to_string(k.maxLength) + ".";
            return std::nullopt;
        }
        return TypeSpec{k.kind, k.maxLength > 0 ? length.value_or(1) : 0};
    }
    if (word == "REFCURSOR")
        error = "REFCURSOR variables are not available: the embedded database has no cursor variables yet.";
    else
        error = kUsage;
    return std::nullopt;
}

// A literal after "=": a quoted text or a number.
std::optional<Value> parseLiteral(std::string_view text) {
    text = trimmed(text);
    if (text.size() >= 2 && text.front() == '\'' && text.back() == '\'') {
        std::string value;
        for (size_t i = 1; i + 1 < text.size(); ++i) {
            value += text[i];
            if (text[i] == '\'' && i + 2 < text.size() && text[i + 1] == '\'')
                ++i;
        }
        return Value(value);
    }
    if (auto number = functions::DecimalNumber::parse(std::string(text)))
        return Value(number->toDouble());
    return std::nullopt;
}

bool isCharacterKind(BindVariable::Kind kind) {
    return kind == BindVariable::Varchar2 || kind == BindVariable::Char || kind == BindVariable::NVarchar2 ||
           kind == BindVariable::NChar || kind == BindVariable::Clob || kind == BindVariable::NClob;
}

class SingleRowCursor : public Cursor {
public:
    SingleRowCursor(Column column, Value value) : columns_{std::move(column)}, value_(std::move(value)) {}
    const std::vector<Column> &columns() const override { return columns_; }
    bool next() override { return !done_ && (done_ = true); }
    const Value &value(int) const override { return value_; }

private:
    std::vector<Column> columns_;
    Value value_;
    bool done_ = false;
};

}  // namespace

std::string BindVariable::typeText() const {
    switch (kind) {
    case Number:
        return "NUMBER";
    case Varchar2:
        return "VARCHAR2(" + std::to_string(length) + ")";
    case Char:
        return "CHAR(" + std::to_string(length) + ")";
    case NVarchar2:
        return "NVARCHAR2(" + std::to_string(length) + ")";
    case NChar:
        return "NCHAR(" + std::to_string(length) + ")";
    case Clob:
        return "CLOB";
    case NClob:
        return "NCLOB";
    case BinaryFloat:
        return "BINARY_FLOAT";
    case BinaryDouble:
        return "BINARY_DOUBLE";
    }
    return "NUMBER";
}

std::vector<std::string> bindReferences(std::string_view text) {
    std::vector<std::string> names;
    auto add = [&](std::string name) {
        for (const std::string &n : names)
            if (n == name)
                return;
        names.push_back(std::move(name));
    };
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '-' && i + 1 < text.size() && text[i + 1] == '-') {
            const size_t end = text.find('\n', i);
            i = end == std::string_view::npos ? text.size() : end;
        } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
            const size_t end = text.find("*/", i + 2);
            i = end == std::string_view::npos ? text.size() : end + 2;
        } else if ((c == 'q' || c == 'Q' || c == 'n' || c == 'N') && (i == 0 || !isNameChar(text[i - 1])) &&
                   endOfQuotedLiteral(text.substr(c == 'n' || c == 'N' ? i + 1 : i), 0) != std::string_view::npos &&
                   (c == 'q' || c == 'Q' || (i + 1 < text.size() && (text[i + 1] == 'q' || text[i + 1] == 'Q')))) {
            const size_t start = c == 'n' || c == 'N' ? i + 1 : i;
            i = start + endOfQuotedLiteral(text.substr(start), 0);
        } else if (c == '\'' || c == '"') {
            size_t j = i + 1;
            while (j < text.size()) {
                if (text[j] == c) {
                    if (c == '\'' && j + 1 < text.size() && text[j + 1] == '\'') {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            i = j + 1;
        } else if (c == ':' && i + 1 < text.size()) {
            size_t j = i + 1;
            while (j < text.size() && (text[j] == ' ' || text[j] == '\t'))
                ++j;
            if (j < text.size() && text[j] == '"') {
                const size_t end = text.find('"', j + 1);
                if (end != std::string_view::npos && end > j + 1)
                    add(std::string(text.substr(j + 1, end - j - 1)));
                i = end == std::string_view::npos ? text.size() : end + 1;
            } else if (j < text.size() && (isNameStart(text[j]) || std::isdigit(static_cast<unsigned char>(text[j])))) {
                size_t end = j;
                while (end < text.size() && isNameChar(text[end]))
                    ++end;
                add(upperAscii(text.substr(j, end - j)));
                i = end;
            } else {
                i = j;  // ":=" and anything else
            }
        } else if (isNameChar(c)) {
            while (i < text.size() && isNameChar(text[i]))
                ++i;
        } else {
            ++i;
        }
    }
    return names;
}

BindVariable *BindVariables::findMutable(std::string_view name) {
    const std::string wanted = upperAscii(name);
    for (BindVariable &v : variables_)
        if (upperAscii(v.name) == wanted)
            return &v;
    return nullptr;
}

const BindVariable *BindVariables::find(std::string_view name) const {
    return const_cast<BindVariables *>(this)->findMutable(name);
}

std::vector<std::string> BindVariables::command(const std::string &arguments, const DateDisplay &dates,
                                                std::string &error) {
    std::string_view text = trimmed(arguments);
    if (!text.empty() && text.back() == ';')
        text = trimmed(text.substr(0, text.size() - 1));
    auto listing = [](const BindVariable &v) {
        return std::vector<std::string>{"variable   " + v.name, "datatype   " + v.typeText()};
    };
    if (text.empty()) {
        std::vector<std::string> lines;
        for (const BindVariable &v : variables_) {
            if (!lines.empty())
                lines.push_back("");
            for (std::string &line : listing(v))
                lines.push_back(std::move(line));
        }
        return lines;
    }
    size_t nameEnd = 0;
    while (nameEnd < text.size() && isNameChar(text[nameEnd]))
        ++nameEnd;
    const std::string name(text.substr(0, nameEnd));
    std::string_view rest = trimmed(text.substr(nameEnd));
    if (name.empty() || !isNameStart(name[0]) || name.size() > 30 ||
        (!rest.empty() && rest.front() != '=' && (text[nameEnd] != ' ' && text[nameEnd] != '\t'))) {
        error = "Illegal variable name \"" + std::string(text.substr(0, nameEnd ? nameEnd : text.size())) + "\".";
        return {};
    }
    if (rest.empty()) {
        if (const BindVariable *v = find(name))
            return listing(*v);
        error = "Bind variable \"" + upperAscii(name) + "\" not declared.";
        return {};
    }
    const size_t equals = rest.find('=');
    const std::string typeText(trimmed(rest.substr(0, equals)));
    std::optional<Value> initial;
    if (equals != std::string_view::npos) {
        initial = parseLiteral(rest.substr(equals + 1));
        if (!initial) {
            error = kUsage;
            return {};
        }
    }
    BindVariable declared;
    declared.name = name;
    if (typeText.empty()) {
        // "VARIABLE n = 5" assigns to a variable declared before.
        BindVariable *existing = findMutable(name);
        if (!existing || !initial) {
            error = existing ? kUsage : "Bind variable \"" + upperAscii(name) + "\" not declared.";
            return {};
        }
        error = assign(*existing, *initial, dates);
        return {};
    }
    const std::optional<TypeSpec> type = parseType(typeText, error);
    if (!type)
        return {};
    declared.kind = type->kind;
    declared.length = type->length;
    if (initial) {
        error = assign(declared, *initial, dates);
        if (!error.empty())
            return {};
    }
    if (BindVariable *existing = findMutable(name)) {
        // The same type again keeps the value, as re-running a script's declarations expects.
        if (existing->kind == declared.kind && existing->length == declared.length && !initial)
            return {};
        *existing = std::move(declared);
    } else {
        variables_.push_back(std::move(declared));
    }
    return {};
}

std::vector<Bind> BindVariables::bindsFor(std::string_view statement, std::vector<std::string> &undeclared) const {
    std::vector<Bind> binds;
    std::string_view start = trimmed(statement);
    const std::string firstWord = upperAscii(start.substr(0, start.find_first_of(" \t\n(")));
    if (firstWord == "CREATE" || firstWord == "ALTER" || firstWord == "DROP")
        return binds;
    for (const std::string &name : bindReferences(statement)) {
        const BindVariable *v = find(name);
        if (!v) {
            undeclared.push_back(name);
            continue;
        }
        Bind b;
        b.name = name;
        b.value = v->value;
        b.direction = Bind::InOut;
        switch (v->kind) {
        case BindVariable::Number:
            b.serverType = 2;
            break;
        case BindVariable::Char:
        case BindVariable::NChar:
            b.serverType = 96;
            break;
        case BindVariable::Clob:
        case BindVariable::NClob:
            b.serverType = 112;
            break;
        case BindVariable::BinaryFloat:
            b.serverType = 100;
            break;
        case BindVariable::BinaryDouble:
            b.serverType = 101;
            break;
        default:
            b.serverType = 1;
            break;
        }
        binds.push_back(std::move(b));
    }
    return binds;
}

std::string BindVariables::assign(BindVariable &variable, const Value &value, const DateDisplay &dates) const {
    if (isNull(value)) {
        variable.value = Value();
        return {};
    }
    if (!isCharacterKind(variable.kind)) {
        if (std::holds_alternative<std::int64_t>(value) || std::holds_alternative<double>(value)) {
            variable.value = value;
            return {};
        }
        if (const auto *text = std::get_if<std::string>(&value)) {
            if (auto number = functions::DecimalNumber::parse(std::string(trimmed(*text)))) {
                variable.value = Value(number->toDouble());
                return {};
            }
            return "ORA-06502: PL/SQL: numeric or value error: character to number conversion error";
        }
        return "ORA-06502: PL/SQL: numeric or value error";
    }
    std::string text = valueText(value, dates).value_or(std::string());
    if (variable.length > 0) {
        const int characters = characterCount(text);
        if (characters > variable.length)
            return "ORA-06502: PL/SQL: numeric or value error: character string buffer too small";
        if (variable.kind == BindVariable::Char || variable.kind == BindVariable::NChar)
            text.append(static_cast<size_t>(variable.length - characters), ' ');
    }
    variable.value = Value(std::move(text));
    return {};
}

std::string BindVariables::takeBack(const std::vector<Bind> &binds, const DateDisplay &dates) {
    std::string firstError;
    for (const Bind &b : binds) {
        BindVariable *v = findMutable(b.name);
        if (!v)
            continue;
        const std::string error = assign(*v, b.value, dates);
        if (firstError.empty())
            firstError = error;
    }
    return firstError;
}

std::unique_ptr<Cursor> BindVariables::valueCursor(const BindVariable &variable) {
    Column column;
    column.name = upperAscii(variable.name);
    column.oracleType = variable.typeText();
    switch (variable.kind) {
    case BindVariable::Number:
    case BindVariable::BinaryFloat:
    case BindVariable::BinaryDouble:
        column.type = Double;
        break;
    case BindVariable::Clob:
    case BindVariable::NClob:
        column.type = Memo;
        break;
    default:
        column.type = Text;
        break;
    }
    return std::make_unique<SingleRowCursor>(std::move(column), variable.value);
}

}  // namespace localdb::client
