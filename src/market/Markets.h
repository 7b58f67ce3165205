#pragma once

#include <memory>

#include <QDate>
#include <QDateTime>

#include "market/MarketClock.h"

// The markets a page's values trade on.
enum class MarketId {
    BorsaItaliana,
};

// The one answer to "is the market open?" for the whole program: each market's clock, keyed by
// its identifier, asked by the followed values, the reading out of sight and each pane's switch.
// A market more is a row more here, with its clock. Copies share the one set of clocks.
class Markets final
{
public:
    explicit Markets(const MarketCalendar &italy = {});

    const MarketClock &clock(MarketId id) const;
    bool isOpen(MarketId id, const QDateTime &at) const { return clock(id).isOpen(at); }
    QDateTime nextOpening(MarketId id, const QDateTime &at) const { return clock(id).nextOpening(at); }
    // When the day's official closing price is set; invalid on a day without trading.
    QDateTime closeOf(MarketId id, QDate day) const { return clock(id).closeOf(day); }
    QDate previousTradingDay(MarketId id, QDate day) const { return clock(id).previousTradingDay(day); }

private:
    struct Clocks
    {
        MarketClock borsaItaliana;
    };
    std::shared_ptr<const Clocks> m_clocks;
};
