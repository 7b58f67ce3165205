#include "panes/webengine/SilentPage.h"

#include <QAuthenticator>
#include <QCoreApplication>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QWebEngineCertificateError>
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
#include <QWebEnginePermission>
#endif
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWidget>

#include "panes/webengine/LoadOutcome.h"
#include "panes/webengine/NewWindowRule.h"
#include "panes/PageDialogs.h"
#include "panes/webengine/PageScripts.h"
#include "panes/webengine/RecentInput.h"

namespace {

const QString HoldScriptName = QStringLiteral("quovadex-hold");

using Policy = RecentInput::Policy;

// A script run in every document this page loads, from the document's creation.
QWebEngineScript pageScript(const QString &name, QWebEngineScript::ScriptWorldId world, bool subFrames,
                            const QString &source)
{
    QWebEngineScript script;
    script.setName(name);
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(world);
    script.setRunsOnSubFrames(subFrames);
    script.setSourceCode(source);
    return script;
}

const QString &holdSource()
{
    static const QString source = PageScripts::source(QStringLiteral("hold.js"));
    return source;
}

// What the page's hold tells its frames comes with it: a page's own script could tell them
// to scroll, but without the key it cannot stop them or hold them elsewhere.
const QString &holdKey()
{
    static const QString key = QString::number(QRandomGenerator::system()->generate64(), 36);
    return key;
}

// The hold's script (scripts/hold.js) for an offset; -1 lets go.
QString holdScript(int pixels)
{
    return holdSource() + QStringLiteral("(%1,'%2')").arg(pixels).arg(holdKey());
}

// A frame of another origin than its page holds itself, at the page's hold's word; run in
// every frame from its creation, so that a frame shown before the hold began hears it too.
// In the page's own world, which every frame has anyway: one of the program's would cost each
// advertising frame of every page a script context of its own, for the rare local frameset.
// Such a frame could undo its own hold, nothing more.
QString frameHoldScript()
{
    return QStringLiteral("if(window!==window.top)addEventListener('message',function(e){var m=String(e.data).split(' ');"
                          "if(e.source===window.top&&m.length===3&&m[0]==='quovadex-hold'&&m[1]==='%1')\n%2\n"
                          "(Number(m[2]),'%1');});")
        .arg(holdKey(), holdSource());
}

} // namespace

SilentPage::SilentPage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
{
    connect(this, &QWebEnginePage::certificateError, this, [](const QWebEngineCertificateError &error) {
        QWebEngineCertificateError refused = error;
        refused.rejectCertificate();
    });
    connect(this, &QWebEnginePage::authenticationRequired, this, &SilentPage::askLogin);
    connect(this, &QWebEnginePage::proxyAuthenticationRequired, this,
            [](const QUrl &, QAuthenticator *authenticator, const QString &) { *authenticator = QAuthenticator(); });
    connect(this, &QWebEnginePage::loadingChanged, this, &SilentPage::settle);
    connect(this, &QWebEnginePage::newWindowRequested, this, &SilentPage::decideNewWindow);
    static const QString typing = PageScripts::source(QStringLiteral("typing.js"));
    static const QString popups = PageScripts::source(QStringLiteral("popups.js"));
    scripts().insert(pageScript(QStringLiteral("quovadex-typing"), QWebEngineScript::ApplicationWorld, false, typing));
    scripts().insert(pageScript(QStringLiteral("quovadex-hold-frames"), QWebEngineScript::MainWorld, true,
                                frameHoldScript()));
    // The engine refuses a window asked for without a click (see WebEngineEnvironment), but
    // each refusal still leaves a few kilobytes in the program's process for good: a page
    // asking twenty times a second grew it by 8 MB a minute (Qt 6.4). Refused in the page,
    // the request never leaves it. The page can undo this; then the engine's refusal holds.
    scripts().insert(pageScript(QStringLiteral("quovadex-popups"), QWebEngineScript::MainWorld, true, popups));
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

bool SilentPage::userWantsQuestion()
{
    // Only one question at a time: each waits in an event loop of its own, inside the engine.
    if (m_asking || !window() || !m_refreshUntil.hasExpired())
        return false;
    if (!m_silent)
        return true;
    if (!m_input || !m_input->within(Policy::Asked))
        return false;
    // One click, one question: a page cannot chain questions on the user's one press.
    m_input->forget();
    return true;
}

void SilentPage::askLogin(const QUrl &url, QAuthenticator *authenticator)
{
    const bool requested = !m_userLoadUntil.hasExpired() || (m_input && m_input->within(Policy::LoginAfterPress));
    QString user;
    QString password;
    bool given = false;
    if (requested && !m_asking && window() && m_refreshUntil.hasExpired()) {
        // Asked once per request: a wrong password brings the site's refusal page, not a
        // question that keeps coming back.
        m_userLoadUntil = QDeadlineTimer();
        if (m_input)
            m_input->forget();
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

void SilentPage::loadAskedByUser()
{
    m_userLoadUntil.setRemainingTime(RecentInput::milliseconds(Policy::LoginAfterRequest));
    m_refreshUntil = QDeadlineTimer();
}

void SilentPage::loadForRefresh()
{
    m_refreshUntil.setRemainingTime(RecentInput::milliseconds(Policy::LoginAfterRequest));
    m_userLoadUntil = QDeadlineTimer();
}

QStringList SilentPage::chooseFiles(FileSelectionMode mode, const QStringList &, const QStringList &)
{
    // Saving through the page or sending a whole folder are not for a quote page.
    if ((mode != FileSelectOpen && mode != FileSelectOpenMultiple) || !userWantsQuestion())
        return {};
    return asking([&] { return PageDialogs::chooseFiles(window(), mode == FileSelectOpenMultiple); });
}

void SilentPage::javaScriptAlert(const QUrl &securityOrigin, const QString &msg)
{
    if (!userWantsQuestion())
        return;
    asking([&] { PageDialogs::alert(window(), securityOrigin.host(), msg); });
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
    if (!userWantsQuestion())
        return false;
    return asking([&] { return PageDialogs::confirm(window(), securityOrigin.host(), msg); });
}

bool SilentPage::javaScriptPrompt(const QUrl &securityOrigin, const QString &msg, const QString &defaultValue,
                                  QString *result)
{
    if (!userWantsQuestion())
        return false;
    return asking([&] { return PageDialogs::prompt(window(), securityOrigin.host(), msg, defaultValue, result); });
}

void SilentPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &message, int, const QString &)
{
    emit consoleMessage(message);
    // The base class writes every message to the program's error output: a broken page that
    // logs in a loop grew it by megabytes a minute. Nobody reads a quote page's console here.
}

void SilentPage::setHeldOffset(int pixels)
{
    pixels = qMax(-1, pixels);
    if (pixels != m_heldOffset) {
        m_heldOffset = pixels;
        // Documents this page loads later: removed the moment the hold lets go, so that a page
        // the user opens from a suspended hold opens at its top.
        QWebEngineScriptCollection &collection = scripts();
        for (const QWebEngineScript &old : collection.find(HoldScriptName))
            collection.remove(old);
        if (pixels >= 0)
            collection.insert(pageScript(HoldScriptName, QWebEngineScript::ApplicationWorld, false, holdScript(pixels)));
    }
    // The document shown now.
    runJavaScript(holdScript(pixels), QWebEngineScript::ApplicationWorld);
}

void SilentPage::leaveOnRequest()
{
    m_leaveUntil.setRemainingTime(RecentInput::milliseconds(Policy::LeaveAfterRequest));
}

void SilentPage::askIfTyping(int ms, std::function<void(bool)> answer)
{
    static const QString source = PageScripts::source(QStringLiteral("typed.js"));
    const QString probe = source + QStringLiteral("(%1)").arg(ms);
    runJavaScript(probe, QWebEngineScript::ApplicationWorld,
                  [answer = std::move(answer)](const QVariant &typing) { answer(typing.toBool()); });
}

void SilentPage::decideNewWindow(QWebEngineNewWindowRequest &request)
{
    // A request left unopened is dropped by the engine before any page is made for it, so a
    // page asking by itself costs nothing.
    const QUrl url = request.requestedUrl();
    if (NewWindowRule::opens(url, this->url(), request.isUserInitiated(), m_input))
        emit newWindowAsked(url.toString());
}

void SilentPage::settle(const QWebEngineLoadingInfo &info)
{
    if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus)
        m_refreshUntil = QDeadlineTimer();
    const std::optional<LoadOutcome> outcome =
        LoadOutcome::of(info.status(), info.errorDomain(), info.errorCode(), info.errorString());
    if (outcome)
        emit loadSettled(outcome->ok, outcome->reason);
}
