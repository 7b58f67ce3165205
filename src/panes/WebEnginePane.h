#pragma once

#include <QUrl>

#include "panes/BrowserPane.h"

class ChangeHighlight;
class FreezeWatch;
class PendingRefresh;
class RecentInput;
class QTimer;
class QWebEngineNewWindowRequest;
class QWebEnginePage;
class QWebEngineProfile;
class QWebEngineView;
class SilentPage;
class ValueReader;

// The pane on the web engine. Its widget is a frame that holds the view shown and, while a
// refresh is prepared out of sight, a second view behind it.
class WebEnginePane final : public BrowserPane
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WebEnginePane)
public:
    WebEnginePane(QWebEngineProfile *profile, QWidget *parent);
    ~WebEnginePane() override;

    QWidget *widget() override;

    void setSilent(bool silent) override;
    bool isSilent() const override;
    void navigate(const QString &address) override;
    bool goBack() override;
    bool goForward() override;
    void refresh(Refresh kind = Refresh::ByHand) override;
    void stop() override;
    QString locationUrl() const override;
    QString locationName() const override;
    void holdScrollTop(int pixels) override;
    void releaseScrollTop() override;
    void setHighlightChanges(bool on) override;
    void setFollowedPlaces(const QList<ValuePlace> &places) override;

    // The view and page shown now; a refresh that succeeds replaces both.
    QWebEngineView *view() const { return m_view; }
    SilentPage *page() const { return m_page; }
    // The page's render process died; the pane shows a notice until the next load.
    bool isCrashed() const;
    bool isRefreshing() const { return m_pending != nullptr; }
    // How long a refresh waits for the site before it counts as failed.
    void setRefreshTimeout(int ms) { m_refreshTimeoutMs = ms; }

    // The user's last click or key press in the pane, to tell what the user asked for from
    // what a page does by itself.
    RecentInput &recentInput() const { return *m_recentInput; }
    // What changed since the last load of the same address, highlighted after every load.
    ChangeHighlight &changeHighlight() const { return *m_changes; }
    ValueReader &valueReader() const { return *m_values; }

    // The page's zoom in percent; refreshes keep it.
    int zoomPercent() const;
    void setZoomPercent(int percent);
    // How long a page's script may leave a question unanswered before the page counts as
    // frozen and its process is ended.
    void setFreezeTimeout(int ms);

    // The pane that shows page now; null for any other page, one prepared for a refresh too.
    static WebEnginePane *showing(const QWebEnginePage *page);
    void tellDownloaded(const QString &path) { emit downloaded(path); }
    void tellDownloadStopped(const QString &name, const QString &reason) { emit downloadStopped(name, reason); }

    // What navigate() makes of a text, relative names taken in folder; empty text gives
    // about:blank.
    static QUrl addressToUrl(const QString &address, const QString &folder);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void attach(SilentPage *page);
    void onNewWindowRequested(QWebEngineNewWindowRequest &request);
    void shownLoadSettled(bool ok, const QString &reason);
    void startRefresh();
    void showRefreshed();
    void abandonRefresh();
    void onFocusChanged(QWidget *old, QWidget *now);
    void setHeldOffset(int pixels);
    void scrolled();
    void showCrash();
    void endFrozen(QWebEnginePage *page, qint64 processId);
    bool owns(const QWidget *widget) const;

    // How long after the user's press a page's request still counts as the user's.
    static constexpr int AskedWithinMs = 2000;

    QWidget *m_frame;
    QWebEngineView *m_view;
    SilentPage *m_page;
    RecentInput *m_recentInput;
    ChangeHighlight *m_changes;
    ValueReader *m_values;
    PendingRefresh *m_pending = nullptr;
    FreezeWatch *m_freezeWatch;
    int m_refreshTimeoutMs = 30000;
    bool m_loading = false;
    bool m_lastLoadOk = false;
    bool m_swapping = false;
    bool m_crashed = false;
    bool m_endedFrozen = false;
    QUrl m_crashedUrl;
    QString m_crashedTitle;
};
