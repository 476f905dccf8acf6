// Where the client's output goes: the terminal (unless TERMOUT is off while a script runs) and
// the spool file, line by line with trailing blanks removed.
#pragma once

#include <cstdio>
#include <string>

namespace localdb::client {

class Output {
public:
    Output() = default;
    ~Output();
    Output(const Output &) = delete;
    Output &operator=(const Output &) = delete;

    void line(const std::string &text);
    // Text with no line feed (prompts): the terminal only.
    void prompt(const std::string &text);
    // Notes about accepted but ignored input go to the error stream, so that redirected output
    // (CSV above all) stays clean.
    void note(const std::string &text);

    // Starts spooling to path (append or replace); false with errno set when it cannot open it.
    bool spoolTo(const std::string &path, bool append);
    void spoolOff();
    const std::string &spoolPath() const { return spoolPath_; }

    void setTerminalSuppressed(bool suppressed) { suppressed_ = suppressed; }
    void flush();

private:
    std::FILE *spool_ = nullptr;
    std::string spoolPath_;
    bool suppressed_ = false;
};

}  // namespace localdb::client
