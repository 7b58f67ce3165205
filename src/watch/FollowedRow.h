#pragma once

#include <optional>

#include <QDateTime>
#include <QString>

#include "market/Markets.h"
#include "watch/rules/LevelCrossing.h"

// One line of "Valori seguiti": a followed value as it stands now, a copy for showing.
struct FollowedRow
{
    qint64 id = 0;
    QString name;
    QString address;
    MarketId market = MarketId::BorsaItaliana;
    std::optional<double> last;
    QDateTime lastTime;
    // Since the previous trading day's close, else since the day's first reading.
    std::optional<double> change;
    std::optional<double> changePercent;
    std::optional<double> previousClose;
    // What the change is measured from where it is not a close after the auction; empty else.
    QString changeNote;
    // The move in percent that alerts: none, or from the previous close where minutes is 0.
    std::optional<double> movePercent;
    int moveMinutes = 0;
    // Empty when the last attempt read the value; otherwise why it did not.
    QString unreadReason;
    LevelCrossing::Levels levels;
    // When the value last crossed a level today; invalid for none.
    QDateTime alertedAt;
    // It stands beyond that level still: the alert has not re-armed.
    bool beyond = false;
};
