#pragma once

#include <functional>

#include <QDateTime>

// What time it is, given to every part that reads the time, so that a test chooses the moment.
using WallClock = std::function<QDateTime()>;

inline WallClock systemClock()
{
    return [] { return QDateTime::currentDateTime(); };
}

// The given clock, or the system's where none is given.
inline WallClock orSystemClock(WallClock clock)
{
    return clock ? std::move(clock) : systemClock();
}
