// The times the worksheet's status bar shows: "hh:mm:ss", and an elapsed time as a time of day
// (it wraps after 24 hours).
#pragma once

#include <QString>
#include <QTime>

namespace worksheet {

inline QString ClockText(const QTime &time) { return time.toString(QStringLiteral("hh:mm:ss")); }

inline QString ElapsedText(const QTime &start, const QTime &end)
{
    // Milliseconds, not whole seconds of each clock: a command from 0.999 to 1.001 took no second.
    int milliseconds = start.msecsTo(end);
    if (milliseconds < 0)
        milliseconds += 24 * 3600 * 1000;
    return ClockText(QTime(0, 0).addMSecs(milliseconds));
}

} // namespace worksheet
