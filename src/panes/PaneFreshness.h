#pragma once

#include <QLocale>
#include <QString>
#include <QTime>

// What a pane's state label says: when the page was last brought up to date, that a refresh
// failed and since when the page shown is stale, or that a refresh was put off. Fed with the
// pane's events and the time each happened, so it needs no clock and no window.
class PaneFreshness final
{
public:
    enum class State {
        Unknown,  // nothing has loaded yet
        Fresh,    // the last load succeeded
        Stale,    // the last refresh failed; the page shown is the one loaded at since()
        Failed,   // a navigation failed; the pane shows the engine's error page
        PutOff,   // the automatic refresh waited for the user's typing
        Overdue,  // the cycle runs, yet the page shown is older than the cycle and a margin
        MarketClosed, // the cycle leaves the pane alone until the market reopens
    };

    void loaded(QTime at);
    void loadFailed(QTime at, const QString &reason, bool pageKept);
    void refreshPutOff(QTime at);
    // The automatic cycle's period in seconds while it runs, 0 while it is off.
    void setCycle(int seconds);
    // A reading of the clock: a page the cycle should have refreshed long ago is stale, for
    // whatever reason (put off, a machine that slept).
    void checkAge(QTime now);
    // Seconds until the page shown turns overdue; -1 when it cannot.
    int secondsToOverdue(QTime now) const;
    // The cycle leaves the pane alone while reopening ("riapre lunedì alle 9:00") is not
    // empty; a page is not overdue meanwhile, nor in its first cycle after the market opens.
    void setMarketClosed(QTime at, const QString &reopening);
    // Any zoom but 100 % is shown with the state: numbers read at the wrong zoom look odd.
    void setZoom(int percent) { m_zoom = percent; }

    State state() const;
    // The last successful load.
    QTime since() const { return m_loadedAt; }
    // Calm states are shown small and grey; the others plainly.
    bool needsAttention() const
    {
        return m_overdue || m_state == State::Stale || m_state == State::Failed;
    }

    QString text(const QLocale &locale = QLocale()) const;
    // The small mark a fresh page's label steps aside to; a zoom but 100 % stays in sight.
    QString mark() const;
    QString toolTip(const QLocale &locale = QLocale()) const;

private:
    QString stateText(const QLocale &locale) const;

    // Room for a site that answers slowly and a cycle tick that comes late.
    static constexpr int OverdueMarginS = 30;

    int m_zoom = 100;
    int m_cycle = 0;
    bool m_overdue = false;
    State m_state = State::Unknown;
    QTime m_loadedAt;
    QTime m_eventAt;
    // The moment the page's age counts from: its load, or the market's opening since.
    QTime m_ageFrom;
    QString m_reason;
    QString m_reopening;
};
