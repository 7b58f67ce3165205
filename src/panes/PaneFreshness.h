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
    };

    void loaded(QTime at);
    void loadFailed(QTime at, const QString &reason, bool pageKept);
    void refreshPutOff(QTime at);
    // Any zoom but 100 % is shown with the state: numbers read at the wrong zoom look odd.
    void setZoom(int percent) { m_zoom = percent; }

    State state() const { return m_state; }
    // The last successful load.
    QTime since() const { return m_loadedAt; }
    // Calm states are shown small and grey; the others plainly.
    bool needsAttention() const { return m_state == State::Stale || m_state == State::Failed; }

    QString text(const QLocale &locale = QLocale()) const;
    QString toolTip(const QLocale &locale = QLocale()) const;

private:
    QString stateText(const QLocale &locale) const;

    int m_zoom = 100;
    State m_state = State::Unknown;
    QTime m_loadedAt;
    QTime m_eventAt;
    QString m_reason;
};
