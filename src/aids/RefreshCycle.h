#pragma once

#include <QString>
#include <QtGlobal>

// The automatic refresh cycle, driven by explicit one-second ticks. The countdown is loaded
// with the period and counted down; the refresh fires on the tick at which it reaches 1, so
// a period of N seconds refreshes every N - 1 seconds, as users of the program know it.
class RefreshCycle final
{
public:
    struct Tick
    {
        QString label;  // what the countdown label shows after the tick
        bool refresh;   // the chosen panes are to be refreshed now
    };

    static constexpr qint16 DefaultPeriod = 120;

    void reset(qint16 seconds = DefaultPeriod);

    bool isRunning() const { return m_running; }
    // Switches the cycle on or off; returns the toggle's new caption, which names the
    // next action: "Off" while running, "Auto" while stopped. The countdown is kept.
    QString toggle();

    Tick tick();

    // An interval option: period and countdown both take the new value.
    void choose(qint16 seconds);

    qint16 countdown() const { return m_countdown; }
    qint16 period() const { return m_period; }

private:
    qint16 m_countdown = DefaultPeriod;
    qint16 m_period = DefaultPeriod;
    bool m_running = false;
};
