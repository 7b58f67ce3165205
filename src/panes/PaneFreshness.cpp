#include "panes/PaneFreshness.h"

#include "common/Format.h"

namespace {

QString clock(QTime time, const QLocale &locale)
{
    return Format::formatTime(time, QStringLiteral("hh:mm:ss"), locale);
}

// The clock has no date: a page loaded before midnight is read after it.
int secondsFrom(QTime from, QTime to)
{
    const int seconds = from.secsTo(to);
    return seconds < 0 ? seconds + 24 * 3600 : seconds;
}

} // namespace

void PaneFreshness::loaded(QTime at)
{
    m_state = State::Fresh;
    m_overdue = false;
    m_loadedAt = at;
    m_eventAt = at;
    m_ageFrom = at;
    m_reason.clear();
}

void PaneFreshness::loadFailed(QTime at, const QString &reason, bool pageKept)
{
    // A refresh that fails while the page is already stale keeps the time it went stale from.
    m_state = pageKept && m_loadedAt.isValid() ? State::Stale : State::Failed;
    m_overdue = false;
    m_eventAt = at;
    m_reason = reason;
}

void PaneFreshness::refreshPutOff(QTime at)
{
    // Typing does not make a stale page any fresher: keep saying it is stale.
    if (m_state == State::Stale)
        return;
    m_state = State::PutOff;
    m_eventAt = at;
}

void PaneFreshness::setCycle(int seconds)
{
    m_cycle = qMax(0, seconds);
    if (!m_cycle)
        m_overdue = false;
}

void PaneFreshness::setMarketClosed(QTime at, const QString &reopening)
{
    if (reopening.isEmpty() && !m_reopening.isEmpty() && m_ageFrom.isValid())
        m_ageFrom = at;
    m_reopening = reopening;
    m_overdue = false;
}

PaneFreshness::State PaneFreshness::state() const
{
    // A failure stays an alarm: nothing will retry before the market opens.
    if (!m_reopening.isEmpty() && m_state != State::Stale && m_state != State::Failed)
        return State::MarketClosed;
    return m_overdue ? State::Overdue : m_state;
}

int PaneFreshness::secondsToOverdue(QTime now) const
{
    if (!m_cycle || !m_reopening.isEmpty() || !m_ageFrom.isValid()
        || (m_state != State::Fresh && m_state != State::PutOff))
        return -1;
    return qMax(0, m_cycle + OverdueMarginS - secondsFrom(m_ageFrom, now));
}

void PaneFreshness::checkAge(QTime now)
{
    m_overdue = secondsToOverdue(now) == 0;
}

QString PaneFreshness::text(const QLocale &locale) const
{
    const QString state = stateText(locale);
    if (m_zoom == 100)
        return state;
    const QString zoom = QStringLiteral("zoom %1 %").arg(m_zoom);
    return state.isEmpty() ? zoom : state + QStringLiteral(" \u00b7 ") + zoom;
}

QString PaneFreshness::mark() const
{
    const QString check(QChar(0x2713));
    return m_zoom == 100 ? check : check + QStringLiteral(" %1 %").arg(m_zoom);
}

QString PaneFreshness::stateText(const QLocale &locale) const
{
    switch (state()) {
    case State::Unknown:
        return QString();
    case State::Fresh:
        return QStringLiteral("Aggiornata alle %1").arg(clock(m_loadedAt, locale));
    case State::Stale:
    case State::Overdue:
        return QStringLiteral("Non aggiornata dalle %1").arg(clock(m_loadedAt, locale));
    case State::Failed:
        return QStringLiteral("Pagina non caricata");
    case State::PutOff:
        return QStringLiteral("Aggiornamento rinviato");
    case State::MarketClosed:
        return QStringLiteral("Mercato chiuso: %1").arg(m_reopening);
    }
    return QString();
}

QString PaneFreshness::toolTip(const QLocale &locale) const
{
    switch (state()) {
    case State::Unknown:
        return QString();
    case State::Overdue:
        if (m_state == State::PutOff)
            return QStringLiteral("L'aggiornamento automatico delle %1 \u00e8 stato rinviato: si stava scrivendo "
                                  "nella pagina. Resta la pagina delle %2.")
                .arg(clock(m_eventAt, locale), clock(m_loadedAt, locale));
        return QStringLiteral("Nessun aggiornamento dalle %1, bench\u00e9 l'aggiornamento automatico sia ogni %2 "
                              "secondi (il computer era forse in sospensione).")
            .arg(clock(m_loadedAt, locale))
            .arg(m_cycle);
    case State::Fresh:
        return QStringLiteral("Pagina caricata alle %1").arg(clock(m_loadedAt, locale));
    case State::Stale:
        return QStringLiteral("L'aggiornamento delle %1 non \u00e8 riuscito (%2): resta la pagina delle %3. "
                              "Il prossimo aggiornamento riprover\u00e0.")
            .arg(clock(m_eventAt, locale), m_reason, clock(m_loadedAt, locale));
    case State::Failed:
        return QStringLiteral("Caricamento delle %1 non riuscito: %2").arg(clock(m_eventAt, locale), m_reason);
    case State::PutOff:
        return QStringLiteral("Aggiornamento automatico delle %1 rinviato: si sta scrivendo nella pagina. "
                              "Il prossimo ciclo riprover\u00e0.")
            .arg(clock(m_eventAt, locale));
    case State::MarketClosed:
        if (!m_loadedAt.isValid())
            return QStringLiteral("L'aggiornamento automatico riprende all'apertura del mercato.");
        return QStringLiteral("L'aggiornamento automatico riprende all'apertura del mercato. Pagina caricata alle %1.")
            .arg(clock(m_loadedAt, locale));
    }
    return QString();
}
