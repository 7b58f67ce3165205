#include <QDir>
#include <QTest>

#include "core/CommandLine.h"

using Action = CommandLine::Action;

// The command line read before any application object: what each start is asked, and the
// exit status of a usage error.
class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void eachStartIsAskedOneThing_data();
    void eachStartIsAskedOneThing();
};

void TestCommandLine::eachStartIsAskedOneThing_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("withReadings");
    const QString none;
    QTest::newRow("an address in words") << QStringList{"borsa", "italiana"} << Action::OpenWindow << "borsa italiana" << false;
    QTest::newRow("Qt's own options") << QStringList{"-platform", "xcb", "-reverse", "a"} << Action::OpenWindow << "a" << false;
    QTest::newRow("the engine's own") << QStringList{"a", "--webEngineArgs", "--x"} << Action::OpenWindow << "a" << false;
    QTest::newRow("help") << QStringList{"-h"} << Action::Help << none << false;
    QTest::newRow("version") << QStringList{"--version"} << Action::Version << none << false;
    QTest::newRow("unknown option") << QStringList{"--esporta"} << Action::UsageError << none << false;
    QTest::newRow("export") << QStringList{"--export-watch", "w.json", "--with-readings"} << Action::ExportWatch << none << true;
    QTest::newRow("import") << QStringList{"--import-watch=w.json"} << Action::ImportWatch << none << false;
    QTest::newRow("no file") << QStringList{"--import-watch"} << Action::UsageError << none << false;
    QTest::newRow("readings alone") << QStringList{"--with-readings"} << Action::UsageError << none << false;
    QTest::newRow("readings on import") << QStringList{"--import-watch", "w", "--with-readings"} << Action::UsageError << none << false;
    QTest::newRow("both") << QStringList{"--import-watch", "a", "--export-watch", "b"} << Action::UsageError << none << false;
    QTest::newRow("export and an address") << QStringList{"--export-watch", "w", "a"} << Action::UsageError << none << false;
}

void TestCommandLine::eachStartIsAskedOneThing()
{
    QFETCH(QStringList, arguments);
    QFETCH(Action, action);
    QFETCH(QString, address);
    QFETCH(bool, withReadings);
    const CommandLine command(QStringList{QStringLiteral("quovadex3")} + arguments);
    QCOMPARE(command.action(), action);
    QCOMPARE(command.errorText().isEmpty(), action != Action::UsageError);
    if (action == Action::OpenWindow)
        QCOMPARE(command.address(), address);
    if (action == Action::ExportWatch || action == Action::ImportWatch) {
        QCOMPARE(command.watchFile().path, QDir::current().absoluteFilePath(QStringLiteral("w.json")));
        QCOMPARE(command.watchFile().withReadings, withReadings);
        return;
    }
    const auto nothingHere = [](const WatchFileRequest &) { return QStringLiteral("not here"); };
    QCOMPARE(command.run(nothingHere, QString()), action == Action::UsageError ? 2 : 0);
    if (action == Action::Help)
        QVERIFY(command.helpText().contains(QLatin1String("--export-watch <FILE>")));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
