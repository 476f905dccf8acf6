// The command table: each command's full name and the shortest abbreviation accepted.
#include "localdb/client/command_names.h"

#include <array>

namespace localdb::client {
namespace {

struct CommandName {
    std::string_view name;
    size_t minimum;  // characters the abbreviation needs
    CommandId id;
};

constexpr std::array kCommands{
    CommandName{"START", 3, CommandId::RunScript},
    CommandName{"REMARK", 3, CommandId::Remark},
    CommandName{"PROMPT", 3, CommandId::Prompt},
    CommandName{"SET", 3, CommandId::Set},
    CommandName{"SHOW", 3, CommandId::Show},
    CommandName{"DESCRIBE", 4, CommandId::Describe},
    CommandName{"DEFINE", 3, CommandId::Define},
    CommandName{"UNDEFINE", 5, CommandId::Undefine},
    CommandName{"SPOOL", 3, CommandId::Spool},
    CommandName{"CONNECT", 4, CommandId::Connect},
    CommandName{"DISCONNECT", 4, CommandId::Disconnect},
    CommandName{"EXIT", 4, CommandId::Exit},
    CommandName{"QUIT", 4, CommandId::Exit},
    CommandName{"WHENEVER", 5, CommandId::Whenever},
    CommandName{"EXECUTE", 4, CommandId::Execute},
    CommandName{"HOST", 2, CommandId::Host},
    CommandName{"RUN", 1, CommandId::Run},
    CommandName{"LIST", 1, CommandId::List},
    CommandName{"COLUMN", 3, CommandId::Column},
    CommandName{"TTITLE", 3, CommandId::Ignored},
    CommandName{"BTITLE", 3, CommandId::Ignored},
    CommandName{"REPHEADER", 4, CommandId::Ignored},
    CommandName{"REPFOOTER", 4, CommandId::Ignored},
    CommandName{"BREAK", 3, CommandId::Ignored},
    CommandName{"COMPUTE", 4, CommandId::Ignored},
    CommandName{"CLEAR", 2, CommandId::Clear},
    CommandName{"PAUSE", 3, CommandId::Ignored},
    CommandName{"TIMING", 4, CommandId::Ignored},
    CommandName{"VARIABLE", 3, CommandId::Variable},
    CommandName{"PRINT", 3, CommandId::Print},
    CommandName{"ACCEPT", 3, CommandId::Ignored},
    CommandName{"STORE", 4, CommandId::Ignored},
    CommandName{"ATTRIBUTE", 4, CommandId::Ignored},
    CommandName{"ARCHIVE", 7, CommandId::Ignored},
};

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

}  // namespace

std::string upperAscii(std::string_view text) {
    std::string out(text);
    for (char &c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (isBlank(text.front()) || text.front() == '\n'))
        text.remove_prefix(1);
    while (!text.empty() && (isBlank(text.back()) || text.back() == '\n'))
        text.remove_suffix(1);
    return text;
}

std::optional<RecognisedCommand> recogniseCommand(std::string_view line) {
    std::string_view text = trimmed(line);
    if (text.empty())
        return std::nullopt;
    if (text.front() == '@') {
        const bool relative = text.size() > 1 && text[1] == '@';
        return RecognisedCommand{relative ? CommandId::RunRelativeScript : CommandId::RunScript,
                                 relative ? "@@" : "@", std::string(trimmed(text.substr(relative ? 2 : 1)))};
    }
    if (text.front() == '!')
        return RecognisedCommand{CommandId::Host, "!", std::string(trimmed(text.substr(1)))};
    size_t end = 0;
    while (end < text.size() && !isBlank(text[end]) && text[end] != ';')
        ++end;
    const std::string word = upperAscii(text.substr(0, end));
    std::string arguments(trimmed(text.substr(end)));
    // SET TRANSACTION, SET ROLE and SET CONSTRAINTS are SQL statements.
    if (word == "SET") {
        const std::string next = upperAscii(arguments.substr(0, arguments.find_first_of(" \t")));
        if (next == "TRANSACTION" || next == "ROLE" || next == "CONSTRAINT" || next == "CONSTRAINTS")
            return std::nullopt;
    }
    for (const CommandName &c : kCommands)
        if (word.size() >= c.minimum && word.size() <= c.name.size() && c.name.substr(0, word.size()) == word)
            return RecognisedCommand{c.id, word, std::move(arguments)};
    return std::nullopt;
}

}  // namespace localdb::client
