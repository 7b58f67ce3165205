#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "market/CalendarFile.h"
#include "market/MarketClock.h"
#include "market/Markets.h"
#include "support/Files.h"
#include "support/RomeTime.h"

Q_DECLARE_METATYPE(MarketId)

namespace {

using RomeTime::rome;

const QTimeZone NewYork("America/New_York");

QDateTime utc(int y, int m, int d, int h, int min)
{
    return QDateTime(QDate(y, m, d), QTime(h, min), QTimeZone::utc());
}

MarketClock shippedClock(const QString &extraClosingDays = QString())
{
    return MarketClock(MarketCalendar::parse(CalendarFile::shippedText() + QLatin1Char('\n') + extraClosingDays));
}

QDateTime newYork(int y, int m, int d, int h, int min)
{
    return QDateTime(QDate(y, m, d), QTime(h, min), NewYork);
}

Markets shippedMarkets()
{
    const auto shipped = [](MarketId id) { return MarketCalendar::parse(CalendarFile::shippedText(Markets::row(id).calendarFile)); };
    return Markets(shipped(MarketId::BorsaItaliana), shipped(MarketId::BorsaUsa));
}

} // namespace

// The market's calendar and hours on a machine set to New York's time (see CMakeLists.txt),
// at moments given in Italy's, New York's, UTC and the machine's own time.
class TestMarketClock : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QCOMPARE(QTimeZone::systemTimeZoneId(), QByteArray("America/New_York"));
    }

    void init() { QTest::failOnWarning(QRegularExpression(QStringLiteral("."))); }
    void phaseFollowsItalysClock_data()
    {
        using P = MarketClock::Phase;
        QTest::addColumn<QDateTime>("at");
        QTest::addColumn<MarketClock::Phase>("phase");
        QTest::newRow("before the opening") << rome(2026, 12, 7, 8, 59) << P::Closed;
        QTest::newRow("opening") << rome(2026, 12, 7, 9, 0) << P::Continuous;
        QTest::newRow("closing auction") << rome(2026, 12, 7, 17, 30) << P::ClosingAuction;
        QTest::newRow("trades at the close") << rome(2026, 12, 7, 17, 39) << P::ClosingAuction;
        QTest::newRow("after the close") << rome(2026, 12, 7, 17, 40) << P::Closed;
        QTest::newRow("saturday") << rome(2026, 12, 5, 12, 0) << P::Closed;
        QTest::newRow("christmas eve, no public holiday") << rome(2026, 12, 24, 10, 0) << P::Closed;
        QTest::newRow("epiphany, a public holiday that trades") << rome(2026, 1, 6, 10, 0) << P::Continuous;
        QTest::newRow("year missing from the file") << rome(2027, 1, 1, 10, 0) << P::Continuous;
        QTest::newRow("machine's 11:35 is 17:35 in rome") << QDateTime(QDate(2026, 12, 7), QTime(11, 35)) << P::ClosingAuction;
        QTest::newRow("utc 7:30 before spring's change") << utc(2026, 3, 27, 7, 30) << P::Closed;
        QTest::newRow("utc 7:00 after spring's change") << utc(2026, 3, 30, 7, 0) << P::Continuous;
    }
    void phaseFollowsItalysClock()
    {
        QFETCH(QDateTime, at);
        QFETCH(MarketClock::Phase, phase);
        QCOMPARE(shippedClock().phaseAt(at), phase);
    }

    void nextOpeningInWords_data()
    {
        QTest::addColumn<QDateTime>("at");
        QTest::addColumn<QString>("closingDays");
        QTest::addColumn<QDateTime>("opening");
        QTest::addColumn<QString>("words");
        const QString none;
        QTest::newRow("friday evening") << rome(2026, 12, 4, 18, 0) << none << rome(2026, 12, 7, 9, 0) << "riapre lunedì alle 9:00";
        QTest::newRow("sunday") << rome(2026, 12, 6, 12, 0) << none << rome(2026, 12, 7, 9, 0) << "riapre domani alle 9:00";
        QTest::newRow("early morning") << rome(2026, 12, 7, 7, 0) << none << rome(2026, 12, 7, 9, 0) << "riapre oggi alle 9:00";
        QTest::newRow("at the opening") << rome(2026, 12, 7, 9, 0) << none << rome(2026, 12, 8, 9, 0) << "riapre domani alle 9:00";
        QTest::newRow("night of spring's change") << utc(2026, 3, 28, 23, 30) << none << utc(2026, 3, 30, 7, 0) << "riapre domani alle 9:00";
        QTest::newRow("night of autumn's change") << utc(2026, 10, 24, 23, 30) << none << utc(2026, 10, 26, 8, 0) << "riapre domani alle 9:00";
        QTest::newRow("a week away") << rome(2026, 8, 7, 18, 0) << "2026-08-10\n2026-08-11\n2026-08-12\n2026-08-13"
                                     << rome(2026, 8, 14, 9, 0) << "riapre venerdì 14 agosto alle 9:00";
    }

    void nextOpeningInWords()
    {
        QFETCH(QDateTime, at);
        QFETCH(QString, closingDays);
        QFETCH(QDateTime, opening);
        QFETCH(QString, words);
        const MarketClock clock = shippedClock(closingDays);
        QCOMPARE(clock.nextOpening(at), opening);
        QCOMPARE(clock.reopeningText(at), words);
    }

    void eachMarketKeepsItsOwnHours_data()
    {
        QTest::addColumn<MarketId>("market");
        QTest::addColumn<QDateTime>("at");
        QTest::addColumn<bool>("open");
        const MarketId usa = MarketId::BorsaUsa;
        // New York moves its clocks on 8 March and 1 November 2026, Rome on 29 March and 25 October.
        QTest::newRow("usa, new york's summer, rome's winter: 14:29 in rome") << usa << rome(2026, 3, 9, 14, 29) << false;
        QTest::newRow("usa, new york's summer, rome's winter: 14:30 in rome") << usa << rome(2026, 3, 9, 14, 30) << true;
        QTest::newRow("usa, both in winter: 15:29 in rome") << usa << rome(2026, 3, 6, 15, 29) << false;
        QTest::newRow("usa, rome's winter again: 21:00 in rome") << usa << rome(2026, 10, 26, 21, 0) << false;
        QTest::newRow("usa, 15:59 in new york") << usa << newYork(2026, 12, 9, 15, 59) << true;
        QTest::newRow("usa, thanksgiving") << usa << newYork(2026, 11, 26, 11, 0) << false;
        QTest::newRow("usa, early close, 12:59") << usa << newYork(2026, 11, 27, 12, 59) << true;
        QTest::newRow("usa, early close, 13:00") << usa << newYork(2026, 11, 27, 13, 0) << false;
        QTest::newRow("usa, good friday 2027") << usa << newYork(2027, 3, 26, 11, 0) << false;
        QTest::newRow("always open, sunday night") << MarketId::SempreAperto << rome(2026, 12, 6, 23, 30) << true;
        QTest::newRow("borsa italiana, 21:00 on a weekday") << MarketId::BorsaItaliana << rome(2026, 12, 9, 21, 0) << false;
    }
    void eachMarketKeepsItsOwnHours()
    {
        QFETCH(MarketId, market);
        QFETCH(QDateTime, at);
        QFETCH(bool, open);
        QCOMPARE(shippedMarkets().isOpen(market, at), open);
    }

    void previousCloseIsTheMarketsOwn()
    {
        const Markets markets = shippedMarkets();
        const struct
        {
            MarketId market;
            QDate day;
            QDate previous;
            QDateTime close;
        } rows[] = {
            {MarketId::BorsaItaliana, QDate(2026, 12, 8), QDate(2026, 12, 7), rome(2026, 12, 7, 17, 35)},
            {MarketId::BorsaItaliana, QDate(2026, 12, 28), QDate(2026, 12, 23), rome(2026, 12, 23, 17, 35)}, // christmas
            {MarketId::BorsaItaliana, QDate(2026, 4, 7), QDate(2026, 4, 2), rome(2026, 4, 2, 17, 35)},       // easter
            // Tuesday 1:00 in Rome is still Monday in New York: the day is New York's.
            {MarketId::BorsaUsa, Markets::dayOf(MarketId::BorsaUsa, rome(2026, 12, 8, 1, 0)), QDate(2026, 12, 4),
             newYork(2026, 12, 4, 16, 0)},
            {MarketId::BorsaUsa, QDate(2026, 11, 30), QDate(2026, 11, 27), newYork(2026, 11, 27, 13, 0)},
            {MarketId::SempreAperto, QDate(2026, 12, 7), QDate(2026, 12, 6), rome(2026, 12, 6, 0, 0)},
        };
        for (const auto &row : rows) {
            QCOMPARE(markets.previousTradingDay(row.market, row.day), row.previous);
            QCOMPARE(markets.closeOf(row.market, row.previous), row.close);
        }
        QVERIFY(!markets.closeOf(MarketId::BorsaItaliana, QDate(2026, 12, 25)).isValid());
        for (const Markets::Row &row : Markets::rows())
            QCOMPARE(Markets::fromKey(row.key), row.id);
    }

    void badLinesAreSkippedWithTheirLineAndYearsComeOnlyFromDates()
    {
        QStringList problems;
        const MarketCalendar calendar = MarketCalendar::parse(
            QStringLiteral("# commento\n\n2028-01-03 Chiusura\nNatale 2028\n2028-02-30\n26-12-2028\n  2028-01-04\r\n"), &problems);
        QCOMPARE(problems.size(), 3);
        QVERIFY(problems[0].startsWith(QStringLiteral("Riga 4 ignorata: \u00abNatale 2028\u00bb")));
        QVERIFY(!calendar.isTradingDay(QDate(2028, 1, 3)));
        QVERIFY(!calendar.isTradingDay(QDate(2028, 1, 4)));
        QVERIFY(calendar.isTradingDay(QDate(2028, 1, 5)));
        QVERIFY(calendar.knowsYear(2028));
        QVERIFY(!calendar.knowsYear(2029));

        QStringList shippedProblems;
        QVERIFY(MarketCalendar::parse(CalendarFile::shippedText(), &shippedProblems).knowsYear(2026));
        QVERIFY(shippedProblems.isEmpty());
    }

    void userCopyIsMadeAtFirstUseAndItsYearsReplaceTheShippedOnes()
    {
        const QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("dati/calendario-borsa.txt"));
        QVERIFY(!CalendarFile::load(path).isTradingDay(QDate(2026, 12, 25)));
        QCOMPARE(QString::fromUtf8(readFile(path)), CalendarFile::shippedText());

        QVERIFY(writeFile(path, "2026-12-07 prova\n2028-01-03\nsbagliata\n"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("calendario-borsa.txt: Riga 3 ignorata")));
        const MarketCalendar edited = CalendarFile::load(path);
        QVERIFY(!edited.isTradingDay(QDate(2026, 12, 7)));
        QVERIFY(edited.isTradingDay(QDate(2026, 12, 25)));
        QVERIFY(edited.knowsYear(2028));

        // A megabyte at most, padded with comments: past it the file is some other file.
        for (const qint64 size : {qint64(1) << 20, (qint64(1) << 20) + 1}) {
            QVERIFY(writeFile(path, "2026-12-07\n" + QByteArray(size - 12, '#') + '\n'));
            if (size > (1 << 20))
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("troppo grande")));
            QCOMPARE(CalendarFile::load(path).isTradingDay(QDate(2026, 12, 7)), size > (1 << 20));
        }

        QVERIFY(QFile::remove(path) && QDir().mkpath(path));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("non leggibile")));
        QVERIFY(!CalendarFile::load(path).isTradingDay(QDate(2026, 12, 25)));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("cartella non si pu")));
        const QString plain = dir.filePath(QStringLiteral("semplice"));
        QVERIFY(writeFile(plain, {}));
        QVERIFY(!CalendarFile::load(plain + QStringLiteral("/x/calendario-borsa.txt")).isTradingDay(QDate(2026, 12, 25)));
    }
};

QTEST_GUILESS_MAIN(TestMarketClock)
#include "tst_marketclock.moc"
