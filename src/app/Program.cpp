#include "app/Program.h"

#include <QApplication>
#include <QDBusConnection>

Program::Program()
    : m_backgroundReader(m_webEngine.profile())
    , m_markets(Markets::loaded())
    , m_watch(ValueWatch::defaultDatabasePath(), [] { return QDBusConnection::sessionBus(); }, m_markets)
    , m_glance(m_watch)
    , m_windows(m_webEngine, m_starter, m_markets)
{
    m_watch.readInBackground(m_backgroundReader);
    QObject::connect(&m_windows, &MainWindows::paneOpened, &m_watch, [this](BrowserPane *pane) { m_watch.attach(*pane); });
    QObject::connect(&m_glance, &Glance::mainWindowAsked, &m_windows, &MainWindows::bringForward);
    QObject::connect(&m_glance, &Glance::quitAsked, &m_windows, [this] {
        if (m_windows.closeAll())
            QApplication::quit();
    });
}

MainWindow *Program::start(const QString &address, const QString &folder)
{
    if (m_webEngine.isPersistent()) {
        QObject::connect(&m_channel, &InstanceChannel::windowAsked, &m_windows, &MainWindows::openForStart);
        m_channel.setWatchFileHandler([this](const WatchFileRequest &request) { return carryOut(m_watch.values(), request); });
        m_channel.listen();
    }
    return m_windows.open(address, folder);
}

QString Program::carryOut(FollowedValues &values, const WatchFileRequest &request)
{
    return request.kind == WatchFileRequest::Kind::Export ? values.exportWatch(request.path, request.withReadings)
                                                            : values.importWatch(request.path);
}
