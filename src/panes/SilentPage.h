#pragma once

#include <functional>

#include <QDeadlineTimer>
#include <QWebEnginePage>

class QWebEngineLoadingInfo;

// Decisions about what a page may do live here; the view only shows. While silent, nothing
// a page does can open a dialog or block the window: a quote page left running for hours
// must never wait for somebody to press OK.
class SilentPage final : public QWebEnginePage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SilentPage)
public:
    SilentPage(QWebEngineProfile *profile, QObject *parent);

    void setSilent(bool silent) { m_silent = silent; }
    bool isSilent() const { return m_silent; }

    // Puts every document this page loads at pixels as soon as it is ready, and again at its
    // "load"; -1 leaves documents where they open.
    void setEarlyOffset(int pixels);
    int earlyOffset() const { return m_earlyOffset; }

    // The program is about to take the page elsewhere because the user asked: a "leave this
    // page?" question from the page in the next moments is answered "leave".
    void leaveOnRequest();

    // Answers whether the keyboard focus is in a field of the page that the user has changed
    // since the page loaded. Asked of the page's process, so the answer comes later.
    void askIfTyping(std::function<void(bool)> answer);

signals:
    // The main frame's load ended: ok, or why not in words for people.
    void loadSettled(bool ok, const QString &reason);

protected:
    QStringList chooseFiles(FileSelectionMode mode, const QStringList &oldFiles,
                            const QStringList &acceptedMimeTypes) override;
    void javaScriptAlert(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptConfirm(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptPrompt(const QUrl &securityOrigin, const QString &msg, const QString &defaultValue,
                          QString *result) override;

private:
    void settle(const QWebEngineLoadingInfo &info);

    bool m_silent = false;
    int m_earlyOffset = -1;
    QDeadlineTimer m_leaveUntil;
};
