// The times the worksheet's status bar shows: "hh:mm:ss", and an elapsed time as a time of day
// (it wraps after 24 hours).
#pragma once

#include <QString>
#include <QTime>

namespace worksheet {

inline QString ClockText(const QTime &time) { return time.toString(QStringLiteral("hh:mm:ss")); }

inline QString ElapsedText(const QTime &start, const QTime &end)
{
    int seconds = start.secsTo(end);
    if (seconds < 0)
        seconds += 24 * 3600;
    return ClockText(QTime(0, 0).addSecs(seconds));
}

} // namespace worksheet
