#pragma once

#include <functional>
#include <map>

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSet>

#include "market/Markets.h"

// The one rule for a value that is not being read: it is late when it has not been read for
// twice the reading interval while its market was open, counted from its last reading or from
// the market's opening, whichever is later. It is told once when it becomes late, and not again
// until a reading comes in: a value left unread all afternoon is one alert, not one a minute.
// Plain: the times, the values and whether a market is open are given by the caller.
class Lateness final
{
public:
    struct Value
    {
        qint64 id = 0;
        MarketId market = MarketId::BorsaItaliana;
        // Invalid where the value has never been read.
        QDateTime lastRead;
    };
    using Open = std::function<bool(MarketId market, const QDateTime &at)>;

    // Looks at every value now, given oldest id first; the late ones are late(). Gives those
    // that just became late and were not told since their last reading, in the same order.
    QList<qint64> check(const QDateTime &now, qint64 allowedMs, const QList<Value> &values, const Open &open);
    // Readings came in for these: late no more, and told again the next time. True when the late
    // ones changed.
    bool read(const QList<qint64> &ids);
    // Oldest id first.
    QList<qint64> late() const { return m_late; }

    // How a late value's row and alert say since when: "dalle 10:42", "dal 07/12/2026 alle
    // 17:35"; empty for a value never read.
    static QString since(const QDateTime &lastRead, const QDate &today);
    // "non letto dalle 10:42", or "mai letto".
    static QString state(const QDateTime &lastRead, const QDate &today);

private:
    QDateTime countedFrom(const Value &value, const QDateTime &now);

    // Since when each market has been open as far as this program saw; a value cannot be late
    // for longer than its market's.
    std::map<MarketId, QDateTime> m_openSince;
    // Where the clock was when a value's last reading was first seen in the future.
    QHash<qint64, QDateTime> m_readBack;
    QList<qint64> m_late;
    QSet<qint64> m_told;
};
