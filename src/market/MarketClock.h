#pragma once

#include <QDateTime>
#include <QString>
#include <QTimeZone>

#include "market/MarketCalendar.h"

// One market's hours on the days of its calendar, in the market's own time whatever the
// machine's zone (Borsa Italiana's unless other hours are given). Asked about given times only,
// never the real clock, so that its users and their tests choose the moment.
class MarketClock final
{
public:
    // A market's day in its own zone. A market that never closes has its days as calendar days
    // of its zone, each closing at midnight.
    struct Hours
    {
        QTimeZone zone;
        QTime opening;
        // Where the phase after it begins: the closing auction, or the close itself.
        QTime auctionStart;
        QTime officialClose;
        QTime lastPhaseEnd;
        bool alwaysOpen = false;
    };
    static Hours borsaItaliana();

    enum class Phase {
        Closed,
        Continuous,     // continuous trading
        ClosingAuction, // the closing auction, then trades at its price; the official close is set here
    };

    explicit MarketClock(MarketCalendar calendar = {}, Hours hours = borsaItaliana());

    // Europe/Rome: Borsa Italiana's, and the day of a market that never closes.
    static QTimeZone zone();
    // The market's own zone, in which its days and closes are counted.
    QTimeZone ownZone() const { return m_hours.zone; }
    QDate dayOf(const QDateTime &at) const { return at.toTimeZone(m_hours.zone).date(); }
    const MarketCalendar &calendar() const { return m_calendar; }

    Phase phaseAt(const QDateTime &at) const;
    bool isOpen(const QDateTime &at) const { return phaseAt(at) != Phase::Closed; }
    // The next start of continuous trading after at, in Italy's time.
    QDateTime nextOpening(const QDateTime &at) const;
    // When the phase at that moment ends: the next opening while closed, else the end of
    // the phase.
    QDateTime nextChange(const QDateTime &at) const;
    // "riapre lunedì alle 9:00": the next opening in words, seen from at. Today, tomorrow, a
    // weekday within the week, the weekday and date beyond.
    QString reopeningText(const QDateTime &at) const;
    // When the day's official closing price is set; invalid on a day without trading.
    QDateTime closeOf(QDate day) const;
    // The last trading day before day, for the previous close.
    QDate previousTradingDay(QDate day) const;

private:
    QDateTime at(QDate day, QTime time) const;
    bool trades(QDate day) const;
    // The end of the day's last phase, earlier on an early close.
    QTime endOf(QDate day) const;

    MarketCalendar m_calendar;
    Hours m_hours;
};
