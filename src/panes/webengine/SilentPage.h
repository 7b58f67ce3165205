#pragma once

#include <functional>

#include <QDeadlineTimer>
#include <QPointer>
#include <QWebEnginePage>

#include "panes/BrowserPane.h"
#include "panes/webengine/RecentInput.h"

class QAuthenticator;
class QWebEngineLoadingInfo;
class QWebEngineNewWindowRequest;

// Decisions about what a page may do live here; the view only shows. While silent, nothing
// a page does by itself can open a dialog or block the window: a quote page left running for
// hours must never wait for somebody to press OK. What the user has just asked for (a click
// on a button that asks "sure?", a file field, a page behind a login) is asked in Italian
// over the window; never while the page is being refreshed.
class SilentPage final : public QWebEnginePage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SilentPage)
public:
    SilentPage(QWebEngineProfile *profile, QObject *parent);

    void setSilent(bool silent) { m_silent = silent; }
    bool isSilent() const { return m_silent; }

    // Keeps the document shown, and every document this page loads from its creation on, at
    // a vertical offset of pixels; -1 lets go at once.
    void setHeldOffset(int pixels);
    int heldOffset() const { return m_heldOffset; }

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
    void loadAskedByUser();
    void loadForRefresh();
    // A question of the page is open over the window, and the page waits inside it.
    bool isAsking() const { return m_asking; }

    // Answers whether the user pressed a key in a field of the page to type into (a text box,
    // an editable text, never a list or a box to tick) within the last ms milliseconds. Asked
    // of the page's process, so the answer comes later.
    void askIfTyping(int ms, std::function<void(bool)> answer);

signals:
    // The main frame's load ended: ok, or why not in words for people.
    void loadSettled(bool ok, const QString &reason);
    // The user clicked a link or button that asks for a new window on address.
    void newWindowAsked(const QString &address);
    // A line the page, or a script of the program's, wrote to the console.
    void consoleMessage(const QString &message);

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
    bool userWantsQuestion();
    template<typename Question>
    auto asking(Question question);
    QWidget *window() const;
    void askLogin(const QUrl &url, QAuthenticator *authenticator);

    bool m_silent = false;
    bool m_asking = false;
    QPointer<RecentInput> m_input;
    DownloadReport m_downloadReport;
    QDeadlineTimer m_userLoadUntil;
    QDeadlineTimer m_refreshUntil;
    int m_heldOffset = -1;
    QDeadlineTimer m_leaveUntil;
};
