#include <csignal>

#include <QCoreApplication>
#include <QLineEdit>
#include <QLockFile>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

#include "core/MainWindow.h"
#include "favorites/ProgramLaunchers.h"
#include "favorites/ProcessStarter.h"
#include "panes/BrowserPane.h"
#include "panes/WebEngineEnvironment.h"
#include "support/PageServer.h"

namespace {

// Starts for real and keeps the id, so the test can end what it started.
class KeepingStarter final : public ProcessStarter
{
public:
    bool startDetached(const QString &program, const QStringList &arguments, const QString &workingDirectory,
                       qint64 *pid) override
    {
        const bool started = m_system.startDetached(program, arguments, workingDirectory, &lastPid);
        if (pid)
            *pid = lastPid;
        return started;
    }
    bool openUrl(const QUrl &) override { return false; }

    qint64 lastPid = 0;

private:
    SystemProcessStarter m_system;
};

} // namespace

// "Nuova" for real: a second instance of the built program opens the upper pane's page,
// runs beside the first on a profile of its own, and both keep working.
class TestNuovaEndToEnd : public QObject
{
    Q_OBJECT
public:
    static void initMain()
    {
        WebEngineEnvironment::prepareProcess();
        // The same names as the program, so both look for the same profile folder.
        QCoreApplication::setOrganizationName(QStringLiteral("Quovadex"));
        QCoreApplication::setApplicationName(QStringLiteral("quovadex3"));
    }

private slots:
    void secondInstanceOpensThePageAndBothKeepWorking();
};

void TestNuovaEndToEnd::secondInstanceOpensThePageAndBothKeepWorking()
{
    PageServer server("<!DOCTYPE html><html><head><title>Nuova</title></head><body>quote</body></html>");
    QVERIFY(server.listen());
    auto pageRequests = [&server] { return server.requests.count(QStringLiteral("/quote")); };

    qint64 second = 0;
    {
        WebEngineEnvironment env;
        QVERIFY(env.isPersistent());
        KeepingStarter starter;
        MainWindow window(env, starter, {server.url(QStringLiteral("/quote"))});
        window.findChild<ProgramLaunchers *>()->setOwnProgram(QStringLiteral(QUOVADEX3_PATH));
        QTRY_COMPARE_WITH_TIMEOUT(pageRequests(), 1, 30000);
        QTRY_COMPARE_WITH_TIMEOUT(window.upperPane()->locationUrl(), server.url(QStringLiteral("/quote")), 30000);

        QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("Command12")), Qt::LeftButton);
        second = starter.lastPid;
        QVERIFY(second > 0);
        QTRY_COMPARE_WITH_TIMEOUT(pageRequests(), 2, 60000);

        // The first instance still holds the profile, and still works.
        qint64 holder = 0;
        QString host, app;
        QLockFile probe(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                        + QStringLiteral("/webprofile/quovadex.lock"));
        QVERIFY(probe.getLockInfo(&holder, &host, &app));
        QCOMPARE(holder, QCoreApplication::applicationPid());
        QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("Command21")), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(pageRequests(), 3, 30000);
        QCOMPARE(::kill(pid_t(second), 0), 0);
    }
    ::kill(pid_t(second), SIGTERM);
}

QTEST_MAIN(TestNuovaEndToEnd)
#include "tst_nuova_e2e.moc"
