#pragma once

#include <QObject>

#include "panes/PaneFreshness.h"

class BrowserPane;
class QLabel;
class QTimer;
class QWidget;

// The state label in the bottom right corner of a pane, over the page, and the thin progress
// line along its top edge while a page loads. Both ignore the mouse, so the page under them
// keeps every click, and neither moves a control of the window. Nothing here runs while the
// pane is at rest. A download's outcome takes the label for a few seconds, since the program
// shows no dialog that would tell of it. A fresh page's label steps aside after a few seconds,
// to a small mark in the corner that gives the full text back on hover: a quote table as wide
// as the pane has its last cells there. Alarms never step aside.
class PaneStatus final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PaneStatus)
public:
    explicit PaneStatus(BrowserPane &pane, QObject *parent = nullptr);

    const PaneFreshness &freshness() const { return m_freshness; }
    QLabel *label() const { return m_label; }

    // The automatic cycle's period in seconds while it runs, 0 while it is off: a page older
    // than that and a margin is shown as stale.
    void setCycle(int seconds);
    // "riapre lunedì alle 9:00" while the cycle leaves the pane alone for a closed market;
    // empty when it no longer does.
    void setMarketClosed(const QString &reopening);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showState();
    void showNotice(const QString &text, const QString &toolTip);
    void showProgress(int percent);
    void stepAside();
    void place();

    QWidget *m_pane;
    QLabel *m_label;
    QLabel *m_mark;
    QWidget *m_progress;
    int m_percent = 100;
    bool m_loading = false;
    QTimer *m_asideTime;
    QTimer *m_overdueTime;
    QTimer *m_noticeTime;
    QString m_notice;
    QString m_noticeToolTip;
    PaneFreshness m_freshness;
};
