#include <QTest>

#include "aids/RefreshCycle.h"

class TestRefreshCycle : public QObject
{
    Q_OBJECT
private slots:
    void refreshesEveryPeriodOnTheTickThatReachesOne_data();
    void refreshesEveryPeriodOnTheTickThatReachesOne();
    void toggleCaptionNamesTheNextAction();
    void wakingFromSleepRefreshesAtOnce_data();
    void wakingFromSleepRefreshesAtOnce();
};

void TestRefreshCycle::refreshesEveryPeriodOnTheTickThatReachesOne_data()
{
    QTest::addColumn<int>("period");
    QTest::newRow("default two minutes") << 0;
    QTest::newRow("1 min.") << 60;
}

// A period of N seconds refreshes every N - 1 ticks; the countdown shows 000 then, never 001.
void TestRefreshCycle::refreshesEveryPeriodOnTheTickThatReachesOne()
{
    QFETCH(int, period);
    RefreshCycle cycle;
    if (period)
        cycle.choose(qint16(period));
    else
        period = RefreshCycle::DefaultPeriod;
    const auto shown = [](int seconds) { return QStringLiteral("%1").arg(seconds, 3, 10, QLatin1Char('0')); };
    QStringList labels;
    QList<int> refreshTicks;
    for (int i = 1; i <= 3 * (period - 1); ++i) {
        const RefreshCycle::Tick tick = cycle.tick();
        labels << tick.label;
        if (tick.refresh)
            refreshTicks << i;
    }
    QCOMPARE(refreshTicks, (QList<int>{period - 1, 2 * (period - 1), 3 * (period - 1)}));
    QCOMPARE(labels.first(), shown(period - 1));
    QCOMPARE(labels.mid(period - 3, 3), (QStringList{shown(2), shown(0), shown(period - 1)}));
    QVERIFY(!labels.contains(shown(1)));
    QCOMPARE(cycle.countdown(), qint16(period));
}

void TestRefreshCycle::toggleCaptionNamesTheNextAction()
{
    RefreshCycle cycle;
    QVERIFY(!cycle.isRunning());
    QCOMPARE(cycle.toggle(), QStringLiteral("Off"));
    QVERIFY(cycle.isRunning());
    QCOMPARE(cycle.toggle(), QStringLiteral("Auto"));
}

void TestRefreshCycle::wakingFromSleepRefreshesAtOnce_data()
{
    QTest::addColumn<qint64>("firstTick");
    QTest::addColumn<qint64>("gap");
    QTest::addColumn<bool>("offAndOn");
    QTest::addColumn<bool>("refresh");
    const qint64 now = 1700000000000;
    // A tick late by seconds on a busy machine is no sleep; hours are.
    QTest::newRow("late by ten seconds") << now << qint64(10000) << false << false;
    QTest::newRow("just past ten seconds") << now << qint64(10001) << false << true;
    QTest::newRow("first tick at the clock's zero") << qint64(0) << qint64(10001) << false << true;
    // Off for an hour and on again: the ticks stood still on purpose, and the count is kept.
    QTest::newRow("off and on again") << now << qint64(3600 * 1000) << true << false;
}

void TestRefreshCycle::wakingFromSleepRefreshesAtOnce()
{
    QFETCH(qint64, firstTick);
    QFETCH(qint64, gap);
    QFETCH(bool, offAndOn);
    QFETCH(bool, refresh);
    RefreshCycle cycle;
    cycle.toggle();
    QVERIFY(!cycle.tick(firstTick).refresh);
    if (offAndOn) {
        cycle.toggle();
        cycle.toggle();
    }
    QCOMPARE(cycle.tick(firstTick + gap).refresh, refresh);
    QCOMPARE(cycle.tick(firstTick + gap + 1000).label, refresh ? QStringLiteral("119") : QStringLiteral("117"));
}

QTEST_APPLESS_MAIN(TestRefreshCycle)
#include "tst_refreshcycle.moc"
