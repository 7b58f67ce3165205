#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

#include "support/SecondConnection.h"
#include "support/WatchDesk.h"
#include "watch/FollowedValues.h"

namespace {

const ValuePlace Eni = WatchDesk::place(QStringLiteral("ENI"));
const ValuePlace Enel = WatchDesk::place(QStringLiteral("ENEL"));

// ENI followed at 9:00 under "Prezzo" at 14, and read in the feed's words.
struct Session : WatchDesk
{
    qint64 eni = 0;

    qint64 followEni(const QString &heading = QStringLiteral("Prezzo"))
    {
        return eni = values->follow({Eni, QStringLiteral(" ENI "), QStringLiteral("14"), 14.0, ValuePick::Followable::Yes, heading}).value_or(0);
    }
    void feed(const QString &readings) { WatchDesk::feed(Eni, readings); }
};

} // namespace

// The followed values without a window: what a reading is taken for, the day's change, the
// crossings, and the store opened only when needed and kept a month.
class TestFollowedValues : public QObject
{
    Q_OBJECT
private slots:
    // The change is from the previous trading day's close, else from today's first reading.
    void readingIsTheValuesOrSaysWhyNot_data()
    {
        QTest::addColumn<QString>("followedUnder");
        QTest::addColumn<QString>("readings");
        QTest::addColumn<double>("last");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<double>("change");
        QTest::addColumn<double>("percent");
        QTest::addColumn<int>("announced");
        QTest::addColumn<QString>("note");

        const QString first = QStringLiteral("dalla prima lettura di oggi");
        QTest::newRow("the hour in the heading") << "Prezzo" << "Prezzo (17:35)=14.7" << 14.7 << "" << 0.7 << 5.0 << 1 << first;
        QTest::newRow("no heading read") << "Prezzo" << "=13.3" << 13.3 << "" << -0.7 << -5.0 << 1 << first;
        QTest::newRow("a column added before") << "Prezzo" << "Apertura=12" << 14.0
                                               << "la colonna \u00abPrezzo\u00bb ora \u00e8 \u00abApertura\u00bb" << 0.0 << 0.0 << 1 << first;
        QTest::newRow("not found twice") << "Prezzo" << "-;-" << 14.0 << "valore non trovato" << 0.0 << 0.0 << 1 << first;
        QTest::newRow("the page's reason") << "Prezzo" << "-pagina non caricata" << 14.0 << "pagina non caricata" << 0.0 << 0.0 << 1 << first;
        QTest::newRow("first heading is kept") << "" << "Prezzo=6.2;Apertura=6" << 6.2 << "\u00abPrezzo\u00bb" << -7.8 << -7.8 / 14 * 100 << 2 << first;
        QTest::newRow("a second read twice") << "Prezzo" << "next day;next day;10;!20;21" << 21.0 << "" << 1.0 << 5.0 << 3 << first;
        QTest::newRow("read in between") << "Prezzo" << "-;-;14.7;-;-;14.7" << 14.7 << "" << 0.7 << 5.0 << 4 << first;
        QTest::newRow("a page prepared before the last reading") << "Prezzo" << "14.7;14.8;14.8;at 9:00;-;13.3" << 14.8 << "" << 0.8
                                                                 << 0.8 / 14 * 100 << 3 << first;
        QTest::newRow("the clock set back an hour") << "Prezzo" << "14.7;at 8:00;13.3" << 13.3 << "" << -0.7 << -5.0 << 2 << first;
        QTest::newRow("yesterday's last after the close") << "Prezzo" << "at 17:40;15;at 17:50;15.1;next day;15.3" << 15.3 << "" << 0.2
                                                          << 0.2 / 15.1 * 100 << 3 << "";
        QTest::newRow("yesterday's last before it") << "Prezzo" << "15;next day;15.3" << 15.3 << "" << 0.3 << 2.0 << 2 << "chiusura stimata";
        QTest::newRow("Friday's on a Monday") << "Prezzo" << "next day;next day;next day;next day;at 17:40;15;next day;next day;next day;15.3"
                                              << 15.3 << "" << 0.3 << 2.0 << 2 << "";
        QTest::newRow("none the day before") << "Prezzo" << "15;next day;next day;15.3;15.6" << 15.6 << "" << 0.3 << 0.3 / 15.3 * 100 << 3 << first;
        QTest::newRow("after a restart") << "Prezzo" << "at 17:40;15;next day;15.3;restart;15.6" << 15.6 << "" << 0.6 << 4.0 << 2 << "";
    }
    void readingIsTheValuesOrSaysWhyNot()
    {
        QFETCH(QString, followedUnder);
        QFETCH(QString, readings);
        QFETCH(double, last);
        QFETCH(QString, reason);
        QFETCH(double, change);
        QFETCH(double, percent);
        QFETCH(int, announced);
        QFETCH(QString, note);

        Session s;
        s.followEni(followedUnder);
        const qint64 enel = s.values->follow({Enel, QStringLiteral("ENEL"), QStringLiteral("6"), 6.0, ValuePick::Followable::Yes, {}}).value_or(0);
        QSignalSpy changed(s.values.get(), &FollowedValues::changed);
        s.feed(readings);
        const FollowedRow row = s.values->row(s.eni);
        QCOMPARE(row.last, std::optional(last));
        QVERIFY2(reason.isEmpty() ? row.unreadReason.isEmpty() : row.unreadReason.contains(reason), qPrintable(row.unreadReason));
        // A reading the same second as the day's first replaces it.
        QCOMPARE(row.change.value_or(qQNaN()), change);
        QCOMPARE(row.changePercent.value_or(qQNaN()), percent);
        QCOMPARE(row.previousClose.value_or(qQNaN()), last - change);
        QVERIFY2(note.isEmpty() ? row.changeNote.isEmpty() : row.changeNote.contains(note), qPrintable(row.changeNote));
        // The same reason again changes nothing to show; the other value is not touched.
        QCOMPARE(changed.size(), announced);
        QCOMPARE(changed.first().first().toLongLong(), s.eni);
        QCOMPARE(s.values->row(enel).last, std::optional(6.0));
    }

    // Levels (NaN: none) or a move of a percent in minutes (0: from the previous close), on a
    // calendar ("always": no market hours). One letter a step: u up, d down, . none; beyond:
    // whether the row is marked past a level.
    void alertsOnceEvenAcrossRestarts_data()
    {
        QTest::addColumn<double>("above");
        QTest::addColumn<double>("below");
        QTest::addColumn<double>("percent");
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QString>("market");
        QTest::addColumn<QString>("readings");
        QTest::addColumn<QString>("alerts");
        QTest::addColumn<QString>("beyond");

        const double none = qQNaN();
        QTest::newRow("yesterday's alert") << 14.5 << none << none << 0 << "" << "14.6;next day" << "u." << "11";
        QTest::newRow("alerted before a restart") << 14.5 << none << none << 0 << "" << "14.6;restart;14.7;14.4;14.6" << "u...u" << "11101";
        QTest::newRow("re-armed before a restart") << 14.5 << none << none << 0 << "" << "14.6;14.4;restart;14.6" << "u..u" << "1001";
        QTest::newRow("below re-armed before a restart") << none << 13.0 << none << 0 << "" << "12.9;13.1;restart;12.9" << "d..d" << "1001";
        QTest::newRow("an older page's reading does not re-arm") << 14.5 << none << none << 0 << "" << "14.6;14.7;at 9:00;14.4;at 9:01;14.6"
                                                                 << "u....." << "111111";
        QTest::newRow("below, before a restart") << none << 13.0 << none << 0 << "" << "12.9;restart;12.8" << "d.." << "111";
        QTest::newRow("at 21:00, milan closed") << 14.5 << none << none << 0 << "" << "at 21:00;14.2;14.6;14.7;14.8" << "..u.." << "00111";
        const QString closed14 = QStringLiteral("at 17:40;14;next day;");
        QTest::newRow("a move from the close") << none << none << 5.0 << 0 << "always" << closed14 + "14.5;14.7;14.75;14.3;14.8" << "....u..u"
                                               << "00000000";
        QTest::newRow("a move within minutes") << none << none << 2.0 << 10 << "always" << "14.1;14.3;at 9:30;14.3;14.6" << ".u..u" << "00000";
        QTest::newRow("a move also while the market is closed") << none << none << 5.0 << 0 << "" << closed14 + "at 8:00;15;at 9:00;15.1"
                                                                << "....u.." << "0000000";
        QTest::newRow("a restart alerts no move again") << none << none << 5.0 << 0 << "always" << closed14 + "14.8;restart;14.9" << "...u.."
                                                        << "000000";
        QTest::newRow("nor the day after a holiday") << none << none << 5.0 << 0 << "2026-12-08" << closed14 + "next day;15;restart;15.1"
                                                     << "....u.." << "0000000";
        QTest::newRow("a new day alerts a move anew") << none << none << 5.0 << 0 << "always" << closed14 + "14.8;at 17:40;14.8;next day;15.6"
                                                      << "...u...u" << "00000000";
    }
    void alertsOnceEvenAcrossRestarts()
    {
        QFETCH(double, above);
        QFETCH(double, below);
        QFETCH(double, percent);
        QFETCH(int, minutes);
        QFETCH(QString, market);
        QFETCH(QString, readings);
        QFETCH(QString, alerts);

        Session s;
        if (market != QLatin1String("always"))
            s.markets = Markets(MarketCalendar::parse(market));
        s.values = s.open();
        s.followEni();
        const auto given = [](double number) { return qIsNaN(number) ? std::nullopt : std::optional(number); };
        s.values->setLevels(s.eni, {given(above), given(below), 0.2});
        using Reference = MoveCrossing::Reference;
        if (!qIsNaN(percent))
            s.values->setMove(s.eni, MoveCrossing::Move{percent, minutes ? Reference::WithinMinutes : Reference::PreviousClose, minutes, 0.2});
        QString gotAlerts, gotBeyond;
        QDateTime alertedAt;
        for (const QString &reading : readings.split(QLatin1Char(';'))) {
            QSignalSpy crossed(s.values.get(), &FollowedValues::crossed);
            QSignalSpy moved(s.values.get(), &FollowedValues::moved);
            s.feed(reading);
            QString step;
            for (const QList<QVariant> &signal : std::as_const(crossed)) {
                const bool up = signal.at(1).value<LevelCrossing::Crossed>() == LevelCrossing::Crossed::Above;
                step += up ? QLatin1Char('u') : QLatin1Char('d');
                QCOMPARE(signal.at(2).toDouble(), up ? above : below);
                QCOMPARE(signal.at(3).value<ValueStore::Reading>().number, reading.toDouble());
            }
            for (const QList<QVariant> &signal : std::as_const(moved))
                step += signal.at(1).toDouble() > 0 ? QLatin1Char('u') : QLatin1Char('d');
            if (!step.isEmpty())
                alertedAt = s.now;
            gotAlerts += step.isEmpty() ? QStringLiteral(".") : step;
            gotBeyond += s.values->row(s.eni).beyond ? QLatin1Char('1') : QLatin1Char('0');
        }
        QCOMPARE(gotAlerts, alerts);
        QTEST(gotBeyond, "beyond");
        // Each alert goes into the history; only today's is told on the row, with the move it alerts on.
        QCOMPARE(s.values->alerts().size(), alerts.count(QLatin1Char('u')) + alerts.count(QLatin1Char('d')));
        QCOMPARE(s.values->row(s.eni).alertedAt, alertedAt.date() == s.now.date() ? alertedAt : QDateTime());
        QCOMPARE(s.values->row(s.eni).movePercent, given(percent));
    }

    void yearTheCalendarDoesNotKnowIsNamed()
    {
        Session s;
        s.now = QDateTime(QDate(2027, 1, 4), QTime(9, 0), MarketClock::zone());
        QCOMPARE(s.values->unknownYear(), std::nullopt);
        for (const auto &[calendar, named] : {std::pair{"2027-01-01", std::optional<int>()}, std::pair{"2026-12-25", std::optional(2027)}}) {
            s.markets = Markets(MarketCalendar::parse(QLatin1String(calendar)));
            s.values = s.open();
            QCOMPARE(s.values->unknownYear(), named);
        }
    }

    // Another copy unfollowed ENI meanwhile: the reading cannot be kept, so it is not shown.
    void readingTheStoreDidNotKeepIsNotShown()
    {
        Session s;
        s.followEni();
        QVERIFY(SecondConnection(s.path).run({QStringLiteral("DELETE FROM followed")}));
        QSignalSpy read(s.values.get(), &FollowedValues::kept);
        s.feed(QStringLiteral("14.7"));
        QCOMPARE(read.size(), 0);
        QCOMPARE(s.values->row(s.eni).last, std::optional(14.0));
        QVERIFY(s.values->row(s.eni).unreadReason.contains(QStringLiteral("non salvata")));
    }

    void levelsAndNamesOutliveTheSession()
    {
        Session s;
        const qint64 id = s.followEni();
        s.values->setLevel(id, true, 15.0);
        s.values->setLevel(id, false, 13.0);
        s.values->setMargin(id, 1.5);
        s.values->setLevel(id, true, std::nullopt);
        s.values->rename(id, QStringLiteral("  Eni   SpA "));
        s.values->rename(id, QStringLiteral("   "));
        // A value gone meanwhile (in another window) is left alone.
        s.values->setLevel(id + 1, true, 1.0);
        s.values->rename(id + 1, QStringLiteral("X"));
        s.values.reset();
        s.now = s.now.addDays(1);
        s.values = s.open();
        QCOMPARE(s.values->ids(), QList<qint64>{id});
        const FollowedRow row = s.values->row(id);
        QCOMPARE(row.name, QStringLiteral("Eni SpA"));
        QCOMPARE(row.levels.above, std::nullopt);
        QCOMPARE(row.levels.below, std::optional(13.0));
        QCOMPARE(row.levels.marginPercent, 1.5);
        // Yesterday's reading is the last, but no change of today.
        QCOMPARE(row.last, std::optional(14.0));
        QVERIFY(!row.change);
    }

    // Nothing followed, no file made; the next start reads the file at once, for the first pane.
    void storeOpensWhenFirstNeeded()
    {
        Session s;
        QSignalSpy places(s.values.get(), &FollowedValues::placesChanged);
        QVERIFY(!s.values->follow({Eni, QStringLiteral("ENI"), QStringLiteral("n.d."), std::nullopt, ValuePick::Followable::Yes, {}}));
        QVERIFY(!s.values->follow({Eni, QStringLiteral("ENI"), QStringLiteral("1"), 1.0, ValuePick::Followable::NameChanges, {}}));
        s.values->markAlertsSeen();
        QVERIFY(s.values->alerts().isEmpty());
        QVERIFY(!QFileInfo::exists(s.path));
        s.followEni();
        QVERIFY(QFileInfo::exists(s.path));
        QCOMPARE(s.values->row(s.eni).name, QStringLiteral("ENI"));
        s.values->follow({Enel, QStringLiteral(" "), QStringLiteral("6"), 6.0, ValuePick::Followable::Yes, {}});
        QCOMPARE(s.values->rows().last().name, QStringLiteral("Valore"));
        s.values->unfollow(s.eni);
        QCOMPARE(places.size(), 3);
        s.values = s.open();
        QCOMPARE(s.values->places(), QList<ValuePlace>{Enel});
        QCOMPARE(s.values->idAt(Eni), std::nullopt);
    }

    void programRunningForWeeksKeepsAMonth()
    {
        Session s;
        s.followEni();
        // Pruned at opening, then at a new day's first reading only.
        const auto readOld = [&] {
            s.values->take({{Eni, 13.0, QStringLiteral("13"), {}, s.now.addDays(-40), {}},
                              {Eni, 14.5, QStringLiteral("14,5"), {}, s.now.addSecs(60), {}}});
        };
        const auto old = [&] { return s.values->readings(s.eni, s.now.addDays(-60), s.now.addDays(-30)).size(); };
        readOld();
        QCOMPARE(old(), 1);
        s.values = s.open();
        QTRY_COMPARE(old(), 0);
        readOld();
        QCOMPARE(old(), 1);
        s.feed(QStringLiteral("next day;14.6"));
        QTRY_COMPARE(old(), 0);
    }
};

QTEST_GUILESS_MAIN(TestFollowedValues)
#include "tst_followedvalues.moc"
