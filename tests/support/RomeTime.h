#pragma once

#include <QDateTime>
#include <QTimeZone>

// Times as the market keeps them: in Rome, whatever the machine's zone.
namespace RomeTime {

inline const QTimeZone &zone()
{
    static const QTimeZone zone("Europe/Rome");
    return zone;
}

inline QDateTime rome(const QDate &day, const QTime &time)
{
    return QDateTime(day, time, zone());
}

inline QDateTime rome(int y, int m, int d, int h, int min, int s = 0)
{
    return rome(QDate(y, m, d), QTime(h, min, s));
}

} // namespace RomeTime
