#include "panes/webengine/WebEngineEnvironment.h"

#include <cstdio>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

#include "panes/GraphicsChoice.h"
#include "panes/webengine/DownloadPolicy.h"
#include "panes/webengine/LocalFileScheme.h"
#include "panes/webengine/RequestPolicy.h"
#include "panes/webengine/WebEnginePane.h"

void WebEngineEnvironment::prepareProcess()
{
    // The engine's sandbox refuses to start as root, and in this Qt version a plain
    // --no-sandbox argument is ignored: only the environment variable works, and only
    // when it is set before the application object is made.
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        std::fputs("quovadex3: running as root, the web engine's sandbox is disabled\n", stderr);
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The engine takes its schemes only before the application object is made.
    LocalFileScheme::registerScheme();
}

WebEngineEnvironment::WebEngineEnvironment(const QString &profileDirectory)
{
    // Before the first profile, which starts the engine.
    static const bool graphicsChosen = [] {
        const QString line = GraphicsChoice::apply();
        if (!qEnvironmentVariableIsEmpty("QUOVADEX_VERBOSE"))
            std::fprintf(stderr, "%s\n", qPrintable(line));
        return true;
    }();
    Q_UNUSED(graphicsChosen)

    QString folder = profileDirectory;
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/webprofile");

    // The engine has no lock of its own on a profile folder, and two processes writing one
    // cookie database lose writes or corrupt it. A second instance runs on a profile kept in
    // memory instead.
    if (QDir().mkpath(folder)) {
        m_lock = std::make_unique<QLockFile>(folder + QStringLiteral("/quovadex.lock"));
        m_lock->setStaleLockTime(0); // stale only when its owner is gone, however old
        m_persistent = m_lock->tryLock(0);
    }

    if (m_persistent) {
        m_profile = std::make_unique<QWebEngineProfile>(QStringLiteral("quovadex"));
        m_profile->setPersistentStoragePath(folder + QStringLiteral("/storage"));
        m_profile->setCachePath(folder + QStringLiteral("/cache"));
        m_profile->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    } else {
        m_lock.reset();
        m_profile = std::make_unique<QWebEngineProfile>();
    }
    // Stated rather than left to the defaults of whichever engine version is installed: local
    // pages (saved quote pages, the favorites page, a user's own dashboard) show their own
    // local pictures and the web's pictures, frames, stylesheets and scripts, as in any
    // desktop browser, and web pages never reach local files. In Qt 6.4 to 6.8 the file
    // switch is one for two things: off, a local page loses its own pictures, style sheets and
    // frames; on, every local file is of the page's own origin, readable by fetch() or through
    // a frame. It stays on, and RequestPolicy keeps local pages from reading: it refuses their
    // fetch() and XMLHttpRequest, and sends the local pages they frame through LocalFileScheme,
    // where each is an origin of its own.
    QWebEngineSettings *settings = m_profile->settings();
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    // A window a script asks for without a click is then refused inside the page's process,
    // before the engine makes anything for it; allowed, each refused request still cost a
    // page's worth of memory, and a page asking twenty times a second grew the program by
    // megabytes a second. What a click opens still reaches WebEnginePane.
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    m_requestPolicy = std::make_unique<RequestPolicy>();
    m_profile->setUrlRequestInterceptor(m_requestPolicy.get());
    m_localFiles = std::make_unique<LocalFileScheme>();
    m_profile->installUrlSchemeHandler(LocalFileScheme::Name, m_localFiles.get());
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // This engine would write every refused permission into the profile and answer later
    // requests from there. The pages ask SilentPage every time instead, as with older
    // engines, so that no answer outlives the session.
    m_profile->setPersistentPermissionsPolicy(QWebEngineProfile::PersistentPermissionsPolicy::AskEveryTime);
#endif
    m_downloads = std::make_unique<DownloadPolicy>();
    QObject::connect(m_profile.get(), &QWebEngineProfile::downloadRequested, m_downloads.get(),
                     &DownloadPolicy::decide);
}

WebEngineEnvironment::~WebEngineEnvironment() = default;

BrowserPane *WebEngineEnvironment::createPane(QWidget *parent)
{
    return new WebEnginePane(m_profile.get(), parent);
}
