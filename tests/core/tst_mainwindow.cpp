#include <memory>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QTest>

#include "calculator/Calculator.h"
#include "common/Colors.h"
#include "common/Controls.h"
#include "common/ProgramSettings.h"
#include "common/Twips.h"
#include "core/SettingsEditor.h"
#include "support/Clicks.h"
#include "support/WindowScene.h"

// How the window connects its parts: each part is tested on its own; these check that the
// window hands each one the right controls and passes their signals on.
class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void addressesReachThePanesAndTheHistory();
    void upperHomeFollowsASavedStartPageWithoutRestart();
    void aggiornaReengagesChosenHoldsButPaneRefreshLeavesThem();
    void hiddenScrollCheckPutsAHeldPageBack();
    void resizeMovesLowerPaneColumnAndBars();
    void minimiseAndRestoreKeepTheLayout();
    void closingTheWindowClosesTheCalculator();
    void highlightChoiceIsPerPaneAndKeptForTheNextStart();
    void placeAndSizeComeBackOnAScreen_data();
    void placeAndSizeComeBackOnAScreen();

private:
    const MainControls &controls() const { return m_scene->recorded->controls(); }
    static quint32 flag(QCheckBox *box) { return Colors::backColor(box); }
    void restart()
    {
        m_scene = std::make_unique<WindowScene>();
        RecordedWindow &recorded = m_scene->start();
        m_upper = recorded.upper();
        m_lower = recorded.lower();
    }
    static QAction *highlightAction(RecordingPane *pane)
    {
        for (QAction *action : pane->menuActions()) {
            if (action->objectName() == QLatin1String("highlightChanges"))
                return action;
        }
        return nullptr;
    }

    std::unique_ptr<WindowScene> m_scene;
    MainWindow *m_window = nullptr;
    RecordingPane *m_upper = nullptr;
    RecordingPane *m_lower = nullptr;
};

void TestMainWindow::init()
{
    m_scene = std::make_unique<WindowScene>();
    RecordedWindow &recorded = m_scene->start();
    m_window = &recorded.window();
    m_upper = recorded.upper();
    m_lower = recorded.lower();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    recorded.clearCalls();
}

void TestMainWindow::cleanup()
{
    m_scene.reset();
    // Kept by a window closed, for the next start: not for other tests.
    ProgramSettings::setLayout(ProgramSettings::Layout::MainWindow, {});
    ProgramSettings::setPaneSplit(std::nullopt);
}

void TestMainWindow::addressesReachThePanesAndTheHistory()
{
    auto *box = controls().address;
    box->setText(QStringLiteral("borsa.example"));
    QTest::keyClick(box, Qt::Key_Return);
    box->setText(QStringLiteral("second.example"));
    leftClick(controls().lower.go);
    QCOMPARE(m_upper->calls, QStringList{QStringLiteral("Navigate:borsa.example")});
    QCOMPARE(m_lower->calls, QStringList{QStringLiteral("Navigate:second.example")});

    leftClick(controls().history);
    auto *history = controls().historyList;
    QCOMPARE(history->count(), 2);
    clickItem(*history, 0);
    QCOMPARE(box->text(), QStringLiteral("borsa.example"));
}

void TestMainWindow::upperHomeFollowsASavedStartPageWithoutRestart()
{
    leftClick(controls().configure);
    SettingsEditor *editor = m_window->settingsEditor();
    QVERIFY(editor);
    // The last box holds the start page.
    editor->controls().boxes.back()->setText(QStringLiteral("borsa.example/start"));
    editor->saveAndHide();
    QVERIFY(m_upper->calls.isEmpty());
    leftClick(controls().upper.home);
    leftClick(controls().lower.home);
    QCOMPARE(m_upper->calls, QStringList{QStringLiteral("Navigate:borsa.example/start")});
    QCOMPARE(m_lower->navigations().size(), 1);
}

void TestMainWindow::aggiornaReengagesChosenHoldsButPaneRefreshLeavesThem()
{
    controls().upper.holdBox->click();
    controls().lower.holdBox->click();
    emit m_upper->gotFocus();
    emit m_lower->gotFocus();
    m_upper->clearCalls();
    m_lower->clearCalls();

    // The hold is engaged again before the refresh, so the new page opens at the offset.
    leftClick(controls().upper.reload);
    QCOMPARE(flag(controls().upper.holdBox), Colors::Red);
    leftClick(controls().refresh.reloadNow);
    QCOMPARE(m_upper->calls, (QStringList{QStringLiteral("Refresh"), QStringLiteral("Hold:0"), QStringLiteral("Refresh")}));
    QVERIFY(m_lower->calls.isEmpty());
    QCOMPARE(flag(controls().upper.holdBox), Colors::LightGrey);
    QCOMPARE(flag(controls().lower.holdBox), Colors::Red);

    controls().refresh.chosen[1]->click();
    leftClick(controls().refresh.reloadNow);
    QCOMPARE(m_lower->calls, (QStringList{QStringLiteral("Hold:0"), QStringLiteral("Refresh")}));
    QCOMPARE(flag(controls().lower.holdBox), Colors::LightGrey);
}

void TestMainWindow::hiddenScrollCheckPutsAHeldPageBack()
{
    controls().lower.holdBox->click();
    leftClick(controls().applyHolds);
    QCOMPARE(m_lower->calls, (QStringList{QStringLiteral("Hold:0"), QStringLiteral("Hold:0")}));
    QVERIFY(m_upper->calls.isEmpty());
}

void TestMainWindow::resizeMovesLowerPaneColumnAndBars()
{
    m_window->resize(900, 700);
    QTRY_COMPARE(m_window->height(), 700);
    const double dpiY = Twips::dpiY(m_window);
    const double outerH = Twips::fromPixels(m_window->frameGeometry().height(), dpiY);
    const double upperHeight = m_upper->heightTwips();
    QVERIFY(qAbs(upperHeight - outerH / 2.4) <= 15);
    QVERIFY(qAbs(m_lower->topTwips() - (upperHeight + m_upper->topTwips() + 100)) <= 15);
    QCOMPARE(controls().lower.back->y(), m_lower->widget()->y());
    QCOMPARE(controls().upper.holdBar->x(), m_upper->widget()->x() + m_upper->widget()->width());
    QCOMPARE(controls().lower.holdBox->y(), m_lower->widget()->y());
    QCOMPARE(controls().upper.holdBox->y(), Twips::toPixels(765, dpiY));
}

void TestMainWindow::minimiseAndRestoreKeepTheLayout()
{
    m_window->resize(880, 640);
    QTRY_COMPARE(m_window->width(), 880);
    auto snapshot = [this] {
        QList<QRect> rects;
        for (QWidget *w : m_window->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
            rects << w->geometry();
        return rects;
    };
    const QList<QRect> before = snapshot();
    m_window->showMinimized();
    QTest::qWait(50);
    m_window->showNormal();
    QTest::qWait(50);
    QCOMPARE(snapshot(), before);
}

void TestMainWindow::closingTheWindowClosesTheCalculator()
{
    leftClick(controls().calculator);
    auto openCalculators = [] {
        int open = 0;
        for (QWidget *window : QApplication::topLevelWidgets())
            open += qobject_cast<Calculator *>(window) && window->isVisible();
        return open;
    };
    QCOMPARE(openCalculators(), 1);
    m_window->close();
    QCOMPARE(openCalculators(), 0);
}

void TestMainWindow::highlightChoiceIsPerPaneAndKeptForTheNextStart()
{
    QSettings().remove(QStringLiteral("evidenziaVariazioni"));
    restart();
    QAction *upper = highlightAction(m_upper);
    QVERIFY(upper && upper->isCheckable() && upper->isChecked());
    QVERIFY(m_upper->highlightChanges);

    upper->trigger();
    QVERIFY(!m_upper->highlightChanges);
    QVERIFY(m_lower->highlightChanges);

    restart();
    QVERIFY(!m_upper->highlightChanges);
    QVERIFY(!highlightAction(m_upper)->isChecked());
    QVERIFY(m_lower->highlightChanges);
    highlightAction(m_upper)->trigger();
    QVERIFY(m_upper->highlightChanges);
}

void TestMainWindow::placeAndSizeComeBackOnAScreen_data()
{
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<bool>("onAScreen");
    QTest::newRow("on the screen") << QPoint(40, 50) << true;
    QTest::newRow("on a screen now gone") << QPoint(5000, 4000) << false;
}

void TestMainWindow::placeAndSizeComeBackOnAScreen()
{
    QFETCH(QPoint, at);
    QFETCH(bool, onAScreen);
    m_window->setGeometry(QRect(at, QSize(700, 500)));
    const QRect place = m_window->geometry();
    m_window->close();
    restart();
    MainWindow &again = m_scene->recorded->window();
    again.restoreLayout(true);
    QCOMPARE(again.size(), place.size());
    if (onAScreen)
        QCOMPARE(again.geometry(), place);
    else
        QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(again.frameGeometry().topLeft()));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
