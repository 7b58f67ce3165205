#pragma once

#include <optional>

#include <QDateTime>
#include <QString>

#include "panes/ValueReading.h"
#include "watch/FollowedRow.h"
#include "watch/LevelCrossing.h"
#include "watch/ValueStore.h"

// One followed value as the program holds it: where it stands, its name, the heading over its
// column, its levels (inside its crossing: their only copy), its day's first and last reading.
struct FollowedValue
{
    qint64 id = 0;
    ValuePlace place;
    QString name;
    // Empty where none is known yet.
    QString heading;
    LevelCrossing crossing;
    std::optional<ValueStore::Reading> first;
    std::optional<ValueStore::Reading> last;
    QString unreadReason;
    QDateTime alertedAt;
    // Attempts since it was last read.
    int unreadInARow = 0;

    // Keeps the reading where it is the value's number, else why it is not; false then.
    bool take(const ValueReading &reading);
    FollowedRow row(const QDate &today) const;
};
