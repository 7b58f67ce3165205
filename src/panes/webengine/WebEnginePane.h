#pragma once

#include <QUrl>
#include <QWebEngineHistory>
#include <QWidget>

#include "panes/BrowserPane.h"
#include "panes/webengine/ChangeHighlight.h"
#include "panes/webengine/PageRecovery.h"
#include "panes/webengine/PaneState.h"
#include "panes/webengine/SilentPage.h"

class PendingRefresh;
class RecentInput;
class QWebEnginePage;
class QWebEngineProfile;
class QWebEngineView;
class ValueReader;

// The pane on the web engine. Its widget is a frame that holds the view shown and, while a
// refresh is prepared out of sight, a second view behind it.
class WebEnginePane final : public BrowserPane
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WebEnginePane)
public:
    WebEnginePane(QWebEngineProfile *profile, QWidget *parent);
    ~WebEnginePane() override = default;

    QWidget *widget() override { return m_frame; }

    void navigate(const QString &address) override;
    bool goBack() override { return travel(m_page->history()->canGoBack(), QWebEnginePage::Back); }
    bool goForward() override { return travel(m_page->history()->canGoForward(), QWebEnginePage::Forward); }
    void refresh(Refresh kind = Refresh::ByHand) override;
    void stop() override;
    QString locationUrl() const override
    {
        return (isCrashed() ? m_recovery->lostUrl() : m_page->url()).toString();
    }
    QString locationName() const override { return isCrashed() ? m_recovery->lostTitle() : m_page->title(); }
    void holdScrollTop(int pixels) override { setHeldOffset(qMax(0, pixels)); }
    void releaseScrollTop() override { setHeldOffset(-1); }
    void setHighlightChanges(bool on) override { m_changes->setEnabled(on); }
    void setFollowedPlaces(const QList<ValuePlace> &places) override;

    // The view and page shown now; a refresh that succeeds replaces both.
    QWebEngineView *view() const { return m_view; }
    SilentPage *page() const { return m_page; }
    // The page's render process died; the pane shows a notice until the next load.
    bool isCrashed() const { return m_state.isDead(); }
    bool isRefreshing() const { return m_pending != nullptr; }
    // How long a refresh waits for the site before it counts as failed.
    void setRefreshTimeout(int ms) { m_refreshTimeoutMs = ms; }
    // How recent a key in a page's field must be for the automatic refresh to wait.
    void setTypingWindow(int ms) { m_typingMs = ms; }

    // What changed since the last load of the same address, highlighted after every load.
    ChangeHighlight &changeHighlight() const { return *m_changes; }
    ValueReader &valueReader() const { return *m_values; }

    // The page's zoom in percent; refreshes keep it.
    int zoomPercent() const { return qRound(m_page->zoomFactor() * 100); }
    // The user's choice (the keys), kept for the page's site where the pane keeps zooms.
    void setZoomPercent(int percent);
    // How long a page's script may leave a question unanswered before the page counts as
    // frozen and its process is ended.
    void setFreezeTimeout(int ms) { m_recovery->setFreezeTimeout(ms); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using State = PaneState::State;
    using Event = PaneState::Event;
    void on(Event event) { m_state.on(event); }
    // Back or forward, when possible, as the user asked.
    bool travel(bool possible, int action);

    void attach(SilentPage *page);
    void shownLoadSettled(bool ok, const QString &reason);
    void startRefresh(Refresh kind);
    void putOff()
    {
        ++m_putOffInARow;
        emit refreshPutOff();
    }
    void showRefreshed();
    void abandonRefresh();
    void dropRefresh();
    void onFocusChanged(QWidget *old, QWidget *now)
    {
        if (owns(now) && !owns(old))
            emit gotFocus();
    }
    void showZoom(int percent);
    void setHeldOffset(int pixels);
    void scrolled();
    void pageDied();
    bool owns(const QWidget *widget) const { return widget && (widget == m_frame || m_frame->isAncestorOf(widget)); }
    // The shown page has loaded, whether or not a refresh is prepared behind it.
    bool standsLoaded() const { return m_state.is(State::Loaded); }

    // A user who types on through more cycles than this is shown fresh quotes anyway: the
    // refresh brings back what was typed into the page's fields.
    static constexpr int MaxPutOffInARow = 3;

    QWidget *m_frame;
    QWebEngineView *m_view;
    SilentPage *m_page;
    RecentInput *m_recentInput;
    ChangeHighlight *m_changes;
    PageRecovery *m_recovery;
    ValueReader *m_values;
    PendingRefresh *m_pending = nullptr;
    PaneState m_state;
    int m_refreshTimeoutMs = 30000;
    int m_typingMs;
    int m_putOffInARow = 0;
};
