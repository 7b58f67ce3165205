#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include "support/Files.h"
#include "support/SecondConnection.h"
#include "watch/store/ReadingsCsv.h"
#include "watch/store/ValueStore.h"
#include "watch/store/ValueStoreSchema.h"

using Crossed = LevelCrossing::Crossed;

// The database of followed values in a folder of its own, closed and opened again as a
// restart does, and the readings' way out to a spreadsheet.
class TestValueStore : public QObject
{
    Q_OBJECT
private slots:
    void init() { QVERIFY(m_dir.emplace().isValid()); }

    void restartKeepsValuesLevelsAndReadings()
    {
        const ValuePlace eni{QStringLiteral("http://q.example/borsa"), QStringLiteral("/TABLE:0/TBODY:0/TR#ENI"), 2};
        qint64 id = 0;
        {
            ValueStore store(path());
            QVERIFY(store.isPersistent());
            QVERIFY(store.openingProblem().isEmpty());
            id = store.follow(eni, QStringLiteral("ENI"), QStringLiteral("Prezzo")).value();
            QCOMPARE(store.follow(eni, QStringLiteral("altro nome")), std::optional(id));
            QVERIFY(store.rename(id, QStringLiteral("Eni S.p.A.")));
            QVERIFY(store.setLevels(id, {14.5, 12.0, 0.5}));
            QVERIFY(store.setAlerted(id, Crossed::Above, true));
            QVERIFY(store.setAlerted(id, Crossed::Below, true));
            QVERIFY(store.setAlerted(id, Crossed::Below, false));
            QVERIFY(store.setMarket(id, QStringLiteral("borsa-usa")));
            QList<std::pair<qint64, ValueStore::Reading>> day;
            for (int minute = 0; minute < 480; ++minute)
                day.append({id, {m_morning.addSecs(60 * minute), 14.0 + minute / 1000.0}});
            QVERIFY(store.record(day));
            // A later reading within the same second replaces the earlier one.
            QVERIFY(store.record({{id, {m_morning, 13.9}}}));
            QVERIFY(store.record({}));
        }
        ValueStore store(path());
        const QList<ValueStore::Value> values = store.values();
        QCOMPARE(values.size(), 1);
        QCOMPARE(values.first().place, eni);
        QCOMPARE(values.first().name, QStringLiteral("Eni S.p.A."));
        QCOMPARE(values.first().heading, QStringLiteral("Prezzo"));
        QCOMPARE(values.first().levels.above, std::optional(14.5));
        QCOMPARE(values.first().levels.below, std::optional(12.0));
        QCOMPARE(values.first().levels.marginPercent, 0.5);
        QVERIFY(values.first().aboveAlerted);
        QVERIFY(!values.first().belowAlerted);
        QCOMPARE(values.first().market, QStringLiteral("borsa-usa"));
        // A new margin leaves the crossing alerted; a level moved is armed again.
        QVERIFY(store.setLevels(id, {14.5, 12.0, 1.0}) && store.setAlerted(id, Crossed::Below, true));
        QVERIFY(store.values().first().aboveAlerted);
        QVERIFY(store.setLevels(id, {15.0, 12.0, 1.0}));
        QVERIFY(!store.values().first().aboveAlerted);
        QVERIFY(store.values().first().belowAlerted);
        const auto readings = store.readings(id, m_morning, m_morning.addSecs(8 * 3600));
        QCOMPARE(readings.size(), 480);
        QCOMPARE(readings.first().number, 13.9);
        QCOMPARE(readings.last().time, m_morning.addSecs(479 * 60));
        QCOMPARE(store.lastReading(id)->number, 14.479);
    }
    void oldReadingsAndAlertsArePrunedAndUnfollowedOnesGo()
    {
        using Kind = AlertHistory::Kind;
        ValueStore store(path());
        const qint64 a = store.follow({QStringLiteral("a"), QString(), 0}, QStringLiteral("A")).value();
        const qint64 b = store.follow({QStringLiteral("b"), QString(), 0}, QStringLiteral("B")).value();
        QList<std::pair<qint64, ValueStore::Reading>> month;
        for (int day = 0; day < 40; ++day)
            month << std::pair{a, ValueStore::Reading{m_morning.addDays(day), double(day)}}
                  << std::pair{b, ValueStore::Reading{m_morning.addDays(day), double(day)}};
        QVERIFY(store.record(month));
        const QDateTime now = m_morning.addDays(39);
        const QString silence = QStringLiteral("nessuna lettura da 10 minuti");
        for (const AlertHistory::Alert &alert : {AlertHistory::Alert{0, m_morning, a, Kind::CrossedAbove, 15.0, {}, false},
                                                 AlertHistory::Alert{0, now.addSecs(-60), a, Kind::Late, {}, silence, false},
                                                 AlertHistory::Alert{0, now, b, Kind::Moved, -3.5, {}, false}})
            QVERIFY(store.alerts().add(alert));
        store.upkeep().start(now);
        while (store.upkeep().step()) {
        }
        QCOMPARE(store.readings(a, m_morning, now).first().time, m_morning.addDays(9));
        QList<AlertHistory::Alert> alerts = store.alerts().list();
        QCOMPARE(alerts.size(), 2);
        QCOMPARE(alerts.first().number, std::optional(-3.5));
        QCOMPARE(alerts.first().kind, Kind::Moved);
        QCOMPARE(alerts.last().reason, silence);
        QVERIFY(!alerts.last().number);
        QVERIFY(store.alerts().markSeen(alerts.last().id));
        QCOMPARE(store.alerts().markAllSeen(), 1);
        QVERIFY(store.alerts().list().first().seen);
        QVERIFY(store.unfollow(b));
        // What names a value or an alert no longer there is refused.
        QVERIFY(!store.unfollow(b) && !store.rename(b, QStringLiteral("B")) && !store.setHeading(b, QString())
                && !store.setLevels(b, {}) && !store.setAlerted(b, Crossed::Above, true) && !store.alerts().markSeen(alerts.first().id));
        QVERIFY(store.readings(b, m_morning, now).isEmpty());
        QCOMPARE(store.values().size(), 1);
        alerts = store.alerts().list();
        QCOMPARE(alerts.size(), 1);
        QCOMPARE(alerts.first().time, now.addSecs(-60));
    }
    void dayOpeningIsItsFirstReading()
    {
        ValueStore store(path());
        const qint64 a = store.follow({QStringLiteral("a"), QString(), 0}, QStringLiteral("A")).value();
        const qint64 b = store.follow({QStringLiteral("b"), QString(), 0}, QStringLiteral("B")).value();
        const QDateTime tuesday = m_morning.addDays(1);
        // Another value's reading in the night comes first, and is not the day's opening.
        QVERIFY(store.record({{a, {m_morning, 10}}, {a, {m_morning.addSecs(8 * 3600), 11}}, {b, {tuesday.addSecs(-8 * 3600), 99}},
                              {a, {tuesday.addSecs(300), 12}}, {a, {tuesday.addSecs(8 * 3600), 13}}}));
        const auto first = [&](const QDateTime &after) { return store.firstReadingAfter(a, after).value_or(ValueStore::Reading{}).number; };
        QCOMPARE(first(tuesday.addSecs(-9 * 3600)), 12.0);
        QCOMPARE(first(tuesday.addSecs(300)), 12.0);
        QVERIFY(!store.firstReadingAfter(a, tuesday.addSecs(9 * 3600)));
    }
    void recordSaysWhenNothingWasKept_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("a value nobody follows") << "unfollowed";
        QTest::newRow("found out at the commit") << "PRAGMA defer_foreign_keys = ON";
        QTest::newRow("another copy writes") << "busy";
    }
    void recordSaysWhenNothingWasKept()
    {
        QFETCH(QString, fault);
        ValueStore store(path());
        const qint64 id = store.follow({QStringLiteral("a"), QString(), 0}, QStringLiteral("A")).value();
        QVERIFY(store.record({{id, {m_morning, 1}}}));
        QList<std::pair<qint64, ValueStore::Reading>> day;
        for (int minute = 1; minute < 2000; ++minute)
            day.append({id, {m_morning.addSecs(60 * minute), 2}});
        std::optional<SecondConnection> other;
        if (fault == QLatin1String("busy"))
            QVERIFY(other.emplace(path()).run({QStringLiteral("BEGIN EXCLUSIVE")}));
        else
            day.append({id + 99, {m_morning, 3}});
        if (fault.startsWith(QLatin1String("PRAGMA"))) {
            const QStringList ours = QSqlDatabase::connectionNames().filter(QStringLiteral("quovadex-values"));
            QCOMPARE(ours.size(), 1);
            QVERIFY(QSqlQuery(QSqlDatabase::database(ours.first())).exec(fault));
        }
        QVERIFY(!store.record(day));
        other.reset();
        QCOMPARE(store.readings(id, m_morning, m_morning.addDays(2)).size(), 1);
    }
    void damagedFileIsSetAsideAndANewOneStarted_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("not a database") << QByteArray("PK\x03\x04 this is a zip, not SQLite").repeated(200);
        QTest::newRow("header cut short") << QByteArray("SQLite format 3\0", 16) + QByteArray(100, '\xff');
        // A sound header over pages overwritten: SQLite itself finds the damage.
        QTemporaryDir dir;
        const QString made = dir.filePath(QStringLiteral("x.sqlite"));
        QVERIFY(SecondConnection(made).run({QStringLiteral("CREATE TABLE t (x TEXT)"),
                                           QStringLiteral("INSERT INTO t VALUES (printf('%.5000c', 'x'))")}));
        QTest::newRow("pages overwritten") << readFile(made).left(4096) + QByteArray(8192, '\x5a');
    }
    void damagedFileIsSetAsideAndANewOneStarted()
    {
        QFETCH(QByteArray, contents);
        QVERIFY(writeFile(path(), contents));
        ValueStore store(path());
        QVERIFY(store.isPersistent());
        QVERIFY(!store.openingProblem().isEmpty());
        QVERIFY(store.openingProblem().contains(store.setAsidePath()));
        QCOMPARE(readFile(store.setAsidePath()), contents);
        QVERIFY(store.follow({QStringLiteral("a"), QString(), 0}, QStringLiteral("A")));
        QCOMPARE(ValueStore(path()).values().size(), 1);
    }
    void fileNotOursToWriteIsLeftAsItIs_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("said");
        QTest::newRow("another copy holds it") << "busy" << "in uso da un'altra copia";
        // As root no permission stops a write: SQLite is told to open the file read-only, which is
        // what it does itself where the file or its folder cannot be written.
        QTest::newRow("read-only") << "QSQLITE_OPEN_READONLY" << "si pu\u00f2 solo leggere";
        QTest::newRow("a later program's") << "later" << "pi\u00f9 recente";
    }
    void fileNotOursToWriteIsLeftAsItIs()
    {
        QFETCH(QString, cause);
        QFETCH(QString, said);
        QVERIFY(ValueStore(path()).follow({QStringLiteral("a"), QString(), 0}, QStringLiteral("A")));
        std::optional<SecondConnection> other;
        if (cause == QLatin1String("busy"))
            QVERIFY(other.emplace(path()).run({QStringLiteral("BEGIN EXCLUSIVE")}));
        if (cause == QLatin1String("later"))
            QVERIFY(SecondConnection(path()).run({QStringLiteral("UPDATE schema_version SET version = 99")}));
        const QByteArray before = readFile(path());
        {
            ValueStore store(path(), cause.startsWith(QLatin1String("QSQLITE")) ? cause : QString());
            QVERIFY(!store.isPersistent());
            QVERIFY2(store.openingProblem().contains(said), qPrintable(store.openingProblem()));
            QVERIFY(store.setAsidePath().isEmpty());
            QVERIFY(store.follow({QStringLiteral("b"), QString(), 0}, QStringLiteral("B")));
        }
        other.reset();
        QCOMPARE(readFile(path()), before);
        QCOMPARE(QDir(m_dir->path()).entryList({QStringLiteral("*danneggiato*")}), QStringList());
        if (cause != QLatin1String("later"))
            QCOMPARE(ValueStore(path()).values().size(), 1);
    }
    void olderFileIsBroughtUpToDateKeepingItsValues_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("heading");
        // Each version and what it added to the values' table.
        const std::pair<const char *, const char *> versions[] = {
            {"1: no headings", ""},
            {"2: no alerts kept", ", heading TEXT NOT NULL DEFAULT ''"},
            {"3: no move", ", above_alerted INTEGER NOT NULL DEFAULT 0, below_alerted INTEGER NOT NULL DEFAULT 0"},
            {"4: no market", ", move_percent REAL, move_minutes INTEGER NOT NULL DEFAULT 0, move_margin REAL NOT NULL DEFAULT 0.2, "
                             "move_alerted INTEGER NOT NULL DEFAULT 0, move_alerted_on TEXT NOT NULL DEFAULT ''"},
            {"5: no phone", ", market TEXT NOT NULL DEFAULT 'borsa-italiana'"}};
        QString columns;
        for (int version = 1; const auto &[name, added] : versions) {
            columns += QLatin1String(added);
            QTest::newRow(name) << version++ << columns;
        }
    }
    void olderFileIsBroughtUpToDateKeepingItsValues()
    {
        QFETCH(int, version);
        QFETCH(QString, heading);
        QVERIFY(SecondConnection(path()).run(
            {QStringLiteral("CREATE TABLE schema_version (version INTEGER NOT NULL)"),
             QStringLiteral("INSERT INTO schema_version VALUES (%1)").arg(version),
             QStringLiteral("CREATE TABLE followed (id INTEGER PRIMARY KEY, address TEXT NOT NULL, grp TEXT NOT NULL, cell "
                            "INTEGER NOT NULL, name TEXT NOT NULL, above REAL, below REAL, margin REAL NOT NULL DEFAULT 0.2%1, "
                            "UNIQUE (address, grp, cell))").arg(heading),
             QStringLiteral("CREATE TABLE readings (at INTEGER NOT NULL, value INTEGER NOT NULL REFERENCES followed (id) ON "
                            "DELETE CASCADE, number REAL NOT NULL, PRIMARY KEY (at, value)) WITHOUT ROWID"),
             QStringLiteral("INSERT INTO followed (address, grp, cell, name, above) VALUES ('http://q.example/', '/TR#ENI', 1, 'ENI', 15)"),
             QStringLiteral("INSERT INTO readings VALUES (1772438400, 1, 14.2)")}));
        // Opened again after its migration, it is read as it is.
        for (int opening = 0; opening < 2; ++opening) {
            ValueStore store(path());
            QVERIFY2(store.openingProblem().isEmpty(), qPrintable(store.openingProblem()));
            const QList<ValueStore::Value> values = store.values();
            QCOMPARE(values.size(), 1);
            QCOMPARE(values.first().levels.above, std::optional(15.0));
            QVERIFY(values.first().heading.isEmpty() && !values.first().aboveAlerted && !values.first().movePercent
                    && !values.first().phone);
            QCOMPARE(values.first().market, QStringLiteral("borsa-italiana"));
            QCOMPARE(store.lastReading(values.first().id)->number, 14.2);
            QVERIFY(store.alerts().add({0, m_morning, values.first().id, AlertHistory::Kind::CrossedAbove, 15.0, {}, false}));
            // The history reads with where each alert went: nowhere known before the migration.
            QCOMPARE(store.alerts().list().size(), opening + 1);
            QCOMPARE(store.alerts().list().first().phone, AlertHistory::Phone::NotSent);
        }
        SecondConnection other(path());
        QCOMPARE(other.value(QStringLiteral("SELECT version FROM schema_version")).toInt(), ValueStoreSchema::Version);
        QCOMPARE(other.value(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE sql LIKE '%ON readings (value, at)'")).toInt(), 1);
        QCOMPARE(other.value(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
    }
    void csvIsWhatASpreadsheetReadsAsWritten()
    {
        const QList<ValueStore::Reading> readings{{m_morning, 1234.5}, {m_morning.addSecs(61), -0.0125}, {m_morning.addSecs(3600), 20}};
        // A page's name may hold the separator, quotes, a line break and a formula's sign.
        const QString name = QStringLiteral("=FTSE \"MIB\";\nindice");
        const QString path = m_dir->filePath(QStringLiteral("eni.csv"));
        QString error;
        QVERIFY(ReadingsCsv::save(path, name, readings, &error));
        const QByteArray field = "\"'=FTSE \"\"MIB\"\"; indice\"";
        QCOMPARE(readFile(path), "\xef\xbb\xbfNome;Data;Ora;Valore\r\n" + field + ";02/03/2026;09:00:00;1234,5\r\n" + field
                                     + ";02/03/2026;09:01:01;-0,0125\r\n" + field + ";02/03/2026;10:00:00;20\r\n");
        QVERIFY(ReadingsCsv::text(QStringLiteral("a;b"), {{m_morning, 1}}).endsWith("\n\"a;b\";02/03/2026;09:00:00;1\r\n"));
        QVERIFY(!ReadingsCsv::save(m_dir->filePath(QStringLiteral("no/such/folder/x.csv")), name, readings, &error));
        QVERIFY(!error.isEmpty());
    }

private:
    QString path() const { return m_dir->filePath(QStringLiteral("valori.sqlite")); }
    std::optional<QTemporaryDir> m_dir;
    const QDateTime m_morning = QDateTime(QDate(2026, 3, 2), QTime(9, 0));
};

QTEST_GUILESS_MAIN(TestValueStore)
#include "tst_valuestore.moc"
