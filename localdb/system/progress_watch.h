// Keeps a session's long calls answerable: while SQLite works on a statement or a row it calls
// back every few thousand instructions, and work outside SQLite (a PL/SQL loop) polls the watch
// now and then; the watch then lets the caller's handler run (at most every interval) and stops
// the call with ORA-01013 when asked to, from the handler or from any other thread.
//
// A statement that writes is never stopped: SQLite answers an interrupted write inside a
// transaction by rolling back the whole transaction, which would lose the session's earlier
// uncommitted work. Such a statement runs to its end, the handler still called.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

struct sqlite3;

namespace localdb {

class ProgressWatch {
public:
    explicit ProgressWatch(sqlite3 *db);
    ~ProgressWatch();
    ProgressWatch(const ProgressWatch &) = delete;
    ProgressWatch &operator=(const ProgressWatch &) = delete;

    // handler runs at most every intervalMs, and only on the thread that set it (the window's):
    // work that goes on in a helper thread (deep PL/SQL recursion) is still stopped by cancel()
    // but never runs window code. True cancels. An empty handler removes it.
    void setHandler(std::function<bool()> handler, int intervalMs);
    // Asks the call now running to stop; safe from any thread (and from a signal handler).
    void cancel() { cancelRequested_.store(true, std::memory_order_relaxed); }
    // A new call begins: a cancel asked for while nothing ran does not reach it.
    void beginCall() { cancelRequested_.store(false, std::memory_order_relaxed); }
    // For work between SQLite's callbacks (a PL/SQL loop without SQL): runs the handler when its
    // interval has passed and tells whether the call is to stop, taking the request.
    bool poll();
    // Whether a cancel is waiting, without taking it: cheap enough for every turn of a loop.
    bool cancelPending() const { return cancelRequested_.load(std::memory_order_relaxed); }
    // Runs the handler when due, leaving a cancel it asks for to the work: for the thread that
    // waits while a helper thread does the session's work.
    void answer() { runHandlerWhenDue(); }

private:
    static int onProgress(void *self);
    void runHandlerWhenDue();
    bool writerRunning() const;

    sqlite3 *db_;
    std::function<bool()> handler_;
    std::chrono::steady_clock::duration interval_{};
    std::chrono::steady_clock::time_point lastHandlerCall_{};
    std::atomic<bool> cancelRequested_{false};
    bool inHandler_ = false;
    std::thread::id handlerThread_;
};

}  // namespace localdb
