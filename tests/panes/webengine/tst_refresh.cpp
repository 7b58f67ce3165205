#include <cstdio>
#include <functional>
#include <memory>
#include <unistd.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryFile>
#include <QTest>
#include <QWebEngineView>
#include <QWheelEvent>

#include "aids/AutoRefresh.h"
#include "common/ProgramSettings.h"
#include "common/Colors.h"
#include "common/QtTranslations.h"
#include "core/MainWindow.h"
#include "panes/webengine/FreezeProbe.h"
#include "panes/webengine/SilentPage.h"
#include "panes/webengine/WebEngineEnvironment.h"
#include "panes/webengine/WebEnginePane.h"
#include "support/Clicks.h"
#include "support/EngineWindows.h"
#include "support/MessageCapture.h"
#include "support/PageServer.h"
#include "support/ThumbDrag.h"
#include "support/WebEngineWait.h"

using WebEngineWait::evaluate;
using WebEngineWait::Timeout;
using Fault = PageServer::Fault;
Q_DECLARE_METATYPE(Fault)

namespace {
QString logged;
} // namespace

// Refreshes of a held quote page in the real window while the site fails every way a site
// does: the page stays, the pane says it is stale and why, and the next refresh after the
// site is back brings it up to date. Also what must never block a refresh: typing into the
// page (put off, not lost) and a page that asks to stay. And pages that fight back: one that
// freezes, floods its console, wants a login or asks questions; with the keys and the
// context menu the user has against them.
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
    void linkClickedDuringASlowRefreshStays();
    void automaticRefreshWaitsForTypingButAByHandDoesNot();
    void pageAskingToStayIsLeftOnGo();
    void frozenPageIsEndedAndComesBack();
    void consoleFloodWritesNothing();
    void keysReloadGoBackAndZoom();
    void zoomComesBackPerSiteAndPaneAfterReloadsAndARestart();
    void loginIsAskedOnGoButNeverOnARefresh();
    void questionsShowOnlyAfterTheUsersClick_data();
    void questionsShowOnlyAfterTheUsersClick();
    void contextMenuHoldsOnlyWhatFitsAndTheProgramsOwn();

private:
    QString bodyText() { return evaluate(m_upper->page(), QStringLiteral("document.body.innerText")).toString(); }
    int scrollY() { return evaluate(m_upper->page(), QStringLiteral("window.scrollY")).toInt(); }
    QLabel *state() const { return m_upper->widget()->findChild<QLabel *>(QStringLiteral("paneState")); }
    const MainControls &controls() const { return m_window->controls(); }
    void go(const QString &address);
    void clickIntoPage(QPoint at);

    std::unique_ptr<PageServer> m_server;
    std::unique_ptr<EngineWindows> m_engine;
    MainWindow *m_window = nullptr;
    WebEnginePane *m_upper = nullptr;
    int m_version = 0;
    bool m_freeze = false;
    // The page's questions, answered as the test says in advance, or else cancelled.
    MessageCapture m_questions;
};

void TestRefresh::initTestCase()
{
    m_server = std::make_unique<PageServer>([this](const QString &path) -> QByteArray {
        QByteArray rows;
        for (int i = 0; i < 300; ++i)
            rows += "<tr><td>Titolo " + QByteArray::number(i) + "</td></tr>";
        const QByteArray extra = path.contains(QLatin1String("form"))
            ? "<input id=f style='position:fixed;top:0'><input id=c type=checkbox style='position:fixed;top:40px'>"
                               : path.contains(QLatin1String("stay"))
            ? "<script>addEventListener('beforeunload',function(e){e.preventDefault();e.returnValue='';});</script>"
            : "";
        if (path == QLatin1String("/flood"))
            return "<title>flood</title><script>for(var i=0;i<3000;i++){console.warn('FLOOD '+i);console.error('FLOOD');}"
                   "document.title='done';</script>";
        if (path == QLatin1String("/ask"))
            return "<title>ask</title><style>button,input{display:block;width:200px;height:60px}</style><body style='margin:0'>"
                   "<button onclick=\"document.title='confirm='+confirm('Eliminare?')\">c</button>"
                   "<button onclick=\"document.title='prompt='+prompt('Quanti?','1')\">p</button><input type=file>"
                   "<script>setTimeout(function(){document.title='self='+confirm('Da sola?')},0)</script></body>";
        const QByteArray link = path == QLatin1String("/link") ? "<a href='/second' style='position:fixed;top:0;padding:20px'>l</a>" : "";
        return "<!DOCTYPE html><html><body>" + extra + link + "<p>versione " + QByteArray::number(++m_version) + "</p><table>"
            + rows + "</table>" + (m_freeze ? "<script>for(;;){}</script>" : "") + "</body></html>";
    });
    QVERIFY(m_server->listen());
    m_engine = std::make_unique<EngineWindows>();
}

void TestRefresh::init()
{
    m_server->setFault(Fault::None);
    m_server->login.clear();
    m_server->holding.clear();
    m_freeze = false;
    const EngineWindows::Main main = m_engine->showMainWindow({m_server->url(QStringLiteral("/quote"))});
    m_window = main.window;
    m_upper = main.upper;
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QTRY_VERIFY_WITH_TIMEOUT(state()->text().startsWith(QLatin1String("Aggiornata")), Timeout);
}

void TestRefresh::cleanup()
{
    m_engine->closeWindows();
    // Every test page is on one site, in this program and the other tests.
    ProgramSettings::setSiteZooms(ProgramSettings::Pane::Upper, {});
    m_questions.clear();
}

void TestRefresh::go(const QString &address)
{
    controls().address->setText(address);
    leftClick(controls().upper.go);
}

void TestRefresh::clickIntoPage(QPoint at)
{
    WebEngineWait::painted(m_upper->page());
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
    // Only the site that never answers waits for the time; the others for what they send.
    if (fault == Fault::Hang)
        m_upper->setRefreshTimeout(3000);
    controls().upper.holdBox->click();
    dragThumb(controls().upper.holdBar, 400);
    QTRY_COMPARE_WITH_TIMEOUT(scrollY(), 400, Timeout);
    const QString shown = bodyText();
    auto refresh = [&] {
        if (how == QLatin1String("auto"))
            m_window->findChild<AutoRefresh *>()->reloadChosenPanes(BrowserPane::Refresh::Automatic);
        else
            leftClick(how == QLatin1String("A") ? controls().upper.reload : controls().refresh.reloadNow);
    };

    m_server->setFault(fault);
    refresh();
    QTRY_VERIFY_WITH_TIMEOUT(state()->text().startsWith(QLatin1String("Non aggiornata")), Timeout);
    QVERIFY2(state()->toolTip().contains(reason), qPrintable(state()->toolTip()));
    QCOMPARE(bodyText(), shown);
    QCOMPARE(scrollY(), 400);
    QCOMPARE(controls().upper.holdBox->isChecked(), true);

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

void TestRefresh::linkClickedDuringASlowRefreshStays()
{
    auto shows = [this](const char *path) { return m_upper->page()->url().path() == QLatin1String(path) && !m_upper->page()->isLoading(); };
    QSignalSpy loaded(m_upper, &BrowserPane::loaded);
    go(m_server->url(QStringLiteral("/link")));
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty() && shows("/link"), Timeout);
    m_server->holding << QStringLiteral("/link");
    leftClick(controls().refresh.reloadNow);
    QTRY_VERIFY_WITH_TIMEOUT(m_server->requests.count(QStringLiteral("/link")) == 2, Timeout);
    clickIntoPage(QPoint(30, 30));
    QTRY_VERIFY_WITH_TIMEOUT(shows("/second"), Timeout);
    // The site answers the refresh at last: the page the user chose stays, and says so.
    m_server->releaseHeld();
    QTRY_VERIFY_WITH_TIMEOUT(!m_upper->isRefreshing(), Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(shows("/second") && state()->text().startsWith(QLatin1String("Aggiornata")), Timeout);
    QVERIFY(m_upper->widget()->findChild<QWidget *>(QStringLiteral("paneProgress"))->isHidden());
}

void TestRefresh::automaticRefreshWaitsForTypingButAByHandDoesNot()
{
    go(m_server->url(QStringLiteral("/form")));
    QTRY_COMPARE_WITH_TIMEOUT(m_upper->locationUrl(), m_server->url(QStringLiteral("/form")), Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(bodyText().contains(QLatin1String("versione")), Timeout);
    auto *cycle = m_window->findChild<AutoRefresh *>();
    QCheckBox *box = controls().upper.holdBox;
    box->click();
    // A key on a box to tick is no typing: the cycle's refresh goes ahead.
    QString shown = bodyText();
    clickIntoPage(QPoint(18, 49));
    QTest::keyClick(m_upper->view()->focusProxy(), Qt::Key_Space);
    QTRY_COMPARE_WITH_TIMEOUT(evaluate(m_upper->page(), QStringLiteral("c.checked")).toBool(), false, Timeout);
    cycle->reloadChosenPanes(BrowserPane::Refresh::Automatic);
    QTRY_VERIFY_WITH_TIMEOUT(bodyText() != shown && !m_upper->isRefreshing(), Timeout);

    // Typing puts off three refreshes in a row, which leave the page and its suspended hold
    // exactly where they are; the fourth goes ahead and brings back what was typed.
    shown = bodyText();
    controls().address->setFocus();
    clickIntoPage(QPoint(20, 10));
    QTest::keyClicks(m_upper->view()->focusProxy(), QStringLiteral("ordine"));
    const QString typed = QStringLiteral("document.getElementById('f').value");
    QTRY_COMPARE_WITH_TIMEOUT(evaluate(m_upper->page(), typed).toString(), QStringLiteral("ordine"), Timeout);
    QCOMPARE(Colors::backColor(box), Colors::Red);
    QSignalSpy putOff(m_upper, &BrowserPane::refreshPutOff);
    for (int i = 1; i <= 3; ++i) {
        cycle->reloadChosenPanes(BrowserPane::Refresh::Automatic);
        QTRY_COMPARE_WITH_TIMEOUT(putOff.size(), i, Timeout);
    }
    QCOMPARE(state()->text(), QStringLiteral("Aggiornamento rinviato"));
    QCOMPARE(evaluate(m_upper->page(), typed).toString(), QStringLiteral("ordine"));
    QCOMPARE(bodyText(), shown);
    QCOMPARE(Colors::backColor(box), Colors::Red);
    cycle->reloadChosenPanes(BrowserPane::Refresh::Automatic);
    QCOMPARE(Colors::backColor(box), Colors::LightGrey);
    QTRY_VERIFY_WITH_TIMEOUT(bodyText() != shown && !m_upper->isRefreshing(), Timeout);
    QCOMPARE(evaluate(m_upper->page(), typed).toString(), QStringLiteral("ordine"));

    shown = bodyText();
    leftClick(controls().upper.reload);
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
    QTRY_VERIFY_WITH_TIMEOUT(evaluate(m_upper->page(), QStringLiteral("navigator.userActivation.hasBeenActive")).toBool(),
                             Timeout);
    go(m_server->url(QStringLiteral("/quote?after")));
    QTRY_COMPARE_WITH_TIMEOUT(m_upper->locationUrl(), m_server->url(QStringLiteral("/quote?after")), Timeout);
}

void TestRefresh::frozenPageIsEndedAndComesBack()
{
    // A page busy for seconds, as a heavy chart at load on a loaded machine, is not frozen.
    FreezeProbe watch;
    QSignalSpy frozen(&watch, &FreezeProbe::frozen);
    m_upper->page()->runJavaScript(QStringLiteral("var t=Date.now();while(Date.now()-t<10000){}"));
    watch.probe(m_upper->page());
    QCOMPARE(evaluate(m_upper->page(), QStringLiteral("1")).toInt(), 1);
    QVERIFY(frozen.isEmpty());

    // A refresh is prepared in a page of its own, which the engine may give a process of its
    // own; "GO" to the same site stays in the frozen one, and so did every refresh after it.
    m_freeze = true;
    m_upper->setFreezeTimeout(2000);
    go(m_server->url(QStringLiteral("/frozen")));
    auto stopsAnswering = [this] {
        auto answered = std::make_shared<bool>(false);
        m_upper->page()->runJavaScript(QStringLiteral("0"), [answered](const QVariant &) { *answered = true; });
        return !QTest::qWaitFor([answered] { return *answered; }, 1000);
    };
    QTRY_VERIFY_WITH_TIMEOUT(stopsAnswering(), Timeout);
    leftClick(controls().upper.reload);
    QTRY_VERIFY_WITH_TIMEOUT(m_upper->isCrashed(), Timeout);
    QCOMPARE(state()->text(), QStringLiteral("Pagina non caricata"));
    QVERIFY2(state()->toolTip().contains(QLatin1String("non rispondeva")), qPrintable(state()->toolTip()));

    m_freeze = false;
    leftClick(controls().refresh.reloadNow);
    QTRY_VERIFY_WITH_TIMEOUT(state()->text().startsWith(QLatin1String("Aggiornata")), Timeout);
    QVERIFY(m_upper->locationUrl().endsWith(QLatin1String("/frozen")));
    QVERIFY(evaluate(m_upper->page(), QStringLiteral("document.body.innerText")).toString().contains(QLatin1String("versione")));
}

void TestRefresh::consoleFloodWritesNothing()
{
    // Qt's messages and the engine's own log, which goes to file descriptor 2 directly.
    QTemporaryFile captured;
    QVERIFY(captured.open());
    std::fflush(stderr);
    const int saved = ::dup(2);
    ::dup2(captured.handle(), 2);
    const QtMessageHandler testsHandler = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &, const QString &message) { logged += message; });
    go(m_server->url(QStringLiteral("/flood")));
    QTRY_COMPARE_WITH_TIMEOUT(m_upper->page()->title(), QStringLiteral("done"), Timeout);
    evaluate(m_upper->page(), QStringLiteral("1"));
    qInstallMessageHandler(testsHandler);
    std::fflush(stderr);
    ::dup2(saved, 2);
    ::close(saved);
    QVERIFY2(!captured.readAll().contains("FLOOD") && !logged.contains(QLatin1String("FLOOD")),
             "the page's console reached the error output");
}

void TestRefresh::keysReloadGoBackAndZoom()
{
    go(m_server->url(QStringLiteral("/second")));
    QTRY_VERIFY_WITH_TIMEOUT(m_upper->page()->url().path() == QLatin1String("/second") && !m_upper->page()->isLoading(), Timeout);
    clickIntoPage(QPoint(300, 200));
    for (const QKeyCombination key : {QKeyCombination(Qt::Key_F5), Qt::CTRL | Qt::Key_R}) {
        const qsizetype asked = m_server->requests.size();
        QTest::keyClick(m_upper->view()->focusProxy(), key.key(), key.keyboardModifiers());
        QTRY_VERIFY_WITH_TIMEOUT(m_server->requests.size() > asked && !m_upper->isRefreshing(), Timeout);
    }
    QTest::keyClick(m_upper->view()->focusProxy(), Qt::Key_Plus, Qt::ControlModifier);
    QTest::keyClick(m_upper->view()->focusProxy(), Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(m_upper->zoomPercent(), 125);
    QVERIFY2(state()->text().endsWith(QLatin1String("zoom 125 %")), qPrintable(state()->text()));
    clickIntoPage(QPoint(300, 200));
    QTest::keyClick(m_upper->view()->focusProxy(), Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(m_upper->zoomPercent(), 110);
    QWheelEvent wheel(QPointF(300, 200), QPointF(), {}, QPoint(0, 120), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(m_upper->view()->focusProxy(), &wheel);
    QCOMPARE(m_upper->zoomPercent(), 125);
    QTest::keyClick(m_upper->view()->focusProxy(), Qt::Key_0, Qt::ControlModifier);
    QVERIFY(!state()->text().contains(QLatin1Char('%')));

    QTest::keyClick(m_upper->view()->focusProxy(), Qt::Key_Left, Qt::AltModifier);
    QTRY_VERIFY_WITH_TIMEOUT(m_upper->locationUrl().endsWith(QLatin1String("/quote")), Timeout);
    QTest::keyClick(m_upper->view()->focusProxy(), Qt::Key_Right, Qt::AltModifier);
    QTRY_VERIFY_WITH_TIMEOUT(m_upper->locationUrl().endsWith(QLatin1String("/second")), Timeout);
}

void TestRefresh::zoomComesBackPerSiteAndPaneAfterReloadsAndARestart()
{
    const auto zoom = [](WebEnginePane *pane) {
        return evaluate(pane->page(), QStringLiteral("window.devicePixelRatio")).toDouble();
    };
    const auto show = [](WebEnginePane *pane, const std::function<void()> &load) {
        QSignalSpy loaded(pane, &BrowserPane::loaded);
        load();
        return QTest::qWaitFor([&loaded] { return !loaded.isEmpty(); }, Timeout);
    };
    clickIntoPage(QPoint(300, 200));
    QTest::keyClick(m_upper->view()->focusProxy(), Qt::Key_Plus, Qt::ControlModifier);
    QTest::keyClick(m_upper->view()->focusProxy(), Qt::Key_Plus, Qt::ControlModifier);
    QVERIFY(show(m_upper, [this] { leftClick(controls().upper.reload); }));
    QTRY_COMPARE_WITH_TIMEOUT(zoom(m_upper), 1.25, Timeout);

    QVERIFY(m_engine->writePages({{"altro.htm", "<p>altro</p>"}}));
    QVERIFY(show(m_upper, [this] { go(m_engine->url(QStringLiteral("altro.htm"))); }));
    QCOMPARE(zoom(m_upper), 1.0);
    QVERIFY(!state()->text().contains(QLatin1Char('%')));
    QVERIFY(show(m_upper, [this] { m_upper->goBack(); }));
    QTRY_COMPARE_WITH_TIMEOUT(zoom(m_upper), 1.25, Timeout);
    auto *lower = qobject_cast<WebEnginePane *>(m_window->lowerPane());
    QVERIFY(show(lower, [this, lower] { lower->navigate(m_server->url(QStringLiteral("/quote"))); }));
    QCOMPARE(zoom(lower), 1.0);

    m_engine->closeWindows();
    const EngineWindows::Main again = m_engine->showMainWindow({m_server->url(QStringLiteral("/quote"))});
    m_window = again.window;
    m_upper = again.upper;
    QTRY_VERIFY_WITH_TIMEOUT(state()->text().endsWith(QLatin1String("zoom 125 %")), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(zoom(m_upper), 1.25, Timeout);
    QCOMPARE(m_upper->widget()->findChild<QLabel *>(QStringLiteral("paneStateMark"))->text(), QStringLiteral("\u2713 125 %"));
}

void TestRefresh::loginIsAskedOnGoButNeverOnARefresh()
{
    m_server->login = "mario:segreto";
    m_questions.answerNext({true, {QStringLiteral("mario"), QStringLiteral("segreto")}});
    // Waited for as the pane reports it: the label still says "Aggiornata" of the page before,
    // and "A" on a page still loading reloads it in place, which fails as a navigation does.
    QSignalSpy loaded(m_upper, &BrowserPane::loaded);
    go(m_server->url(QStringLiteral("/conto")));
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty() && m_upper->locationUrl().endsWith(QLatin1String("/conto")), Timeout);
    QCOMPARE(m_questions.size(), 1);
    QCOMPARE(m_questions.first().kind, MessageBox::Kind::Login);
    QVERIFY(m_questions.first().title.startsWith(QLatin1String("Accesso a")));
    QVERIFY(m_questions.first().parent == m_window);

    // The site now refuses the password the engine keeps: the refresh fails, nobody is asked.
    m_server->login = "mario:cambiata";
    clickIntoPage(QPoint(300, 200));
    leftClick(controls().upper.reload);
    QTRY_VERIFY_WITH_TIMEOUT(state()->text().startsWith(QLatin1String("Non aggiornata")), Timeout);
    QVERIFY(state()->toolTip().contains(QLatin1String("HTTP 401")));
    QCOMPARE(m_questions.size(), 1);
}

void TestRefresh::questionsShowOnlyAfterTheUsersClick_data()
{
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QString>("answer");
    QTest::newRow("confirm") << QPoint(100, 30) << "confirm=true";
    QTest::newRow("prompt") << QPoint(100, 90) << "prompt=42";
    QTest::newRow("file chooser") << QPoint(100, 150) << "";
}

void TestRefresh::questionsShowOnlyAfterTheUsersClick()
{
    QFETCH(QPoint, at);
    QFETCH(QString, answer);
    go(m_server->url(QStringLiteral("/ask")));
    // The page's own question on loading was answered "no" without a dialog.
    QTRY_COMPARE_WITH_TIMEOUT(m_upper->page()->title(), QStringLiteral("self=false"), Timeout);
    QVERIFY(m_questions.isEmpty());

    // The file chooser is cancelled.
    m_questions.answerNext(answer.isEmpty() ? MessageBox::Answer{} : MessageBox::Answer{true, {QStringLiteral("42")}});
    clickIntoPage(at);
    QTRY_COMPARE_WITH_TIMEOUT(m_questions.size(), 1, Timeout);
    QVERIFY(m_questions.first().parent == m_window);
    QCOMPARE(m_questions.first().kind == MessageBox::Kind::FileChoice, answer.isEmpty());
    if (!answer.isEmpty())
        QTRY_COMPARE_WITH_TIMEOUT(m_upper->page()->title(), answer, Timeout);
}

void TestRefresh::contextMenuHoldsOnlyWhatFitsAndTheProgramsOwn()
{
    // The window's own item comes last.
    go(m_server->url(QStringLiteral("/link")));
    QTRY_VERIFY_WITH_TIMEOUT(m_upper->page()->url().path() == QLatin1String("/link") && !m_upper->page()->isLoading(), Timeout);
    QTest::mouseClick(m_upper->view()->focusProxy(), Qt::RightButton, {}, QPoint(30, 30));
    QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<QMenu *>(QApplication::activePopupWidget()), Timeout);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QStringList texts;
    for (QAction *action : menu->actions())
        texts << action->text();
    QCOMPARE(texts, QStringList({"Indietro", "Avanti", "Ricarica", "", "Copia", "Copia indirizzo del link", "",
                                "Evidenzia le variazioni", "Aggiorna solo a mercato aperto"}));
    const qsizetype asked = m_server->requests.size();
    menu->actions().at(2)->trigger();
    menu->close();
    QTRY_VERIFY_WITH_TIMEOUT(m_server->requests.size() > asked, Timeout);

    // The tests' system speaks English; Qt's texts are Italian all the same.
    QCOMPARE(QtTranslations::installItalian(*qApp) > 0, true);
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Annulla"));
}

QTEST_MAIN(TestRefresh)
#include "tst_refresh.moc"
