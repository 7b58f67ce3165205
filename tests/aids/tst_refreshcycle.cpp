#include <QTest>

#include "aids/RefreshCycle.h"

class TestRefreshCycle : public QObject
{
    Q_OBJECT
private slots:
    void refreshesOnTheTickThatReachesOne_data();
    void refreshesOnTheTickThatReachesOne();
    void countdownNeverShowsOne();
    void cycleRepeatsWithTheSamePeriod();
    void toggleCaptionNamesTheNextActionAndKeepsTheCount();
    void intervalChosenWhileRunningRestartsTheCount();
    void wakingFromSleepRefreshesAtOnce_data();
    void wakingFromSleepRefreshesAtOnce();
};

void TestRefreshCycle::refreshesOnTheTickThatReachesOne_data()
{
    QTest::addColumn<int>("period");
    QTest::addColumn<int>("firstRefreshTick");
    QTest::newRow("default two minutes") << 0 << 119;
    QTest::newRow("1 min.") << 60 << 59;
    QTest::newRow("2 min.") << 120 << 119;
    QTest::newRow("3 min.") << 180 << 179;
}

void TestRefreshCycle::refreshesOnTheTickThatReachesOne()
{
    QFETCH(int, period);
    QFETCH(int, firstRefreshTick);
    RefreshCycle cycle;
    cycle.reset(120);
    if (period)
        cycle.choose(qint16(period));
    cycle.toggle();
    const qint16 start = cycle.period();
    QCOMPARE(cycle.tick().label, QStringLiteral("%1").arg(start - 1, 3, 10, QLatin1Char('0')));
    int tick = 1;
    while (!cycle.tick().refresh) {
        ++tick;
        QVERIFY2(tick < 1000, "the cycle never refreshed");
    }
    QCOMPARE(tick + 1, firstRefreshTick);
}

void TestRefreshCycle::countdownNeverShowsOne()
{
    RefreshCycle cycle;
    cycle.choose(60);
    QStringList shown;
    for (int i = 0; i < 200; ++i)
        shown << cycle.tick().label;
    QVERIFY(!shown.contains(QStringLiteral("001")));
    QVERIFY(shown.contains(QStringLiteral("002")));
    QCOMPARE(shown.at(57), QStringLiteral("002"));
    QCOMPARE(shown.at(58), QStringLiteral("000"));
    QCOMPARE(shown.at(59), QStringLiteral("059"));
}

void TestRefreshCycle::cycleRepeatsWithTheSamePeriod()
{
    RefreshCycle cycle;
    cycle.choose(60);
    QList<int> refreshTicks;
    for (int i = 1; i <= 59 * 3; ++i) {
        if (cycle.tick().refresh)
            refreshTicks << i;
    }
    QCOMPARE(refreshTicks, (QList<int>{59, 118, 177}));
    QCOMPARE(cycle.countdown(), qint16(60));
}

void TestRefreshCycle::toggleCaptionNamesTheNextActionAndKeepsTheCount()
{
    RefreshCycle cycle;
    QVERIFY(!cycle.isRunning());
    for (int i = 0; i < 83; ++i)
        cycle.tick();
    QCOMPARE(cycle.countdown(), qint16(37));
    QCOMPARE(cycle.toggle(), QStringLiteral("Off"));
    QCOMPARE(cycle.toggle(), QStringLiteral("Auto"));
    QCOMPARE(cycle.countdown(), qint16(37));
    QCOMPARE(cycle.tick().label, QStringLiteral("036"));
}

void TestRefreshCycle::intervalChosenWhileRunningRestartsTheCount()
{
    RefreshCycle cycle;
    cycle.toggle();
    for (int i = 0; i < 10; ++i)
        cycle.tick();
    cycle.choose(180);
    QCOMPARE(cycle.period(), qint16(180));
    QCOMPARE(cycle.tick().label, QStringLiteral("179"));
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
    QTest::newRow("hours") << now << qint64(3 * 3600 * 1000) << false << true;
    QTest::newRow("first tick at the clock's zero") << qint64(0) << qint64(10001) << false << true;
    // Off for an hour and on again: the ticks stood still on purpose.
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
