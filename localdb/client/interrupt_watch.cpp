// The handler only sets a flag and, when a session is watched, writes a byte to a pipe: both
// are safe in a signal handler. The thread waiting on the pipe calls the session's cancel, which
// is safe from any thread. The watch's end writes to the same pipe to let the thread go.
#include "localdb/client/interrupt_watch.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace localdb::client {
namespace {

volatile std::sig_atomic_t interrupted = 0;
volatile int wakeFd = -1;

constexpr char kCancel = 'c';
constexpr char kQuit = 'q';

extern "C" void onInterrupt(int) {
    interrupted = 1;
    if (wakeFd >= 0) {
        const char byte = kCancel;
        [[maybe_unused]] const ssize_t ignored = ::write(wakeFd, &byte, 1);
    }
}

}  // namespace

InterruptWatch::InterruptWatch() {
    interrupted = 0;
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    installed_ = sigaction(SIGINT, &action, &previous_) == 0;
}

InterruptWatch::InterruptWatch(Session &session) : InterruptWatch() {
    if (!installed_ || ::pipe2(wake_, O_CLOEXEC) != 0)
        return;
    canceller_ = std::thread([&session, fd = wake_[0]] {
        char byte = 0;
        for (;;) {
            const ssize_t n = ::read(fd, &byte, 1);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0 || byte == kQuit)
                return;
            session.cancel();
        }
    });
    wakeFd = wake_[1];
}

InterruptWatch::~InterruptWatch() {
    if (installed_)
        sigaction(SIGINT, &previous_, nullptr);
    wakeFd = -1;
    if (canceller_.joinable()) {
        const char byte = kQuit;
        [[maybe_unused]] const ssize_t ignored = ::write(wake_[1], &byte, 1);
        canceller_.join();
    }
    for (int fd : wake_)
        if (fd >= 0)
            ::close(fd);
}

bool InterruptWatch::requested() const { return interrupted != 0; }

}  // namespace localdb::client
