#include "panes/SilentPage.h"

#include <QAuthenticator>
#include <QCoreApplication>
#include <QRegularExpression>
#include <QWebEngineCertificateError>
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
#include <QWebEnginePermission>
#endif
#include <QWebEngineLoadingInfo>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace {

const QString HoldScriptName = QStringLiteral("quovadex-hold");

// How long after the program starts a navigation a "leave this page?" is taken as the
// page's answer to it rather than to something of its own.
constexpr int LeaveWindowMs = 5000;

// Chromium's network error numbers that people meet most, in their words.
QString networkFailure(int code, const QString &engineText)
{
    switch (code) {
    case -7:
    case -118:
        return QStringLiteral("il sito non ha risposto in tempo");
    case -102:
        return QStringLiteral("connessione rifiutata");
    case -105:
    case -137:
        return QStringLiteral("indirizzo del sito non trovato");
    case -106:
        return QStringLiteral("nessuna connessione a Internet");
    case -100:
    case -101:
    case -324:
    case -354:
    case -355:
        return QStringLiteral("connessione interrotta, pagina incompleta");
    default:
        break;
    }
    // The engine's text comes as markup meant for its error page.
    QString text = engineText;
    text.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    text = text.simplified();
    return text.isEmpty() ? QStringLiteral("errore %1").arg(code) : QStringLiteral("%1 (errore %2)").arg(text).arg(code);
}

} // namespace

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
    connect(this, &QWebEnginePage::loadingChanged, this, &SilentPage::settle);
    // Whether the user has typed into the page since it loaded; kept in the program's own
    // script world, where the page can neither read nor fake it.
    QWebEngineScript typing;
    typing.setName(QStringLiteral("quovadex-typing"));
    typing.setInjectionPoint(QWebEngineScript::DocumentCreation);
    typing.setWorldId(QWebEngineScript::ApplicationWorld);
    typing.setRunsOnSubFrames(false);
    typing.setSourceCode(QStringLiteral(
        "document.addEventListener('input',function(e){if(e.isTrusted)window.__quovadexTyped=true;},true);"));
    scripts().insert(typing);
    // The engine refuses a window asked for without a click (see WebEngineEnvironment), but
    // each refusal still leaves a few kilobytes in the program's process for good: a page
    // asking twenty times a second grew it by 8 MB a minute (Qt 6.4). Refused in the page,
    // the request never leaves it. The page can undo this; then the engine's refusal holds.
    QWebEngineScript popUps;
    popUps.setName(QStringLiteral("quovadex-popups"));
    popUps.setInjectionPoint(QWebEngineScript::DocumentCreation);
    popUps.setWorldId(QWebEngineScript::MainWorld);
    popUps.setRunsOnSubFrames(true);
    popUps.setSourceCode(QStringLiteral(
        "(function(){var open=window.open,a=navigator.userActivation;if(!open||!a)return;"
        "window.open=function(){return a.isActive?open.apply(window,arguments):null;};})();"));
    scripts().insert(popUps);
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
    // The engine asks "leave this page?" through here too, with this text of its own.
    // Answered "stay" while the user asked to go, a page with that question would keep every
    // refresh and GO from working. A page's own confirm() stays silent.
    static const QString leaveQuestion = QCoreApplication::translate(
        "QWebEnginePage", "Are you sure you want to leave this page? Changes that you made may not be saved.");
    if (msg == leaveQuestion && !m_leaveUntil.hasExpired())
        return true;
    return m_silent ? false : QWebEnginePage::javaScriptConfirm(securityOrigin, msg);
}

bool SilentPage::javaScriptPrompt(const QUrl &securityOrigin, const QString &msg, const QString &defaultValue,
                                  QString *result)
{
    return m_silent ? false : QWebEnginePage::javaScriptPrompt(securityOrigin, msg, defaultValue, result);
}

void SilentPage::setEarlyOffset(int pixels)
{
    if (pixels == m_earlyOffset)
        return;
    m_earlyOffset = pixels;
    QWebEngineScriptCollection &collection = scripts();
    for (const QWebEngineScript &old : collection.find(HoldScriptName))
        collection.remove(old);
    if (pixels < 0)
        return;
    QWebEngineScript script;
    script.setName(HoldScriptName);
    script.setInjectionPoint(QWebEngineScript::DocumentReady);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(false);
    // Again at "load": images and late content can still change where the offset lands.
    script.setSourceCode(QStringLiteral(
        "(function(){function put(){var e=document.scrollingElement||document.documentElement;"
        "if(e&&document.body)e.scrollTop=%1;}put();window.addEventListener('load',put);})()")
                             .arg(pixels));
    collection.insert(script);
}

void SilentPage::leaveOnRequest()
{
    m_leaveUntil.setRemainingTime(LeaveWindowMs);
}

void SilentPage::askIfTyping(std::function<void(bool)> answer)
{
    const QString probe = QStringLiteral(
        "(function(){var a=document.activeElement;if(!a||!window.__quovadexTyped)return false;"
        "var t=a.tagName;return a.isContentEditable||t==='INPUT'||t==='TEXTAREA'||t==='SELECT';})()");
    runJavaScript(probe, QWebEngineScript::ApplicationWorld,
                  [answer = std::move(answer)](const QVariant &typing) { answer(typing.toBool()); });
}

void SilentPage::settle(const QWebEngineLoadingInfo &info)
{
    switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
    case QWebEngineLoadingInfo::LoadStoppedStatus:
        return;
    case QWebEngineLoadingInfo::LoadSucceededStatus:
        // An error status with a page of its own (a 503 "try later") is no quote page.
        if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain && info.errorCode() >= 400)
            emit loadSettled(false, QStringLiteral("HTTP %1").arg(info.errorCode()));
        else
            emit loadSettled(true, QString());
        return;
    case QWebEngineLoadingInfo::LoadFailedStatus:
        if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain)
            emit loadSettled(false, QStringLiteral("HTTP %1").arg(info.errorCode()));
        else
            emit loadSettled(false, networkFailure(info.errorCode(), info.errorString()));
        return;
    }
}
