#pragma once

#include <QString>

#include "market/MarketCalendar.h"

// Where the market's calendar comes from: the user's own copy in the program's data folder,
// which the program makes from the calendar it ships the first time it looks, so that there
// is a file to edit when a new year comes. Years the copy lacks come from the shipped one.
class CalendarFile final
{
public:
    // name: the market's file, the same in the resources and in the data folder.
    static QString userPath(const QString &name = Italy);
    static QString shippedText(const QString &name = Italy);

    // Never fails: a copy that cannot be made or read leaves the shipped calendar, and its bad
    // lines are skipped; each problem goes to the log with the file's path.
    static MarketCalendar load(const QString &path = userPath(), const QString &name = Italy);

    static inline const QString Italy = QStringLiteral("calendario-borsa.txt");
};
