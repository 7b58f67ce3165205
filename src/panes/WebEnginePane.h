#pragma once

#include <QElapsedTimer>
#include <QUrl>

#include "panes/BrowserPane.h"

class QWebEngineProfile;
class QTimer;
class QWebEngineView;
class SilentPage;

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
    void refresh() override;
    void stop() override;
    QString locationUrl() const override;
    QString locationName() const override;
    void setScrollTop(int pixels) override;

    QWebEngineView *view() const { return m_view; }
    // The page's render process died; the pane shows a notice until the next load.
    bool isCrashed() const;
    SilentPage *page() const { return m_page; }

    // What navigate() makes of a text; empty text gives about:blank.
    static QUrl addressToUrl(const QString &address);

private:
    void onFocusChanged(QWidget *old, QWidget *now);
    void setEarlyOffset(int pixels);
    bool standsAt(int pixels) const;
    void showCrash();

    static constexpr int HoldExpiryMs = 500;
    // After a load the engine's reported position may still be the old page's; and
    // whatever it reports, the offset is written again at least this often.
    static constexpr int LoadSettleMs = 1000;
    static constexpr int RewriteMs = 5000;
    bool owns(const QWidget *widget) const;

    QWebEngineView *m_view;
    SilentPage *m_page;
    QTimer *m_holdExpiry = nullptr;
    int m_earlyOffset = -1;
    bool m_loading = false;
    QElapsedTimer m_sinceLoad;
    QElapsedTimer m_sinceWrite;
    bool m_crashed = false;
    QUrl m_crashedUrl;
    QString m_crashedTitle;
};
