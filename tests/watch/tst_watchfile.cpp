#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "support/Files.h"
#include "support/SecondConnection.h"
#include "watch/FollowedValues.h"
#include "watch/store/WatchFile.h"

using Crossed = LevelCrossing::Crossed;

namespace {

const ValuePlace Eni{QStringLiteral("http://q.example/borsa"), QStringLiteral("/TABLE:0/TBODY:0/TR#ENI"), 2};
const ValuePlace Fca{QStringLiteral("http://a.example/q"), QString(), -1};

// Every setting the file holds, on two values; ENI with two readings, one of a third.
void fill(ValueStore &store, const QDateTime &at)
{
    const qint64 eni = *store.follow(Eni, QStringLiteral("ENI"), QStringLiteral("Prezzo"));
    QVERIFY(store.setLevels(eni, {14.5, std::nullopt, 0.5}) && store.setAlerted(eni, Crossed::Above, true));
    QVERIFY(store.setMove(eni, 3.0, 15, 0.3) && store.setMoveAlerted(eni, 2, at.date()));
    QVERIFY(store.setMarket(eni, QStringLiteral("borsa-usa")) && store.setPhone(eni, true));
    const qint64 fca = *store.follow(Fca, QStringLiteral("\u00abFCA\u00bb \"a\""));
    QVERIFY(store.record({{eni, {at, 14.25}}, {eni, {at.addSecs(60), 1.0 / 3}}, {fca, {at.addDays(-1), 7}}}));
}

QByteArray contents(ValueStore &store)
{
    return WatchFile::compose(WatchFile::entriesOf(&store, true), true);
}

auto settings(const ValueStore::Value &v)
{
    return std::tuple(v.place.address, v.place.group, v.place.index, v.name, v.heading, v.levels.above, v.levels.below,
                      v.levels.marginPercent, v.aboveAlerted, v.belowAlerted, v.movePercent, v.moveMinutes, v.moveMargin,
                      v.moveAlerted, v.moveAlertedOn, v.market, v.phone);
}

} // namespace

// The watch's file: what goes out comes back the same, merges without doubling or removing,
// and a file refused changes nothing.
class TestWatchFile : public QObject
{
    Q_OBJECT
private slots:
    void init() { QVERIFY(m_dir.emplace().isValid()); }
    void roundTripGivesTheSameFile_data()
    {
        QTest::addColumn<bool>("withReadings");
        QTest::newRow("settings only") << false;
        QTest::newRow("con le letture") << true;
    }
    void roundTripGivesTheSameFile()
    {
        QFETCH(bool, withReadings);
        ValueStore first(path("first.sqlite")), second(path("second.sqlite"));
        fill(first, m_at);
        QString error;
        QVERIFY(WatchFile::save(&first, path("1.json"), withReadings, &error));
        const auto entries = WatchFile::read(path("1.json"), &error);
        QVERIFY2(entries && WatchFile::apply(second, *entries, &error), qPrintable(error));
        QVERIFY(WatchFile::save(&second, path("2.json"), withReadings, &error));
        QCOMPARE(readFile(path("2.json")), readFile(path("1.json")));
        QCOMPARE(readFile(path("1.json")).contains("\"readings\""), withReadings);
        // The same file both ways could still have left a setting behind both ways.
        QList<decltype(settings({}))> before, after;
        for (const auto &v : first.values())
            before.append(settings(v));
        for (const auto &v : second.values())
            after.append(settings(v));
        std::sort(before.begin(), before.end());
        std::sort(after.begin(), after.end());
        QVERIFY(before == after);
    }
    void importMergesByPageAndRow()
    {
        {
            ValueStore here(path("here.sqlite"));
            const qint64 eni = *here.follow(Eni, QStringLiteral("Vecchio"));
            QVERIFY(here.setLevels(eni, {20.0, 10.0, 0.2}) && here.record({{eni, {m_at, 14.0}}}));
            QVERIFY(here.follow({QStringLiteral("http://z.example"), QStringLiteral("r"), 1}, QStringLiteral("Z")));
            ValueStore there(path("there.sqlite"));
            fill(there, m_at);
            QString error;
            QVERIFY(WatchFile::save(&there, path("w.json"), true, &error));
        }
        FollowedValues values(path("here.sqlite"), [this] { return m_at.addSecs(3600); });
        QSignalSpy places(&values, &FollowedValues::placesChanged);
        QCOMPARE(values.importWatch(path("w.json")), QString());
        // The running program follows what the file brought, at once.
        QCOMPARE(places.size(), 1);
        QCOMPARE(places.last().at(0).value<QList<ValuePlace>>().size(), 3);
        QCOMPARE(values.rows().size(), 3);
        const qint64 eni = *values.idAt(Eni);
        QCOMPARE(values.row(eni).name, QStringLiteral("ENI"));
        QCOMPARE(values.row(eni).levels.above, std::optional(14.5));
        QVERIFY(!values.row(eni).levels.below);
        const auto readings = values.readings(eni, m_at, m_at.addDays(1));
        QCOMPARE(readings.size(), 2);
        QCOMPARE(readings.first().number, 14.25);
    }
    void refusedFileLeavesTheStoreAsItWas_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("reason");
        QTemporaryDir dir;
        ValueStore there(dir.filePath(QStringLiteral("there.sqlite")));
        fill(there, m_at);
        const QByteArray good = contents(there);
        QJsonObject twice = QJsonDocument::fromJson(good).object();
        QJsonArray values = twice.value(QLatin1String("values")).toArray();
        values.append(values.first());
        twice.insert(QStringLiteral("values"), values);
        QTest::newRow("newer version") << QByteArray(good).replace("\"version\": 1", "\"version\": 2") << "versione 2";
        QTest::newRow("damaged") << good.chopped(40) << "danneggiato";
        QTest::newRow("wrong format") << QByteArray(good).replace("quovadex-valori-seguiti", "quovadex-preferiti") << "non \u00e8 un elenco";
        QTest::newRow("no row") << QByteArray(good).replace("\"row\"", "\"riga\"") << "\u00abrow\u00bb";
        QTest::newRow("no page") << QByteArray(good).replace("\"page\": \"http://q.example/borsa\"", "\"page\": \"\"") << "n. 2 ha il campo \u00abpage\u00bb";
        QTest::newRow("a value twice") << QJsonDocument(twice).toJson() << "due volte";
        // Every check passed, and the store refuses the last reading: the values before it go too.
        QTest::newRow("store refuses") << QByteArray(good).replace("14.25", "666") << "archivio";
    }
    void refusedFileLeavesTheStoreAsItWas()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, reason);
        ValueStore here(path("here.sqlite"));
        QVERIFY(here.setLevels(*here.follow(Eni, QStringLiteral("Vecchio")), {20.0, 10.0, 0.2}));
        QVERIFY(SecondConnection(path("here.sqlite")).run({QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON readings "
                                                                          "WHEN NEW.number = 666 BEGIN SELECT RAISE(ABORT, 'no'); END")}));
        const QByteArray before = contents(here);
        QVERIFY(writeFile(path("w.json"), file));
        QString error;
        const auto entries = WatchFile::read(path("w.json"), &error);
        QVERIFY(!entries || !WatchFile::apply(here, *entries, &error));
        QVERIFY2(error.contains(reason), qPrintable(error));
        QCOMPARE(contents(here), before);
    }

private:
    QString path(const char *name) const { return m_dir->filePath(QLatin1String(name)); }
    std::optional<QTemporaryDir> m_dir;
    const QDateTime m_at = QDateTime(QDate(2026, 3, 2), QTime(9, 0));
};

QTEST_GUILESS_MAIN(TestWatchFile)
#include "tst_watchfile.moc"
