// Ctrl+C while a statement runs or rows are printed stops that call with ORA-01013 instead of
// ending the client: the watch catches SIGINT for as long as it lives and puts the old handler
// back after. Given a session, it also asks the session to cancel the call now running (a long
// query, a PL/SQL block in a loop); the session's cancel is called from a thread that relays
// the signal, never from the signal handler itself.
#pragma once

#include "localdb/localdb.h"

#include <csignal>

namespace localdb::client {

class InterruptWatch {
public:
    InterruptWatch();
    explicit InterruptWatch(Session &session);
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch &) = delete;
    InterruptWatch &operator=(const InterruptWatch &) = delete;

    // Whether Ctrl+C was pressed since the watch began.
    bool requested() const;

private:
    struct sigaction previous_ {};
    bool installed_ = false;
    bool relaying_ = false;
};

}  // namespace localdb::client
