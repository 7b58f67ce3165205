#include <QSignalSpy>
#include <QTest>

#include "support/RecordingBackgroundReading.h"
#include "support/WatchDesk.h"
#include "watch/rules/OutOfSightReading.h"

namespace {

const QString A = QStringLiteral("http://a.example/borsa");
const QString B = QStringLiteral("http://b.example/borsa");
const QHash<QString, ValuePlace> places{
    {QStringLiteral("a1"), {A, QStringLiteral("/TABLE:0/TBODY:0/TR#ENI"), 1}},
    {QStringLiteral("a2"), {A, QStringLiteral("/TABLE:0/TBODY:0/TR#ENEL"), 1}},
    {QStringLiteral("b1"), {B, QStringLiteral("/TABLE:0/TBODY:0/TR#FCA"), 1}},
};

// a1, a2 and b1 followed at second 0, a Monday at 10:00 in Rome, on a clock the test moves:
// the market closes as the clock goes to the Saturday after at the same time, and opens as it
// comes back.
struct Session : WatchDesk
{
    const QDateTime start = now.addSecs(3600);
    RecordingBackgroundReading reading;
    std::optional<OutOfSightReading> watch;
    QStringList asks;

    // Without market hours given, the market is always open.
    explicit Session(bool hoursGiven)
    {
        now = start;
        if (hoursGiven) {
            markets = Markets();
            values = open();
        }
        for (const QString &name : {QStringLiteral("a1"), QStringLiteral("a2"), QStringLiteral("b1")})
            follow(places.value(name), name, 1.0);
        watch.emplace(*values, reading, clock());
    }

    // Steps apart by ";": "+N" seconds later the timer fires, "beat+N" the heartbeat does;
    // "pane x" a pane reads x ("pane -x" finds no number); "always x" puts x on "Sempre aperto";
    // "done" or "fail" the hidden page answers; "closed" or "open" the market. Gives the asks as "address@second".
    QString run(const QString &steps)
    {
        for (const QString &step : steps.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            if (step.startsWith(QLatin1Char('+'))) {
                now = now.addSecs(step.mid(1).toInt());
                watch->check();
            } else if (step.startsWith(QLatin1String("beat+"))) {
                now = now.addSecs(step.mid(5).toInt());
                watch->beat();
            } else if (step.startsWith(QLatin1String("pane "))) {
                const bool unread = step.at(5) == QLatin1Char('-');
                feed(places.value(step.mid(unread ? 6 : 5)), unread ? QStringLiteral("!-") : QStringLiteral("!2"));
            } else if (step.startsWith(QLatin1String("always "))) {
                values->setMarket(*values->idAt(places.value(step.mid(7))), MarketId::SempreAperto);
            } else if (step == QLatin1String("done") || step == QLatin1String("fail")) {
                reading.answerLast(now, step == QLatin1String("done"));
            } else {
                now = now.addDays(step == QLatin1String("open") ? -5 : 5);
                watch->check();
            }
            while (asks.size() < reading.asks.size())
                asks.append(QStringLiteral("%1@%2").arg(reading.asks.at(asks.size()).address == A ? "a" : "b").arg(start.time().secsTo(now.time())));
        }
        return asks.join(QLatin1Char(' '));
    }
};

} // namespace

class TestOutOfSightReading : public QObject
{
    Q_OBJECT
private slots:
    void valueNoPaneReadsIsLoadedOutOfSight_data()
    {
        QTest::addColumn<bool>("hoursGiven");
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("asks");
        QTest::addColumn<QString>("late");
        QTest::addColumn<QString>("told"); // the values whose lateness alerted, in turn

        QTest::newRow("a failed page lets the next go") << true << 1 << "+60;fail" << "a@60 b@60" << "" << "";
        QTest::newRow("a pane's reading puts it off") << true << 1 << "+30;pane a1;pane a2;+30;done;+30" << "b@60 a@90" << "" << "";
        QTest::newRow("an unread pane value puts nothing off") << true << 1 << "+30;pane -a1;pane a2;+30" << "a@60" << "" << "";
        QTest::newRow("no sleep, nothing before the interval") << true << 5 << "beat+30;beat+30;beat+40" << "" << "" << "";
        QTest::newRow("waking asks at once") << true << 5 << "beat+30;beat+30;beat+41" << "a@101" << "" << "";
        QTest::newRow("no longer once a pane reads it") << true << 1 << "beat+30;beat+30;done;beat+60;beat+30;pane b1" << "a@60 b@60" << "" << "b1";
        QTest::newRow("not before") << true << 1 << "beat+30;beat+30;done;beat+60" << "a@60 b@60" << "" << "";
        QTest::newRow("a failed page is late") << true << 1 << "beat+30;beat+30;fail;beat+60;beat+30" << "a@60 b@60" << "a1 a2 b1" << "a1 a2 b1";
        QTest::newRow("nor when it opened between heartbeats") << true << 1 << "closed;beat+300;open;pane a1" << "a@300" << "" << "";
        QTest::newRow("no market hours: always open") << false << 1 << "+60" << "a@60" << "" << "";
        QTest::newRow("at 21:00 only a value always open is read") << true << 1 << "always b1;+39600" << "b@39600" << "" << "";
        QTest::newRow("late although the clock went back an hour")
            << true << 1 << "+60;done;+5;done;beat+-3600;beat+60;beat+90" << "a@60 b@60 a@-3475" << "a1 a2 b1" << "a1 a2 b1";
        QTest::newRow("told once until read, then again")
            << true << 1 << "beat+30;beat+30;done;beat+60;beat+30;beat+30;pane b1;beat+60;beat+90" << "a@60 b@60" << "a1 a2 b1"
            << "b1 a1 a2 b1";
        QTest::newRow("nor just after it opened") << true << 1 << "closed;beat+300;open;beat+30" << "a@300" << "" << "";
    }
    void valueNoPaneReadsIsLoadedOutOfSight()
    {
        QFETCH(bool, hoursGiven);
        QFETCH(int, minutes);
        QFETCH(QString, steps);
        Session session(hoursGiven);
        QVERIFY(session.watch->setIntervalMinutes(minutes));
        QSignalSpy fell(&*session.values, &FollowedValues::fellLate);
        QTEST(session.run(steps), "asks");
        QStringList late;
        for (const qint64 id : session.watch->late())
            late.append(session.values->row(id).name);
        QTEST(late.join(QLatin1Char(' ')), "late");
        QStringList told;
        for (const QList<QVariant> &signal : std::as_const(fell))
            told.append(session.values->row(signal.at(0).toLongLong()).name);
        QTEST(told.join(QLatin1Char(' ')), "told");
        const QList<AlertHistory::Alert> history = session.values->alerts();
        QCOMPARE(std::count_if(history.begin(), history.end(), [](const auto &a) { return a.kind == AlertHistory::Kind::Late; }),
                 told.size());
    }

    void heartbeatOnlyWhileSomethingIsFollowed()
    {
        Session session(false);
        QVERIFY(session.watch->isBeating());
        for (const qint64 id : session.values->ids())
            session.values->unfollow(id);
        QVERIFY(!session.watch->isBeating());
    }
};

QTEST_GUILESS_MAIN(TestOutOfSightReading)
#include "tst_outofsightreading.moc"
