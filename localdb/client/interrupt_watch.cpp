// The handler only sets a flag and writes a byte to a pipe: both are safe in a signal handler.
// One relay thread, started with the first watch of a session and kept for the run (a script
// of many statements must not pay for a thread each), waits on the pipe and calls the cancel of
// the session being watched, which is safe from any thread. The lock keeps a watch from ending
// while the relay is calling into its session.
#include "localdb/client/interrupt_watch.h"

#include <cerrno>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

namespace localdb::client {
namespace {

volatile std::sig_atomic_t interrupted = 0;
volatile int wakeFd = -1;

extern "C" void onInterrupt(int) {
    interrupted = 1;
    if (wakeFd >= 0) {
        const char byte = 'c';
        [[maybe_unused]] const ssize_t ignored = ::write(wakeFd, &byte, 1);
    }
}

class CancelRelay {
public:
    static CancelRelay &instance() {
        static CancelRelay relay;
        return relay;
    }
    bool running() const { return running_; }
    void watch(Session *session) {
        std::lock_guard<std::mutex> lock(mutex_);
        session_ = session;
    }

private:
    CancelRelay() {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            return;
        // The thread lives as long as the program; it only ever waits on the pipe.
        std::thread([this, fd = fds[0]] { relay(fd); }).detach();
        wakeFd = fds[1];
        running_ = true;
    }
    void relay(int fd) {
        for (;;) {
            char byte = 0;
            const ssize_t n = ::read(fd, &byte, 1);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return;
            std::lock_guard<std::mutex> lock(mutex_);
            if (session_)
                session_->cancel();
        }
    }

    std::mutex mutex_;
    Session *session_ = nullptr;
    bool running_ = false;
};

}  // namespace

InterruptWatch::InterruptWatch() {
    interrupted = 0;
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    installed_ = sigaction(SIGINT, &action, &previous_) == 0;
}

InterruptWatch::InterruptWatch(Session &session) : InterruptWatch() {
    CancelRelay &relay = CancelRelay::instance();
    if (installed_ && relay.running()) {
        relay.watch(&session);
        relaying_ = true;
    }
}

InterruptWatch::~InterruptWatch() {
    if (installed_)
        sigaction(SIGINT, &previous_, nullptr);
    if (relaying_)
        CancelRelay::instance().watch(nullptr);
}

bool InterruptWatch::requested() const { return interrupted != 0; }

}  // namespace localdb::client
