#pragma once

#include <memory>
#include <optional>

#include <QTemporaryDir>

#include "market/MarketClock.h"
#include "market/Markets.h"
#include "watch/FollowedValues.h"

// Followed values in a folder of the test's own, gone with it however the test ends, on a clock
// the test moves: Monday 7 December 2026 at 9:00 in Rome. No markets: every market is always
// open; a test that gives them opens the values anew (open()).
struct WatchDesk
{
    QTemporaryDir dir;
    QDateTime now{QDate(2026, 12, 7), QTime(9, 0), MarketClock::zone()};
    std::optional<Markets> markets;
    QString path = dir.filePath(QStringLiteral("v.sqlite"));
    std::unique_ptr<FollowedValues> values = open();

    WallClock clock()
    {
        return [this] { return now; };
    }
    // The same file, as the program finds it at a start.
    std::unique_ptr<FollowedValues> open() { return std::make_unique<FollowedValues>(path, clock(), markets); }

    static ValuePlace place(const QString &row, const QString &address = QStringLiteral("http://q.example/borsa"))
    {
        return {address, QStringLiteral("/TABLE:0/TBODY:0/TR#") + row, 1};
    }
    // Followed as the user does, read at that moment; 0 where it could not be.
    qint64 follow(const ValuePlace &at, const QString &name, double number, const QString &heading = {})
    {
        return values->follow({at, name, QString::number(number), number, ValuePick::Followable::Yes, heading}).value_or(0);
    }

    // Readings of the value at `at`, apart by ";", each a second after the last: "number",
    // "heading=number", "-" for one not found, "-reason" for one the page could not give; "!"
    // before one read in the same second as the one before. "next day" moves the clock to 9:00
    // of the day after, "at 17:40" to that time of the day, "restart" opens the file anew.
    void feed(const ValuePlace &at, const QString &readings)
    {
        for (const QString &step : readings.split(QLatin1Char(';'))) {
            if (step == QLatin1String("next day")) {
                now = QDateTime(now.date().addDays(1), QTime(9, 0), MarketClock::zone());
            } else if (step.startsWith(QLatin1String("at "))) {
                now = QDateTime(now.date(), QTime::fromString(step.mid(3), QStringLiteral("H:mm")), MarketClock::zone());
            } else if (step == QLatin1String("restart")) {
                values.reset();
                values = open();
            } else {
                const QString heading = step.contains(QLatin1Char('=')) ? step.section(QLatin1Char('='), 0, 0) : QString();
                QString read = step.section(QLatin1Char('='), -1);
                if (read.startsWith(QLatin1Char('!')))
                    read.remove(0, 1);
                else
                    now = now.addSecs(1);
                const bool unread = read.startsWith(QLatin1Char('-')) && !(read.size() > 1 && read.at(1).isDigit());
                values->take({{at, unread ? std::nullopt : std::optional(read.toDouble()), read, unread ? read.mid(1) : QString(),
                               now, heading}});
            }
        }
    }
};
