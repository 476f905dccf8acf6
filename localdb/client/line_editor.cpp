// The line library reads its keys through readKey below rather than by itself: Ctrl+C must end
// the read at once, and the library's own reader retries a read cut short by a signal. The
// SIGINT handler only sets a flag; readKey waits for input with SIGINT unblocked only inside the
// wait, so that a Ctrl+C is never lost between looking at the flag and waiting. It then hands
// the library the Ctrl+C key, which is bound to discardLine. No jump ever leaves the library's
// frames, so it restores the terminal itself when the read ends.
#include "localdb/client/line_editor.h"

#include <histedit.h>

#include <fcntl.h>
#include <langinfo.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <filesystem>

namespace localdb::client {
namespace {

constexpr int kHistoryLines = 1000;
constexpr wchar_t kInterruptKey = 3;  // Ctrl+C

volatile std::sig_atomic_t interruptTyped = 0;

extern "C" void onInterruptWhileTyping(int) { interruptTyped = 1; }

// One key for the library: a character of the terminal's encoding, the Ctrl+C key after SIGINT,
// 0 at the end of input, -1 on a read error.
int readKey(EditLine *, wchar_t *key) {
    static std::mbstate_t state{};
    sigset_t interrupt, saved;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    sigprocmask(SIG_BLOCK, &interrupt, &saved);
    sigset_t unblocked = saved;
    sigdelset(&unblocked, SIGINT);
    int result = -1;
    for (;;) {
        if (interruptTyped) {
            interruptTyped = 0;
            state = std::mbstate_t{};
            *key = kInterruptKey;
            result = 1;
            break;
        }
        pollfd input{STDIN_FILENO, POLLIN, 0};
        if (ppoll(&input, 1, nullptr, &unblocked) < 0) {
            if (errno == EINTR)
                continue;  // SIGINT, or a resize the library has handled
            break;
        }
        char byte = 0;
        const ssize_t n = ::read(STDIN_FILENO, &byte, 1);
        if (n == 0) {
            result = 0;
            break;
        }
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            break;
        }
        wchar_t wide = 0;
        const size_t used = std::mbrtowc(&wide, &byte, 1, &state);
        if (used == static_cast<size_t>(-2))
            continue;  // more bytes of the same character follow
        if (used == static_cast<size_t>(-1)) {
            state = std::mbstate_t{};  // not text of the terminal's encoding: dropped
            continue;
        }
        *key = wide;
        result = 1;
        break;
    }
    sigprocmask(SIG_SETMASK, &saved, nullptr);
    return result;
}

// A history file holds what was typed, passwords of CONNECT included: only its owner reads it.
void createPrivately(const std::string &path) {
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::close(fd);
}

}  // namespace

LineEditor::LineEditor(std::string historyFile) : historyFile_(std::move(historyFile)) {
    // Characters beyond ASCII are edited as characters only under the user's encoding. Without
    // one (no LANG, or plain C) the terminal is taken to send UTF-8, as the client's text is:
    // under ASCII alone, Japanese typed at the prompt would be dropped.
    if (const char *ctype = std::setlocale(LC_CTYPE, nullptr); ctype && std::strcmp(ctype, "C") == 0) {
        std::setlocale(LC_CTYPE, "");
        if (std::strcmp(nl_langinfo(CODESET), "ANSI_X3.4-1968") == 0)
            std::setlocale(LC_CTYPE, "C.UTF-8");
    }
    history_ = history_init();
    HistEvent event;
    history(history_, &event, H_SETSIZE, kHistoryLines);
    history(history_, &event, H_SETUNIQUE, 1);
    if (!historyFile_.empty())
        history(history_, &event, H_LOAD, historyFile_.c_str());  // none yet is fine

    el_ = el_init("kestrim-sql", stdin, stdout, stderr);
    el_set(el_, EL_CLIENTDATA, this);
    el_set(el_, EL_EDITOR, "emacs");
    el_set(el_, EL_SIGNAL, 1);  // the terminal is put back on suspend and resize
    el_set(el_, EL_PROMPT, &LineEditor::promptText);
    el_set(el_, EL_HIST, history, history_);
    el_set(el_, EL_GETCFN, &readKey);
    // The wide form: libedit keeps the names as given, where the narrow form copies them and
    // never frees the copies.
    el_wset(el_, EL_ADDFN, L"kestrim-discard-line", L"Discard the line being typed", &LineEditor::discardLine);
    el_set(el_, EL_BIND, "^C", "kestrim-discard-line", nullptr);
    // Keys the terminals send for Home, End, Delete and Ctrl+arrows.
    el_set(el_, EL_BIND, "\\e[1~", "ed-move-to-beg", nullptr);
    el_set(el_, EL_BIND, "\\e[4~", "ed-move-to-end", nullptr);
    el_set(el_, EL_BIND, "\\e[3~", "ed-delete-next-char", nullptr);
    el_set(el_, EL_BIND, "\\e[1;5C", "em-next-word", nullptr);
    el_set(el_, EL_BIND, "\\e[1;5D", "ed-prev-word", nullptr);
    el_set(el_, EL_BIND, "^R", "em-inc-search-prev", nullptr);
    el_source(el_, nullptr);  // the user's own key bindings, when there are any
}

LineEditor::~LineEditor() {
    el_end(el_);
    history_end(history_);
}

const char *LineEditor::promptText(EditLine *el) {
    void *self = nullptr;
    el_get(el, EL_CLIENTDATA, &self);
    return static_cast<LineEditor *>(self)->prompt_.c_str();
}

unsigned char LineEditor::discardLine(EditLine *el, int) {
    void *self = nullptr;
    el_get(el, EL_CLIENTDATA, &self);
    static_cast<LineEditor *>(self)->discarded_ = true;
    return CC_EOF;  // ends the read; readLine tells it from Ctrl+D by the flag
}

LineEditor::Typed LineEditor::readLine(const std::string &prompt, bool remember) {
    prompt_ = prompt;
    std::fflush(stdout);
    struct sigaction action {}, previous {};
    action.sa_handler = onInterruptWhileTyping;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previous);
    interruptTyped = 0;
    discarded_ = false;
    int count = 0;
    const char *line = el_gets(el_, &count);
    sigaction(SIGINT, &previous, nullptr);
    Typed typed;
    if (discarded_) {
        // The typed text stays on the screen; what comes next starts below it.
        std::fputs("\n", stdout);
        std::fflush(stdout);
        typed.kind = Typed::Discarded;
    } else if (line && count > 0) {
        typed.kind = Typed::Line;
        typed.text.assign(line, static_cast<size_t>(count));
        if (!typed.text.empty() && typed.text.back() == '\n')
            typed.text.pop_back();
        if (remember)
            this->remember(typed.text);
    }
    return typed;
}

void LineEditor::remember(const std::string &line) {
    if (line.find_first_not_of(" \t") == std::string::npos)
        return;
    HistEvent event;
    history(history_, &event, H_ENTER, line.c_str());
    if (historyFile_.empty())
        return;
    // Saved after every line, so that a client that is killed keeps what was typed.
    createPrivately(historyFile_);
    history(history_, &event, H_SAVE, historyFile_.c_str());
}

std::string LineEditor::defaultHistoryFile() {
    if (const char *file = std::getenv("KESTRIM_SQL_HISTORY"))
        return file;
    std::filesystem::path folder;
    if (const char *data = std::getenv("XDG_DATA_HOME"); data && *data)
        folder = std::filesystem::path(data) / "kestrim";
    else if (const char *home = std::getenv("HOME"); home && *home)
        folder = std::filesystem::path(home) / ".local" / "share" / "kestrim";
    else
        return {};
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return (folder / "kestrim-sql_history").string();
}

}  // namespace localdb::client
