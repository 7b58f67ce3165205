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

    // wallClockMs: the wall clock at this tick, in milliseconds since the epoch; -1 for none.
    // A tick that finds the clock far ahead of the last one comes after the machine slept,
    // while the countdown stood still: the refresh is due at once.
    Tick tick(qint64 wallClockMs = -1);

    // An interval option: period and countdown both take the new value.
    void choose(qint16 seconds);

    qint16 countdown() const { return m_countdown; }
    qint16 period() const { return m_period; }

private:
    // Far more than a late tick of a loaded machine.
    static constexpr qint64 SleptAfterMs = 10000;

    qint64 m_lastTickAt = -1;
    qint16 m_countdown = DefaultPeriod;
    qint16 m_period = DefaultPeriod;
    bool m_running = false;
};
