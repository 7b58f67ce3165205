#include <QApplication>
#include <QDBusConnection>
#include <QDir>

#include "common/QtTranslations.h"
#include "core/CommandLine.h"
#include "core/InstanceChannel.h"
#include "core/MainWindows.h"
#include "market/CalendarFile.h"
#include "market/Markets.h"
#include "common/ProcessStarter.h"
#include "panes/webengine/BackgroundReader.h"
#include "panes/webengine/WebEngineEnvironment.h"
#include "watch/FollowedValues.h"
#include "watch/ValueWatch.h"

namespace {

QString carryOut(FollowedValues &values, const WatchFileRequest &request)
{
    return request.kind == WatchFileRequest::Kind::Export ? values.exportWatch(request.path, request.withReadings)
                                                            : values.importWatch(request.path);
}

} // namespace

int main(int argc, char *argv[])
{
    // Read before any application object: --help and --export-watch need neither a display
    // nor the web engine.
    const CommandLine command(CommandLine::arguments(argc, argv));
    if (command.action() != CommandLine::Action::OpenWindow) {
        QCoreApplication app(argc, argv);
        CommandLine::nameProgram();
        QtTranslations::installItalian(app);
        return command.run([](const WatchFileRequest &request) {
            FollowedValues values(ValueWatch::defaultDatabasePath());
            return carryOut(values, request);
        });
    }

    WebEngineEnvironment::prepareProcess();
    const QByteArray activationToken = InstanceChannel::activationToken();
    QApplication app(argc, argv);
    CommandLine::nameProgram();
    QApplication::setApplicationDisplayName(QStringLiteral("Doppio Quovadex"));
    QtTranslations::installItalian(app);

    // A copy already running opens the window, before this one starts any engine.
    const QString address = command.address();
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
        channel.setWatchFileHandler([&watch](const WatchFileRequest &request) { return carryOut(watch.values(), request); });
        channel.listen();
    }
    windows.open(address, QDir::currentPath());
    return QApplication::exec();
}
