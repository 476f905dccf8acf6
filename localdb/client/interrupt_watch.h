// Ctrl+C while rows are being printed stops the listing with ORA-01013 instead of ending the
// client: the watch catches SIGINT for as long as it lives and puts the old handler back after.
#pragma once

#include <csignal>

namespace localdb::client {

class InterruptWatch {
public:
    InterruptWatch();
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch &) = delete;
    InterruptWatch &operator=(const InterruptWatch &) = delete;

    // Whether Ctrl+C was pressed since the watch began.
    bool requested() const;

private:
    struct sigaction previous_ {};
    bool installed_ = false;
};

}  // namespace localdb::client
