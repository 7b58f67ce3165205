#include <csignal>

#include <QApplication>
#include <QProcess>
#include <QTest>
#include <QWebEngineView>

#include "core/MainWindow.h"
#include "core/MainWindows.h"
#include "support/EngineWindows.h"
#include "support/PageServer.h"
#include "support/WebEngineWait.h"

using WebEngineWait::Timeout;

// Every window in one process on one profile: a page's new window and closing one window in
// the process itself; the hand-over, the shared login and a crashed copy with real starts.
class TestWindows : public QObject
{
    Q_OBJECT
public:
    static void initMain() { WebEngineEnvironment::prepareProcess(); }

private slots:
    void popUpGetsAWindowAndClosingOneLeavesTheOther();
    void secondStartHandsOverSharesTheLoginAndACrashBlocksNothing();
};

void TestWindows::popUpGetsAWindowAndClosingOneLeavesTheOther()
{
    EngineWindows engine;
    QVERIFY(engine.writePages({{"opener.htm", "<!DOCTYPE html><title>opener</title><style>body>*{display:block;margin:0;"
                                              "height:100px;width:100%}</style><a href=\"second.htm\" target=\"_blank\">"
                                              "nuova</a><button onclick=\"var w=window.open('about:blank');"
                                              "if(w)w.document.write('x')\">v</button><button "
                                              "onclick=\"window.open('second.htm?js')\">js</button>"},
                               {"second.htm", "<!DOCTYPE html><title>second</title>"}}));
    const QString folder = QFileInfo(engine.path(QStringLiteral("opener.htm"))).path();
    // No window may depend on the process's current folder.
    QVERIFY(QDir::setCurrent(QDir::rootPath()));
    SystemProcessStarter starter;
    MainWindows windows(engine.environment(), starter);
    MainWindow *first = windows.open(QStringLiteral("opener.htm"), folder);
    MainWindow *second = windows.open(QStringLiteral("second.htm"), folder);
    auto *opener = qobject_cast<WebEnginePane *>(first->upperPane());
    QTRY_COMPARE_WITH_TIMEOUT(opener->locationName(), QStringLiteral("opener"), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(second->upperPane()->locationName(), QStringLiteral("second"), Timeout);

    // A flood without a click and an empty window after one open nothing; the link does.
    WebEngineWait::evaluate(opener->page(), QStringLiteral("for(var i=0;i<20;i++)window.open('second.htm?'+i)"));
    WebEngineWait::painted(opener->page());
    QTest::mouseClick(opener->view()->focusProxy(), Qt::LeftButton, {}, {50, 150});
    QTest::mouseClick(opener->view()->focusProxy(), Qt::LeftButton, {}, {50, 50});
    QTRY_COMPARE_WITH_TIMEOUT(windows.windows().size(), 3, Timeout);
    MainWindow *popUp = windows.windows().last();
    QTest::mouseClick(opener->view()->focusProxy(), Qt::LeftButton, {}, {50, 250});
    QTRY_COMPARE_WITH_TIMEOUT(windows.windows().size(), 4, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(windows.windows().last()->upperPane()->locationUrl(),
                              engine.url(QStringLiteral("second.htm")) + QStringLiteral("?js"), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(popUp->upperPane()->locationName(), QStringLiteral("second"), Timeout);
    QCOMPARE(popUp->upperPane()->locationUrl(), engine.url(QStringLiteral("second.htm")));
    QCOMPARE(popUp->workingFolder(), folder);
    QCOMPARE(WebEngineWait::evaluate(opener->page(), QStringLiteral("document.body.innerText")).toString(),
             QStringLiteral("nuova\nv\njs"));

    first->close();
    QTRY_COMPARE_WITH_TIMEOUT(windows.windows().size(), 3, Timeout);
    WebEngineWait::load(qobject_cast<WebEnginePane *>(second->upperPane()), QStringLiteral("opener.htm"));
    QVERIFY(QDir::setCurrent(folder));
}

void TestWindows::secondStartHandsOverSharesTheLoginAndACrashBlocksNothing()
{
    ScratchFolder folder;
    const QByteArray login = "sessione=" + QByteArray::number(QCoreApplication::applicationPid());
    PageServer server([&login](const QString &path) -> QByteArray {
        if (path == QLatin1String("/set"))
            return "<script>document.cookie='" + login + "; max-age=600; path=/';location='/ready'</script>";
        return "<!DOCTYPE html><title>" + path.toUtf8() + "</title>";
    });
    QVERIFY(server.listen());
    auto start = [&server, &folder](QProcess &program, const char *path) {
        program.setWorkingDirectory(folder.path());
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(QStringLiteral(QUOVADEX3_PATH), {server.url(QLatin1String(path))});
        return program.waitForStarted();
    };
    auto handedOver = [&start](const char *path) {
        QProcess later;
        return start(later, path) && later.waitForFinished(10000) && later.exitStatus() == QProcess::NormalExit
               && later.exitCode() == 0;
    };

    QProcess first;
    QVERIFY(start(first, "/set"));
    QTRY_VERIFY_WITH_TIMEOUT(server.requests.contains(QStringLiteral("/ready")), Timeout);
    QVERIFY(handedOver("/show"));
    QTRY_VERIFY_WITH_TIMEOUT(server.requests.contains(QStringLiteral("/show")), Timeout);
    QCOMPARE(server.cookies.at(server.requests.indexOf(QStringLiteral("/show"))), login);

    // A copy that crashed leaves its socket and its profile lock behind.
    ::kill(pid_t(first.processId()), SIGKILL);
    QVERIFY(first.waitForFinished(10000));
    QProcess third;
    QVERIFY(start(third, "/again"));
    QTRY_VERIFY_WITH_TIMEOUT(server.requests.contains(QStringLiteral("/again")), Timeout);
    QVERIFY(handedOver("/fourth"));
    QTRY_VERIFY_WITH_TIMEOUT(server.requests.contains(QStringLiteral("/fourth")), Timeout);
    third.terminate();
    QVERIFY(third.waitForFinished(10000));
}

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
