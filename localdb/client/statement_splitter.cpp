// The splitter follows quotes and comments across lines, so that a ";" at the end of a line
// inside a string literal or a comment does not end the statement, and "/" or "." alone on a
// line always does (a block with an unclosed quote must not swallow the rest of the script).
#include "localdb/client/statement_splitter.h"

#include <cctype>

namespace localdb::client {
namespace {

bool isIdentifierChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#' ||
           static_cast<unsigned char>(c) >= 0x80;
}

char closingQuoteDelimiter(char open) {
    switch (open) {
    case '[':
        return ']';
    case '(':
        return ')';
    case '{':
        return '}';
    case '<':
        return '>';
    default:
        return open;
    }
}

// The words a text starts with, upper case, skipping comments; at most count of them.
std::vector<std::string> leadingWords(std::string_view text, size_t count) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < text.size() && words.size() < count) {
        const char c = text[i];
        if (c == '-' && i + 1 < text.size() && text[i + 1] == '-') {
            const size_t eol = text.find('\n', i);
            i = eol == std::string_view::npos ? text.size() : eol + 1;
        } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
            const size_t end = text.find("*/", i + 2);
            i = end == std::string_view::npos ? text.size() : end + 2;
        } else if (c == '<' && i + 1 < text.size() && text[i + 1] == '<') {
            words.emplace_back("<<");
            i += 2;
        } else if (isIdentifierChar(c)) {
            size_t end = i;
            while (end < text.size() && isIdentifierChar(text[end]))
                ++end;
            words.push_back(upperAscii(text.substr(i, end - i)));
            i = end;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
        } else {
            break;
        }
    }
    return words;
}

}  // namespace

bool startsPlsql(std::string_view text) {
    const std::vector<std::string> w = leadingWords(text, 8);
    if (w.empty())
        return false;
    if (w[0] == "DECLARE" || w[0] == "BEGIN" || w[0] == "<<")
        return true;
    if (w[0] != "CREATE")
        return false;
    size_t i = 1;
    if (i + 1 < w.size() && w[i] == "OR" && w[i + 1] == "REPLACE")
        i += 2;
    if (i < w.size() && (w[i] == "EDITIONABLE" || w[i] == "NONEDITIONABLE"))
        ++i;
    if (i >= w.size())
        return false;
    const std::string &kind = w[i];
    return kind == "PROCEDURE" || kind == "FUNCTION" || kind == "PACKAGE" || kind == "TRIGGER" || kind == "TYPE" ||
           kind == "LIBRARY";
}

std::optional<InputUnit> StatementSplitter::feed(std::string_view line) {
    ++lineNumber_;
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    if (!commandLine_.empty()) {
        std::string_view t = trimmed(line);
        const bool more = t.size() >= 2 && t.back() == '-' && (t[t.size() - 2] == ' ' || t[t.size() - 2] == '\t');
        commandLine_ += ' ';
        commandLine_ += more ? t.substr(0, t.size() - 1) : t;
        if (more)
            return std::nullopt;
        InputUnit unit;
        unit.kind = InputUnit::Command;
        unit.command = recogniseCommand(commandLine_);
        unit.firstLine = firstLine_;
        unit.lines.push_back(commandLine_);
        commandLine_.clear();
        return unit;
    }
    if (lines_.empty())
        return startUnit(line);
    return continueStatement(line);
}

std::optional<InputUnit> StatementSplitter::startUnit(std::string_view line) {
    if (inLeadingComment_) {
        const size_t end = line.find("*/");
        if (end == std::string_view::npos)
            return std::nullopt;
        inLeadingComment_ = false;
        line.remove_prefix(end + 2);
    }
    const std::string_view t = trimmed(line);
    if (t.empty() || t == "." || t.substr(0, 2) == "--")
        return std::nullopt;
    if (t.substr(0, 2) == "/*") {
        const size_t end = t.find("*/", 2);
        if (end == std::string_view::npos) {
            inLeadingComment_ = true;
            return std::nullopt;
        }
        if (trimmed(t.substr(end + 2)).empty())
            return std::nullopt;
        // Text after the comment on the same line starts the unit; the comment goes with it.
    }
    firstLine_ = lineNumber_;
    if (t == "/") {
        InputUnit unit;
        unit.kind = InputUnit::RunBuffer;
        unit.firstLine = firstLine_;
        return unit;
    }
    if (std::optional<RecognisedCommand> command = recogniseCommand(t)) {
        const bool more = command->id != CommandId::Remark && t.size() >= 2 && t.back() == '-' &&
                          (t[t.size() - 2] == ' ' || t[t.size() - 2] == '\t');
        if (more) {
            commandLine_ = std::string(t.substr(0, t.size() - 1));
            return std::nullopt;
        }
        InputUnit unit;
        unit.kind = InputUnit::Command;
        unit.command = std::move(command);
        unit.firstLine = firstLine_;
        unit.lines.emplace_back(t);
        return unit;
    }
    lexical_ = Lexical::Code;
    return continueStatement(line);
}

std::optional<InputUnit> StatementSplitter::continueStatement(std::string_view line) {
    const bool plsql = !lines_.empty() && startsPlsql(lines_.front() + (lines_.size() > 1 ? "\n" + lines_[1] : ""));
    if (!lines_.empty()) {
        const std::string_view t = trimmed(line);
        if (t == "/")
            return take(InputUnit::Statement);
        if (t == ".")
            return take(InputUnit::Abandoned);
        if (t.empty() && !blankLinesAllowed_ && !plsql && lexical_ == Lexical::Code)
            return take(InputUnit::Abandoned);
    }

    // Scan the line, carrying quotes and comments over from the line before.
    size_t lastCode = std::string_view::npos;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        const char next = i + 1 < line.size() ? line[i + 1] : '\0';
        switch (lexical_) {
        case Lexical::Code:
            if (c == '-' && next == '-') {
                i = line.size();
            } else if (c == '/' && next == '*') {
                lexical_ = Lexical::BlockComment;
                ++i;
            } else if (c == '\'') {
                lastCode = i;
                const bool qQuote = i >= 1 && (line[i - 1] == 'q' || line[i - 1] == 'Q') &&
                                    (i < 2 || !isIdentifierChar(line[i - 2]) || line[i - 2] == 'n' ||
                                     line[i - 2] == 'N') &&
                                    next != '\0' && next != ' ' && next != '\t';
                if (qQuote) {
                    qQuoteClose_ = closingQuoteDelimiter(next);
                    lexical_ = Lexical::QQuote;
                    ++i;
                } else {
                    lexical_ = Lexical::SingleQuote;
                }
            } else if (c == '"') {
                lastCode = i;
                lexical_ = Lexical::DoubleQuote;
            } else if (c != ' ' && c != '\t') {
                lastCode = i;
            }
            break;
        case Lexical::SingleQuote:
            lastCode = i;
            if (c == '\'') {
                if (next == '\'')
                    ++i;
                else
                    lexical_ = Lexical::Code;
            }
            break;
        case Lexical::DoubleQuote:
            lastCode = i;
            if (c == '"')
                lexical_ = Lexical::Code;
            break;
        case Lexical::BlockComment:
            if (c == '*' && next == '/') {
                lexical_ = Lexical::Code;
                ++i;
            }
            break;
        case Lexical::QQuote:
            lastCode = i;
            if (c == qQuoteClose_ && next == '\'') {
                lexical_ = Lexical::Code;
                ++i;
            }
            break;
        }
    }

    lines_.emplace_back(line);
    const bool blockNow = plsql || startsPlsql(lines_.front() + (lines_.size() > 1 ? "\n" + lines_[1] : ""));
    if (!blockNow && lexical_ == Lexical::Code && lastCode != std::string_view::npos && line[lastCode] == ';') {
        std::string &last = lines_.back();
        last.erase(lastCode);
        while (!last.empty() && (last.back() == ' ' || last.back() == '\t'))
            last.pop_back();
        return take(InputUnit::Statement);
    }
    return std::nullopt;
}

InputUnit StatementSplitter::take(InputUnit::Kind kind) {
    InputUnit unit;
    unit.kind = kind;
    unit.firstLine = firstLine_;
    unit.plsql = startsPlsql(lines_.empty() ? std::string() : lines_.front() + (lines_.size() > 1 ? "\n" + lines_[1] : ""));
    unit.lines = std::move(lines_);
    lines_.clear();
    lexical_ = Lexical::Code;
    // A statement made only of a ";" (a line holding just the terminator) sends nothing.
    while (!unit.lines.empty() && trimmed(unit.lines.back()).empty())
        unit.lines.pop_back();
    return unit;
}

std::optional<InputUnit> StatementSplitter::finish() {
    if (!commandLine_.empty()) {
        InputUnit unit;
        unit.kind = InputUnit::Command;
        unit.command = recogniseCommand(commandLine_);
        unit.firstLine = firstLine_;
        unit.lines.push_back(commandLine_);
        commandLine_.clear();
        return unit;
    }
    if (lines_.empty())
        return std::nullopt;
    return take(InputUnit::Abandoned);
}

}  // namespace localdb::client
