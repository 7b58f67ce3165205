#include <csignal>
#include <memory>

#include <QLineEdit>
#include <QTest>

#include "aids/AutoRefresh.h"
#include "panes/webengine/SilentPage.h"
#include "support/Clicks.h"
#include "support/EngineWindows.h"
#include "support/PageServer.h"
#include "support/WebEngineWait.h"

using WebEngineWait::evaluate;
using WebEngineWait::Timeout;

// A page whose render process dies shows a notice; every way of reloading it brings it back,
// and the other pane goes on untouched.
class TestCrashRecovery : public QObject
{
    Q_OBJECT
public:
    static void initMain() { WebEngineEnvironment::prepareProcess(); }

private slots:
    void initTestCase();
    void cleanupTestCase();
    void crashedPaneComesBack_data();
    void crashedPaneComesBack();

private:
    void crashUpperPane();

    std::unique_ptr<PageServer> m_server;
    std::unique_ptr<EngineWindows> m_engine;
    EngineWindows::Main m_main{};
};

void TestCrashRecovery::initTestCase()
{
    m_server = std::make_unique<PageServer>("<!DOCTYPE html><html><head><title>lower</title></head><body>giu</body></html>");
    QVERIFY(m_server->listen());
    m_engine = std::make_unique<EngineWindows>();
    QVERIFY(m_engine->isCurrent());
    QVERIFY(m_engine->writePages(
        {{"upper.htm", "<!DOCTYPE html><html><head><title>upper</title></head><body>su</body></html>"}}));

    m_main = m_engine->showMainWindow({QStringLiteral("upper.htm")});
    QVERIFY(QTest::qWaitForWindowExposed(m_main.window));
    QTRY_COMPARE_WITH_TIMEOUT(m_main.upper->locationName(), QStringLiteral("upper"), Timeout);
    m_main.lower->navigate(m_server->url(QStringLiteral("/lower")));
    QTRY_COMPARE_WITH_TIMEOUT(m_main.lower->locationName(), QStringLiteral("lower"), Timeout);
}

void TestCrashRecovery::cleanupTestCase()
{
    m_engine.reset();
}

void TestCrashRecovery::crashUpperPane()
{
    QTRY_VERIFY_WITH_TIMEOUT(m_main.upper->page()->renderProcessPid() > 0, Timeout);
    const qint64 lowerPid = m_main.lower->page()->renderProcessPid();
    QVERIFY(m_main.upper->page()->renderProcessPid() != lowerPid);
    QCOMPARE(::kill(pid_t(m_main.upper->page()->renderProcessPid()), SIGKILL), 0);
    QTRY_VERIFY_WITH_TIMEOUT(m_main.upper->isCrashed(), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(m_main.upper->page()->title(), QStringLiteral("Pagina interrotta"), Timeout);
    // What the pane reports is still the page the user was watching.
    QCOMPARE(m_main.upper->locationName(), QStringLiteral("upper"));
    QVERIFY(m_main.upper->locationUrl().endsWith(QLatin1String("upper.htm")));
    // The other pane is untouched and alive.
    QCOMPARE(m_main.lower->page()->renderProcessPid(), lowerPid);
    QCOMPARE(evaluate(m_main.lower->page(), QStringLiteral("document.title")).toString(), QStringLiteral("lower"));
}

void TestCrashRecovery::crashedPaneComesBack_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("A") << "A";
    QTest::newRow("Aggiorna") << "Aggiorna";
    QTest::newRow("automatic refresh") << "auto";
    QTest::newRow("GO") << "GO";
}

void TestCrashRecovery::crashedPaneComesBack()
{
    QFETCH(QString, how);
    crashUpperPane();
    if (how == QLatin1String("A")) {
        leftClick(m_main.window->controls().upper.reload);
    } else if (how == QLatin1String("Aggiorna")) {
        leftClick(m_main.window->controls().refresh.reloadNow);
    } else if (how == QLatin1String("auto")) {
        auto *cycle = m_main.window->findChild<AutoRefresh *>();
        cycle->chooseInterval(60);
        cycle->toggle();
        for (int tick = 0; tick < 59; ++tick)
            cycle->countdownTick();
        cycle->toggle();
    } else {
        m_main.window->controls().address->setText(m_engine->path(QStringLiteral("upper.htm")));
        leftClick(m_main.window->controls().upper.go);
    }
    QTRY_COMPARE_WITH_TIMEOUT(m_main.upper->page()->title(), QStringLiteral("upper"), Timeout);
    QVERIFY(!m_main.upper->isCrashed());
    QCOMPARE(evaluate(m_main.upper->page(), QStringLiteral("document.body.textContent")).toString(), QStringLiteral("su"));
}

QTEST_MAIN(TestCrashRecovery)
#include "tst_crash_recovery.moc"
