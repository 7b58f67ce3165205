#include <array>

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTime>
#include <QTimer>

#include "aids/AutoRefresh.h"
#include "aids/Clock.h"
#include "aids/PaneHold.h"
#include "common/Colors.h"
#include "common/Controls.h"
#include "support/PartHost.h"
#include "support/ThumbDrag.h"

namespace {

// The holds and the automatic refresh on bare controls, over two recording panes; ticks are
// called directly instead of waiting for the timers.
struct Aids
{
    PartHost host;
    RecordingPane &upper = host.addPane();
    RecordingPane &lower = host.addPane();
    QCheckBox &upperBox = host.add<QCheckBox>();
    QCheckBox &lowerBox = host.add<QCheckBox>();
    QScrollBar &upperBar = host.add<QScrollBar>();
    QScrollBar &lowerBar = host.add<QScrollBar>();
    PaneHold upperHold{upperBox, upperBar, upper};
    PaneHold lowerHold{lowerBox, lowerBar, lower};

    QPushButton &toggle = host.add<QPushButton>("Auto");
    QPushButton &reloadNow = host.add<QPushButton>("Aggiorna");
    ClickLabel &countdown = host.add<ClickLabel>();
    ShapeCircle &light = host.add<ShapeCircle>();
    std::array<QRadioButton *, 3> options{&host.add<QRadioButton>(), &host.add<QRadioButton>(),
                                          &host.add<QRadioButton>()};
    QCheckBox &upperChosen = host.add<QCheckBox>();
    QCheckBox &lowerChosen = host.add<QCheckBox>();
    AutoRefresh refresh{{&toggle, &reloadNow, &countdown, &light, options},
                        {{{&upperChosen, &upper}, {&lowerChosen, &lower}}}};

    // "Controllo Scroll": puts each held page back at once.
    void scrollCheck()
    {
        upperHold.applyHeldOffset();
        lowerHold.applyHeldOffset();
    }
    void ticks(int count)
    {
        for (int i = 0; i < count; ++i)
            refresh.countdownTick();
    }
};

} // namespace

class TestReadingAids : public QObject
{
    Q_OBJECT
private slots:
    void clockShowsTheTimeAndWakesJustAfterTheNextSecond();

    void freshHoldsNothingAlthoughBothFlagsAreRed();
    void tickingABoxHoldsItsPaneUntilTheFocusSuspendsIt();
    void focusIntoThePaneSuspendsTheHold();
    void thumbDragReengagesAndAppliesAtOnceOnlyWithTheBoxTicked();

    void aggiornaAnnouncesAndRefreshesOnlyChosenPanes();
    void autoCycleRefreshesAfter119TicksAndFlashes();
    void oneMinuteOptionShows059AndRefreshesAt59();
    void neitherPaneChosenCountsButRefreshesNothing();
    void aggiornaByHandKeepsTheCountdown();
};

void TestReadingAids::clockShowsTheTimeAndWakesJustAfterTheNextSecond()
{
    ClickLabel label;
    Clock clock(label);
    QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d.\\d\\d.\\d\\d$")).match(label.text()).hasMatch());
    QCOMPARE(label.cursor().shape(), Qt::PointingHandCursor);
    const QTimer *timer = &clock.clockTimer();
    QVERIFY(timer->isActive());
    // A coarse timer could fire before the new second; a timer due before it shows the old one.
    QCOMPARE(timer->timerType(), Qt::PreciseTimer);
    const int remaining = timer->remainingTime();
    const int toNextSecond = 1000 - QTime::currentTime().msec();
    // Past the next second, taken modulo a second in case it came meanwhile.
    const int late = (remaining - toNextSecond + 1500) % 1000 - 500;
    QVERIFY2(late >= 1 && late <= 20, qPrintable(QString::number(late)));
}

void TestReadingAids::freshHoldsNothingAlthoughBothFlagsAreRed()
{
    Aids aids;
    QCOMPARE(Colors::backColor(&aids.upperBox), Colors::Red);
    QCOMPARE(Colors::backColor(&aids.lowerBox), Colors::Red);
    QCOMPARE(aids.upperBox.palette().color(QPalette::Text), QColor(0, 0xC0, 0));
    for (int i = 0; i < 5; ++i)
        aids.scrollCheck();
    QVERIFY(aids.upper.calls.isEmpty());
    QVERIFY(aids.lower.calls.isEmpty());
    QCOMPARE(aids.upperBar.maximum(), 1000);
    QCOMPARE(aids.lowerBar.minimum(), 0);
}

void TestReadingAids::tickingABoxHoldsItsPaneUntilTheFocusSuspendsIt()
{
    Aids aids;
    aids.upperBar.setValue(500);
    aids.upperBox.click();
    QCOMPARE(Colors::backColor(&aids.upperBox), Colors::LightGrey);
    // The pane keeps the page there by itself: told once, not on every tick.
    QCOMPARE(aids.upper.calls, QStringList{QStringLiteral("Hold:500")});
    QVERIFY(aids.lower.calls.isEmpty());

    // An arrow click moves the value by one, and the held page with it.
    aids.upperBar.triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(aids.upper.calls.last(), QStringLiteral("Hold:501"));

    emit aids.upper.gotFocus();
    aids.upperBar.triggerAction(QAbstractSlider::SliderSingleStepAdd);
    aids.scrollCheck();
    QCOMPARE(aids.upper.calls, (QStringList{QStringLiteral("Hold:500"), QStringLiteral("Hold:501"),
                                            QStringLiteral("Release")}));
}

void TestReadingAids::focusIntoThePaneSuspendsTheHold()
{
    Aids aids;
    aids.host.window().show();
    QVERIFY(QTest::qWaitForWindowActive(&aids.host.window()));
    aids.upperBox.click();
    aids.lowerBox.click();
    QTest::mouseClick(aids.lower.widget(), Qt::LeftButton);
    QCOMPARE(Colors::backColor(&aids.lowerBox), Colors::Red);
    QCOMPARE(Colors::backColor(&aids.upperBox), Colors::LightGrey);
    QCOMPARE(aids.upper.calls, QStringList{QStringLiteral("Hold:0")});
    QCOMPARE(aids.lower.calls, (QStringList{QStringLiteral("Hold:0"), QStringLiteral("Release")}));
    aids.lower.clearCalls();

    // A red box clicked turns grey and toggles its tick; clicked again it stays grey.
    aids.lowerBox.click();
    QCOMPARE(Colors::backColor(&aids.lowerBox), Colors::LightGrey);
    QVERIFY(!aids.lowerBox.isChecked());
    aids.lowerBox.click();
    QCOMPARE(Colors::backColor(&aids.lowerBox), Colors::LightGrey);
    QVERIFY(aids.lowerBox.isChecked());
}

void TestReadingAids::thumbDragReengagesAndAppliesAtOnceOnlyWithTheBoxTicked()
{
    Aids aids;
    aids.upperBox.click();
    emit aids.upper.gotFocus();
    aids.upper.clearCalls();
    aids.upperBar.setValue(10);
    aids.scrollCheck();
    QVERIFY(aids.upper.calls.isEmpty());

    dragThumb(&aids.upperBar, 300);
    QCOMPARE(Colors::backColor(&aids.upperBox), Colors::LightGrey);
    QCOMPARE(aids.upper.calls, QStringList{QStringLiteral("Hold:300")});

    dragThumb(&aids.lowerBar, 700);
    aids.scrollCheck();
    QVERIFY(aids.lower.calls.isEmpty());
    QCOMPARE(Colors::backColor(&aids.lowerBox), Colors::Red);
}

void TestReadingAids::aggiornaAnnouncesAndRefreshesOnlyChosenPanes()
{
    Aids aids;
    // Holds suspended by a click: each is resumed as its pane's refresh starts, so that the
    // refreshed page opens at its offset; a pane's own "A" leaves it suspended.
    aids.upperBox.click();
    emit aids.upper.gotFocus();
    aids.upper.refresh(BrowserPane::Refresh::ByHand);
    QCOMPARE(Colors::backColor(&aids.upperBox), Colors::Red);
    aids.upper.clearCalls();
    const QStringList announcedThenRefreshed{QStringLiteral("Hold:0"), QStringLiteral("Refresh")};

    QTest::mouseClick(&aids.reloadNow, Qt::LeftButton);
    QCOMPARE(aids.upper.calls, announcedThenRefreshed);
    QCOMPARE(Colors::backColor(&aids.upperBox), Colors::LightGrey);
    QVERIFY(aids.lower.calls.isEmpty());

    aids.lowerBox.click();
    emit aids.lower.gotFocus();
    aids.lower.clearCalls();
    aids.lowerChosen.click();
    QTest::mouseClick(&aids.reloadNow, Qt::LeftButton);
    QCOMPARE(aids.lower.calls, announcedThenRefreshed);
}

void TestReadingAids::autoCycleRefreshesAfter119TicksAndFlashes()
{
    Aids aids;
    QCOMPARE(aids.light.fillColor(), Colors::DarkGreen);
    QVERIFY(aids.upperChosen.isChecked());
    QVERIFY(!aids.lowerChosen.isChecked());
    QVERIFY(aids.options[1]->isChecked());

    QSignalSpy cycle(&aids.refresh, &AutoRefresh::cycleChanged);
    QTest::mouseClick(&aids.toggle, Qt::LeftButton);
    QCOMPARE(aids.toggle.text(), QStringLiteral("Off"));
    QVERIFY(aids.refresh.cycleTimer().isActive());
    QCOMPARE(aids.refresh.cycleTimer().interval(), 1000);

    aids.ticks(1);
    QCOMPARE(aids.countdown.text(), QStringLiteral("119"));
    QCOMPARE(aids.light.fillColor(), Colors::BrightGreen);
    QVERIFY(aids.refresh.flashTimer().isActive());
    aids.refresh.flashEnded();
    QCOMPARE(aids.light.fillColor(), Colors::DarkGreen);

    aids.ticks(117);
    QCOMPARE(aids.countdown.text(), QStringLiteral("002"));
    QVERIFY(aids.upper.calls.isEmpty());
    aids.ticks(1);
    QCOMPARE(aids.countdown.text(), QStringLiteral("000"));
    // The cycle's refresh may wait for the user's typing; "Aggiorna" by hand may not.
    QCOMPARE(aids.upper.calls, QStringList{QStringLiteral("AutoRefresh")});
    QCOMPARE(aids.refresh.cycle().countdown(), qint16(120));

    QTest::mouseClick(&aids.toggle, Qt::LeftButton);
    QCOMPARE(aids.toggle.text(), QStringLiteral("Auto"));
    QVERIFY(!aids.refresh.cycleTimer().isActive());
    // The panes' status shows the cycle's period while it runs, nothing once it is off.
    QCOMPARE(QList<QList<QVariant>>(cycle), (QList<QList<QVariant>>{{120}, {0}}));
    // The last tick's flash outlives the switch-off and still goes dark.
    QTRY_COMPARE_WITH_TIMEOUT(aids.light.fillColor(), Colors::DarkGreen, 5000);
}

void TestReadingAids::oneMinuteOptionShows059AndRefreshesAt59()
{
    Aids aids;
    // As the window builds them: the options hidden, the countdown at its design caption.
    for (QRadioButton *option : aids.options)
        option->hide();
    aids.countdown.setText(QStringLiteral("000"));
    aids.host.window().show();
    QVERIFY(QTest::qWaitForWindowActive(&aids.host.window()));
    QTest::mouseClick(&aids.countdown, Qt::LeftButton);
    QVERIFY(aids.options[0]->isVisible());
    QTest::mouseClick(aids.options[0], Qt::LeftButton);
    QVERIFY(aids.options[0]->isHidden());
    QVERIFY(aids.options[2]->isHidden());
    QCOMPARE(aids.refresh.cycle().period(), qint16(60));
    QCOMPARE(aids.countdown.text(), QStringLiteral("000"));

    aids.refresh.toggle();
    aids.ticks(1);
    QCOMPARE(aids.countdown.text(), QStringLiteral("059"));
    aids.ticks(58);
    QCOMPARE(aids.upper.calls, QStringList{QStringLiteral("AutoRefresh")});

    // Shown and clicked again without choosing: hidden, nothing changed.
    aids.refresh.toggleIntervalOptions();
    aids.refresh.toggleIntervalOptions();
    QVERIFY(aids.options[0]->isHidden());
    QCOMPARE(aids.refresh.cycle().period(), qint16(60));
}

void TestReadingAids::neitherPaneChosenCountsButRefreshesNothing()
{
    Aids aids;
    aids.upperChosen.click();
    aids.refresh.toggle();
    aids.ticks(119);
    QVERIFY(aids.upper.calls.isEmpty());
    QVERIFY(aids.lower.calls.isEmpty());
    QCOMPARE(aids.refresh.cycle().countdown(), qint16(120));
}

void TestReadingAids::aggiornaByHandKeepsTheCountdown()
{
    Aids aids;
    aids.refresh.toggle();
    aids.ticks(20);
    aids.reloadNow.click();
    QCOMPARE(aids.refresh.cycle().countdown(), qint16(100));
    aids.ticks(1);
    QCOMPARE(aids.countdown.text(), QStringLiteral("099"));
}

QTEST_MAIN(TestReadingAids)
#include "tst_readingaids.moc"
