#include "watch/rules/MarketDay.h"

#include "watch/FollowedValue.h"
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
    const auto today = store.readings(kept.id, now.date().startOfDay(), now.date().endOfDay());
    if (!today.isEmpty())
        followed.first = today.first();
    findPreviousClose(followed, store, dayOf(now));
    // A move alerted before today is armed again with the new close.
    if (kept.moveAlertedOn == dayOf(now))
        followed.move.setAlertedSides(kept.moveAlerted);
}

void MarketDay::take(FollowedValue &followed, ValueStore &store, const ValueStore::Reading &reading) const
{
    // A day's first reading read again in its second is replaced in the store: the close
    // that stands in for a missing one follows it.
    const auto &close = followed.previousClose;
    if (followed.closeDay != dayOf(reading.time) || !close
        || (close->kind() == DayClose::Kind::FirstReadingToday && close->time().toSecsSinceEpoch() == reading.time.toSecsSinceEpoch()))
        findPreviousClose(followed, store, dayOf(reading.time));
}

// The previous trading day's readings, not the last one stored: after days away the last
// close known is not the previous one, and the day's first reading says so better.
void MarketDay::findPreviousClose(FollowedValue &followed, ValueStore &store, const QDate &day) const
{
    const MarketClock market = clockOf(followed);
    const QDate before = market.previousTradingDay(day);
    const QTimeZone rome = MarketClock::zone();
    QList<ValueStore::Reading> today;
    if (const auto first = store.firstReadingAfter(followed.id, day.startOfDay(rome)))
        today.append(*first);
    followed.previousClose = DayClose::previous(store.readings(followed.id, before.startOfDay(rome), before.endOfDay(rome)),
                                                market.closeOf(before), today);
    if (followed.closeDay != day)
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
        book.moveSides(followed.id, move.alertedSides(), dayOf(reading.time));
    if (crossed == LevelCrossing::Crossed::None || !move.movePercent())
        return std::nullopt;
    const double percent = *move.movePercent();
    const double from = withinMinutes || !followed.previousClose ? reading.number / (1 + percent / 100.0)
                                                                 : followed.previousClose->number();
    return Move{percent, from, withinMinutes ? move.move().minutes : 0};
}
