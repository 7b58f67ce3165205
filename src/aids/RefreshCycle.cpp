#include "aids/RefreshCycle.h"

#include "common/Format.h"

void RefreshCycle::reset(qint16 seconds)
{
    m_countdown = seconds;
    m_period = seconds;
}

QString RefreshCycle::toggle()
{
    m_running = !m_running;
    // The ticks stood still while it was off; that was no sleep.
    m_lastTickAt = -1;
    return m_running ? QStringLiteral("Off") : QStringLiteral("Auto");
}

RefreshCycle::Tick RefreshCycle::tick(qint64 wallClockMs)
{
    const bool slept = wallClockMs >= 0 && m_lastTickAt >= 0 && wallClockMs - m_lastTickAt > SleptAfterMs;
    m_lastTickAt = wallClockMs;
    if (slept) {
        m_countdown = m_period;
        return {QStringLiteral("000"), true};
    }
    // 16-bit arithmetic as the countdown has always had; it cannot wrap, since it is
    // reloaded on reaching 1 and the periods are small.
    m_countdown = static_cast<qint16>(m_countdown - 1);
    Tick result{Format::format(m_countdown, QStringLiteral("000")), false};
    if (m_countdown == 1) {
        result.label = QStringLiteral("000");
        result.refresh = true;
        m_countdown = m_period;
    }
    return result;
}

void RefreshCycle::choose(qint16 seconds)
{
    m_period = seconds;
    m_countdown = seconds;
}
