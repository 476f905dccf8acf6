// Cuts the lines of a script or of the terminal into the units the client runs: its own
// commands (one line, a trailing "-" continues it), SQL statements ended by ";" at the end of a
// line or by "/" alone on a line, and PL/SQL blocks, which only "/" ends because ";" is part of
// their text. Works on plain strings so that it can be checked without a database.
#pragma once

#include "localdb/client/command_names.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace localdb::client {

struct InputUnit {
    enum Kind {
        Statement,  // SQL or PL/SQL to send; lines hold its text without the terminator
        Command,    // a client command; command holds it
        RunBuffer,  // "/" with nothing pending: run the last statement again
        Abandoned,  // ended by a blank line or "." without running: it becomes the last statement
    };
    Kind kind = Statement;
    std::vector<std::string> lines;
    std::optional<RecognisedCommand> command;
    bool plsql = false;
    int firstLine = 0;  // line number of the first line in its source, from 1
};

class StatementSplitter {
public:
    // Whether a blank line inside a SQL statement keeps it going (SET SQLBLANKLINES ON) or ends
    // it without running it (it stays the last statement), as Oracle scripts expect.
    void setBlankLinesAllowed(bool allowed) { blankLinesAllowed_ = allowed; }

    // Takes the next line (without its line feed); returns the unit it completes, if any.
    std::optional<InputUnit> feed(std::string_view line);

    // End of input: a statement still pending is abandoned, as it would be at a blank line.
    std::optional<InputUnit> finish();

    bool pending() const { return !lines_.empty() || !commandLine_.empty(); }
    // Lines of the statement being typed, for the continuation prompt "  2  ".
    int pendingLines() const { return static_cast<int>(lines_.size()); }

private:
    std::optional<InputUnit> startUnit(std::string_view line);
    std::optional<InputUnit> continueStatement(std::string_view line);
    InputUnit take(InputUnit::Kind kind);

    bool blankLinesAllowed_ = false;
    int lineNumber_ = 0;
    int firstLine_ = 0;
    std::vector<std::string> lines_;
    std::string commandLine_;  // a command continued by "-"
    bool inLeadingComment_ = false;  // inside /* ... */ before any statement text
    // Lexical state carried from one line of a statement to the next.
    enum class Lexical { Code, SingleQuote, DoubleQuote, BlockComment, QQuote } lexical_ = Lexical::Code;
    char qQuoteClose_ = 0;
};

// Whether a statement text starts a PL/SQL unit (DECLARE, BEGIN, CREATE [OR REPLACE]
// PROCEDURE | FUNCTION | PACKAGE | TRIGGER | TYPE ...), looking past comments.
bool startsPlsql(std::string_view text);

}  // namespace localdb::client
