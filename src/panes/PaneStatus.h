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
// shows no dialog that would tell of it.
class PaneStatus final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PaneStatus)
public:
    explicit PaneStatus(BrowserPane &pane, QObject *parent = nullptr);

    const PaneFreshness &freshness() const { return m_freshness; }
    QLabel *label() const { return m_label; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showState();
    void showNotice(const QString &text, const QString &toolTip);
    void showProgress(int percent);
    void place();

    QWidget *m_pane;
    QLabel *m_label;
    QWidget *m_progress;
    int m_percent = 100;
    QTimer *m_noticeTime;
    QString m_notice;
    QString m_noticeToolTip;
    PaneFreshness m_freshness;
};
