// The client's own commands: recognised by their first word, which may be abbreviated down to a
// fixed minimum ("DESC" for DESCRIBE, "SET SERVEROUT"), and never sent to the database.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace localdb::client {

enum class CommandId {
    RunScript,          // @file, START file
    RunRelativeScript,  // @@file
    Remark,
    Prompt,
    Set,
    Show,
    Describe,
    Define,
    Undefine,
    Spool,
    Connect,
    Disconnect,
    Exit,
    Whenever,
    Execute,
    Host,
    Run,
    List,
    Column,
    Variable,
    Print,
    Clear,
    Ignored,  // commands that shape reports (COLUMN, TTITLE, BREAK ...), accepted with a note
};

struct RecognisedCommand {
    CommandId id;
    std::string word;       // the command word as the user typed it, upper case
    std::string arguments;  // the rest of the line, leading blanks removed
};

// The command a line starts with, or nothing when the line is SQL or PL/SQL.
std::optional<RecognisedCommand> recogniseCommand(std::string_view line);

// ASCII upper case: the command language is ASCII, and text of other scripts stays as typed.
std::string upperAscii(std::string_view text);

// text without leading and trailing blanks, tabs and carriage returns.
std::string_view trimmed(std::string_view text);

}  // namespace localdb::client
