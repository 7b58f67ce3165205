#include <QTest>

#include "support/RomeTime.h"
#include "watch/rules/DayClose.h"
#include "watch/rules/MoveCrossing.h"
#include "watch/rules/ReadSchedule.h"

using Crossed = MoveCrossing::Crossed;
using Kind = DayClose::Kind;
using Reading = ValueStore::Reading;

namespace {

const QDateTime nine = RomeTime::rome(2026, 12, 7, 9, 0);

// "x=n" readings: x is HH:mm on the day of from, or minutes after from; n is "-" when unread.
QList<Reading> readings(const QDateTime &from, const QString &text)
{
    QList<Reading> list;
    for (const QString &pair : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString at = pair.section(QLatin1Char('='), 0, 0);
        const QString number = pair.section(QLatin1Char('='), 1);
        list.append({at.contains(QLatin1Char(':')) ? RomeTime::rome(from.date(), QTime::fromString(at, QStringLiteral("HH:mm")))
                                                   : from.addMSecs(qint64(at.toDouble() * 60000)),
                     number == QLatin1String("-") ? qQNaN() : number.toDouble()});
    }
    return list;
}

} // namespace

class TestReadsAndMoves : public QObject
{
    Q_OBJECT
private slots:
    // Events, times in seconds: mN the interval (! when refused); =N:x,… the values followed and
    // their addresses; rN@t a pane reads value N; ?@t what is due (an address or -); n@t when the
    // next one is due; s@t starts what is due (its address or -); +x starts x (! when refused);
    // fx@t address x ends; w the computer woke; <@t the clock went back to t; c and o every market
    // closes, opens; xN,… only those values' markets are closed.
    void backgroundReadsComeInTurn_data()
    {
        QTest::addColumn<QString>("events");
        QTest::addColumn<QString>("answers");

        QTest::newRow("read by its pane, never due") << "=1:a r1@0 ?@30 r1@50 ?@100 r1@100 n@100 ?@159" << "- - 160 -";
        QTest::newRow("due after the interval exactly") << "=1:a r1@0 ?@59 n@59 ?@60" << "- 60 a";
        QTest::newRow("five minutes") << "m5 =1:a r1@0 ?@299 ?@300" << "- a";
        QTest::newRow("back to one minute") << "m5 m1 =1:a r1@0 ?@60" << "a";
        QTest::newRow("minutes not offered keep the interval") << "m2 m4 =1:a r1@0 ?@119 ?@120" << "! - a";
        QTest::newRow("a late pane reading keeps the later") << "=1:a r1@100 r1@50 ?@150" << "-";
        QTest::newRow("read just before it is followed") << "r1@0 =1:a ?@30" << "-";
        QTest::newRow("a value no longer followed leaves its address") << "=1:a,2:a,3:b r1@0 r2@0 =1:a ?@30" << "-";
        QTest::newRow("a value the pane missed keeps its address due") << "=1:a,2:a,3:b r1@0 r3@0 ?@0" << "a";
        QTest::newRow("a hidden read waits an interval for its whole address") << "=1:a,2:a s@0 fa@5 ?@64 n@64 ?@65" << "a - 65 a";
        QTest::newRow("one at a time") << "=1:a,2:b s@0 ?@1 n@1 +b fa@2 ?@2" << "a - - ! b";
        QTest::newRow("only the address that loads ends") << "=1:a,2:b s@0 fb@1 ?@2 fa@3 ?@3" << "a - b";
        QTest::newRow("only a followed address starts") << "=1:a +z +a ?@0" << "! -";
        QTest::newRow("addresses in turn") << "=1:a,2:b,3:c s@0 fa@1 s@1 fb@2 s@2 fc@3 ?@3" << "a b c -";
        QTest::newRow("the turn goes on after a wake") << "=1:a,2:b,3:c s@0 fa@1 s@1 fb@2 w s@3" << "a b c";
        QTest::newRow("the turn comes back round") << "=1:a,2:b r1@0 s@0 fb@1 s@60 fa@61 s@61" << "b a b";
        QTest::newRow("waking makes every value due") << "=1:a,2:b r1@0 r2@0 ?@10 w ?@10 n@10" << "- a 10";
        QTest::newRow("closed market, nothing due") << "=1:a c ?@0 n@0 o ?@0" << "- - a";
        QTest::newRow("nothing followed") << "=1: ?@0 n@0" << "- -";
        QTest::newRow("an address is due while one of its markets is open")
            << "=1:a,2:a,3:b x1,3 ?@0 n@0 s@0 fa@1 ?@61 x1,2,3 ?@61 n@61" << "a 0 a a - -";
        QTest::newRow("a reading after now counts as now") << "=1:a r1@3600 <@60 ?@60 ?@120" << "- a";
    }

    void backgroundReadsComeInTurn()
    {
        QFETCH(QString, events);
        QFETCH(QString, answers);

        ReadSchedule schedule;
        bool allOpen = true;
        QList<qint64> closed;
        const ReadSchedule::Open open = [&](qint64 id) { return allOpen && !closed.contains(id); };
        QStringList got;
        for (const QString &event : events.split(QLatin1Char(' '))) {
            const QString what = event.section(QLatin1Char('@'), 0, 0).mid(1);
            const QDateTime at = nine.addSecs(event.section(QLatin1Char('@'), 1).toLongLong());
            QList<ReadSchedule::Value> followed;
            switch (event.at(0).toLatin1()) {
            case '=':
                for (const QString &pair : what.split(QLatin1Char(',')))
                    followed.append({pair.section(QLatin1Char(':'), 0, 0).toLongLong(), pair.section(QLatin1Char(':'), 1)});
                schedule.setValues(followed);
                break;
            case 'm': got += schedule.setIntervalMinutes(what.toInt()) ? QStringList() : QStringList(QStringLiteral("!")); break;
            case 'r': schedule.read(what.toLongLong(), at); break;
            case '?': got += schedule.due(at, open).value_or(QStringLiteral("-")); break;
            case 's': got += schedule.due(at, open).value_or(QStringLiteral("-")); schedule.backgroundStarted(got.constLast()); break;
            case 'n': got += schedule.nextDueTime(at, open) ? QString::number(nine.secsTo(*schedule.nextDueTime(at, open))) : QStringLiteral("-"); break;
            case '+': got += schedule.backgroundStarted(what) ? QStringList() : QStringList(QStringLiteral("!")); break;
            case 'f': schedule.backgroundFinished(what, at); break;
            case 'w': schedule.wokeFromSleep(); break;
            case '<': schedule.notAfter(at); break;
            case 'x':
                closed.clear();
                for (const QString &id : what.split(QLatin1Char(',')))
                    closed.append(id.toLongLong());
                break;
            default: allOpen = event == QLatin1String("o");
            }
        }
        QCOMPARE(got.join(QLatin1Char(' ')), answers);
    }

    // Readings in minutes after nine, each stored before it is fed, as the watch keeps it; those
    // "stored" were kept before the session began. Alerts: u up, d down, . nothing.
    void movesAlertOncePerCrossing_data()
    {
        QTest::addColumn<double>("percent");
        QTest::addColumn<int>("minutes"); // 0: from the previous close
        QTest::addColumn<double>("close");
        QTest::addColumn<double>("margin");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("fed");
        QTest::addColumn<QString>("alerts");
        QTest::addColumn<double>("lastMove");
        QTest::addColumn<double>("from"); // where the last move started
        QTest::addColumn<bool>("closeFirst"); // the close known before the move is chosen
        QTest::addColumn<bool>("accepted");

        const double none = qQNaN();
        QTest::newRow("a move chosen after the close") << 2.0 << 0 << 100.0 << 0.2 << "" << "0=101 1=102" << ".u" << 2.0 << 100.0 << true << true;
        QTest::newRow("exactly at the threshold") << 3.0 << 0 << 10.5 << 0.2 << "" << "0=10.814 1=10.815 2=10.5 3=10.186 4=10.185" << ".u..d" << -3.0 << 10.5 << false << true;
        QTest::newRow("re-armed past the margin") << 2.0 << 0 << 100.0 << 0.2 << "" << "0=102 1=101.9 2=102 3=101.7 4=102" << "u...u" << 2.0 << 100.0 << false << true;
        QTest::newRow("unread: no alert, no re-arming") << 2.0 << 0 << 100.0 << 0.2 << "" << "0=103 1=- 2=103 3=- 4=101 5=103 6=-" << "u....u." << none << none << false << true;
        QTest::newRow("a move of no percent is refused") << 0.0 << 0 << 100.0 << 0.2 << "" << "0=150" << "." << 50.0 << 100.0 << false << false;
        QTest::newRow("a window of no minute is refused") << 2.0 << -1 << none << 0.2 << "" << "0=100 1=150" << ".." << none << none << false << false;
        QTest::newRow("no close, no alert") << 2.0 << 0 << none << 0.2 << "" << "0=150 1=50" << ".." << none << none << false << true;
        QTest::newRow("no move from a close of zero") << 2.0 << 0 << 0.0 << 0.2 << "" << "0=1" << "." << none << none << false << true;
        QTest::newRow("a negative close moves by its size") << 10.0 << 0 << -10.0 << 0.2 << "" << "0=-9.5 1=-8.9 2=-11.1" << ".ud" << -11.0 << -10.0 << false << true;
        QTest::newRow("a rise inside the window") << 2.0 << 10 << none << 0.2 << "" << "0=100 3=101 6=102.1" << "..u" << 2.1 << 100.0 << false << true;
        QTest::newRow("no rise from a reading of zero") << 2.0 << 10 << none << 0.2 << "" << "0=0 1=5" << ".." << none << none << false << true;
        QTest::newRow("a fall inside a minute") << 2.0 << 1 << none << 0.2 << "" << "0=100 1=98" << ".d" << -2.0 << 100.0 << false << true;
        QTest::newRow("a move begun before the window") << 2.0 << 10 << none << 0.2 << "" << "0=100 8=101 12=102.1" << "..." << 102.1 / 1.01 - 100 << 101.0 << false << true;
        QTest::newRow("the window's first minute counts") << 2.0 << 10 << none << 0.2 << "" << "0=100 10=102" << ".u" << 2.0 << 100.0 << false << true;
        QTest::newRow("just past the window") << 2.0 << 10 << none << 0.2 << "" << "0=100 10.01=98" << ".." << 0.0 << 98.0 << false << true;
        QTest::newRow("a stored move counts at once") << 2.0 << 10 << none << 0.2 << "0=100 5=101" << "9=103" << "u" << 3.0 << 100.0 << false << true;
        QTest::newRow("re-armed as the window moves on") << 2.0 << 10 << none << 0.2 << "" << "0=100 5=102 11=102 13=102 20=104.1" << ".u..u"
                                                         << 104.1 / 1.02 - 100 << 102.0 << false << true;
        QTest::newRow("wider margin in the window") << 2.0 << 10 << none << 1.0 << "" << "0=100 1=102 2=101.1 3=102 4=100.9 5=102" << ".u...u" << 2.0 << 100.0 << false << true;
        QTest::newRow("rise and fall at once: the larger") << 5.0 << 10 << none << 0.2 << "0=120 1=100" << "2=110" << "u" << 10.0 << 100.0 << false << true;
        QTest::newRow("fall and rise at once: the larger") << 5.0 << 10 << none << 0.2 << "0=100 1=120" << "2=105" << "d" << -12.5 << 120.0 << false << true;
    }

    void movesAlertOncePerCrossing()
    {
        QFETCH(double, percent);
        QFETCH(int, minutes);
        QFETCH(double, close);
        QFETCH(double, margin);
        QFETCH(QString, stored);
        QFETCH(QString, fed);
        QFETCH(QString, alerts);
        QFETCH(double, lastMove);
        QFETCH(double, from);
        QFETCH(bool, closeFirst);
        QFETCH(bool, accepted);

        MoveCrossing crossing;
        const auto reference = minutes ? MoveCrossing::Reference::WithinMinutes : MoveCrossing::Reference::PreviousClose;
        const std::optional<double> known = qIsNaN(close) ? std::nullopt : std::optional(close);
        if (closeFirst)
            crossing.setPreviousClose(known);
        QCOMPARE(crossing.setMove({percent, reference, minutes, margin}), accepted);
        if (!closeFirst)
            crossing.setPreviousClose(known);
        QList<Reading> kept = readings(nine, stored);
        QString got;
        for (const Reading &reading : readings(nine, fed)) {
            const bool read = !qIsNaN(reading.number);
            if (read)
                kept.append(reading);
            const Crossed c = crossing.feed(reading.time, read ? std::optional(reading.number) : std::nullopt, kept);
            got += c == Crossed::Above ? QLatin1Char('u') : c == Crossed::Below ? QLatin1Char('d') : QLatin1Char('.');
        }
        QCOMPARE(got, alerts);
        QCOMPARE(crossing.movePercent().value_or(qQNaN()), lastMove);
        QCOMPARE(crossing.moveFrom().value_or(qQNaN()), from);
    }

    // The previous day is Monday, today Tuesday: the caller finds the previous trading day.
    void previousCloseIsTheLastReadingOfTheDayBefore_data()
    {
        QTest::addColumn<QString>("previousReadings");
        QTest::addColumn<QString>("auction"); // empty: none
        QTest::addColumn<QString>("todayReadings");
        QTest::addColumn<QString>("close"); // HH:mm=n on its day, empty for none
        QTest::addColumn<int>("kind");
        QTest::addColumn<double>("now");
        QTest::addColumn<double>("change");
        QTest::addColumn<double>("percent");

        const int auction = int(Kind::AfterAuction);
        const int estimated = int(Kind::Estimated);
        const int first = int(Kind::FirstReadingToday);
        QTest::newRow("yesterday's last reading after the auction") << "09:05=10 17:30=10.2 17:36=10.5 17:40=10.4" << "17:35" << "09:01=10.6"
                                                                    << "17:40=10.4" << auction << 10.92 << 0.52 << 5.0;
        QTest::newRow("a reading at the auction's minute") << "17:35=10" << "17:35" << "" << "17:35=10" << auction << 10.0 << 0.0 << 0.0;
        QTest::newRow("none after the auction: estimated") << "09:05=10 16:50=10.3" << "17:35" << "09:01=10.6" << "16:50=10.3" << estimated
                                                           << 10.3 << 0.0 << 0.0;
        QTest::newRow("no auction time: estimated") << "17:40=10" << "" << "" << "17:40=10" << estimated << 11.0 << 1.0 << 10.0;
        QTest::newRow("readings out of order") << "17:40=10.4 17:41=10.3 09:05=10" << "17:35" << "" << "17:41=10.3" << auction << 10.3 << 0.0 << 0.0;
        QTest::newRow("no earlier day: today's first reading") << "" << "17:35" << "09:03=11 09:01=10 09:10=11.2" << "09:01=10" << first << 11.0
                                                               << 1.0 << 10.0;
        QTest::newRow("an unread number is no close") << "17:36=-" << "17:35" << "09:01=10" << "09:01=10" << first << 10.0 << 0.0 << 0.0;
        QTest::newRow("no reading at all") << "" << "17:35" << "" << "" << 0 << 0.0 << 0.0 << 0.0;
        QTest::newRow("no percentage from zero") << "17:36=0" << "17:35" << "" << "17:36=0" << auction << 1.0 << 1.0 << qQNaN();
        QTest::newRow("a negative close") << "17:36=-10" << "17:35" << "" << "17:36=-10" << auction << -9.0 << 1.0 << 10.0;
    }

    void previousCloseIsTheLastReadingOfTheDayBefore()
    {
        QFETCH(QString, previousReadings);
        QFETCH(QString, auction);
        QFETCH(QString, todayReadings);
        QFETCH(QString, close);
        QFETCH(int, kind);
        QFETCH(double, now);
        QFETCH(double, change);
        QFETCH(double, percent);

        const QDateTime previous = RomeTime::rome(nine.date(), QTime(0, 0));
        const QDateTime today = previous.addDays(1);
        const QDateTime auctionTime = auction.isEmpty() ? QDateTime() : readings(previous, auction + QStringLiteral("=0")).constFirst().time;
        const auto found = DayClose::previous(readings(previous, previousReadings), auctionTime, readings(today, todayReadings));
        QCOMPARE(found.has_value(), !close.isEmpty());
        if (!found)
            return;
        QCOMPARE(int(found->kind()), kind);
        const Reading expected = readings(kind == int(Kind::FirstReadingToday) ? today : previous, close).constFirst();
        QCOMPARE(found->time(), expected.time);
        QCOMPARE(found->number(), expected.number);
        if (kind == int(Kind::FirstReadingToday))
            QCOMPARE(found->note(), QStringLiteral("dalla prima lettura di oggi"));
        QCOMPARE(found->changeTo(now).absolute, change);
        QCOMPARE(found->changeTo(now).percent.value_or(qQNaN()), percent);
    }
};

QTEST_GUILESS_MAIN(TestReadsAndMoves)
#include "tst_readsandmoves.moc"
