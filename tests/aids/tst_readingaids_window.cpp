#include <memory>

#include <QCheckBox>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTime>
#include <QTimer>

#include "common/Colors.h"
#include "common/Controls.h"
#include "common/Format.h"
#include "core/Form1.h"
#include "support/RecordedWindow.h"
#include "support/ScratchFolder.h"
#include "support/ThumbDrag.h"

// The clock, the scroll hold and the refresh cycle as the user drives them in the window,
// with recording panes, and ticks called directly instead of waiting for the timers.
class TestReadingAidsWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void clockShowsTwoDigitFieldsWithTheLocaleSeparator_data();
    void clockShowsTwoDigitFieldsWithTheLocaleSeparator();
    void clockTickWritesTheTimeAndRunsTheScrollCheck();

    void freshWindowHoldsNothingAlthoughBothFlagsAreRed();
    void tickingABoxHoldsItsPaneOnlyAtEveryTick();
    void focusIntoThePaneSuspendsTheHold();
    void thumbDragReengagesAndAppliesAtOnce();
    void thumbDragWithTheBoxClearMovesNothing();

    void aggiornaReengagesAndRefreshesOnlyChosenPanes();
    void paneRefreshButtonsLeaveTheHoldAlone();
    void autoCycleRefreshesAfter119TicksAndFlashes();
    void oneMinuteOptionShows059AndRefreshesAt59();
    void neitherPaneChosenCountsButRefreshesNothing();
    void flashOutlivingTheSwitchOffStillGoesDark();
    void aggiornaByHandKeepsTheCountdown();

private:
    template<typename T>
    T *find(const char *name) const { return m_recorded->find<T>(name); }

    std::unique_ptr<ScratchFolder> m_dir;
    std::unique_ptr<RecordedWindow> m_recorded;
    Form1 *m_window = nullptr;
    RecordingPane *m_wb1 = nullptr;
    RecordingPane *m_wb3 = nullptr;
};

void TestReadingAidsWindow::init()
{
    m_dir = std::make_unique<ScratchFolder>();
    m_recorded = std::make_unique<RecordedWindow>();
    m_window = &m_recorded->window();
    m_wb1 = m_recorded->upper();
    m_wb3 = m_recorded->lower();
    m_recorded->clearCalls();
}

void TestReadingAidsWindow::cleanup()
{
    m_recorded.reset();
    m_dir.reset();
}

void TestReadingAidsWindow::clockShowsTwoDigitFieldsWithTheLocaleSeparator_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("shown");
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale finnish(QLocale::Finnish, QLocale::Finland);
    QTest::newRow("midnight") << QTime(0, 0, 0) << english << "00:00:00";
    QTest::newRow("last second") << QTime(23, 59, 59) << english << "23:59:59";
    QTest::newRow("leading zeros") << QTime(9, 5, 7) << english << "09:05:07";
    QTest::newRow("dot separator") << QTime(9, 5, 7) << finnish << "09.05.07";
}

void TestReadingAidsWindow::clockShowsTwoDigitFieldsWithTheLocaleSeparator()
{
    QFETCH(QTime, time);
    QFETCH(QLocale, locale);
    QFETCH(QString, shown);
    QCOMPARE(Format::formatTime(time, QStringLiteral("hh:mm:ss"), locale), shown);
}

void TestReadingAidsWindow::clockTickWritesTheTimeAndRunsTheScrollCheck()
{
    auto *clock = find<ClickLabel>("Label1");
    QCOMPARE(clock->text(), QStringLiteral("12.60.60"));
    find<QCheckBox>("Check2")->click();
    m_window->Timer3_Timer();
    QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d.\\d\\d.\\d\\d$")).match(clock->text()).hasMatch());
    QCOMPARE(m_wb3->calls, QStringList{QStringLiteral("ScrollTop:0")});
}

void TestReadingAidsWindow::freshWindowHoldsNothingAlthoughBothFlagsAreRed()
{
    QCOMPARE(Colors::backColor(find<QCheckBox>("Check1")), Colors::Red);
    QCOMPARE(Colors::backColor(find<QCheckBox>("Check2")), Colors::Red);
    for (int i = 0; i < 5; ++i)
        m_window->Command26_Click();
    QVERIFY(m_wb1->calls.isEmpty());
    QVERIFY(m_wb3->calls.isEmpty());
    QCOMPARE(find<QScrollBar>("VScroll1")->maximum(), 1000);
    QCOMPARE(find<QScrollBar>("VScroll2")->minimum(), 0);
}

void TestReadingAidsWindow::tickingABoxHoldsItsPaneOnlyAtEveryTick()
{
    find<QScrollBar>("VScroll1")->setValue(500);
    find<QCheckBox>("Check1")->click();
    QCOMPARE(Colors::backColor(find<QCheckBox>("Check1")), Colors::LightGrey);
    // A page still without a body is simply written to again at every tick.
    for (int i = 0; i < 3; ++i)
        m_window->Command26_Click();
    QCOMPARE(m_wb1->calls, QStringList(3, QStringLiteral("ScrollTop:500")));
    QVERIFY(m_wb3->calls.isEmpty());

    // An arrow click moves the value by one; the page follows at the next tick.
    find<QScrollBar>("VScroll1")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    m_window->Command26_Click();
    QCOMPARE(m_wb1->calls.last(), QStringLiteral("ScrollTop:501"));
}

void TestReadingAidsWindow::focusIntoThePaneSuspendsTheHold()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    find<QCheckBox>("Check1")->click();
    find<QCheckBox>("Check2")->click();
    QTest::mouseClick(m_wb3->widget(), Qt::LeftButton);
    QCOMPARE(Colors::backColor(find<QCheckBox>("Check2")), Colors::Red);
    QCOMPARE(Colors::backColor(find<QCheckBox>("Check1")), Colors::LightGrey);
    m_window->Command26_Click();
    QCOMPARE(m_wb1->calls.size(), 1);
    QVERIFY(m_wb3->calls.isEmpty());

    // A red box clicked turns grey and toggles its tick; clicked again it stays grey.
    find<QCheckBox>("Check2")->click();
    QCOMPARE(Colors::backColor(find<QCheckBox>("Check2")), Colors::LightGrey);
    QVERIFY(!find<QCheckBox>("Check2")->isChecked());
    find<QCheckBox>("Check2")->click();
    QCOMPARE(Colors::backColor(find<QCheckBox>("Check2")), Colors::LightGrey);
    QVERIFY(find<QCheckBox>("Check2")->isChecked());
}

void TestReadingAidsWindow::thumbDragReengagesAndAppliesAtOnce()
{
    find<QCheckBox>("Check1")->click();
    m_window->WB1_GotFocus();
    find<QScrollBar>("VScroll1")->setValue(10);
    m_window->Command26_Click();
    QVERIFY(m_wb1->calls.isEmpty());

    dragThumb(find<QScrollBar>("VScroll1"), 300);
    QCOMPARE(Colors::backColor(find<QCheckBox>("Check1")), Colors::LightGrey);
    QCOMPARE(m_wb1->calls, QStringList{QStringLiteral("ScrollTop:300")});
}

void TestReadingAidsWindow::thumbDragWithTheBoxClearMovesNothing()
{
    dragThumb(find<QScrollBar>("VScroll2"), 700);
    m_window->Command26_Click();
    QVERIFY(m_wb3->calls.isEmpty());
    QCOMPARE(Colors::backColor(find<QCheckBox>("Check2")), Colors::Red);
}

void TestReadingAidsWindow::aggiornaReengagesAndRefreshesOnlyChosenPanes()
{
    find<QCheckBox>("Check1")->click();
    find<QCheckBox>("Check2")->click();
    m_window->WB1_GotFocus();
    m_window->WB3_GotFocus();

    QTest::mouseClick(find<QPushButton>("Command9"), Qt::LeftButton);
    QCOMPARE(m_wb1->calls, QStringList{QStringLiteral("Refresh")});
    QVERIFY(m_wb3->calls.isEmpty());
    QCOMPARE(Colors::backColor(find<QCheckBox>("Check1")), Colors::LightGrey);
    QCOMPARE(Colors::backColor(find<QCheckBox>("Check2")), Colors::Red);

    find<QCheckBox>("Check4")->click();
    QTest::mouseClick(find<QPushButton>("Command9"), Qt::LeftButton);
    QCOMPARE(m_wb3->calls, QStringList{QStringLiteral("Refresh")});
    QCOMPARE(Colors::backColor(find<QCheckBox>("Check2")), Colors::LightGrey);
}

void TestReadingAidsWindow::paneRefreshButtonsLeaveTheHoldAlone()
{
    find<QCheckBox>("Check1")->click();
    m_window->WB1_GotFocus();
    QTest::mouseClick(find<QPushButton>("Command21"), Qt::LeftButton);
    QTest::mouseClick(find<QPushButton>("Command24"), Qt::LeftButton);
    QCOMPARE(m_wb1->calls, QStringList{QStringLiteral("Refresh")});
    QCOMPARE(m_wb3->calls, QStringList{QStringLiteral("Refresh")});
    QCOMPARE(Colors::backColor(find<QCheckBox>("Check1")), Colors::Red);
}

void TestReadingAidsWindow::autoCycleRefreshesAfter119TicksAndFlashes()
{
    auto *toggle = find<QPushButton>("Command10");
    auto *shape = find<ShapeCircle>("Shape1");
    auto *label = find<ClickLabel>("Label2");
    QCOMPARE(label->text(), QStringLiteral("000"));
    QCOMPARE(shape->fillColor(), Colors::DarkGreen);
    QVERIFY(find<QCheckBox>("Check3")->isChecked());
    QVERIFY(!find<QCheckBox>("Check4")->isChecked());
    QVERIFY(find<QRadioButton>("Option2")->isChecked());

    QTest::mouseClick(toggle, Qt::LeftButton);
    QCOMPARE(toggle->text(), QStringLiteral("Off"));
    QVERIFY(m_window->findChild<QTimer *>(QStringLiteral("Timer1"))->isActive());

    m_window->Timer1_Timer();
    QCOMPARE(label->text(), QStringLiteral("119"));
    QCOMPARE(shape->fillColor(), Colors::BrightGreen);
    QVERIFY(m_window->findChild<QTimer *>(QStringLiteral("Timer2"))->isActive());
    m_window->Timer2_Timer();
    QCOMPARE(shape->fillColor(), Colors::DarkGreen);

    for (int tick = 2; tick < 119; ++tick)
        m_window->Timer1_Timer();
    QCOMPARE(label->text(), QStringLiteral("002"));
    QVERIFY(m_wb1->calls.isEmpty());
    m_window->Timer1_Timer();
    QCOMPARE(label->text(), QStringLiteral("000"));
    QCOMPARE(m_wb1->calls, QStringList{QStringLiteral("Refresh")});
    QCOMPARE(m_window->RefreshCountdown(), qint16(120));

    QTest::mouseClick(toggle, Qt::LeftButton);
    QCOMPARE(toggle->text(), QStringLiteral("Auto"));
    QVERIFY(!m_window->findChild<QTimer *>(QStringLiteral("Timer1"))->isActive());
}

void TestReadingAidsWindow::oneMinuteOptionShows059AndRefreshesAt59()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QTest::mouseClick(find<ClickLabel>("Label2"), Qt::LeftButton);
    QVERIFY(find<QRadioButton>("Option1")->isVisible());
    QTest::mouseClick(find<QRadioButton>("Option1"), Qt::LeftButton);
    QVERIFY(find<QRadioButton>("Option1")->isHidden());
    QVERIFY(find<QRadioButton>("Option3")->isHidden());
    QCOMPARE(m_window->RefreshPeriod(), qint16(60));
    QCOMPARE(find<ClickLabel>("Label2")->text(), QStringLiteral("000"));

    m_window->Command10_Click();
    m_window->Timer1_Timer();
    QCOMPARE(find<ClickLabel>("Label2")->text(), QStringLiteral("059"));
    for (int tick = 2; tick <= 59; ++tick)
        m_window->Timer1_Timer();
    QCOMPARE(m_wb1->calls, QStringList{QStringLiteral("Refresh")});

    // Shown and clicked again without choosing: hidden, nothing changed.
    m_window->Label2_Click();
    m_window->Label2_Click();
    QVERIFY(find<QRadioButton>("Option1")->isHidden());
    QCOMPARE(m_window->RefreshPeriod(), qint16(60));
}

void TestReadingAidsWindow::neitherPaneChosenCountsButRefreshesNothing()
{
    find<QCheckBox>("Check3")->click();
    m_window->Command10_Click();
    for (int tick = 1; tick <= 119; ++tick)
        m_window->Timer1_Timer();
    QVERIFY(m_wb1->calls.isEmpty());
    QVERIFY(m_wb3->calls.isEmpty());
    QCOMPARE(m_window->RefreshCountdown(), qint16(120));
}

void TestReadingAidsWindow::flashOutlivingTheSwitchOffStillGoesDark()
{
    m_window->Command10_Click();
    m_window->Timer1_Timer();
    m_window->Command10_Click();
    QTRY_COMPARE_WITH_TIMEOUT(find<ShapeCircle>("Shape1")->fillColor(), Colors::DarkGreen, 5000);
}

void TestReadingAidsWindow::aggiornaByHandKeepsTheCountdown()
{
    m_window->Command10_Click();
    for (int tick = 0; tick < 20; ++tick)
        m_window->Timer1_Timer();
    m_window->Command9_Click();
    QCOMPARE(m_window->RefreshCountdown(), qint16(100));
    m_window->Timer1_Timer();
    QCOMPARE(find<ClickLabel>("Label2")->text(), QStringLiteral("099"));
}

QTEST_MAIN(TestReadingAidsWindow)
#include "tst_readingaids_window.moc"
