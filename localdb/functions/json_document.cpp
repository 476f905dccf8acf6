// Parsing, writing and path search of JSON documents.
#include "localdb/functions/json_document.h"

#include "localdb/functions/ascii_text.h"
#include "localdb/functions/utf8_text.h"

#include <cstdio>
#include <set>

namespace localdb::functions {

namespace {

class Reader {
public:
    Reader(std::string_view text, JsonSyntax syntax) : s_(text), lax_(syntax == JsonSyntax::Lax) {}

    JsonParseResult run()
    {
        JsonParseResult result;
        JsonValue value;
        blanks();
        if (!readValue(value, 0))
            return result;
        blanks();
        if (i_ != s_.size())
            return result;
        result.value = std::move(value);
        result.duplicateKeys = duplicates_;
        return result;
    }

private:
    std::string_view s_;
    bool lax_;
    std::size_t i_ = 0;
    bool duplicates_ = false;

    void blanks()
    {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\n' || s_[i_] == '\r'))
            ++i_;
    }

    bool accept(char c)
    {
        blanks();
        if (i_ < s_.size() && s_[i_] == c) {
            ++i_;
            return true;
        }
        return false;
    }

    bool readValue(JsonValue &v, int depth)
    {
        if (depth > kMaxJsonDepth || i_ >= s_.size())
            return false;
        char c = s_[i_];
        if (c == '{')
            return readObject(v, depth);
        if (c == '[')
            return readArray(v, depth);
        if (c == '"' || (lax_ && c == '\'')) {
            v.kind = JsonValue::String;
            return readString(v.text);
        }
        if (c == '-' || c == '+' || c == '.' || ascii::isDigit(c))
            return readNumber(v);
        return readLiteral(v);
    }

    bool readLiteral(JsonValue &v)
    {
        std::size_t start = i_;
        while (i_ < s_.size() && ascii::isAlpha(s_[i_]))
            ++i_;
        std::string word(s_.substr(start, i_ - start));
        if (lax_)
            word = ascii::lower(word);
        if (word == "true")
            v.kind = JsonValue::True;
        else if (word == "false")
            v.kind = JsonValue::False;
        else if (word == "null")
            v.kind = JsonValue::Null;
        else
            return false;
        return true;
    }

    bool digits()
    {
        std::size_t start = i_;
        while (i_ < s_.size() && ascii::isDigit(s_[i_]))
            ++i_;
        return i_ > start;
    }

    // Strict numbers are kept as written; lax forms are rewritten in strict form.
    bool readNumber(JsonValue &v)
    {
        std::size_t start = i_;
        bool negative = false;
        if (s_[i_] == '-' || s_[i_] == '+') {
            if (s_[i_] == '+' && !lax_)
                return false;
            negative = s_[i_] == '-';
            ++i_;
        }
        std::size_t integerStart = i_;
        bool integer = digits();
        std::string integerDigits(s_.substr(integerStart, i_ - integerStart));
        if (!lax_ && (!integer || (integerDigits.size() > 1 && integerDigits[0] == '0')))
            return false;
        std::string fraction;
        if (i_ < s_.size() && s_[i_] == '.') {
            ++i_;
            std::size_t fractionStart = i_;
            if (!digits() && !lax_)
                return false;
            fraction = std::string(s_.substr(fractionStart, i_ - fractionStart));
        }
        if (!integer && fraction.empty())
            return false;
        std::string exponent;
        if (i_ < s_.size() && (s_[i_] == 'e' || s_[i_] == 'E')) {
            std::size_t exponentStart = i_++;
            if (i_ < s_.size() && (s_[i_] == '+' || s_[i_] == '-'))
                ++i_;
            if (!digits())
                return false;
            exponent = std::string(s_.substr(exponentStart, i_ - exponentStart));
        }
        v.kind = JsonValue::Number;
        if (!lax_) {
            v.text = std::string(s_.substr(start, i_ - start));
            return true;
        }
        v.text = std::string(negative ? "-" : "") + (integer ? integerDigits : "0")
                 + (fraction.empty() ? "" : "." + fraction) + exponent;
        return true;
    }

    bool hex4(unsigned &unit)
    {
        if (i_ + 4 > s_.size())
            return false;
        unit = 0;
        for (int k = 0; k < 4; ++k) {
            char c = s_[i_++];
            int d = ascii::isDigit(c) ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
            if (d < 0)
                return false;
            unit = unit * 16 + unsigned(d);
        }
        return true;
    }

    bool readString(std::string &out)
    {
        char quote = s_[i_++];
        while (i_ < s_.size()) {
            char c = s_[i_++];
            if (c == quote)
                return true;
            if (static_cast<unsigned char>(c) < 0x20 && !lax_)
                return false;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (i_ >= s_.size())
                return false;
            char e = s_[i_++];
            switch (e) {
            case '"': case '\\': case '/': out += e; break;
            case '\'': if (!lax_) return false; out += e; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                unsigned unit = 0;
                if (!hex4(unit))
                    return false;
                char32_t code = unit;
                if (unit >= 0xD800 && unit < 0xDC00 && i_ + 1 < s_.size() && s_[i_] == '\\' && s_[i_ + 1] == 'u') {
                    i_ += 2;
                    unsigned low = 0;
                    if (!hex4(low) || low < 0xDC00 || low > 0xDFFF)
                        return false;
                    code = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                }
                utf8::append(out, code);
                break;
            }
            default:
                return false;
            }
        }
        return false;
    }

    bool readName(std::string &name)
    {
        blanks();
        if (i_ < s_.size() && (s_[i_] == '"' || (lax_ && s_[i_] == '\'')))
            return readString(name);
        if (!lax_)
            return false;
        std::size_t start = i_;
        while (i_ < s_.size() && (ascii::isAlnum(s_[i_]) || s_[i_] == '_' || s_[i_] == '$'))
            ++i_;
        name = std::string(s_.substr(start, i_ - start));
        return !name.empty() && !ascii::isDigit(name[0]);
    }

    bool readObject(JsonValue &v, int depth)
    {
        ++i_;
        v.kind = JsonValue::Object;
        std::set<std::string> names;
        if (accept('}'))
            return true;
        do {
            std::string name;
            if (!readName(name) || !accept(':'))
                return false;
            blanks();
            JsonValue member;
            if (!readValue(member, depth + 1))
                return false;
            if (!names.insert(name).second)
                duplicates_ = true;
            v.members.emplace_back(std::move(name), std::move(member));
        } while (accept(','));
        return accept('}');
    }

    bool readArray(JsonValue &v, int depth)
    {
        ++i_;
        v.kind = JsonValue::Array;
        if (accept(']'))
            return true;
        do {
            blanks();
            JsonValue item;
            if (!readValue(item, depth + 1))
                return false;
            v.items.push_back(std::move(item));
        } while (accept(','));
        return accept(']');
    }
};

void serializeInto(std::string &out, const JsonValue &v)
{
    switch (v.kind) {
    case JsonValue::Null: out += "null"; return;
    case JsonValue::False: out += "false"; return;
    case JsonValue::True: out += "true"; return;
    case JsonValue::Number: out += v.text; return;
    case JsonValue::String: appendJsonString(out, v.text); return;
    case JsonValue::Array:
        out += '[';
        for (std::size_t k = 0; k < v.items.size(); ++k) {
            if (k)
                out += ',';
            serializeInto(out, v.items[k]);
        }
        out += ']';
        return;
    case JsonValue::Object:
        out += '{';
        for (std::size_t k = 0; k < v.members.size(); ++k) {
            if (k)
                out += ',';
            appendJsonString(out, v.members[k].first);
            out += ':';
            serializeInto(out, v.members[k].second);
        }
        out += '}';
        return;
    }
}

}  // namespace

JsonParseResult parseJson(std::string_view text, JsonSyntax syntax)
{
    return Reader(text, syntax).run();
}

void appendJsonString(std::string &out, std::string_view text)
{
    out += '"';
    for (char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04X", unsigned(c));
                out += escape;
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

std::string serializeJson(const JsonValue &value)
{
    std::string out;
    serializeInto(out, value);
    return out;
}

}  // namespace localdb::functions
