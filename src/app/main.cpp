#include <QApplication>
#include <QDir>

#include "app/Program.h"
#include "common/QtTranslations.h"
#include "core/CommandLine.h"

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
            return Program::carryOut(values, request);
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

    Program program;
    program.start(address, QDir::currentPath());
    return QApplication::exec();
}
