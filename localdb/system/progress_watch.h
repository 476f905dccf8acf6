// Keeps a session's long calls answerable: while SQLite works on a statement or a row it calls
// back every few thousand instructions; the watch then lets the caller's handler run (at most
// every interval) and stops the call with ORA-01013 when asked to, from the handler or from any
// other thread.
//
// A statement that writes is never stopped: SQLite answers an interrupted write inside a
// transaction by rolling back the whole transaction, which would lose the session's earlier
// uncommitted work. Such a statement runs to its end, the handler still called.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>

struct sqlite3;

namespace localdb {

class ProgressWatch {
public:
    explicit ProgressWatch(sqlite3 *db);
    ~ProgressWatch();
    ProgressWatch(const ProgressWatch &) = delete;
    ProgressWatch &operator=(const ProgressWatch &) = delete;

    // handler runs on the thread that runs the statement, at most every intervalMs; true cancels.
    // An empty handler removes it.
    void setHandler(std::function<bool()> handler, int intervalMs);
    // Asks the call now running to stop; safe from any thread.
    void cancel() { cancelRequested_.store(true, std::memory_order_relaxed); }
    // A new call begins: a cancel asked for while nothing ran does not reach it.
    void beginCall() { cancelRequested_.store(false, std::memory_order_relaxed); }
    // For work that runs outside SQLite, such as a PL/SQL loop: lets the handler run as during a
    // statement and tells whether the call is to stop now (the request is then used up).
    bool stopRequested();

private:
    static int onProgress(void *self);
    void runHandler();
    bool writerRunning() const;

    sqlite3 *db_;
    std::function<bool()> handler_;
    std::chrono::steady_clock::duration interval_{};
    std::chrono::steady_clock::time_point lastHandlerCall_{};
    std::atomic<bool> cancelRequested_{false};
    bool inHandler_ = false;
    unsigned runtimeChecks_ = 0;
};

}  // namespace localdb
