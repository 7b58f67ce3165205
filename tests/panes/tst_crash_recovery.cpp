#include <csignal>
#include <memory>

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "aids/AutoRefresh.h"
#include "core/MainWindow.h"
#include "panes/SilentPage.h"
#include "panes/WebEngineEnvironment.h"
#include "panes/WebEnginePane.h"
#include "support/EngineWindows.h"
#include "support/PageServer.h"
#include "support/ScratchFolder.h"
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
    template<typename T>
    T *find(const char *name) const { return m_window->findChild<T *>(QLatin1String(name)); }
    void crashUpperPane();

    std::unique_ptr<ScratchFolder> m_dir;
    std::unique_ptr<PageServer> m_server;
    std::unique_ptr<EngineWindows> m_engine;
    MainWindow *m_window = nullptr;
    WebEnginePane *m_wb1 = nullptr;
    WebEnginePane *m_wb3 = nullptr;
    QString m_upperPage;
};

void TestCrashRecovery::initTestCase()
{
    m_dir = std::make_unique<ScratchFolder>();
    m_upperPage = m_dir->filePath(QStringLiteral("upper.htm"));
    QFile page(m_upperPage);
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.write("<!DOCTYPE html><html><head><title>upper</title></head><body>su</body></html>");
    page.close();
    m_server = std::make_unique<PageServer>("<!DOCTYPE html><html><head><title>lower</title></head><body>giu</body></html>");
    QVERIFY(m_server->listen());

    m_engine = std::make_unique<EngineWindows>(m_dir->filePath(QStringLiteral("profile")));
    m_window = m_engine->makeMainWindow(QStringList{m_upperPage});
    m_wb1 = static_cast<WebEnginePane *>(m_window->upperPane());
    m_wb3 = static_cast<WebEnginePane *>(m_window->lowerPane());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QTRY_COMPARE_WITH_TIMEOUT(m_wb1->locationName(), QStringLiteral("upper"), Timeout);
    m_wb3->navigate(m_server->url(QStringLiteral("/lower")));
    QTRY_COMPARE_WITH_TIMEOUT(m_wb3->locationName(), QStringLiteral("lower"), Timeout);
}

void TestCrashRecovery::cleanupTestCase()
{
    m_window = nullptr;
    m_engine.reset();
    m_dir.reset();
}

void TestCrashRecovery::crashUpperPane()
{
    QTRY_VERIFY_WITH_TIMEOUT(m_wb1->page()->renderProcessPid() > 0, Timeout);
    const qint64 lowerPid = m_wb3->page()->renderProcessPid();
    QVERIFY(m_wb1->page()->renderProcessPid() != lowerPid);
    QCOMPARE(::kill(pid_t(m_wb1->page()->renderProcessPid()), SIGKILL), 0);
    QTRY_VERIFY_WITH_TIMEOUT(m_wb1->isCrashed(), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(m_wb1->page()->title(), QStringLiteral("Pagina interrotta"), Timeout);
    // What the pane reports is still the page the user was watching.
    QCOMPARE(m_wb1->locationName(), QStringLiteral("upper"));
    QVERIFY(m_wb1->locationUrl().endsWith(QLatin1String("upper.htm")));
    // The other pane is untouched and alive.
    QCOMPARE(m_wb3->page()->renderProcessPid(), lowerPid);
    QCOMPARE(evaluate(m_wb3->page(), QStringLiteral("document.title")).toString(), QStringLiteral("lower"));
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
        QTest::mouseClick(find<QPushButton>("Command21"), Qt::LeftButton);
    } else if (how == QLatin1String("Aggiorna")) {
        QTest::mouseClick(find<QPushButton>("Command9"), Qt::LeftButton);
    } else if (how == QLatin1String("auto")) {
        auto *cycle = m_window->findChild<AutoRefresh *>();
        cycle->chooseInterval(60);
        cycle->toggle();
        for (int tick = 0; tick < 59; ++tick)
            cycle->countdownTick();
        cycle->toggle();
    } else {
        find<QLineEdit>("Text1")->setText(m_upperPage);
        QTest::mouseClick(find<QPushButton>("Command11"), Qt::LeftButton);
    }
    QTRY_COMPARE_WITH_TIMEOUT(m_wb1->page()->title(), QStringLiteral("upper"), Timeout);
    QVERIFY(!m_wb1->isCrashed());
    QCOMPARE(evaluate(m_wb1->page(), QStringLiteral("document.body.textContent")).toString(), QStringLiteral("su"));
}

QTEST_MAIN(TestCrashRecovery)
#include "tst_crash_recovery.moc"
