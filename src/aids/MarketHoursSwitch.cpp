#include "aids/MarketHoursSwitch.h"

#include <QAction>
#include <QTimer>

#include "panes/BrowserPane.h"

namespace {

constexpr qint64 LongestWaitMs = 60 * 1000;
// A timer that fires a moment early finds the old phase and comes back soon, never at once.
constexpr qint64 ShortestWaitMs = 1000;

} // namespace

MarketHoursSwitch::MarketHoursSwitch(BrowserPane &pane, ProgramSettings::Pane which, const Markets &markets,
                                     MarketId market, WallClock clock, QObject *parent)
    : QObject(parent)
    , m_action(new QAction(QStringLiteral("Aggiorna solo a mercato aperto"), this))
    , m_checkTimer(new QTimer(this))
    , m_markets(markets)
    , m_market(market)
    , m_now(orSystemClock(std::move(clock)))
{
    m_action->setObjectName(QStringLiteral("refreshOnlyWhileOpen"));
    m_action->setCheckable(true);
    m_action->setChecked(ProgramSettings::refreshOnlyWhileOpen(which));
    pane.addMenuAction(m_action);
    m_checkTimer->setSingleShot(true);
    connect(m_checkTimer, &QTimer::timeout, this, &MarketHoursSwitch::check);
    connect(m_action, &QAction::toggled, this, [this, which](bool on) {
        ProgramSettings::setRefreshOnlyWhileOpen(which, on);
        check();
    });
}

void MarketHoursSwitch::check()
{
    const QDateTime now = m_now();
    const MarketClock &market = m_markets.clock(m_market);
    const bool held = m_action->isChecked() && !market.isOpen(now);
    const QString reopening = held ? market.reopeningText(now) : QString();
    if (m_action->isChecked())
        m_checkTimer->start(int(qBound(ShortestWaitMs, now.msecsTo(market.nextChange(now)), LongestWaitMs)));
    else
        m_checkTimer->stop();
    if (held != m_held) {
        m_held = held;
        emit automaticRefreshHeld(held);
    }
    if (reopening != m_reopening) {
        m_reopening = reopening;
        emit reopeningChanged(reopening);
    }
}
