#pragma once

#include <functional>

#include <QDeadlineTimer>
#include <QPointer>
#include <QWebEnginePage>

#include "panes/BrowserPane.h"
#include "panes/webengine/AskRule.h"
#include "panes/webengine/HoldScripts.h"
#include "panes/webengine/RecentInput.h"
#include "panes/webengine/TypingProbe.h"

class QAuthenticator;
class QWebEngineLoadingInfo;
class QWebEngineNewWindowRequest;

// Decisions about what a page may do live here; the view only shows. Nothing a page does by
// itself can open a dialog or block the window: a quote page left running for hours must
// never wait for somebody to press OK. What the user has just asked for (a click on a button
// that asks "sure?", a file field, a page behind a login) is asked in Italian over the
// window; never while the page is being refreshed. A page read in the background asks
// nobody anything and plays no sound: whatever it asks is refused quietly and the page goes
// on, as a shown page's would; only a sign-in, which leaves the site's refusal in the page's
// place, is reported.
class SilentPage final : public QWebEnginePage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SilentPage)
public:
    enum class Mode { Shown, Background };
    SilentPage(QWebEngineProfile *profile, QObject *parent, Mode mode = Mode::Shown);

    bool isBackground() const { return m_mode == Mode::Background; }

    // Keeps the document shown, and every document this page loads from its creation on, at
    // a vertical offset of pixels; -1 lets go at once.
    void setHeldOffset(int pixels) { m_hold.hold(pixels); }
    int heldOffset() const { return m_hold.offset(); }

    // The program is about to take the page elsewhere because the user asked: a "leave this
    // page?" question from the page in the next moments is answered "leave".
    void leaveOnRequest();

    // The user's presses in the pane, which tell a question the user asked for from one the
    // page puts by itself. A page without them (a refresh prepared out of sight) never asks.
    void setRecentInput(RecentInput *input);
    RecentInput *recentInput() const { return m_input; }

    // How the pane that shows this page hears of the downloads the page starts: saved at
    // path, or stopped with nothing kept. Kept by whoever follows a download, so that the
    // pane still hears of it after a refresh replaced this page. A page no pane shows has
    // none, and its downloads are refused.
    struct DownloadReport
    {
        std::function<void(const QString &path)> saved;
        std::function<void(const QString &name, const QString &reason)> stopped;
    };
    void setDownloadReport(DownloadReport report) { m_downloadReport = std::move(report); }
    // The report that ends in pane's signals, while the pane lives.
    static DownloadReport reportTo(BrowserPane *pane);
    const DownloadReport &downloadReport() const { return m_downloadReport; }
    // Who wants the load that starts next: the user (GO, Home, back) may be asked for a
    // login; a refresh never is.
    void loadAskedByUser() { expectLoad(AskRule::Load::ByUser); }
    void loadForRefresh() { expectLoad(AskRule::Load::ForRefresh); }
    // A question of the page is open over the window, and the page waits inside it.
    bool isAsking() const { return m_asking; }

    // In the background, refuses ask (a login with signInRefused) and answers true; a shown
    // page decides for itself.
    bool refuseInBackground(AskRule::Ask ask);

    // Answers whether the user pressed a key in a field of the page to type into within the
    // last ms milliseconds.
    void askIfTyping(int ms, std::function<void(bool)> answer) { m_typing.ask(ms, std::move(answer)); }

signals:
    // The main frame's load ended: ok, or why not in words for people.
    void loadSettled(bool ok, const QString &reason);
    // The user clicked a link or button that asks for a new window on address.
    void newWindowAsked(const QString &address);
    // A line the page, or a script of the program's, wrote to the console.
    void consoleMessage(const QString &message);
    // A page in the background asked for a sign-in (the site's or a proxy's), which only a user
    // could give: what loads now is the site's refusal, not the page.
    void signInRefused();

protected:
    QStringList chooseFiles(FileSelectionMode mode, const QStringList &oldFiles,
                            const QStringList &acceptedMimeTypes) override;
    void javaScriptAlert(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptConfirm(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptPrompt(const QUrl &securityOrigin, const QString &msg, const QString &defaultValue,
                          QString *result) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &, int, const QString &) override;

private:
    void settle(const QWebEngineLoadingInfo &info);
    void decideNewWindow(QWebEngineNewWindowRequest &request);
    void expectLoad(AskRule::Load load);
    AskRule::Load currentLoad() const { return m_loadUntil.hasExpired() ? AskRule::Load::Neither : m_load; }
    bool userWants(AskRule::Ask ask);
    template<typename Question>
    auto asking(Question question);
    QWidget *window() const;
    void askLogin(const QUrl &url, QAuthenticator *authenticator);

    const Mode m_mode;
    TypingProbe m_typing;
    HoldScripts m_hold;
    bool m_asking = false;
    QPointer<RecentInput> m_input;
    DownloadReport m_downloadReport;
    AskRule::Load m_load = AskRule::Load::Neither;
    QDeadlineTimer m_loadUntil;
    QDeadlineTimer m_leaveUntil;
};
