#include <QApplication>

#include "common/QtTranslations.h"
#include "core/MainWindow.h"
#include "favorites/ProcessStarter.h"
#include "panes/WebEngineEnvironment.h"

int main(int argc, char *argv[])
{
    WebEngineEnvironment::prepareProcess();
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quovadex"));
    QApplication::setApplicationName(QStringLiteral("quovadex3"));
    QApplication::setApplicationDisplayName(QStringLiteral("Doppio Quovadex"));
    QtTranslations::installItalian(app);

    // Declared first so that it outlives the window and every page in it.
    WebEngineEnvironment webEngine;
    SystemProcessStarter starter;
    MainWindow window(webEngine, starter, QApplication::arguments().mid(1));
    window.show();
    return QApplication::exec();
}
