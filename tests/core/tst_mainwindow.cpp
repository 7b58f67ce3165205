#include <memory>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QTest>

#include "calculator/Calculator.h"
#include "common/Colors.h"
#include "common/Controls.h"
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

private:
    template<typename T>
    T *find(const char *name) const { return m_scene->recorded->find<T>(name); }
    void click(const char *name) { m_scene->recorded->click(name); }
    quint32 flag(const char *box) const { return Colors::backColor(find<QCheckBox>(box)); }
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
}

void TestMainWindow::addressesReachThePanesAndTheHistory()
{
    auto *box = find<QLineEdit>("Text1");
    box->setText(QStringLiteral("borsa.example"));
    QTest::keyClick(box, Qt::Key_Return);
    box->setText(QStringLiteral("second.example"));
    click("Command20");
    QCOMPARE(m_upper->calls, QStringList{QStringLiteral("Navigate:borsa.example")});
    QCOMPARE(m_lower->calls, QStringList{QStringLiteral("Navigate:second.example")});

    click("Command8");
    auto *history = find<QListWidget>("List1");
    QCOMPARE(history->count(), 2);
    clickItem(*history, 0);
    QCOMPARE(box->text(), QStringLiteral("borsa.example"));
}

void TestMainWindow::upperHomeFollowsASavedStartPageWithoutRestart()
{
    click("Command4");
    SettingsEditor *editor = m_window->settingsEditor();
    QVERIFY(editor);
    editor->box(12)->setText(QStringLiteral("borsa.example/start"));
    editor->saveAndHide();
    QVERIFY(m_upper->calls.isEmpty());
    click("Image1");
    click("Image2");
    QCOMPARE(m_upper->calls, QStringList{QStringLiteral("Navigate:borsa.example/start")});
    QCOMPARE(m_lower->navigations().size(), 1);
}

void TestMainWindow::aggiornaReengagesChosenHoldsButPaneRefreshLeavesThem()
{
    find<QCheckBox>("Check1")->click();
    find<QCheckBox>("Check2")->click();
    emit m_upper->gotFocus();
    emit m_lower->gotFocus();
    m_upper->clearCalls();
    m_lower->clearCalls();

    // The hold is engaged again before the refresh, so the new page opens at the offset.
    click("Command21");
    QCOMPARE(flag("Check1"), Colors::Red);
    click("Command9");
    QCOMPARE(m_upper->calls, (QStringList{QStringLiteral("Refresh"), QStringLiteral("Hold:0"), QStringLiteral("Refresh")}));
    QVERIFY(m_lower->calls.isEmpty());
    QCOMPARE(flag("Check1"), Colors::LightGrey);
    QCOMPARE(flag("Check2"), Colors::Red);

    find<QCheckBox>("Check4")->click();
    click("Command9");
    QCOMPARE(m_lower->calls, (QStringList{QStringLiteral("Hold:0"), QStringLiteral("Refresh")}));
    QCOMPARE(flag("Check2"), Colors::LightGrey);
}

void TestMainWindow::hiddenScrollCheckPutsAHeldPageBack()
{
    find<QCheckBox>("Check2")->click();
    click("Command26");
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
    QCOMPARE(find<QWidget>("Command18")->y(), m_lower->widget()->y());
    QCOMPARE(find<QScrollBar>("VScroll1")->x(), m_upper->widget()->x() + m_upper->widget()->width());
    QCOMPARE(find<QWidget>("Check2")->y(), m_lower->widget()->y());
    QCOMPARE(find<QWidget>("Check1")->y(), Twips::toPixels(765, dpiY));
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
    click("Image6");
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

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
