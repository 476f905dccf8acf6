// The handler only sets a flag; the fetch loop looks at it between rows.
#include "localdb/client/interrupt_watch.h"

namespace localdb::client {
namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void onInterrupt(int) { interrupted = 1; }

}  // namespace

InterruptWatch::InterruptWatch() {
    interrupted = 0;
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    installed_ = sigaction(SIGINT, &action, &previous_) == 0;
}

InterruptWatch::~InterruptWatch() {
    if (installed_)
        sigaction(SIGINT, &previous_, nullptr);
}

bool InterruptWatch::requested() const { return interrupted != 0; }

}  // namespace localdb::client
