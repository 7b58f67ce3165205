#pragma once

#include <QDateTime>
#include <QString>
#include <QTimeZone>

#include "market/MarketCalendar.h"

// The hours of Borsa Italiana's equity market on the days of its calendar, in Italy's time
// whatever the machine's zone. Asked about given times only, never the real clock, so that
// its users and their tests choose the moment.
class MarketClock final
{
public:
    enum class Phase {
        Closed,
        Continuous,     // continuous trading
        ClosingAuction, // the closing auction, then trades at its price; the official close is set here
    };

    explicit MarketClock(MarketCalendar calendar = {});

    // Europe/Rome.
    static QTimeZone zone();
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

    MarketCalendar m_calendar;
};
