#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "market/MarketClock.h"
#include "watch/store/ValueStore.h"

namespace {

using Readings = QList<std::pair<qint64, ValueStore::Reading>>;

// "-1 9:00:05 a=10": the day from today, Italy's time, the value (a or b) and its number.
QString token(const QDate &today, qint64 value, const ValueStore::Reading &reading, qint64 a)
{
    const QDateTime rome = reading.time.toTimeZone(MarketClock::zone());
    return QStringLiteral("%1 %2 %3=%4")
        .arg(today.daysTo(rome.date()))
        .arg(rome.time().toString(QStringLiteral("H:mm:ss")), value == a ? QStringLiteral("a") : QStringLiteral("b"))
        .arg(reading.number);
}

} // namespace

// The store stays small: only changes are written, the days before today are thinned to a
// reading a minute and a month is kept, in steps of bounded size.
class TestStoreSize : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY(m_dir.emplace().isValid());
        m_store.emplace(path());
        m_a = m_store->follow({QStringLiteral("a"), QString(), 0}, QStringLiteral("A")).value();
        m_b = m_store->follow({QStringLiteral("b"), QString(), 0}, QStringLiteral("B")).value();
    }
    void cleanup() { m_store.reset(); }

    void onlyAChangeIsWritten_data()
    {
        QTest::addColumn<QString>("fed"); // seconds after nine = number; "restart" closes and opens the store
        QTest::addColumn<QString>("stored");
        QTest::newRow("unchanged") << "0=10 1=10 2=10" << "0=10";
        QTest::newRow("a change brings the last unchanged before it") << "0=10 1=10 2=10 3=11" << "0=10 2=10 3=11";
        QTest::newRow("a minute unchanged") << "0=10 30=10 60=10 61=10" << "0=10 60=10";
        QTest::newRow("a gap after the last unchanged") << "0=10 5=10 300=10" << "0=10 5=10 300=10";
        QTest::newRow("closing writes the last unchanged") << "0=10 5=10 restart" << "0=10 5=10";
        QTest::newRow("the last written survives a restart") << "0=10 restart 5=10" << "0=10";
    }
    void onlyAChangeIsWritten()
    {
        QFETCH(QString, fed);
        QFETCH(QString, stored);
        const QDateTime nine(QDate(2026, 3, 2), QTime(9, 0), MarketClock::zone());
        for (const QString &reading : fed.split(QLatin1Char(' '))) {
            if (reading == QLatin1String("restart")) {
                m_store.reset();
                m_store.emplace(path());
                continue;
            }
            QVERIFY(m_store->record({{m_a, {nine.addSecs(reading.section(QLatin1Char('='), 0, 0).toInt()),
                                            reading.section(QLatin1Char('='), 1).toDouble()}}}));
        }
        QStringList got;
        for (const ValueStore::Reading &reading : m_store->readings(m_a, nine, nine.addSecs(3600)))
            got << QStringLiteral("%1=%2").arg(nine.secsTo(reading.time)).arg(reading.number);
        QCOMPARE(got.join(QLatin1Char(' ')), stored);
    }

    void thinningKeepsEachMinutesLastTheDaysFirstAndAMonth_data()
    {
        QTest::addColumn<QString>("readings"); // tokens as token() writes them, apart by ","
        QTest::addColumn<QString>("kept");
        QTest::newRow("a minute's last") << "-1 9:00:00 a=1, -1 10:00:05 a=2, -1 10:00:59 a=3, -1 10:01:00 a=4"
                                         << "-1 9:00:00 a=1, -1 10:00:59 a=3, -1 10:01:00 a=4";
        QTest::newRow("the day's first") << "-1 9:00:01 a=1, -1 9:00:30 a=2, -1 9:00:31 a=3"
                                         << "-1 9:00:01 a=1, -1 9:00:31 a=3";
        QTest::newRow("each value its own") << "-1 9:00:00 a=1, -1 9:00:00 b=2, -1 10:00:10 a=3, -1 10:00:20 b=4, -1 10:00:30 a=5"
                                            << "-1 9:00:00 a=1, -1 10:00:30 a=5, -1 9:00:00 b=2, -1 10:00:20 b=4";
        QTest::newRow("the day is Italy's") << "-2 12:00:00 a=1, -1 0:00:10 a=2, -1 0:00:50 a=3"
                                            << "-2 12:00:00 a=1, -1 0:00:10 a=2, -1 0:00:50 a=3";
        QTest::newRow("a month") << "-31 10:00:00 a=1, -30 11:59:00 a=2, -30 12:01:00 a=3, -29 10:00:00 b=4"
                                 << "-30 12:01:00 a=3, -29 10:00:00 b=4";
    }
    void thinningKeepsEachMinutesLastTheDaysFirstAndAMonth()
    {
        QFETCH(QString, readings);
        QFETCH(QString, kept);
        const QDateTime now(QDate(2026, 3, 6), QTime(12, 0), MarketClock::zone());
        Readings given;
        for (const QString &t : readings.split(QLatin1Char(','))) {
            const QStringList parts = t.trimmed().split(QLatin1Char(' '));
            const QDateTime at(now.date().addDays(parts.at(0).toInt()), QTime::fromString(parts.at(1), QStringLiteral("H:mm:ss")),
                               MarketClock::zone());
            given.append({parts.at(2).startsWith(QLatin1Char('a')) ? m_a : m_b, {at, parts.at(2).section(QLatin1Char('='), 1).toDouble()}});
        }
        QVERIFY(m_store->record(given));
        // Steps smaller than a minute's readings: a minute is thinned whole all the same.
        m_store->upkeep().setRowsPerStep(2);
        m_store->upkeep().start(now);
        while (m_store->upkeep().step()) {
        }
        QStringList got;
        for (const qint64 id : {m_a, m_b}) {
            for (const ValueStore::Reading &reading : m_store->readings(id, now.addDays(-40), now))
                got << token(now.date(), id, reading, m_a);
        }
        QCOMPARE(got.join(QStringLiteral(", ")), kept);
    }

    void upkeepRunsInBoundedStepsToTheEnd()
    {
        const QDateTime now(QDate(2026, 3, 6), QTime(9, 0), MarketClock::zone());
        Readings seconds;
        for (int day = -2; day <= 0; ++day) {
            for (int s = 0; s < 1200; ++s) {
                const QDateTime at = QDateTime(now.date().addDays(day), QTime(10, 0), MarketClock::zone()).addSecs(s);
                seconds << std::pair{m_a, ValueStore::Reading{at, double(s)}} << std::pair{m_b, ValueStore::Reading{at, -double(s)}};
            }
        }
        QVERIFY(m_store->record(seconds));
        const auto rowsOf = [&](int day) {
            const QDate date = now.date().addDays(day);
            return m_store->readings(m_a, date.startOfDay(MarketClock::zone()), date.endOfDay(MarketClock::zone())).size();
        };
        StoreUpkeep &upkeep = m_store->upkeep();
        upkeep.setRowsPerStep(300);
        QSignalSpy finished(&upkeep, &StoreUpkeep::finished);
        upkeep.start(now);
        int steps = 0;
        int most = 0;
        while (upkeep.step()) {
            ++steps;
            most = qMax(most, upkeep.lastStepRows());
        }
        QVERIFY(steps >= 2 * 2400 / 300 && most <= 300);
        QCOMPARE(finished.size(), 1);
        // The first and twenty minutes' last, each day before today.
        QCOMPARE(rowsOf(-1), 21);
        QCOMPARE(rowsOf(0), 1200);
        // The next day, the timer alone thins the day before and stops.
        upkeep.start(now.addDays(1));
        QTRY_COMPARE(finished.size(), 2);
        QVERIFY(!upkeep.isRunning());
        QCOMPARE(rowsOf(0), 21);
    }

private:
    QString path() const { return m_dir->filePath(QStringLiteral("valori.sqlite")); }

    std::optional<QTemporaryDir> m_dir;
    std::optional<ValueStore> m_store;
    qint64 m_a = 0;
    qint64 m_b = 0;
};

QTEST_GUILESS_MAIN(TestStoreSize)
#include "tst_storesize.moc"
