#pragma once

#include <optional>

#include <QDate>
#include <QDateTime>

#include "market/Markets.h"
#include "watch/store/ValueStore.h"

class AlertBook;
struct FollowedValue;

// A followed value's day on its market: the previous trading day's close, found once a day at
// the day's first reading, and the move measured from it or from the last minutes. Without a
// markets every weekday trades and every market is always open.
class MarketDay final
{
public:
    // A move that alerted: signed percent from the number it started at, the minutes it looked
    // back (0 for the close).
    struct Move
    {
        double percent = 0;
        double from = 0;
        int minutes = 0;
    };

    explicit MarketDay(std::optional<Markets> markets = std::nullopt) : m_markets(std::move(markets)) {}

    bool isOpen(MarketId market, const QDateTime &at) const { return !m_markets || m_markets->isOpen(market, at); }
    // The year of at, where the market's calendar does not know it: every weekday trades then.
    std::optional<int> unknownYear(const QDateTime &at) const;
    static QDate dayOf(const QDateTime &at) { return at.toTimeZone(MarketClock::zone()).date(); }

    // A value the store kept, as the program starts: its day so far and the move sides that
    // alerted today.
    void open(FollowedValue &followed, ValueStore &store, const ValueStore::Value &kept, const QDateTime &now) const;
    // A reading kept: a new day looks for its close.
    void take(FollowedValue &followed, ValueStore &store, const ValueStore::Reading &reading) const;
    void findPreviousClose(FollowedValue &followed, ValueStore &store, const QDate &day) const;
    // Feeds the value's move; its sides' alerts are kept in the book.
    std::optional<Move> feedMove(FollowedValue &followed, ValueStore &store, AlertBook &book,
                                 const ValueStore::Reading &reading) const;

private:
    MarketClock clockOf(const FollowedValue &followed) const;

    std::optional<Markets> m_markets;
};
