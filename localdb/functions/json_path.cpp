// Reading and evaluating JSON paths.
#include "localdb/functions/json_path.h"

#include "localdb/functions/ascii_text.h"
#include "localdb/functions/utf8_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace localdb::functions {

namespace {

// Filters nest at most this deep; a deeper path is refused rather than exhausting the stack.
constexpr int kMaxFilterDepth = 100;

class PathReader {
public:
    explicit PathReader(std::string_view text) : s_(text) {}

    std::optional<JsonPath> run()
    {
        JsonPath path;
        blanks();
        if (word("strict"))
            path.strict = true;
        else
            word("lax");
        if (!accept('$') || !steps(path, 0))
            return std::nullopt;
        blanks();
        if (i_ != s_.size())
            return std::nullopt;
        return path;
    }

private:
    std::string_view s_;
    std::size_t i_ = 0;

    void blanks()
    {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\n' || s_[i_] == '\r'))
            ++i_;
    }

    bool peekChar(char c)
    {
        blanks();
        return i_ < s_.size() && s_[i_] == c;
    }

    bool accept(char c)
    {
        if (!peekChar(c))
            return false;
        ++i_;
        return true;
    }

    bool acceptText(std::string_view t)
    {
        blanks();
        if (s_.substr(i_, t.size()) != t)
            return false;
        i_ += t.size();
        return true;
    }

    bool word(std::string_view w)
    {
        blanks();
        if (s_.substr(i_, w.size()) == w
            && (i_ + w.size() >= s_.size() || !(ascii::isAlnum(s_[i_ + w.size()]) || s_[i_ + w.size()] == '_'))) {
            i_ += w.size();
            return true;
        }
        return false;
    }

    // The steps after $ or @, up to whatever cannot continue the path.
    bool steps(JsonPath &path, int depth)
    {
        for (;;) {
            JsonPathStep step;
            if (accept('.')) {
                if (!field(step))
                    return false;
            } else if (accept('[')) {
                if (!elements(step))
                    return false;
            } else if (accept('?')) {
                auto filter = std::make_shared<JsonFilter>();
                if (depth >= kMaxFilterDepth || !accept('(') || !condition(*filter, depth + 1) || !accept(')'))
                    return false;
                step.kind = JsonPathStep::Filter;
                step.filter = std::move(filter);
            } else {
                return true;
            }
            // Nothing follows a method but a filter or another method.
            if (!path.steps.empty() && path.steps.back().kind == JsonPathStep::Method && step.kind != JsonPathStep::Method
                && step.kind != JsonPathStep::Filter)
                return false;
            path.steps.push_back(std::move(step));
        }
    }

    bool field(JsonPathStep &step)
    {
        if (accept('*')) {
            step.kind = JsonPathStep::AnyField;
            return true;
        }
        step.kind = JsonPathStep::Field;
        blanks();
        if (i_ < s_.size() && s_[i_] == '"') {
            ++i_;
            while (i_ < s_.size() && s_[i_] != '"') {
                if (s_[i_] == '\\' && i_ + 1 < s_.size())
                    ++i_;
                step.name += s_[i_++];
            }
            return i_ < s_.size() && s_[i_++] == '"';
        }
        std::size_t start = i_;
        while (i_ < s_.size() && (ascii::isAlnum(s_[i_]) || s_[i_] == '_' || s_[i_] == '$'
                                  || static_cast<unsigned char>(s_[i_]) >= 0x80))
            ++i_;
        step.name = std::string(s_.substr(start, i_ - start));
        if (step.name.empty())
            return false;
        if (accept('(')) {
            step.kind = JsonPathStep::Method;
            static const char *const methods[] = {"size", "type", "count", "sum", "avg", "minNumber", "maxNumber",
                                                  "length", "upper", "lower", "number", "numberOnly", "double",
                                                  "string", "stringOnly", "abs", "ceiling", "floor", "boolean"};
            bool known = false;
            for (const char *m : methods)
                known = known || step.name == m;
            return known && accept(')');
        }
        return true;
    }

    bool index(long &value)
    {
        blanks();
        if (word("last")) {
            value = -1;
            return true;
        }
        std::size_t start = i_;
        long v = 0;
        while (i_ < s_.size() && ascii::isDigit(s_[i_]) && v < 100000000)
            v = v * 10 + (s_[i_++] - '0');
        value = v;
        return i_ > start;
    }

    bool elements(JsonPathStep &step)
    {
        if (accept('*')) {
            step.kind = JsonPathStep::AnyElement;
            return accept(']');
        }
        step.kind = JsonPathStep::Elements;
        do {
            long low = 0;
            if (!index(low))
                return false;
            long high = low;
            if (word("to") && !index(high))
                return false;
            step.ranges.emplace_back(low, high);
        } while (accept(','));
        return accept(']');
    }

    // condition: conjunction { || conjunction }
    bool condition(JsonFilter &out, int depth)
    {
        return binaryCondition(out, depth, JsonFilter::Or, "||");
    }

    bool binaryCondition(JsonFilter &out, int depth, JsonFilter::Kind kind, std::string_view op)
    {
        JsonFilter first;
        if (!(kind == JsonFilter::Or ? binaryCondition(first, depth, JsonFilter::And, "&&") : unaryCondition(first, depth)))
            return false;
        if (!acceptText(op)) {
            out = std::move(first);
            return true;
        }
        out.kind = kind;
        out.children.push_back(std::move(first));
        do {
            JsonFilter next;
            if (!(kind == JsonFilter::Or ? binaryCondition(next, depth, JsonFilter::And, "&&") : unaryCondition(next, depth)))
                return false;
            out.children.push_back(std::move(next));
        } while (acceptText(op));
        return true;
    }

    // unary: ! ( condition ) | ( condition ) | exists ( path ) | operand [ op operand | starts with operand
    //        | has substring operand ]
    bool unaryCondition(JsonFilter &out, int depth)
    {
        if (++depth > kMaxFilterDepth)
            return false;
        if (peekChar('!') && !(i_ + 1 < s_.size() && s_[i_ + 1] == '=')) {
            ++i_;
            out.kind = JsonFilter::Not;
            out.children.emplace_back();
            return accept('(') && condition(out.children.back(), depth) && accept(')');
        }
        if (accept('(')) {
            return condition(out, depth) && accept(')');
        }
        if (word("exists")) {
            out.kind = JsonFilter::Exists;
            out.operands.emplace_back();
            return accept('(') && operand(out.operands.back(), depth) && out.operands.back().isPath && accept(')');
        }
        out.operands.emplace_back();
        if (!operand(out.operands.back(), depth))
            return false;
        if (word("starts")) {
            if (!word("with"))
                return false;
            out.kind = JsonFilter::StartsWith;
        } else if (word("has")) {
            if (!word("substring"))
                return false;
            out.kind = JsonFilter::HasSubstring;
        } else {
            out.kind = JsonFilter::Compare;
            for (std::string_view op : {"==", "!=", "<>", "<=", ">=", "<", ">"}) {
                if (acceptText(op)) {
                    out.op = op == "<>" ? "!=" : std::string(op);
                    break;
                }
            }
            if (out.op.empty())
                return false;
        }
        out.operands.emplace_back();
        return operand(out.operands.back(), depth);
    }

    bool operand(JsonFilter::Operand &out, int depth)
    {
        blanks();
        if (accept('@') || accept('$')) {
            out.isPath = true;
            out.fromRoot = s_[i_ - 1] == '$';
            return steps(out.path, depth);
        }
        if (i_ < s_.size() && (s_[i_] == '"' || s_[i_] == '\'')) {
            const char quote = s_[i_++];
            out.literal.kind = JsonValue::String;
            while (i_ < s_.size() && s_[i_] != quote) {
                if (s_[i_] == '\\' && i_ + 1 < s_.size())
                    ++i_;
                out.literal.text += s_[i_++];
            }
            return i_ < s_.size() && s_[i_++] == quote;
        }
        if (word("true")) {
            out.literal.kind = JsonValue::True;
            return true;
        }
        if (word("false")) {
            out.literal.kind = JsonValue::False;
            return true;
        }
        if (word("null")) {
            out.literal.kind = JsonValue::Null;
            return true;
        }
        const std::size_t start = i_;
        if (i_ < s_.size() && (s_[i_] == '-' || s_[i_] == '+'))
            ++i_;
        while (i_ < s_.size() && (ascii::isDigit(s_[i_]) || s_[i_] == '.' || s_[i_] == 'e' || s_[i_] == 'E'
                                  || ((s_[i_] == '-' || s_[i_] == '+') && (s_[i_ - 1] == 'e' || s_[i_ - 1] == 'E'))))
            ++i_;
        out.literal.kind = JsonValue::Number;
        out.literal.text = std::string(s_.substr(start, i_ - start));
        char *end = nullptr;
        std::strtod(out.literal.text.c_str(), &end);
        return !out.literal.text.empty() && end && *end == '\0';
    }
};

double numberOf(const JsonValue &v) { return std::strtod(v.text.c_str(), nullptr); }

JsonValue numberValue(double d)
{
    JsonValue v;
    v.kind = JsonValue::Number;
    char text[40];
    if (d == std::floor(d) && std::fabs(d) < 1e15)
        std::snprintf(text, sizeof text, "%.0f", d);
    else
        std::snprintf(text, sizeof text, "%.15g", d);
    v.text = text;
    return v;
}

JsonValue stringValue(std::string text)
{
    JsonValue v;
    v.kind = JsonValue::String;
    v.text = std::move(text);
    return v;
}

const char *typeName(const JsonValue &v)
{
    switch (v.kind) {
    case JsonValue::Null: return "null";
    case JsonValue::False:
    case JsonValue::True: return "boolean";
    case JsonValue::Number: return "number";
    case JsonValue::String: return "string";
    case JsonValue::Array: return "array";
    case JsonValue::Object: return "object";
    }
    return "null";
}

bool isNumberText(const std::string &text)
{
    char *end = nullptr;
    std::strtod(text.c_str(), &end);
    return !text.empty() && end && *end == '\0';
}

// An item method applied to one scalar; false when the method does not apply to the value.
bool scalarMethod(const std::string &m, const JsonValue &v, JsonValue &out)
{
    if (m == "length" || m == "upper" || m == "lower" || m == "stringOnly") {
        if (v.kind != JsonValue::String)
            return false;
        if (m == "length")
            out = numberValue(double(utf8::charCount(v.text)));
        else
            out = stringValue(m == "upper" ? ascii::upper(v.text) : m == "lower" ? ascii::lower(v.text) : v.text);
        return true;
    }
    if (m == "string") {
        if (v.kind == JsonValue::Null)
            return false;
        out = stringValue(v.kind == JsonValue::True ? "true" : v.kind == JsonValue::False ? "false" : v.text);
        return true;
    }
    if (m == "boolean") {
        if (v.kind == JsonValue::True || v.kind == JsonValue::False) {
            out = v;
            return true;
        }
        if (v.kind == JsonValue::String && (v.text == "true" || v.text == "false")) {
            out.kind = v.text == "true" ? JsonValue::True : JsonValue::False;
            return true;
        }
        return false;
    }
    // The numeric methods: a number, or (number, double) a string holding one.
    double d = 0;
    if (v.kind == JsonValue::Number)
        d = numberOf(v);
    else if (v.kind == JsonValue::String && (m == "number" || m == "double") && isNumberText(v.text))
        d = std::strtod(v.text.c_str(), nullptr);
    else
        return false;
    if (m == "abs")
        d = std::fabs(d);
    else if (m == "ceiling")
        d = std::ceil(d);
    else if (m == "floor")
        d = std::floor(d);
    out = v.kind == JsonValue::Number && (m == "number" || m == "numberOnly" || m == "double") ? v : numberValue(d);
    return true;
}

class Evaluator {
public:
    Evaluator(const JsonPath &path, const JsonValue &root) : path_(path), root_(root) {}

    std::vector<const JsonValue *> run(const JsonValue &start)
    {
        std::vector<const JsonValue *> current{&start};
        for (const JsonPathStep &step : path_.steps) {
            std::vector<const JsonValue *> next;
            if (step.kind == JsonPathStep::Method)
                method(step.name, current, next);
            else
                for (const JsonValue *v : current)
                    apply(step, *v, next);
            current = std::move(next);
        }
        return current;
    }

private:
    const JsonPath &path_;
    const JsonValue &root_;

    const JsonValue *keep(JsonValue v)
    {
        path_.made.push_back(std::move(v));
        return &path_.made.back();
    }

    void apply(const JsonPathStep &step, const JsonValue &v, std::vector<const JsonValue *> &out,
               bool unwrapped = false)
    {
        const bool strict = path_.strict;
        switch (step.kind) {
        case JsonPathStep::Field:
        case JsonPathStep::AnyField:
            if (v.kind == JsonValue::Object) {
                for (const auto &member : v.members) {
                    if (step.kind == JsonPathStep::AnyField || member.first == step.name
                        || (step.ignoreCase && ascii::upper(member.first) == ascii::upper(step.name))) {
                        out.push_back(&member.second);
                        if (step.kind == JsonPathStep::Field)
                            break;
                    }
                }
            } else if (v.kind == JsonValue::Array && !strict && !unwrapped) {
                for (const JsonValue &item : v.items)
                    apply(step, item, out, true);
            }
            return;
        case JsonPathStep::AnyElement:
            if (v.kind == JsonValue::Array) {
                for (const JsonValue &item : v.items)
                    out.push_back(&item);
            } else if (!strict) {
                out.push_back(&v);
            }
            return;
        case JsonPathStep::Elements: {
            if (v.kind != JsonValue::Array && strict)
                return;
            const long size = v.kind == JsonValue::Array ? long(v.items.size()) : 1;
            for (auto [low, high] : step.ranges) {
                low = low < 0 ? size - 1 : low;
                high = high < 0 ? size - 1 : high;
                for (long k = low; k <= high && k < size; ++k) {
                    if (k >= 0)
                        out.push_back(v.kind == JsonValue::Array ? &v.items[std::size_t(k)] : &v);
                }
            }
            return;
        }
        case JsonPathStep::Filter:
            // Lax mode filters the items of an array rather than the array.
            if (v.kind == JsonValue::Array && !strict && !unwrapped) {
                for (const JsonValue &item : v.items)
                    apply(step, item, out, true);
            } else if (holds(*step.filter, v)) {
                out.push_back(&v);
            }
            return;
        case JsonPathStep::Method:
            return;
        }
    }

    void method(const std::string &m, const std::vector<const JsonValue *> &in, std::vector<const JsonValue *> &out)
    {
        if (m == "size" || m == "type") {
            for (const JsonValue *v : in)
                out.push_back(keep(m == "size" ? numberValue(v->kind == JsonValue::Array ? double(v->items.size()) : 1)
                                               : stringValue(typeName(*v))));
            return;
        }
        // The other methods take an array's items (lax), the aggregates all of them together.
        std::vector<const JsonValue *> items;
        for (const JsonValue *v : in) {
            if (v->kind == JsonValue::Array && !path_.strict)
                for (const JsonValue &item : v->items)
                    items.push_back(&item);
            else
                items.push_back(v);
        }
        if (m == "count") {
            out.push_back(keep(numberValue(double(items.size()))));
            return;
        }
        if (m == "sum" || m == "avg" || m == "minNumber" || m == "maxNumber") {
            double total = 0, low = HUGE_VAL, high = -HUGE_VAL;
            std::size_t n = 0;
            for (const JsonValue *v : items) {
                if (v->kind != JsonValue::Number)
                    continue;
                const double d = numberOf(*v);
                total += d;
                low = std::min(low, d);
                high = std::max(high, d);
                ++n;
            }
            if (n == 0 && m != "sum")
                return;
            out.push_back(keep(numberValue(m == "sum" ? total : m == "avg" ? total / double(n) : m == "minNumber" ? low : high)));
            return;
        }
        for (const JsonValue *v : items) {
            JsonValue result;
            if (scalarMethod(m, *v, result))
                out.push_back(keep(std::move(result)));
        }
    }

    std::vector<const JsonValue *> values(const JsonFilter::Operand &o, const JsonValue &current)
    {
        if (!o.isPath)
            return {&o.literal};
        o.path.made.clear();
        return Evaluator(o.path, root_).run(o.fromRoot ? root_ : current);
    }

    static bool compare(const std::string &op, const JsonValue &a, const JsonValue &b)
    {
        int order = 0;
        if (a.kind == JsonValue::Number && b.kind == JsonValue::Number) {
            const double x = numberOf(a), y = numberOf(b);
            order = x < y ? -1 : x > y ? 1 : 0;
        } else if (a.kind == JsonValue::String && b.kind == JsonValue::String) {
            order = a.text < b.text ? -1 : a.text > b.text ? 1 : 0;
        } else if (a.isScalar() && b.isScalar() && (a.kind == b.kind || (a.kind >= JsonValue::False && a.kind <= JsonValue::True
                                                                          && b.kind >= JsonValue::False && b.kind <= JsonValue::True))) {
            // true, false and null compare only for equality.
            if (op != "==" && op != "!=")
                return false;
            order = a.kind == b.kind ? 0 : 1;
        } else {
            return false;  // values of different types: the comparison is unknown
        }
        if (op == "==") return order == 0;
        if (op == "!=") return order != 0;
        if (op == "<") return order < 0;
        if (op == "<=") return order <= 0;
        if (op == ">") return order > 0;
        return order >= 0;
    }

    bool holds(const JsonFilter &f, const JsonValue &current)
    {
        switch (f.kind) {
        case JsonFilter::And:
            for (const JsonFilter &c : f.children)
                if (!holds(c, current))
                    return false;
            return true;
        case JsonFilter::Or:
            for (const JsonFilter &c : f.children)
                if (holds(c, current))
                    return true;
            return false;
        case JsonFilter::Not:
            return !holds(f.children[0], current);
        case JsonFilter::Exists:
            return !values(f.operands[0], current).empty();
        default:
            break;
        }
        // Comparisons hold when some pair of the values on both sides does.
        const std::vector<const JsonValue *> left = values(f.operands[0], current);
        std::vector<JsonValue> right;
        for (const JsonValue *v : values(f.operands[1], current))
            right.push_back(*v);
        for (const JsonValue *a : left) {
            for (const JsonValue &b : right) {
                if (f.kind == JsonFilter::Compare ? compare(f.op, *a, b)
                                                  : a->kind == JsonValue::String && b.kind == JsonValue::String
                                                        && (f.kind == JsonFilter::StartsWith ? a->text.rfind(b.text, 0) == 0
                                                                                              : a->text.find(b.text) != std::string::npos))
                    return true;
            }
        }
        return false;
    }
};

}  // namespace

std::optional<JsonPath> parseJsonPath(std::string_view text)
{
    return PathReader(text).run();
}

std::vector<const JsonValue *> evaluateJsonPath(const JsonPath &path, const JsonValue &root)
{
    path.made.clear();
    return Evaluator(path, root).run(root);
}

}  // namespace localdb::functions
