// Typing statements on a terminal: line editing (arrow keys, Home/End, word moves, Ctrl+R
// search) and a history of the lines typed, kept between runs in the user's data folder. Ctrl+C
// while a line is being typed discards that line and asks again instead of ending the program.
// Only for a standard input and output that are terminals; scripts and piped input are read as
// plain lines and never come here.
#pragma once

#include <optional>
#include <string>

struct editline;
struct history;

namespace localdb::client {

class LineEditor {
public:
    // historyFile empty: the history lives for this run only.
    explicit LineEditor(std::string historyFile);
    ~LineEditor();
    LineEditor(const LineEditor &) = delete;
    LineEditor &operator=(const LineEditor &) = delete;

    struct Typed {
        enum Kind { Line, Discarded, End } kind = End;
        std::string text;  // the line without its line feed, for Line
    };
    // The next line typed after prompt: a Line, Discarded when Ctrl+C threw it away (the cursor
    // is then on a new line), End at the end of input (Ctrl+D on an empty line). remember false
    // keeps the line out of the history (answers to questions such as substitution values).
    Typed readLine(const std::string &prompt, bool remember = true);
    // Adds a line to the history (and its file) that readLine was told not to remember.
    void remember(const std::string &line);

    // $KESTRIM_SQL_HISTORY, else $XDG_DATA_HOME/kestrim/kestrim-sql_history, else
    // ~/.local/share/kestrim/kestrim-sql_history; empty when there is no home folder.
    static std::string defaultHistoryFile();

private:
    static const char *promptText(editline *el);
    static unsigned char discardLine(editline *el, int key);

    editline *el_ = nullptr;
    history *history_ = nullptr;
    std::string historyFile_;
    std::string prompt_;
    bool discarded_ = false;
};

}  // namespace localdb::client
