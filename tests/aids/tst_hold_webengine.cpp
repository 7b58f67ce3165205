#include <memory>

#include <QCheckBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>

#include "common/Colors.h"
#include "panes/webengine/SilentPage.h"
#include "support/Clicks.h"
#include "support/EngineWindows.h"
#include "support/PageServer.h"
#include "support/ThumbDrag.h"
#include "support/WebEngineWait.h"

using WebEngineWait::evaluate;
using WebEngineWait::Timeout;

// The scroll hold against the real engine: what a user watching a held quote table sees.
class TestHoldWebEngine : public QObject
{
    Q_OBJECT
public:
    static void initMain() { WebEngineEnvironment::prepareProcess(); }

private slots:
    void initTestCase();
    void cleanupTestCase();

    void heldPageIsBackAtItsOffsetAfterAggiorna();
    void realClickSuspendsAndOnlyAThumbDragMovesThePageAgain();
    void pageThatMovesAfterStandingStillIsPulledBackAtOnce();
    void linkOpenedFromASuspendedHoldOpensAtItsTop();
    void pagesThatScrollInsideAreHeldWhereTheyScroll();

private:
    const MainControls &controls() const { return m_main.window->controls(); }
    void load(WebEnginePane *pane, const QString &name = QStringLiteral("quotes.htm"));
    int scrollY(WebEnginePane *pane) { return evaluate(pane->page(), QStringLiteral("window.scrollY")).toInt(); }

    std::unique_ptr<EngineWindows> m_engine;
    // A frameset from a web site, whose frames its page reaches; a local page's are kept out
    // of its reach.
    std::unique_ptr<PageServer> m_site;
    EngineWindows::Main m_main{};
};

void TestHoldWebEngine::initTestCase()
{
    m_engine = std::make_unique<EngineWindows>();
    QVERIFY(m_engine->isCurrent());
    QString rows;
    for (int i = 0; i < 400; ++i)
        rows += QStringLiteral("<tr><td>Titolo %1</td><td>%2</td></tr>").arg(i).arg(i * 1.25);
    const QString link = QStringLiteral("<a href=\"quotes.htm\" style=\"position:fixed;top:0;left:0;"
                                        "padding:30px;background:#ff0\">Quotazioni</a>");
    const QByteArray quotes = ("<!DOCTYPE html><html><head><title>Quotazioni</title></head>"
                               "<body><table>" + rows + "</table></body></html>").toUtf8();
    const QByteArray links = ("<!DOCTYPE html><html><head><title>Indice</title></head>"
                              "<body>" + link + "<table>" + rows + "</table></body></html>").toUtf8();
    QVERIFY(m_engine->writePages({{"quotes.htm", quotes},
                                  {"links.htm", links},
                                  // The frame tells its page how far it scrolled: nothing else
                                  // can reach into it.
                                  {"told.htm", QByteArray(quotes).replace("</body>", "<script>onscroll=function(){"
                                               "parent.postMessage('y '+scrollY,'*');};</script></body>")},
                                  {"frames.htm", "<html><head><script>onmessage=function(e){window.told=e.data;};</script>"
                                                 "</head><frameset rows='25%,75%'><frame src='links.htm'>"
                                                 "<frame src='told.htm'></frameset></html>"},
                                  {"box.htm", ("<!DOCTYPE html><html style='height:100%;overflow:hidden'><body style="
                                               "'height:100%;margin:0'><div id=box style='height:100%;overflow:auto'>"
                                               "<table>" + rows + "</table></div></body></html>").toUtf8()}}));
    m_site = std::make_unique<PageServer>([quotes, links](const QString &path) {
        if (path.endsWith(QLatin1String("frames.htm")))
            return QByteArray("<html><frameset rows='25%,75%'><frame src='links.htm'><frame src='quotes.htm'></frameset></html>");
        return path.endsWith(QLatin1String("links.htm")) ? links : quotes;
    });
    QVERIFY(m_site->listen());

    m_main = m_engine->showMainWindow();
    QVERIFY(QTest::qWaitForWindowExposed(m_main.window));
}

void TestHoldWebEngine::cleanupTestCase()
{
    m_engine.reset();
}

void TestHoldWebEngine::load(WebEnginePane *pane, const QString &name)
{
    QSignalSpy loaded(pane->page(), &QWebEnginePage::loadFinished);
    controls().address->setText(name);
    leftClick(pane == m_main.upper ? controls().upper.go : controls().lower.go);
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty(), Timeout);
    QVERIFY(loaded.first().first().toBool());
}

void TestHoldWebEngine::heldPageIsBackAtItsOffsetAfterAggiorna()
{
    load(m_main.upper);
    controls().upper.holdBox->click();
    dragThumb(controls().upper.holdBar, 500);
    QTRY_COMPARE_WITH_TIMEOUT(scrollY(m_main.upper), 500, Timeout);

    for (int round = 0; round < 3; ++round) {
        // The refreshed page is shown in a view of its own: the pane says when it is there.
        QSignalSpy reloaded(m_main.upper, &BrowserPane::loaded);
        leftClick(controls().refresh.reloadNow);
        QTRY_VERIFY_WITH_TIMEOUT(!reloaded.isEmpty(), Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(scrollY(m_main.upper), 500, Timeout);
    }
}

void TestHoldWebEngine::realClickSuspendsAndOnlyAThumbDragMovesThePageAgain()
{
    load(m_main.lower);
    controls().lower.holdBox->click();
    dragThumb(controls().lower.holdBar, 200);
    QTRY_COMPARE_WITH_TIMEOUT(scrollY(m_main.lower), 200, Timeout);

    // The click into the page is what turns the flag red, not anything before it.
    QCOMPARE(Colors::backColor(controls().lower.holdBox), Colors::LightGrey);
    QTRY_VERIFY_WITH_TIMEOUT(m_main.lower->view()->focusProxy() != nullptr, Timeout);
    QTest::mouseClick(m_main.lower->view()->focusProxy(), Qt::LeftButton, {}, QPoint(20, 20));
    QTRY_COMPARE_WITH_TIMEOUT(Colors::backColor(controls().lower.holdBox), Colors::Red, Timeout);

    // The reader scrolls the page; an arrow click on the bar must not pull it back.
    evaluate(m_main.lower->page(), QStringLiteral("window.scrollTo(0, 50)"));
    controls().lower.holdBar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QTest::qWait(500);
    QCOMPARE(scrollY(m_main.lower), 50);

    dragThumb(controls().lower.holdBar, 450);
    QCOMPARE(Colors::backColor(controls().lower.holdBox), Colors::LightGrey);
    QTRY_COMPARE_WITH_TIMEOUT(scrollY(m_main.lower), 450, Timeout);
}

void TestHoldWebEngine::pageThatMovesAfterStandingStillIsPulledBackAtOnce()
{
    // A held page that has stood at its offset is no longer written to on every tick; it
    // must still be pulled back within a few ticks, not at the next periodic rewrite, when
    // its own script scrolls it or rebuilds its table.
    constexpr int Prompt = 2000;
    load(m_main.upper);
    QCheckBox *box = controls().upper.holdBox;
    if (!box->isChecked())
        box->click();
    dragThumb(controls().upper.holdBar, 400);
    QTRY_COMPARE_WITH_TIMEOUT(scrollY(m_main.upper), 400, Timeout);
    QTest::qWait(1500);

    evaluate(m_main.upper->page(), QStringLiteral("window.scrollTo(0, 0)"));
    QTRY_COMPARE_WITH_TIMEOUT(scrollY(m_main.upper), 400, Prompt);

    QTest::qWait(1500);
    evaluate(m_main.upper->page(), QStringLiteral("var t=document.querySelector('table');"
                                           "window.savedRows=t.innerHTML;t.innerHTML='';"));
    QTRY_COMPARE_WITH_TIMEOUT(scrollY(m_main.upper), 0, Prompt);
    evaluate(m_main.upper->page(), QStringLiteral("document.querySelector('table').innerHTML=window.savedRows;"));
    QTRY_COMPARE_WITH_TIMEOUT(scrollY(m_main.upper), 400, Prompt);
}

void TestHoldWebEngine::linkOpenedFromASuspendedHoldOpensAtItsTop()
{
    load(m_main.upper, QStringLiteral("links.htm"));
    QCheckBox *box = controls().upper.holdBox;
    if (!box->isChecked())
        box->click();
    dragThumb(controls().upper.holdBar, 400);
    QTRY_COMPARE_WITH_TIMEOUT(scrollY(m_main.upper), 400, Timeout);

    // The click that follows the link is the one that suspends the hold.
    QSignalSpy opened(m_main.upper->page(), &QWebEnginePage::loadFinished);
    QTest::mouseClick(m_main.upper->view()->focusProxy(), Qt::LeftButton, {}, QPoint(20, 20));
    QTRY_VERIFY_WITH_TIMEOUT(!opened.isEmpty(), Timeout);
    QCOMPARE(m_main.upper->locationName(), QStringLiteral("Quotazioni"));
    QCOMPARE(Colors::backColor(box), Colors::Red);
    // Past the load event and late layout, where a hold left behind would still strike.
    QTest::qWait(1000);
    QCOMPARE(scrollY(m_main.upper), 0);

    dragThumb(controls().upper.holdBar, 300);
    QTRY_COMPARE_WITH_TIMEOUT(scrollY(m_main.upper), 300, Timeout);
}

void TestHoldWebEngine::pagesThatScrollInsideAreHeldWhereTheyScroll()
{
    load(m_main.upper, QStringLiteral("box.htm"));
    QCheckBox *box = controls().upper.holdBox;
    if (!box->isChecked())
        box->click();
    dragThumb(controls().upper.holdBar, 300);
    const QString boxTop = QStringLiteral("document.getElementById('box').scrollTop");
    QTRY_COMPARE_WITH_TIMEOUT(evaluate(m_main.upper->page(), boxTop).toInt(), 300, Timeout);
    evaluate(m_main.upper->page(), QStringLiteral("document.getElementById('box').scrollTop=0"));
    QTRY_COMPARE_WITH_TIMEOUT(evaluate(m_main.upper->page(), boxTop).toInt(), 300, 2000);

    // A frameset: its larger frame.
    load(m_main.upper, m_site->url(QStringLiteral("/frames.htm")));
    QTRY_COMPARE_WITH_TIMEOUT(evaluate(m_main.upper->page(), QStringLiteral("frames[1].scrollY")).toInt(), 300, Timeout);
    QCOMPARE(evaluate(m_main.upper->page(), QStringLiteral("frames[0].scrollY")).toInt(), 0);
    load(m_main.upper, QStringLiteral("frames.htm"));
    QTRY_COMPARE_WITH_TIMEOUT(evaluate(m_main.upper->page(), QStringLiteral("window.told")).toString(),
                              QStringLiteral("y 300"), Timeout);
}

QTEST_MAIN(TestHoldWebEngine)
#include "tst_hold_webengine.moc"
