// Unit names follow the rules of any identifier: unquoted names fold to upper case, quoted
// ones keep their case; "schema.name" names another schema's unit.
#include "localdb/client/plsql_errors.h"

#include "localdb/client/command_names.h"
#include "localdb/client/text_width.h"

#include <cctype>

namespace localdb::client {
namespace {

constexpr int kLineColumnField = 8;
constexpr int kMessageField = 65;

bool isNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#' ||
           static_cast<unsigned char>(c) >= 0x80;
}

// Reads words and names from a statement's start, skipping blanks and comments.
class Words {
public:
    explicit Words(std::string_view text) : text_(text) {}

    std::string word() {
        skip();
        size_t end = i_;
        while (end < text_.size() && isNameChar(text_[end]))
            ++end;
        std::string w = upperAscii(text_.substr(i_, end - i_));
        i_ = end;
        return w;
    }
    // A name, quoted or not; empty when there is none.
    std::string name() {
        skip();
        if (i_ < text_.size() && text_[i_] == '"') {
            const size_t close = text_.find('"', i_ + 1);
            if (close == std::string_view::npos)
                return {};
            std::string n(text_.substr(i_ + 1, close - i_ - 1));
            i_ = close + 1;
            return n;
        }
        return word();
    }
    bool dot() {
        skip();
        if (i_ < text_.size() && text_[i_] == '.') {
            ++i_;
            return true;
        }
        return false;
    }
    // Looks at the next word without taking it.
    std::string peek() {
        const size_t saved = i_;
        std::string w = word();
        i_ = saved;
        return w;
    }

private:
    void skip() {
        while (i_ < text_.size()) {
            if (text_[i_] == ' ' || text_[i_] == '\t' || text_[i_] == '\r' || text_[i_] == '\n') {
                ++i_;
            } else if (text_.substr(i_, 2) == "--") {
                const size_t eol = text_.find('\n', i_);
                i_ = eol == std::string_view::npos ? text_.size() : eol + 1;
            } else if (text_.substr(i_, 2) == "/*") {
                const size_t end = text_.find("*/", i_ + 2);
                i_ = end == std::string_view::npos ? text_.size() : end + 2;
            } else {
                break;
            }
        }
    }

    std::string_view text_;
    size_t i_ = 0;
};

std::optional<std::string> unitType(Words &words) {
    const std::string kind = words.word();
    if (kind == "PACKAGE" || kind == "TYPE") {
        if (words.peek() == "BODY") {
            words.word();
            return kind + " BODY";
        }
        return kind;
    }
    if (kind == "PROCEDURE" || kind == "FUNCTION" || kind == "TRIGGER")
        return kind;
    return std::nullopt;
}

std::optional<PlsqlUnit> unitName(Words &words, std::string type) {
    PlsqlUnit unit;
    unit.type = std::move(type);
    unit.name = words.name();
    if (words.dot()) {
        unit.owner = unit.name;
        unit.name = words.name();
    }
    if (unit.name.empty())
        return std::nullopt;
    return unit;
}

// Words of a message in lines of at most width columns; a word longer than that is cut.
std::vector<std::string> wrapWords(const std::string &text, int width) {
    std::vector<std::string> lines;
    for (const std::string &paragraph : wrapToWidth(text, 1 << 20)) {
        std::string line;
        size_t i = 0;
        while (i < paragraph.size()) {
            while (i < paragraph.size() && paragraph[i] == ' ')
                ++i;
            size_t end = paragraph.find(' ', i);
            if (end == std::string::npos)
                end = paragraph.size();
            if (end == i)
                break;
            std::string word = paragraph.substr(i, end - i);
            i = end;
            if (!line.empty() && displayWidth(line) + 1 + displayWidth(word) > width) {
                lines.push_back(line);
                line.clear();
            }
            while (displayWidth(word) > width) {
                const std::string head(leadingColumns(word, width));
                lines.push_back(head);
                word.erase(0, head.size());
            }
            line += line.empty() ? word : " " + word;
        }
        if (!line.empty())
            lines.push_back(line);
    }
    if (lines.empty())
        lines.emplace_back();
    return lines;
}

}  // namespace

std::optional<PlsqlUnit> createdPlsqlUnit(std::string_view statement) {
    Words words(statement);
    if (words.word() != "CREATE")
        return std::nullopt;
    std::string next = words.peek();
    if (next == "OR") {
        words.word();
        if (words.word() != "REPLACE")
            return std::nullopt;
        next = words.peek();
    }
    if (next == "EDITIONABLE" || next == "NONEDITIONABLE")
        words.word();
    std::optional<std::string> type = unitType(words);
    if (!type)
        return std::nullopt;
    return unitName(words, *type);
}

std::optional<PlsqlUnit> namedPlsqlUnit(std::string_view arguments) {
    Words probe(arguments);
    const std::string first = probe.peek();
    if (first == "PACKAGE" || first == "TYPE" || first == "PROCEDURE" || first == "FUNCTION" || first == "TRIGGER") {
        Words words(arguments);
        std::optional<std::string> type = unitType(words);
        if (!type)
            return std::nullopt;
        return unitName(words, *type);
    }
    Words words(arguments);
    return unitName(words, "PROCEDURE");
}

std::string unitTypeWords(const std::string &type) {
    std::string out;
    bool start = true;
    for (char c : type) {
        out += start ? c : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        start = c == ' ';
    }
    return out;
}

std::vector<std::string> errorListing(const PlsqlUnit &unit, const std::vector<CompileError> &errors) {
    std::vector<std::string> lines;
    lines.push_back("Errors for " + unit.type + " " + (unit.owner.empty() ? "" : unit.owner + ".") + unit.name + ":");
    lines.emplace_back();
    lines.push_back(padRight("LINE/COL", kLineColumnField) + " ERROR");
    lines.push_back(std::string(kLineColumnField, '-') + " " + std::string(kMessageField, '-'));
    for (const CompileError &e : errors) {
        const std::string where = std::to_string(e.line) + "/" + std::to_string(e.position);
        const std::vector<std::string> message = wrapWords(e.text, kMessageField);
        for (size_t i = 0; i < message.size(); ++i)
            lines.push_back(padRight(i == 0 ? where : std::string(), kLineColumnField) + " " + message[i]);
    }
    return lines;
}

std::vector<CompileError> readCompileErrors(Session &session, const PlsqlUnit &unit) {
    // In the order of the source: "SQL Statement ignored" at a statement's start comes before the
    // error found further along it, although the compiler records that error first.
    std::vector<Bind> binds{{"n", unit.name}, {"t", unit.type}};
    std::string sql = "SELECT line, position, text FROM user_errors WHERE name = :n AND type = :t "
                      "ORDER BY line, position, sequence";
    if (!unit.owner.empty()) {
        binds.push_back(Bind{"o", unit.owner});
        sql = "SELECT line, position, text FROM all_errors WHERE owner = :o AND name = :n AND type = :t "
              "ORDER BY line, position, sequence";
    }
    auto number = [](const Value &v) -> long long {
        if (auto i = std::get_if<std::int64_t>(&v))
            return *i;
        if (auto d = std::get_if<double>(&v))
            return static_cast<long long>(*d);
        return 0;
    };
    std::vector<CompileError> errors;
    auto cursor = session.query(sql, &binds);
    while (cursor->next()) {
        CompileError e;
        e.line = number(cursor->value(0));
        e.position = number(cursor->value(1));
        if (auto *text = std::get_if<std::string>(&cursor->value(2)))
            e.text = *text;
        while (!e.text.empty() && (e.text.back() == '\n' || e.text.back() == ' '))
            e.text.pop_back();
        errors.push_back(std::move(e));
    }
    return errors;
}

}  // namespace localdb::client
