#include "app/Program.h"

#include <QDBusConnection>


Program::Program()
    : m_backgroundReader(m_webEngine.profile())
    , m_markets(Markets::loaded())
    , m_watch(ValueWatch::defaultDatabasePath(), [] { return QDBusConnection::sessionBus(); }, m_markets)
    , m_windows(m_webEngine, m_starter, m_markets)
{
    m_watch.readInBackground(m_backgroundReader);
    QObject::connect(&m_windows, &MainWindows::paneOpened, &m_watch, [this](BrowserPane *pane) { m_watch.attach(*pane); });
}

MainWindow *Program::start(const QString &address, const QString &folder)
{
    if (m_webEngine.isPersistent()) {
        QObject::connect(&m_channel, &InstanceChannel::windowAsked, &m_windows, &MainWindows::openForStart);
        m_channel.listen();
    }
    return m_windows.open(address, folder);
}
