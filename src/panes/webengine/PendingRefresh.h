#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class ChangeHighlight;
class QTimer;
class QWebEngineView;
class QWidget;
class SilentPage;
class ValueReader;

// A refresh prepared out of sight: a second view and page of the same profile, behind the
// one shown, that carries its history and reloads its current entry. It reports ready()
// once the page has loaded without error, has its followed values read (ValueReader keeps
// them until the page is shown), has its changes highlighted, stands at the held offset and
// holds what the user typed into the shown page's fields, so that its first frame on screen
// shows all of it; or failed() with the reason, once either way; the shown page is never
// touched. Until takeView(), it owns what it made. Its signals come from inside the engine's:
// delete it later, never in a slot.
class PendingRefresh final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PendingRefresh)
public:
    // The steps in their order; each starts when the one before is done.
    enum class Step {
        Loading,    // the site is asked again
        Reading,    // the followed values are read
        Comparing,  // the changes are highlighted
        Settling,   // the page comes to the held offset
        Carrying,   // what was typed into the shown page's fields is put into it
        Ready,
        Failed,
    };

    // A site that has not answered within timeoutMs has failed.
    PendingRefresh(SilentPage &shown, QWidget &frame, ChangeHighlight &changes, ValueReader &values,
                   int timeoutMs, QObject *parent = nullptr);
    ~PendingRefresh() override;

    SilentPage *page() const { return m_page; }
    // The zoom the page is shown at; the shown page's until told otherwise.
    void setZoomFactor(qreal factor);
    Step step() const { return m_step; }
    // Hands the view (with its page) over to the caller.
    QWebEngineView *takeView();

signals:
    void ready();
    void failed(const QString &reason);
    void progress(int percent);

private:
    // The one place the step changes: from the step just done to the next, or to Failed from
    // any step. An answer late for its step (a scroll after the swap, a deadline) changes
    // nothing, and Ready and Failed are final.
    void moveOn(Step from, Step to, const QString &reason = QString());
    void done(Step step) { moveOn(step, Step(int(step) + 1)); }
    void fail(const QString &reason) { moveOn(m_step, Step::Failed, reason); }
    void settle();
    void carryTypedFields();

    // Also a child of the pane's frame: a window closed during a refresh may delete it first.
    QPointer<QWebEngineView> m_view;
    QPointer<SilentPage> m_shown;
    SilentPage *m_page;
    ChangeHighlight &m_changes;
    ValueReader &m_values;
    QTimer *m_timeout;
    QTimer *m_offsetDeadline;
    qreal m_zoom;
    Step m_step = Step::Loading;
};
