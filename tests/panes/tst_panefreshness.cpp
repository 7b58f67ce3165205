#include <QTest>

#include "panes/PaneFreshness.h"

// What the state label says after each kind of event, and from when a stale page is stale.
class TestPaneFreshness : public QObject
{
    Q_OBJECT
private slots:
    void staleSinceTheLastGoodLoadThroughFailuresAndPutOffs();
    void failedNavigationIsNoStalePage();
    void pageOlderThanItsCycleIsStaleWhateverTheReason();
    void closedMarketShowsTheOpeningAndNoAgeUntilACycleAfterIt();
};

namespace {
const QLocale English(QLocale::English, QLocale::UnitedStates);
}

void TestPaneFreshness::staleSinceTheLastGoodLoadThroughFailuresAndPutOffs()
{
    PaneFreshness f;
    QVERIFY(f.text(English).isEmpty());
    f.loaded(QTime(9, 0, 5));
    QCOMPARE(f.text(English), QStringLiteral("Aggiornata alle 09:00:05"));
    QVERIFY(!f.needsAttention());

    f.loadFailed(QTime(9, 1, 5), QStringLiteral("HTTP 503"), true);
    f.loadFailed(QTime(9, 2, 5), QStringLiteral("connessione rifiutata"), true);
    QCOMPARE(f.state(), PaneFreshness::State::Stale);
    QCOMPARE(f.text(English), QStringLiteral("Non aggiornata dalle 09:00:05"));
    QVERIFY(f.needsAttention());
    // The tooltip gives the latest attempt and its reason.
    QVERIFY(f.toolTip(English).contains(QStringLiteral("09:02:05")));
    QVERIFY(f.toolTip(English).contains(QStringLiteral("connessione rifiutata")));
    // Typing puts a refresh off, but never makes a stale page look any fresher.
    f.refreshPutOff(QTime(9, 2, 30));
    QCOMPARE(f.state(), PaneFreshness::State::Stale);

    f.loaded(QTime(9, 3, 5));
    QCOMPARE(f.text(English), QStringLiteral("Aggiornata alle 09:03:05"));
    f.refreshPutOff(QTime(9, 4, 5));
    QCOMPARE(f.state(), PaneFreshness::State::PutOff);
    QVERIFY(!f.needsAttention());
}

void TestPaneFreshness::failedNavigationIsNoStalePage()
{
    PaneFreshness f;
    f.loaded(QTime(11, 0, 0));
    f.loadFailed(QTime(11, 0, 30), QStringLiteral("indirizzo del sito non trovato"), false);
    QCOMPARE(f.state(), PaneFreshness::State::Failed);
    QVERIFY(f.needsAttention());
    // A refresh of nothing kept is no stale page either.
    PaneFreshness fresh;
    fresh.loadFailed(QTime(11, 0, 0), QStringLiteral("HTTP 500"), true);
    QCOMPARE(fresh.state(), PaneFreshness::State::Failed);
}

void TestPaneFreshness::pageOlderThanItsCycleIsStaleWhateverTheReason()
{
    PaneFreshness f;
    f.setCycle(60);
    f.loaded(QTime(23, 59, 0));
    f.refreshPutOff(QTime(23, 59, 59));
    f.checkAge(QTime(0, 0, 29));
    QVERIFY(!f.needsAttention());
    // Put off past the cycle and its margin, across midnight.
    f.checkAge(QTime(0, 0, 31));
    QCOMPARE(f.text(English), QStringLiteral("Non aggiornata dalle 23:59:00"));
    QVERIFY(f.toolTip(English).contains(QStringLiteral("scrivendo")));
    f.setCycle(0);
    QCOMPARE(f.state(), PaneFreshness::State::PutOff);
    // The machine slept through the cycle.
    f.setCycle(120);
    f.checkAge(QTime(3, 0, 0));
    QVERIFY(f.needsAttention());
}

void TestPaneFreshness::closedMarketShowsTheOpeningAndNoAgeUntilACycleAfterIt()
{
    PaneFreshness f;
    f.setCycle(60);
    f.loaded(QTime(17, 39, 0));
    f.setMarketClosed(QTime(17, 40, 0), QStringLiteral("riapre domani alle 9:00"));
    f.checkAge(QTime(23, 0, 0));
    QCOMPARE(f.text(English), QStringLiteral("Mercato chiuso: riapre domani alle 9:00"));
    QVERIFY(!f.needsAttention());
    QVERIFY(f.toolTip(English).contains(QStringLiteral("17:39:00")));
    // The first cycle after the opening has its whole period and margin to refresh the page.
    f.setMarketClosed(QTime(9, 0, 0), QString());
    f.checkAge(QTime(9, 1, 29));
    QCOMPARE(f.state(), PaneFreshness::State::Fresh);
    f.checkAge(QTime(9, 1, 31));
    QCOMPARE(f.state(), PaneFreshness::State::Overdue);
    // A failed refresh stays an alarm on a closed market.
    f.loadFailed(QTime(9, 2, 0), QStringLiteral("HTTP 503"), true);
    f.setMarketClosed(QTime(17, 40, 0), QStringLiteral("riapre domani alle 9:00"));
    QCOMPARE(f.state(), PaneFreshness::State::Stale);
}

QTEST_APPLESS_MAIN(TestPaneFreshness)
#include "tst_panefreshness.moc"
