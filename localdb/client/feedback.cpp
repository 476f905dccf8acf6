// Completion messages follow the command name: "CREATE TABLE" reads "Table created.",
// "DROP PUBLIC SYNONYM" "Synonym dropped.", so new object kinds need no new entries.
#include "localdb/client/feedback.h"

#include "localdb/client/text_width.h"

#include <array>
#include <cstdio>
#include <string_view>
#include <utility>

namespace localdb::client {
namespace {

std::string rowsText(std::int64_t rows, const char *verb) {
    return std::to_string(rows) + (rows == 1 ? " row " : " rows ") + verb + ".";
}

// "PACKAGE BODY" -> "Package body".
std::string objectWords(std::string_view words) {
    std::string out(words);
    for (size_t i = 0; i < out.size(); ++i)
        if (i > 0 && out[i] >= 'A' && out[i] <= 'Z')
            out[i] = static_cast<char>(out[i] - 'A' + 'a');
    return out;
}

void splitLines(const std::string &text, std::vector<std::string> &out) {
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            if (start < text.size())
                out.push_back(text.substr(start));
            break;
        }
        out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

}  // namespace

std::string completionMessage(const std::string &command, std::int64_t rowsAffected) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 17> fixed{{
        {"COMMIT", "Commit complete."},
        {"ROLLBACK", "Rollback complete."},
        {"SAVEPOINT", "Savepoint created."},
        {"ALTER SESSION", "Session altered."},
        {"ALTER SYSTEM", "System altered."},
        {"EXPLAIN", "Explained."},
        {"PL/SQL EXECUTE", "PL/SQL procedure successfully completed."},
        {"CALL", "Call completed."},
        {"GRANT", "Grant succeeded."},
        {"REVOKE", "Revoke succeeded."},
        {"COMMENT", "Comment created."},
        {"RENAME", "Table renamed."},
        {"TRUNCATE TABLE", "Table truncated."},
        {"SET TRANSACTION", "Transaction set."},
        {"SET ROLE", "Role set."},
        {"ANALYZE", "Table analyzed."},
        {"LOCK TABLE", "Table(s) Locked."},
    }};
    if (command == "INSERT")
        return rowsText(rowsAffected, "created");
    if (command == "UPDATE")
        return rowsText(rowsAffected, "updated");
    if (command == "DELETE")
        return rowsText(rowsAffected, "deleted");
    if (command == "MERGE")
        return rowsText(rowsAffected, "merged");
    for (const auto &[name, message] : fixed)
        if (command == name)
            return std::string(message);
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 3> verbs{{
        {"CREATE ", "created."},
        {"DROP ", "dropped."},
        {"ALTER ", "altered."},
    }};
    for (const auto &[verb, done] : verbs) {
        if (command.size() > verb.size() && command.compare(0, verb.size(), verb) == 0) {
            std::string_view object = std::string_view(command).substr(verb.size());
            if (object.substr(0, 7) == "PUBLIC ")
                object.remove_prefix(7);
            return objectWords(object) + " " + std::string(done);
        }
    }
    return command.empty() ? std::string() : "Statement processed.";
}

std::string querySummary(long long rows, int feedbackThreshold) {
    if (feedbackThreshold <= 0)
        return {};
    if (rows == 0)
        return "no rows selected";
    if (rows < feedbackThreshold)
        return {};
    return std::to_string(rows) + (rows == 1 ? " row selected." : " rows selected.");
}

std::vector<std::string> errorReport(const std::vector<std::string> &statementLines, int position,
                                     const std::string &message) {
    std::vector<std::string> out;
    if (statementLines.empty())
        return plainErrorReport(message);
    size_t line = 0;
    size_t column = 0;
    if (position > 0) {
        size_t rest = static_cast<size_t>(position);
        // Each line is followed by the line feed that joined it to the next.
        while (line + 1 < statementLines.size() && rest > statementLines[line].size()) {
            rest -= statementLines[line].size() + 1;
            ++line;
        }
        column = std::min(rest, statementLines[line].size());
    }
    const std::string &text = statementLines[line];
    // Under the fault: blanks as wide as the text before it, tabs kept so they line up alike.
    std::string marker;
    const std::string_view before = std::string_view(text).substr(0, column);
    size_t start = 0;
    for (size_t i = 0; i <= before.size(); ++i) {
        if (i == before.size() || before[i] == '\t') {
            marker.append(static_cast<size_t>(displayWidth(before.substr(start, i - start))), ' ');
            if (i < before.size())
                marker += '\t';
            start = i + 1;
        }
    }
    out.push_back(text);
    out.push_back(marker + "*");
    out.push_back("ERROR at line " + std::to_string(line + 1) + ":");
    splitLines(message, out);
    return out;
}

int plsqlErrorPosition(const std::vector<std::string> &statementLines, const std::string &message) {
    int line = 0;
    int column = 0;
    if (std::sscanf(message.c_str(), "ORA-06550: line %d, column %d:", &line, &column) != 2 || line < 1 ||
        column < 1 || static_cast<size_t>(line) > statementLines.size())
        return -1;
    size_t offset = 0;
    for (int i = 0; i + 1 < line; ++i)
        offset += statementLines[static_cast<size_t>(i)].size() + 1;
    const std::string &text = statementLines[static_cast<size_t>(line - 1)];
    size_t byte = 0;
    for (int characters = 1; characters < column && byte < text.size(); ++characters) {
        ++byte;
        while (byte < text.size() && (static_cast<unsigned char>(text[byte]) & 0xC0) == 0x80)
            ++byte;
    }
    return static_cast<int>(offset + byte);
}

std::vector<std::string> plainErrorReport(const std::string &message) {
    std::vector<std::string> out{"ERROR:"};
    splitLines(message, out);
    return out;
}

}  // namespace localdb::client
