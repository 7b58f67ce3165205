#include <QApplication>
#include <QDir>

#include "app/Program.h"
#include "common/QtTranslations.h"

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

    Program program;
    program.start(address, QDir::currentPath());
    return QApplication::exec();
}
