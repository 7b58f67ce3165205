#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include "support/Files.h"
#include "watch/ReadingsCsv.h"
#include "watch/ValueStore.h"

// The database of followed values in a folder of its own, closed and opened again as a
// restart does, and the readings' way out to a spreadsheet.
class TestValueStore : public QObject
{
    Q_OBJECT
private slots:
    void init() { QVERIFY(m_dir.emplace().isValid()); }

    void restartKeepsValuesLevelsAndReadings();
    void oldReadingsArePrunedAndUnfollowedOnesGo();
    void damagedFileIsSetAsideAndANewOneStarted_data();
    void damagedFileIsSetAsideAndANewOneStarted();
    void csvRoundTripsThroughASpreadsheetReader();
    void fileOfAnotherSchemaKeepsItsValues();

private:
    QString path() const { return m_dir->filePath(QStringLiteral("valori.sqlite")); }
    std::optional<QTemporaryDir> m_dir;
    const QDateTime m_morning = QDateTime(QDate(2026, 3, 2), QTime(9, 0));
};

void TestValueStore::restartKeepsValuesLevelsAndReadings()
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
        QVERIFY(store.setLevels(id, {14.5, std::nullopt, 0.5}));
        QList<std::pair<qint64, ValueStore::Reading>> day;
        for (int minute = 0; minute < 480; ++minute)
            day.append({id, {m_morning.addSecs(60 * minute), 14.0 + minute / 1000.0}});
        QVERIFY(store.record(day));
        // A later reading within the same second replaces the earlier one.
        QVERIFY(store.record({{id, {m_morning, 13.9}}}));
    }
    ValueStore store(path());
    const QList<ValueStore::Value> values = store.values();
    QCOMPARE(values.size(), 1);
    QCOMPARE(values.first().place, eni);
    QCOMPARE(values.first().name, QStringLiteral("Eni S.p.A."));
    QCOMPARE(values.first().heading, QStringLiteral("Prezzo"));
    QCOMPARE(values.first().levels.above, std::optional(14.5));
    QVERIFY(!values.first().levels.below);
    QCOMPARE(values.first().levels.marginPercent, 0.5);
    const auto readings = store.readings(id, m_morning, m_morning.addSecs(8 * 3600));
    QCOMPARE(readings.size(), 480);
    QCOMPARE(readings.first().number, 13.9);
    QCOMPARE(readings.last().time, m_morning.addSecs(479 * 60));
    QCOMPARE(store.lastReading(id)->number, 14.479);
    // Readings for a value nobody follows are refused whole.
    QVERIFY(!store.record({{id, {m_morning.addDays(1), 1}}, {id + 99, {m_morning.addDays(1), 2}}}));
    QCOMPARE(store.lastReading(id)->number, 14.479);
}

void TestValueStore::oldReadingsArePrunedAndUnfollowedOnesGo()
{
    ValueStore store(path());
    const qint64 a = store.follow({QStringLiteral("a"), QString(), 0}, QStringLiteral("A")).value();
    const qint64 b = store.follow({QStringLiteral("b"), QString(), 0}, QStringLiteral("B")).value();
    QList<std::pair<qint64, ValueStore::Reading>> month;
    for (int day = 0; day < 40; ++day)
        month << std::pair{a, ValueStore::Reading{m_morning.addDays(day), double(day)}}
              << std::pair{b, ValueStore::Reading{m_morning.addDays(day), double(day)}};
    QVERIFY(store.record(month));
    const QDateTime now = m_morning.addDays(39);
    QCOMPARE(store.prune(now), 2 * 9);
    QCOMPARE(store.readings(a, m_morning, now).first().time, m_morning.addDays(9));
    QVERIFY(store.unfollow(b));
    QVERIFY(!store.unfollow(b));
    QVERIFY(store.readings(b, m_morning, now).isEmpty());
    QCOMPARE(store.values().size(), 1);
}

void TestValueStore::damagedFileIsSetAsideAndANewOneStarted_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::newRow("not a database") << QByteArray("PK\x03\x04 this is a zip, not SQLite").repeated(200);
    QTest::newRow("header cut short") << QByteArray("SQLite format 3\0", 16) + QByteArray(100, '\xff');
}

void TestValueStore::damagedFileIsSetAsideAndANewOneStarted()
{
    QFETCH(QByteArray, contents);
    {
        QFile file(path());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }
    ValueStore store(path());
    QVERIFY(store.isPersistent());
    QVERIFY(!store.openingProblem().isEmpty());
    QVERIFY(store.openingProblem().contains(store.setAsidePath()));
    QFile aside(store.setAsidePath());
    QVERIFY(aside.open(QIODevice::ReadOnly));
    QCOMPARE(aside.readAll(), contents);
    QVERIFY(store.follow({QStringLiteral("a"), QString(), 0}, QStringLiteral("A")));
    QCOMPARE(ValueStore(path()).values().size(), 1);
}

void TestValueStore::csvRoundTripsThroughASpreadsheetReader()
{
    const QList<ValueStore::Reading> readings{{m_morning, 1234.5}, {m_morning.addSecs(61), -0.0125}, {m_morning.addSecs(3600), 20}};
    const QString name = QStringLiteral("FTSE \"MIB\"; indice");
    QString error;
    QVERIFY(ReadingsCsv::save(m_dir->filePath(QStringLiteral("eni.csv")), name, readings, &error));
    QFile file(m_dir->filePath(QStringLiteral("eni.csv")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("\xef\xbb\xbf"));
    QVERIFY(bytes.endsWith("\r\n"));

    // A spreadsheet's reader: quoted fields may hold the separator and doubled quotes.
    QList<QStringList> rows;
    for (const QString &line : QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        QStringList fields{QString()};
        bool quoted = false;
        for (qsizetype i = 0; i < line.size(); ++i) {
            const QChar c = line.at(i);
            if (c == QLatin1Char('"') && quoted && i + 1 < line.size() && line.at(i + 1) == QLatin1Char('"'))
                fields.last() += line.at(++i);
            else if (c == QLatin1Char('"'))
                quoted = !quoted;
            else if (c == QLatin1Char(';') && !quoted)
                fields.append(QString());
            else
                fields.last() += c;
        }
        rows.append(fields);
    }
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows.first(), (QStringList{"Nome", "Data", "Ora", "Valore"}));
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    for (qsizetype i = 0; i < readings.size(); ++i) {
        const QStringList &row = rows.at(i + 1);
        QCOMPARE(row.size(), 4);
        QCOMPARE(row.at(0), name);
        const QDateTime local = readings.at(i).time.toLocalTime();
        QCOMPARE(QDate::fromString(row.at(1), QStringLiteral("dd/MM/yyyy")), local.date());
        QCOMPARE(QTime::fromString(row.at(2), QStringLiteral("HH:mm:ss")), local.time());
        bool ok = false;
        QCOMPARE(italian.toDouble(row.at(3), &ok), readings.at(i).number);
        QVERIFY(ok);
    }
    QCOMPARE(rows.at(1).at(3), QStringLiteral("1234,5"));
    QVERIFY(!ReadingsCsv::save(m_dir->filePath(QStringLiteral("no/such/folder/x.csv")), name, readings, &error));
    QVERIFY(!error.isEmpty());
}

void TestValueStore::fileOfAnotherSchemaKeepsItsValues()
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("first"));
        db.setDatabaseName(path());
        QVERIFY(db.open());
        QSqlQuery q(db);
        for (const char *statement :
             {"CREATE TABLE schema_version (version INTEGER NOT NULL)", "INSERT INTO schema_version VALUES (1)",
              "CREATE TABLE followed (id INTEGER PRIMARY KEY, address TEXT NOT NULL, grp TEXT NOT NULL, cell INTEGER "
              "NOT NULL, name TEXT NOT NULL, above REAL, below REAL, margin REAL NOT NULL DEFAULT 0.2, "
              "UNIQUE (address, grp, cell))",
              "INSERT INTO followed (address, grp, cell, name, above) VALUES ('http://q.example/', '/TR#ENI', 1, 'ENI', 15)"})
            QVERIFY2(q.exec(QLatin1String(statement)), statement);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("first"));
    {
        ValueStore store(path());
        QVERIFY(store.openingProblem().isEmpty());
        QCOMPARE(store.values().size(), 1);
        QCOMPARE(store.values().first().levels.above, std::optional(15.0));
        QVERIFY(store.values().first().heading.isEmpty());
    }

    // A file of a later program's schema is neither changed nor set aside.
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("later"));
        db.setDatabaseName(path());
        QVERIFY(db.open());
        QVERIFY(QSqlQuery(db).exec(QStringLiteral("UPDATE schema_version SET version = 99")));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("later"));
    const QByteArray later = readFile(path());
    {
        ValueStore store(path());
        QVERIFY(!store.isPersistent());
        QVERIFY(store.openingProblem().contains(QStringLiteral("pi\u00f9 recente")));
        QVERIFY(store.follow({QStringLiteral("a"), QString(), 0}, QStringLiteral("A")));
    }
    QCOMPARE(readFile(path()), later);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{QFileInfo(path()).fileName()});
}

QTEST_GUILESS_MAIN(TestValueStore)
#include "tst_valuestore.moc"
