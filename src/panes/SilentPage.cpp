#include "panes/SilentPage.h"

#include <QAuthenticator>
#include <QWebEngineCertificateError>
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
#include <QWebEnginePermission>
#endif

SilentPage::SilentPage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
{
    connect(this, &QWebEnginePage::certificateError, this, [](const QWebEngineCertificateError &error) {
        QWebEngineCertificateError refused = error;
        refused.rejectCertificate();
    });
    // Left unanswered, the engine retries with empty credentials dozens of times; a null
    // authenticator cancels the request at once.
    connect(this, &QWebEnginePage::authenticationRequired, this,
            [](const QUrl &, QAuthenticator *authenticator) { *authenticator = QAuthenticator(); });
    connect(this, &QWebEnginePage::proxyAuthenticationRequired, this,
            [](const QUrl &, QAuthenticator *authenticator, const QString &) { *authenticator = QAuthenticator(); });
    // Location, notifications, camera and the like: always no. Left unanswered, the page's
    // request would wait for ever.
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    connect(this, &QWebEnginePage::permissionRequested, this,
            [](QWebEnginePermission permission) { permission.deny(); });
#else
    connect(this, &QWebEnginePage::featurePermissionRequested, this,
            [this](const QUrl &origin, QWebEnginePage::Feature feature) {
                setFeaturePermission(origin, feature, QWebEnginePage::PermissionDeniedByUser);
            });
#endif
}

QWebEnginePage *SilentPage::createWindow(WebWindowType)
{
    // The engine drops a new-window request nobody answers. A throw-away page catches the
    // address the link or script asked for, and this pane opens it instead.
    auto *catcher = new QWebEnginePage(profile(), this);
    connect(catcher, &QWebEnginePage::urlChanged, this, [this, catcher](const QUrl &url) {
        if (url.isEmpty())
            return;
        // setUrl() here would bypass the engine's own rule that a web page cannot open a
        // local file; keep that rule for new windows too.
        if (!url.isLocalFile() || this->url().isLocalFile())
            setUrl(url);
        catcher->deleteLater();
    });
    return catcher;
}

QStringList SilentPage::chooseFiles(FileSelectionMode mode, const QStringList &oldFiles,
                                    const QStringList &acceptedMimeTypes)
{
    if (m_silent)
        return {};
    return QWebEnginePage::chooseFiles(mode, oldFiles, acceptedMimeTypes);
}

void SilentPage::javaScriptAlert(const QUrl &securityOrigin, const QString &msg)
{
    if (!m_silent)
        QWebEnginePage::javaScriptAlert(securityOrigin, msg);
}

bool SilentPage::javaScriptConfirm(const QUrl &securityOrigin, const QString &msg)
{
    return m_silent ? false : QWebEnginePage::javaScriptConfirm(securityOrigin, msg);
}

bool SilentPage::javaScriptPrompt(const QUrl &securityOrigin, const QString &msg, const QString &defaultValue,
                                  QString *result)
{
    return m_silent ? false : QWebEnginePage::javaScriptPrompt(securityOrigin, msg, defaultValue, result);
}
