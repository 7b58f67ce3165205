#include "market/MarketClock.h"

#include <algorithm>

#include <QLocale>

namespace {

// The equity market's day, Italy's time. Continuous trading 9:00 to 17:30, the closing
// auction 17:30 to 17:35, then trades at the auction's price until 17:40:
//   https://www.italiaunita150.it/apertura-della-borsa-di-milano/ "Apertura della Borsa di
//   Milano" (Mercato Euronext Milan: continua 9.00-17.30, asta di chiusura 17.30-17.35, then
//   "negoziazione al prezzo di asta di chiusura", there until 17.42);
//   https://www.money.it/Borsa-Italiana-cambia-l-orario-di "Borsa Italiana, cambia l'orario di
//   chiusura dal 23 novembre: tutte le informazioni" (continuous trading ends at 17:30 since 2015);
//   https://docs.rs/crate/exchange-hours/0.2.2/source/src/calendar/profiles/equities_eu/euronext.rs
//   "exchange-hours 0.2.2", quoting Euronext's cash-market documentation for Milan since its move
//   to Euronext's platform: the uncrossing falls between 17:35:00 and 17:35:30, trading at last
//   until 17:40:00.
// The pages that show a quote have the official close by the end of the last phase, so the
// market counts as open until then: a refresh in those minutes reads the close.
} // namespace

MarketClock::Hours MarketClock::borsaItaliana()
{
    return {zone(), QTime(9, 0), QTime(17, 30), QTime(17, 35), QTime(17, 40)};
}

MarketClock::MarketClock(MarketCalendar calendar, Hours hours)
    : m_calendar(std::move(calendar))
    , m_hours(std::move(hours))
{
}

bool MarketClock::trades(QDate day) const
{
    return m_hours.alwaysOpen ? day.isValid() : m_calendar.isTradingDay(day);
}

QTime MarketClock::endOf(QDate day) const
{
    const QTime early = m_calendar.earlyClose(day);
    return early.isValid() && early < m_hours.lastPhaseEnd ? early : m_hours.lastPhaseEnd;
}

QTimeZone MarketClock::zone()
{
    static const QTimeZone rome("Europe/Rome");
    return rome;
}

QDateTime MarketClock::at(QDate day, QTime time) const
{
    return QDateTime(day, time, m_hours.zone);
}

MarketClock::Phase MarketClock::phaseAt(const QDateTime &at) const
{
    if (m_hours.alwaysOpen)
        return Phase::Continuous;
    const QDateTime local = at.toTimeZone(m_hours.zone);
    if (!trades(local.date()))
        return Phase::Closed;
    const QTime time = local.time();
    const QTime end = endOf(local.date());
    if (time < m_hours.opening || time >= end)
        return Phase::Closed;
    return time < std::min(m_hours.auctionStart, end) ? Phase::Continuous : Phase::ClosingAuction;
}

QDateTime MarketClock::nextOpening(const QDateTime &at) const
{
    if (m_hours.alwaysOpen)
        return at;
    const QDateTime local = at.toTimeZone(m_hours.zone);
    QDate day = local.date();
    if (local.time() >= m_hours.opening)
        day = day.addDays(1);
    // Ends: past the calendar's last year every weekday trades.
    while (day.isValid() && !trades(day))
        day = day.addDays(1);
    return day.isValid() ? this->at(day, m_hours.opening) : QDateTime();
}

QDateTime MarketClock::nextChange(const QDateTime &at) const
{
    const QDate day = dayOf(at);
    if (m_hours.alwaysOpen)
        return QDateTime(day.addDays(1), QTime(0, 0), m_hours.zone);
    switch (phaseAt(at)) {
    case Phase::Continuous:
        return this->at(day, std::min(m_hours.auctionStart, endOf(day)));
    case Phase::ClosingAuction:
        return this->at(day, endOf(day));
    case Phase::Closed:
        break;
    }
    return nextOpening(at);
}

QString MarketClock::reopeningText(const QDateTime &at) const
{
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    const QDateTime opening = nextOpening(at);
    const qint64 days = at.toTimeZone(opening.timeZone()).date().daysTo(opening.date());
    QString when;
    if (days == 0)
        when = QStringLiteral("oggi");
    else if (days == 1)
        when = QStringLiteral("domani");
    else if (days < 7)
        when = italian.dayName(opening.date().dayOfWeek());
    else
        when = italian.toString(opening.date(), QStringLiteral("dddd d MMMM"));
    return QStringLiteral("riapre %1 alle %2").arg(when, opening.time().toString(QStringLiteral("H:mm")));
}

QDateTime MarketClock::closeOf(QDate day) const
{
    // Every reading of a day that never closes is its close until the next one: the last before
    // midnight is the close, never an estimate.
    if (m_hours.alwaysOpen)
        return day.isValid() ? day.startOfDay(m_hours.zone) : QDateTime();
    if (!trades(day))
        return {};
    const QTime early = m_calendar.earlyClose(day);
    return at(day, early.isValid() && early < m_hours.officialClose ? early : m_hours.officialClose);
}

QDate MarketClock::previousTradingDay(QDate day) const
{
    QDate before = day.addDays(-1);
    // Ends: before the calendar's first year every weekday trades.
    while (before.isValid() && !trades(before))
        before = before.addDays(-1);
    return before;
}
