#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include "panes/ValueReading.h"

class ChangeHighlight;
class QTimer;
class QWebEngineView;
class QWidget;
class SilentPage;
class ValueReader;

// A refresh prepared out of sight: a second view and page of the same profile, behind the
// one shown, that carries its history and reloads its current entry. It reports ready()
// once the page has loaded without error, has its changes highlighted, stands at the held
// offset and holds what the user typed into the shown page's fields, so that its first frame
// on screen shows all of it; or failed() with the
// reason, once either way; the shown page is never touched. Until takeView(), it owns what
// it made. Its signals come from inside the engine's: delete it later, never in a slot.
class PendingRefresh final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PendingRefresh)
public:
    // A site that has not answered within timeoutMs has failed.
    PendingRefresh(SilentPage &shown, QWidget &frame, ChangeHighlight &changes, ValueReader &values,
                   int timeoutMs, QObject *parent = nullptr);
    ~PendingRefresh() override;

    SilentPage *page() const { return m_page; }
    // Hands the view (with its page) over to the caller.
    QWebEngineView *takeView();
    // The followed values as the prepared page shows them, read before ready().
    QList<ValueReading> readings() const { return m_readings; }


signals:
    void ready();
    void failed(const QString &reason);
    void progress(int percent);

private:
    void loaded(bool ok, const QString &reason);
    void readyWhenAtOffset();
    void carryTypedFields();
    void finish(bool ok, const QString &reason);

    // Also a child of the pane's frame: a window closed during a refresh may delete it first.
    QPointer<QWebEngineView> m_view;
    QPointer<SilentPage> m_shown;
    SilentPage *m_page;
    ChangeHighlight &m_changes;
    ValueReader &m_values;
    QList<ValueReading> m_readings;
    QTimer *m_timeout;
    QTimer *m_offsetDeadline;
    bool m_carrying = false;
    bool m_finished = false;
};
