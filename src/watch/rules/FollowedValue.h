#pragma once

#include <optional>

#include <QDateTime>
#include <QString>

#include "market/Markets.h"
#include "panes/ValueReading.h"
#include "watch/FollowedRow.h"
#include "watch/rules/DayClose.h"
#include "watch/rules/LevelCrossing.h"
#include "watch/rules/MoveCrossing.h"
#include "watch/store/ValueStore.h"

// One followed value as the program holds it: where it stands, its name, the heading over its
// column, its levels (inside its crossing: their only copy), its move, its day's first and last
// reading and the previous close.
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
    MoveCrossing move{};
    // Found once a day, at the day's first reading: for closeDay, in the market's time.
    std::optional<DayClose> previousClose{};
    QDate closeDay{};
    MarketId market = MarketId::BorsaItaliana;

    // As the store kept it, with its last reading and when it last alerted.
    static FollowedValue kept(const ValueStore::Value &value, const std::optional<ValueStore::Reading> &last,
                              const QDateTime &alertedAt);

    // A page prepared behind the shown one is read before it is shown, while the shown one
    // may still stream: its readings then come later than newer ones. Farther back than this,
    // the machine's clock was set back, and the reading is the news.
    static constexpr qint64 StaleWithinMs = 5 * 60 * 1000;

    // Older than the last reading, by less than StaleWithinMs: it says nothing of the value
    // now, is not its last, and neither alerts nor re-arms a level.
    bool isStale(const ValueReading &reading) const;
    // Keeps the reading where it is the value's number, else why it is not; false then.
    bool take(const ValueReading &reading);
    FollowedRow row(const QDateTime &now) const;
};
