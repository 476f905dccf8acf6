// The session's progress callback: the caller's handler now and then, and cancellation.
#include "localdb/system/progress_watch.h"

#include <sqlite3.h>

namespace localdb {
namespace {
// SQLite instructions between two callbacks: a few microseconds of work, so a cancel is seen at
// once while the check itself costs nothing measurable.
constexpr int kInstructionsPerCheck = 4000;
}  // namespace

ProgressWatch::ProgressWatch(sqlite3 *db) : db_(db) {
    sqlite3_progress_handler(db_, kInstructionsPerCheck, &ProgressWatch::onProgress, this);
}

ProgressWatch::~ProgressWatch() {
    sqlite3_progress_handler(db_, 0, nullptr, nullptr);
}

void ProgressWatch::setHandler(std::function<bool()> handler, int intervalMs) {
    handler_ = std::move(handler);
    interval_ = std::chrono::milliseconds(intervalMs < 0 ? 0 : intervalMs);
    lastHandlerCall_ = std::chrono::steady_clock::now();
    handlerThread_ = std::this_thread::get_id();
}

bool ProgressWatch::writerRunning() const {
    for (sqlite3_stmt *s = sqlite3_next_stmt(db_, nullptr); s; s = sqlite3_next_stmt(db_, s))
        if (sqlite3_stmt_busy(s) && !sqlite3_stmt_readonly(s))
            return true;
    return false;
}

void ProgressWatch::runHandlerWhenDue() {
    // The handler may let window messages run, and one of them may stop a fetch of another
    // session; a callback of this one arriving meanwhile must not call the handler again.
    if (std::this_thread::get_id() != handlerThread_ || !handler_ || inHandler_)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastHandlerCall_ < interval_)
        return;
    inHandler_ = true;
    bool stop = false;
    try {
        stop = handler_();
    } catch (...) {
        // An exception must not cross SQLite's C frames; a failing handler stops the call.
        stop = true;
    }
    inHandler_ = false;
    lastHandlerCall_ = std::chrono::steady_clock::now();
    if (stop)
        cancel();
}

bool ProgressWatch::poll() {
    runHandlerWhenDue();
    return cancelRequested_.exchange(false, std::memory_order_relaxed);
}

int ProgressWatch::onProgress(void *self) {
    auto &watch = *static_cast<ProgressWatch *>(self);
    watch.runHandlerWhenDue();
    if (!watch.cancelRequested_.load(std::memory_order_relaxed) || watch.writerRunning())
        return 0;
    watch.cancelRequested_.store(false, std::memory_order_relaxed);
    return 1;
}

}  // namespace localdb
