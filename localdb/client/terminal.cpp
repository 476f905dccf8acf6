// Echo is switched off with termios and always switched back on, also when input ends.
#include "localdb/client/terminal.h"

#include <termios.h>
#include <unistd.h>

namespace localdb::client {

std::optional<std::string> readLine(std::FILE *file) {
    std::string line;
    int c = 0;
    bool any = false;
    while ((c = std::fgetc(file)) != EOF) {
        any = true;
        if (c == '\n')
            return line;
        line += static_cast<char>(c);
    }
    if (!any)
        return std::nullopt;
    return line;
}

bool standardInputIsTerminal() { return isatty(STDIN_FILENO) == 1; }

std::optional<std::string> readPassword(const std::string &prompt) {
    std::fputs(prompt.c_str(), stdout);
    std::fflush(stdout);
    termios saved{};
    const bool terminal = standardInputIsTerminal() && tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        termios quiet = saved;
        quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    std::optional<std::string> line = readLine(stdin);
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
        std::fputc('\n', stdout);
    }
    if (line && !line->empty() && line->back() == '\r')
        line->pop_back();
    return line;
}

}  // namespace localdb::client
