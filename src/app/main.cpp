#include <QApplication>
#include <QDBusConnection>
#include <QDir>

#include "common/QtTranslations.h"
#include "core/InstanceChannel.h"
#include "core/MainWindows.h"
#include "market/CalendarFile.h"
#include "market/Markets.h"
#include "common/ProcessStarter.h"
#include "panes/webengine/BackgroundReader.h"
#include "panes/webengine/WebEngineEnvironment.h"
#include "watch/ValueWatch.h"

int main(int argc, char *argv[])
{
    WebEngineEnvironment::prepareProcess();
    const QByteArray activationToken = InstanceChannel::activationToken();
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quovadex"));
    QApplication::setApplicationName(QStringLiteral("quovadex3"));
    QApplication::setApplicationDisplayName(QStringLiteral("Doppio Quovadex"));
    QtTranslations::installItalian(app);

    // A copy already running opens the window, before this one starts any engine.
    const QString address = MainWindows::addressFrom(QApplication::arguments().mid(1));
    if (InstanceChannel::handOver(address, QDir::currentPath(), activationToken))
        return 0;

    // Declared first so that it outlives the windows and every page in them.
    WebEngineEnvironment webEngine;
    SystemProcessStarter starter;
    // Its hidden page uses the profile: it goes before the profile does.
    BackgroundReader backgroundReader(webEngine.profile());
    // One for every window, and outliving them all.
    // The one answer to "is the market open?" for the watch and every window.
    const Markets markets(CalendarFile::load());
    ValueWatch watch(ValueWatch::defaultDatabasePath(), [] { return QDBusConnection::sessionBus(); }, markets);
    watch.readInBackground(backgroundReader);
    MainWindows windows(webEngine, starter, markets);
    QObject::connect(&windows, &MainWindows::paneOpened, &watch, [&watch](BrowserPane *pane) { watch.attach(*pane); });
    InstanceChannel channel;
    if (webEngine.isPersistent()) {
        QObject::connect(&channel, &InstanceChannel::windowAsked, &windows, &MainWindows::openForStart);
        channel.listen();
    }
    windows.open(address, QDir::currentPath());
    return QApplication::exec();
}
