// Output goes through stdio; the spool file is flushed with the terminal so that a killed
// client leaves what it printed in it.
#include "localdb/client/output.h"

#include "localdb/client/result_formatter.h"

namespace localdb::client {

Output::~Output() { spoolOff(); }

void Output::line(const std::string &text) {
    // Trailing blanks are left out without copying the line: a long listing prints every row here.
    size_t length = text.size();
    while (length > 0 && (text[length - 1] == ' ' || text[length - 1] == '\t'))
        --length;
    if (!suppressed_) {
        std::fwrite(text.data(), 1, length, stdout);
        std::fputc('\n', stdout);
    }
    if (spool_) {
        std::fwrite(text.data(), 1, length, spool_);
        std::fputc('\n', spool_);
    }
}

void Output::prompt(const std::string &text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

void Output::note(const std::string &text) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", text.c_str());
}

bool Output::spoolTo(const std::string &path, bool append) {
    std::FILE *file = std::fopen(path.c_str(), append ? "a" : "w");
    if (!file)
        return false;
    spoolOff();
    spool_ = file;
    spoolPath_ = path;
    return true;
}

void Output::spoolOff() {
    if (spool_)
        std::fclose(spool_);
    spool_ = nullptr;
    spoolPath_.clear();
}

void Output::flush() {
    std::fflush(stdout);
    if (spool_)
        std::fflush(spool_);
}

}  // namespace localdb::client
