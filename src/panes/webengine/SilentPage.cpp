#include "panes/webengine/SilentPage.h"

#include <QAuthenticator>
#include <QCoreApplication>
#include <QScopeGuard>
#include <QWebEngineCertificateError>
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
#include <QWebEnginePermission>
#endif
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineScriptCollection>
#include <QWidget>

#include "panes/webengine/LoadOutcome.h"
#include "panes/webengine/NewWindowRule.h"
#include "panes/PageDialogs.h"
#include "panes/webengine/PageScripts.h"

using Ask = AskRule::Ask;
using Load = AskRule::Load;

SilentPage::SilentPage(QWebEngineProfile *profile, QObject *parent, Mode mode)
    : QWebEnginePage(profile, parent)
    , m_mode(mode)
    , m_typing(*this)
    , m_hold(*this)
{
    setAudioMuted(isBackground());
    // A frame's refused certificate leaves the page as it is; the page's own fails its load,
    // which LoadOutcome words. Qt 6.4 does not say which of the two an error is.
    connect(this, &QWebEnginePage::certificateError, this, [](const QWebEngineCertificateError &error) {
        QWebEngineCertificateError refused = error;
        refused.rejectCertificate();
    });
    connect(this, &QWebEnginePage::authenticationRequired, this, &SilentPage::askLogin);
    connect(this, &QWebEnginePage::proxyAuthenticationRequired, this,
            [this](const QUrl &, QAuthenticator *authenticator, const QString &) {
                refuseInBackground(Ask::Login);
                *authenticator = QAuthenticator();
            });
    connect(this, &QWebEnginePage::loadingChanged, this, &SilentPage::settle);
    connect(this, &QWebEnginePage::newWindowRequested, this, &SilentPage::decideNewWindow);
    // The engine refuses a window asked for without a click (see WebEngineEnvironment), but
    // each refusal still leaves a few kilobytes in the program's process for good: a page
    // asking twenty times a second grew it by 8 MB a minute (Qt 6.4). Refused in the page,
    // the request never leaves it. The page can undo this; then the engine's refusal holds.
    static const QString popups = PageScripts::source(QStringLiteral("popups.js"));
    scripts().insert(
        PageScripts::atCreation(QStringLiteral("quovadex-popups"), QWebEngineScript::MainWorld, true, popups));
    // Location, notifications, camera and the like: always no. Left unanswered, the page's
    // request would wait for ever.
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    connect(this, &QWebEnginePage::permissionRequested, this, [this](QWebEnginePermission permission) {
        refuseInBackground(Ask::Permission);
        permission.deny();
    });
#else
    connect(this, &QWebEnginePage::featurePermissionRequested, this,
            [this](const QUrl &origin, QWebEnginePage::Feature feature) {
                refuseInBackground(Ask::Permission);
                setFeaturePermission(origin, feature, QWebEnginePage::PermissionDeniedByUser);
            });
#endif
}

bool SilentPage::refuseInBackground(Ask ask)
{
    if (!isBackground())
        return false;
    if (ask == Ask::Login)
        emit signInRefused();
    return true;
}

template<typename Question>
auto SilentPage::asking(Question question)
{
    // The question waits in an event loop of its own, in which anything may happen to the
    // page, even its deletion.
    const QPointer<SilentPage> self(this);
    m_asking = true;
    const auto done = qScopeGuard([&self] {
        if (self)
            self->m_asking = false;
    });
    return question();
}

QWidget *SilentPage::window() const
{
    auto *view = qobject_cast<QWidget *>(parent());
    return view ? view->window() : nullptr;
}

bool SilentPage::userWants(Ask ask)
{
    return !refuseInBackground(ask) && AskRule::reachesUser(ask, currentLoad(), window(), m_asking, m_input);
}

void SilentPage::askLogin(const QUrl &url, QAuthenticator *authenticator)
{
    QString user;
    QString password;
    bool given = false;
    if (userWants(Ask::Login)) {
        // Asked once per request: a wrong password brings the site's refusal page, not a
        // question that keeps coming back.
        m_loadUntil = QDeadlineTimer();
        const QPointer<SilentPage> self(this);
        given = asking([&] { return PageDialogs::login(window(), url.host(), authenticator->realm(), &user, &password); });
        // Gone with its page while the user typed: so is the request that asked.
        if (!self)
            return;
    }
    // Left unanswered, the engine retries with empty credentials dozens of times; a null
    // authenticator cancels the request at once.
    if (given) {
        authenticator->setUser(user);
        authenticator->setPassword(password);
    } else {
        *authenticator = QAuthenticator();
    }
}

SilentPage::DownloadReport SilentPage::reportTo(BrowserPane *pane)
{
    const QPointer<BrowserPane> to(pane);
    return {[to](const QString &path) {
                if (to)
                    emit to->downloaded(path);
            },
            [to](const QString &name, const QString &reason) {
                if (to)
                    emit to->downloadStopped(name, reason);
            }};
}

void SilentPage::setRecentInput(RecentInput *input)
{
    m_input = input;
}

void SilentPage::expectLoad(Load load)
{
    m_load = load;
    m_loadUntil.setRemainingTime(RecentInput::milliseconds(RecentInput::Policy::LoginAfterRequest));
}

QStringList SilentPage::chooseFiles(FileSelectionMode mode, const QStringList &, const QStringList &)
{
    // Saving through the page or sending a whole folder are not for a quote page.
    if ((mode != FileSelectOpen && mode != FileSelectOpenMultiple) || !userWants(Ask::File))
        return {};
    return asking([&] { return PageDialogs::chooseFiles(window(), mode == FileSelectOpenMultiple); });
}

void SilentPage::javaScriptAlert(const QUrl &securityOrigin, const QString &msg)
{
    if (userWants(Ask::Message))
        asking([&] { PageDialogs::alert(window(), securityOrigin.host(), msg); });
}

bool SilentPage::javaScriptConfirm(const QUrl &securityOrigin, const QString &msg)
{
    // The engine asks "leave this page?" through here too, with this text of its own.
    // Answered "stay" while the user asked to go, a page with that question would keep every
    // refresh and GO from working; a page in the background goes wherever the program takes
    // it. A page's own confirm() stays silent.
    static const QString leaveQuestion = QCoreApplication::translate(
        "QWebEnginePage", "Are you sure you want to leave this page? Changes that you made may not be saved.");
    if (msg == leaveQuestion && (isBackground() || !m_leaveUntil.hasExpired()))
        return true;
    return userWants(Ask::Message)
        && asking([&] { return PageDialogs::confirm(window(), securityOrigin.host(), msg); });
}

bool SilentPage::javaScriptPrompt(const QUrl &securityOrigin, const QString &msg, const QString &defaultValue,
                                  QString *result)
{
    return userWants(Ask::Message)
        && asking([&] { return PageDialogs::prompt(window(), securityOrigin.host(), msg, defaultValue, result); });
}

void SilentPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &message, int, const QString &)
{
    emit consoleMessage(message);
    // The base class writes every message to the program's error output: a broken page that
    // logs in a loop grew it by megabytes a minute. Nobody reads a quote page's console here.
}

void SilentPage::leaveOnRequest()
{
    m_leaveUntil.setRemainingTime(RecentInput::milliseconds(RecentInput::Policy::LeaveAfterRequest));
}

void SilentPage::decideNewWindow(QWebEngineNewWindowRequest &request)
{
    // A request left unopened is dropped by the engine before any page is made for it, so a
    // page asking by itself costs nothing.
    const QUrl url = request.requestedUrl();
    if (!refuseInBackground(Ask::Window) && NewWindowRule::opens(url, this->url(), request.isUserInitiated(), m_input))
        emit newWindowAsked(url.toString());
}

void SilentPage::settle(const QWebEngineLoadingInfo &info)
{
    // A refresh that brought its page is over; what the page asks from now on may be the
    // user's doing.
    if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus && m_load == Load::ForRefresh)
        m_loadUntil = QDeadlineTimer();
    const std::optional<LoadOutcome> outcome =
        LoadOutcome::of(info.status(), info.errorDomain(), info.errorCode(), info.errorString());
    if (outcome)
        emit loadSettled(outcome->ok, outcome->reason);
}
