#include <memory>

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>

#include "common/Colors.h"
#include "core/MainWindow.h"
#include "panes/SilentPage.h"
#include "panes/WebEngineEnvironment.h"
#include "panes/WebEnginePane.h"
#include "support/EngineWindows.h"
#include "support/ScratchFolder.h"
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

private:
    template<typename T>
    T *find(const char *name) const { return m_window->findChild<T *>(QLatin1String(name)); }
    void load(WebEnginePane *pane);
    int scrollY(WebEnginePane *pane) { return evaluate(pane->page(), QStringLiteral("window.scrollY")).toInt(); }

    std::unique_ptr<ScratchFolder> m_dir;
    std::unique_ptr<EngineWindows> m_engine;
    MainWindow *m_window = nullptr;
    WebEnginePane *m_wb1 = nullptr;
    WebEnginePane *m_wb3 = nullptr;
};

void TestHoldWebEngine::initTestCase()
{
    m_dir = std::make_unique<ScratchFolder>();
    QVERIFY(m_dir->isValid());
    QString rows;
    for (int i = 0; i < 400; ++i)
        rows += QStringLiteral("<tr><td>Titolo %1</td><td>%2</td></tr>").arg(i).arg(i * 1.25);
    QFile page(m_dir->filePath(QStringLiteral("quotes.htm")));
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.write(("<!DOCTYPE html><html><head><title>Quotazioni</title></head><body><table>" + rows +
                "</table></body></html>").toUtf8());
    page.close();

    m_engine = std::make_unique<EngineWindows>(m_dir->filePath(QStringLiteral("profile")));
    m_window = m_engine->makeMainWindow(QStringList{});
    m_wb1 = static_cast<WebEnginePane *>(m_window->upperPane());
    m_wb3 = static_cast<WebEnginePane *>(m_window->lowerPane());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void TestHoldWebEngine::cleanupTestCase()
{
    m_window = nullptr;
    m_engine.reset();
    m_dir.reset();
}

void TestHoldWebEngine::load(WebEnginePane *pane)
{
    QSignalSpy loaded(pane->page(), &QWebEnginePage::loadFinished);
    find<QLineEdit>("Text1")->setText(QStringLiteral("quotes.htm"));
    QTest::mouseClick(find<QPushButton>(pane == m_wb1 ? "Command11" : "Command20"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty(), Timeout);
    QVERIFY(loaded.first().first().toBool());
}

void TestHoldWebEngine::heldPageIsBackAtItsOffsetAfterAggiorna()
{
    load(m_wb1);
    find<QCheckBox>("Check1")->click();
    dragThumb(find<QScrollBar>("VScroll1"), 500);
    QTRY_COMPARE_WITH_TIMEOUT(scrollY(m_wb1), 500, Timeout);

    for (int round = 0; round < 3; ++round) {
        QSignalSpy reloaded(m_wb1->page(), &QWebEnginePage::loadFinished);
        QTest::mouseClick(find<QPushButton>("Command9"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!reloaded.isEmpty(), Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(scrollY(m_wb1), 500, Timeout);
    }
}

void TestHoldWebEngine::realClickSuspendsAndOnlyAThumbDragMovesThePageAgain()
{
    load(m_wb3);
    find<QCheckBox>("Check2")->click();
    dragThumb(find<QScrollBar>("VScroll2"), 200);
    QTRY_COMPARE_WITH_TIMEOUT(scrollY(m_wb3), 200, Timeout);

    QTRY_VERIFY_WITH_TIMEOUT(m_wb3->view()->focusProxy() != nullptr, Timeout);
    QTest::mouseClick(m_wb3->view()->focusProxy(), Qt::LeftButton, {}, QPoint(20, 20));
    QTRY_COMPARE_WITH_TIMEOUT(Colors::backColor(find<QCheckBox>("Check2")), Colors::Red, Timeout);

    // The reader scrolls the page; an arrow click on the bar must not pull it back.
    evaluate(m_wb3->page(), QStringLiteral("window.scrollTo(0, 50)"));
    find<QScrollBar>("VScroll2")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QTest::qWait(500);
    QCOMPARE(scrollY(m_wb3), 50);

    dragThumb(find<QScrollBar>("VScroll2"), 450);
    QCOMPARE(Colors::backColor(find<QCheckBox>("Check2")), Colors::LightGrey);
    QTRY_COMPARE_WITH_TIMEOUT(scrollY(m_wb3), 450, Timeout);
}

void TestHoldWebEngine::pageThatMovesAfterStandingStillIsPulledBackAtOnce()
{
    // A held page that has stood at its offset is no longer written to on every tick; it
    // must still be pulled back within a few ticks, not at the next periodic rewrite, when
    // its own script scrolls it or rebuilds its table.
    constexpr int Prompt = 2000;
    load(m_wb1);
    QCheckBox *box = find<QCheckBox>("Check1");
    if (!box->isChecked())
        box->click();
    dragThumb(find<QScrollBar>("VScroll1"), 400);
    QTRY_COMPARE_WITH_TIMEOUT(scrollY(m_wb1), 400, Timeout);
    QTest::qWait(1500);

    evaluate(m_wb1->page(), QStringLiteral("window.scrollTo(0, 0)"));
    QTRY_COMPARE_WITH_TIMEOUT(scrollY(m_wb1), 400, Prompt);

    QTest::qWait(1500);
    evaluate(m_wb1->page(), QStringLiteral("var t=document.querySelector('table');"
                                           "window.savedRows=t.innerHTML;t.innerHTML='';"));
    QTRY_COMPARE_WITH_TIMEOUT(scrollY(m_wb1), 0, Prompt);
    evaluate(m_wb1->page(), QStringLiteral("document.querySelector('table').innerHTML=window.savedRows;"));
    QTRY_COMPARE_WITH_TIMEOUT(scrollY(m_wb1), 400, Prompt);
}

QTEST_MAIN(TestHoldWebEngine)
#include "tst_hold_webengine.moc"
