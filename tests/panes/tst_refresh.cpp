#include <memory>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QWebEngineView>

#include "aids/AutoRefresh.h"
#include "core/MainWindow.h"
#include "panes/SilentPage.h"
#include "panes/WebEngineEnvironment.h"
#include "panes/WebEnginePane.h"
#include "support/EngineWindows.h"
#include "support/PageServer.h"
#include "support/ThumbDrag.h"
#include "support/WebEngineWait.h"

using WebEngineWait::evaluate;
using WebEngineWait::Timeout;
using Fault = PageServer::Fault;
Q_DECLARE_METATYPE(Fault)

// Refreshes of a held quote page in the real window while the site fails every way a site
// does: the page stays, the pane says it is stale and why, and the next refresh after the
// site is back brings it up to date. Also what must never block a refresh: typing into the
// page (put off, not lost) and a page that asks to stay.
class TestRefresh : public QObject
{
    Q_OBJECT
public:
    static void initMain() { WebEngineEnvironment::prepareProcess(); }

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void failedRefreshKeepsTheHeldPageAndSaysWhy_data();
    void failedRefreshKeepsTheHeldPageAndSaysWhy();
    void failedNavigationShowsTheErrorPage();
    void automaticRefreshWaitsForTypingButAByHandDoesNot();
    void pageAskingToStayIsLeftOnGo();

private:
    QString bodyText() { return evaluate(m_upper->page(), QStringLiteral("document.body.innerText")).toString(); }
    int scrollY() { return evaluate(m_upper->page(), QStringLiteral("window.scrollY")).toInt(); }
    QLabel *state() const { return m_upper->widget()->findChild<QLabel *>(QStringLiteral("paneState")); }
    void click(const char *name) { QTest::mouseClick(m_window->findChild<QWidget *>(name), Qt::LeftButton); }
    void go(const QString &address);
    void clickIntoPage(QPoint at);

    std::unique_ptr<PageServer> m_server;
    std::unique_ptr<EngineWindows> m_engine;
    MainWindow *m_window = nullptr;
    WebEnginePane *m_upper = nullptr;
    int m_version = 0;
};

void TestRefresh::initTestCase()
{
    m_server = std::make_unique<PageServer>([this](const QString &path) {
        QByteArray rows;
        for (int i = 0; i < 300; ++i)
            rows += "<tr><td>Titolo " + QByteArray::number(i) + "</td></tr>";
        const QByteArray extra = path.contains(QLatin1String("form")) ? "<input id=f style='position:fixed;top:0'>"
                               : path.contains(QLatin1String("stay"))
            ? "<script>addEventListener('beforeunload',function(e){e.preventDefault();e.returnValue='';});</script>"
            : "";
        return "<!DOCTYPE html><html><body>" + extra + "<p>versione " + QByteArray::number(++m_version) + "</p><table>"
            + rows + "</table></body></html>";
    });
    QVERIFY(m_server->listen());
    m_engine = std::make_unique<EngineWindows>();
}

void TestRefresh::init()
{
    m_server->setFault(Fault::None);
    const EngineWindows::Main main = m_engine->showMainWindow({m_server->url(QStringLiteral("/quote"))});
    m_window = main.window;
    m_upper = main.upper;
    m_upper->setRefreshTimeout(3000);
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QTRY_VERIFY_WITH_TIMEOUT(state()->text().startsWith(QLatin1String("Aggiornata")), Timeout);
}

void TestRefresh::cleanup()
{
    m_engine->closeWindows();
}

void TestRefresh::go(const QString &address)
{
    m_window->findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(address);
    click("Command11");
}

void TestRefresh::clickIntoPage(QPoint at)
{
    QWidget *proxy = m_upper->view()->focusProxy();
    QVERIFY(proxy);
    QTest::mouseClick(proxy, Qt::LeftButton, {}, at);
}

void TestRefresh::failedRefreshKeepsTheHeldPageAndSaysWhy_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("reason");
    QTest::newRow("refused, Aggiorna") << Fault::Refuse << "Aggiorna" << "connessione rifiutata";
    QTest::newRow("503, A") << Fault::Unavailable << "A" << "HTTP 503";
    QTest::newRow("cut short, automatic") << Fault::CutShort << "auto" << "incompleta";
    QTest::newRow("no answer, Aggiorna") << Fault::Hang << "Aggiorna" << "non ha risposto";
}

void TestRefresh::failedRefreshKeepsTheHeldPageAndSaysWhy()
{
    QFETCH(Fault, fault);
    QFETCH(QString, how);
    QFETCH(QString, reason);
    m_window->findChild<QCheckBox *>(QStringLiteral("Check1"))->click();
    dragThumb(m_window->findChild<QScrollBar *>(QStringLiteral("VScroll1")), 400);
    QTRY_COMPARE_WITH_TIMEOUT(scrollY(), 400, Timeout);
    const QString shown = bodyText();
    auto refresh = [&] {
        if (how == QLatin1String("auto"))
            m_window->findChild<AutoRefresh *>()->reloadChosenPanes(BrowserPane::Refresh::Automatic);
        else
            click(how == QLatin1String("A") ? "Command21" : "Command9");
    };

    m_server->setFault(fault);
    refresh();
    QTRY_VERIFY_WITH_TIMEOUT(state()->text().startsWith(QLatin1String("Non aggiornata")), Timeout);
    QVERIFY2(state()->toolTip().contains(reason), qPrintable(state()->toolTip()));
    QCOMPARE(bodyText(), shown);
    QCOMPARE(scrollY(), 400);
    QCOMPARE(m_window->findChild<QCheckBox *>(QStringLiteral("Check1"))->isChecked(), true);

    m_server->setFault(Fault::None);
    refresh();
    QTRY_VERIFY_WITH_TIMEOUT(state()->text().startsWith(QLatin1String("Aggiornata")), Timeout);
    QVERIFY(bodyText() != shown);
    QTRY_COMPARE_WITH_TIMEOUT(scrollY(), 400, Timeout);
    QVERIFY(!m_upper->isRefreshing());
}

void TestRefresh::failedNavigationShowsTheErrorPage()
{
    m_server->setFault(Fault::Unavailable);
    go(m_server->url(QStringLiteral("/other")));
    QTRY_COMPARE_WITH_TIMEOUT(state()->text(), QStringLiteral("Pagina non caricata"), Timeout);
    QVERIFY(state()->toolTip().contains(QLatin1String("HTTP 503")));
    QCOMPARE(m_upper->locationUrl(), m_server->url(QStringLiteral("/other")));
    QVERIFY(!bodyText().contains(QLatin1String("versione")));
}

void TestRefresh::automaticRefreshWaitsForTypingButAByHandDoesNot()
{
    go(m_server->url(QStringLiteral("/form")));
    QTRY_COMPARE_WITH_TIMEOUT(m_upper->locationUrl(), m_server->url(QStringLiteral("/form")), Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(bodyText().contains(QLatin1String("versione")), Timeout);
    const QString shown = bodyText();
    clickIntoPage(QPoint(20, 10));
    QTest::keyClicks(m_upper->view()->focusProxy(), QStringLiteral("ordine"));
    const QString typed = QStringLiteral("document.getElementById('f').value");
    QTRY_COMPARE_WITH_TIMEOUT(evaluate(m_upper->page(), typed).toString(), QStringLiteral("ordine"), Timeout);

    m_window->findChild<AutoRefresh *>()->reloadChosenPanes(BrowserPane::Refresh::Automatic);
    QTRY_COMPARE_WITH_TIMEOUT(state()->text(), QStringLiteral("Aggiornamento rinviato"), Timeout);
    QCOMPARE(evaluate(m_upper->page(), typed).toString(), QStringLiteral("ordine"));
    QCOMPARE(bodyText(), shown);

    click("Command21");
    QTRY_VERIFY_WITH_TIMEOUT(bodyText() != shown, Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(state()->text().startsWith(QLatin1String("Aggiornata")), Timeout);
}

void TestRefresh::pageAskingToStayIsLeftOnGo()
{
    go(m_server->url(QStringLiteral("/stay")));
    QTRY_COMPARE_WITH_TIMEOUT(m_upper->locationUrl(), m_server->url(QStringLiteral("/stay")), Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(bodyText().contains(QLatin1String("versione")), Timeout);
    // The engine asks only once the user has touched the page.
    clickIntoPage(QPoint(200, 100));
    QTest::qWait(200);
    go(m_server->url(QStringLiteral("/quote?after")));
    QTRY_COMPARE_WITH_TIMEOUT(m_upper->locationUrl(), m_server->url(QStringLiteral("/quote?after")), Timeout);
}

QTEST_MAIN(TestRefresh)
#include "tst_refresh.moc"
