// The wait cursors of long commands, restored on every path (exceptions included) because the
// guard restores it when it goes out of scope.
#pragma once

#include <QGuiApplication>

class TCursorGuard {
public:
    explicit TCursorGuard(Qt::CursorShape shape) { QGuiApplication::setOverrideCursor(shape); }
    ~TCursorGuard() { QGuiApplication::restoreOverrideCursor(); }
    TCursorGuard(const TCursorGuard &) = delete;
    TCursorGuard &operator=(const TCursorGuard &) = delete;
};

// The hourglass, shown while a window is being created.
class THourglassCursor : public TCursorGuard {
public:
    THourglassCursor() : TCursorGuard(Qt::WaitCursor) {}
};

// The database-wait cursor, shown while a database call runs.
class TDbWaitCursor : public TCursorGuard {
public:
    TDbWaitCursor() : TCursorGuard(Qt::BusyCursor) {}
};
