#pragma once

#include <array>
#include <memory>
#include <optional>

#include <QDate>
#include <QDateTime>
#include <QString>

#include "market/MarketClock.h"

// The markets a page's values trade on.
enum class MarketId {
    BorsaItaliana,
    BorsaUsa,
    SempreAperto,
};

// The one answer to "is the market open?" for the whole program: each market's clock, keyed by
// its identifier, asked by the followed values, the reading out of sight and each pane's switch.
// A market more is a row more in Markets.cpp's table, with its calendar file. Copies share the
// one set of clocks.
class Markets final
{
public:
    struct Row
    {
        MarketId id;
        // Kept in the store and in exported files; never changes.
        QString key;
        QString caption;
        MarketClock::Hours hours;
        // The file of closing days, shipped in the resources and copied for the user; empty for a
        // market that never closes.
        QString calendarFile;
    };
    static const std::array<Row, 3> &rows();
    static const Row &row(MarketId id);
    static std::optional<MarketId> fromKey(const QString &key);
    static QString key(MarketId id) { return row(id).key; }
    static QString caption(MarketId id) { return row(id).caption; }
    // The market's day of at, in its own zone, whatever the machine's.
    static QDate dayOf(MarketId id, const QDateTime &at) { return at.toTimeZone(row(id).hours.zone).date(); }
    static QTimeZone zoneOf(MarketId id) { return row(id).hours.zone; }

    // Every market with the calendar its file gives; without files, every weekday trades.
    explicit Markets(const MarketCalendar &italy = {}, const MarketCalendar &usa = {});
    // Each market's calendar from its file (CalendarFile).
    static Markets loaded();

    const MarketClock &clock(MarketId id) const;
    bool isOpen(MarketId id, const QDateTime &at) const { return clock(id).isOpen(at); }
    QDateTime nextOpening(MarketId id, const QDateTime &at) const { return clock(id).nextOpening(at); }
    // When the day's official closing price is set; invalid on a day without trading.
    QDateTime closeOf(MarketId id, QDate day) const { return clock(id).closeOf(day); }
    QDate previousTradingDay(MarketId id, QDate day) const { return clock(id).previousTradingDay(day); }

private:
    std::shared_ptr<const std::array<MarketClock, 3>> m_clocks;
};
