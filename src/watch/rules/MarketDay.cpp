#include "watch/rules/MarketDay.h"

#include "watch/rules/FollowedValue.h"
#include "watch/alerts/AlertBook.h"

std::optional<int> MarketDay::unknownYear(const QDateTime &at) const
{
    const int year = dayOf(at).year();
    if (!m_markets || m_markets->clock(MarketId::BorsaItaliana).calendar().knowsYear(year))
        return std::nullopt;
    return year;
}

MarketClock MarketDay::clockOf(const FollowedValue &followed) const
{
    return m_markets ? m_markets->clock(followed.market) : MarketClock();
}

void MarketDay::open(FollowedValue &followed, ValueStore &store, const ValueStore::Value &kept, const QDateTime &now) const
{
    const QDate day = Markets::dayOf(followed.market, now);
    const QTimeZone zone = Markets::zoneOf(followed.market);
    const auto today = store.readings(kept.id, day.startOfDay(zone), day.endOfDay(zone));
    if (!today.isEmpty())
        followed.first = today.first();
    findPreviousClose(followed, store, day);
    // A move alerted before today is armed again with the new close.
    if (kept.moveAlertedOn == day)
        followed.move.setAlertedSides(kept.moveAlerted);
}

void MarketDay::moveTo(FollowedValue &followed, MarketId market, ValueStore &store, const QDateTime &now) const
{
    followed.market = market;
    findPreviousClose(followed, store, Markets::dayOf(market, now), false);
}

void MarketDay::take(FollowedValue &followed, ValueStore &store, const ValueStore::Reading &reading) const
{
    // A day's first reading read again in its second is replaced in the store: the close
    // that stands in for a missing one follows it.
    const auto &close = followed.previousClose;
    const QDate day = Markets::dayOf(followed.market, reading.time);
    if (followed.closeDay != day || !close
        || (close->kind() == DayClose::Kind::FirstReadingToday && close->time().toSecsSinceEpoch() == reading.time.toSecsSinceEpoch()))
        findPreviousClose(followed, store, day);
}

// The previous trading day's readings, not the last one stored: after days away the last
// close known is not the previous one, and the day's first reading says so better.
void MarketDay::findPreviousClose(FollowedValue &followed, ValueStore &store, const QDate &day) const
{
    findPreviousClose(followed, store, day, followed.closeDay != day);
}

void MarketDay::findPreviousClose(FollowedValue &followed, ValueStore &store, const QDate &day, bool newDay) const
{
    const MarketClock market = clockOf(followed);
    const QDate before = market.previousTradingDay(day);
    const QTimeZone zone = Markets::zoneOf(followed.market);
    QList<ValueStore::Reading> today;
    if (const auto first = store.firstReadingAfter(followed.id, day.startOfDay(zone)))
        today.append(*first);
    followed.previousClose = DayClose::previous(store.readings(followed.id, before.startOfDay(zone), before.endOfDay(zone)),
                                                market.closeOf(before), today);
    if (newDay)
        followed.move.setAlertedSides(0);
    followed.closeDay = day;
    followed.move.setPreviousClose(followed.previousClose ? std::optional(followed.previousClose->number()) : std::nullopt);
}

std::optional<MarketDay::Move> MarketDay::feedMove(FollowedValue &followed, ValueStore &store, AlertBook &book,
                                                   const ValueStore::Reading &reading) const
{
    MoveCrossing &move = followed.move;
    if (!move.isSet())
        return std::nullopt;
    const bool withinMinutes = move.move().reference == MoveCrossing::Reference::WithinMinutes;
    const int before = move.alertedSides();
    const QList<ValueStore::Reading> recent =
        withinMinutes ? store.readings(followed.id, move.windowStart(reading.time), reading.time) : QList<ValueStore::Reading>();
    const LevelCrossing::Crossed crossed = move.feed(reading.time, reading.number, recent);
    if (move.alertedSides() != before)
        book.moveSides(followed.id, move.alertedSides(), Markets::dayOf(followed.market, reading.time));
    if (crossed == LevelCrossing::Crossed::None || !move.movePercent())
        return std::nullopt;
    const double percent = *move.movePercent();
    return Move{percent, move.moveFrom().value_or(reading.number), withinMinutes ? move.move().minutes : 0};
}
