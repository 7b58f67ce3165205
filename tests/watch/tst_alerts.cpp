#include <QSettings>
#include <QTableView>
#include <QTest>

#include "common/ProgramSettings.h"
#include "support/MessageCapture.h"
#include "support/NotificationService.h"
#include "support/PrivateBus.h"
#include "support/WatchedPane.h"
#include "support/RecordingBackgroundReading.h"
#include "support/TopicServer.h"
#include "watch/alerts/AlertList.h"
#include "watch/alerts/AlertSender.h"
#include "watch/window/AlertHistoryModel.h"
#include "watch/FollowedValues.h"
#include "watch/rules/Lateness.h"
#include "watch/ValueWatch.h"
#include "watch/window/FollowedValuesPart.h"
#include "watch/window/FollowedValuesWindow.h"

namespace {

using Crossed = LevelCrossing::Crossed;

const ValuePlace Eni{QStringLiteral("http://q.example/borsa"), QStringLiteral("/TABLE:0/TBODY:0/TR#ENI"), 1};

// ENI followed from the pane's menu, as the user does, with a level above.
void followEniAbove(WatchedPane &desk, double above)
{
    desk.follow(Eni, QStringLiteral("ENI"), 14.0);
    QCOMPARE(desk.pane.followedPlaces, QList<ValuePlace>{Eni});
    desk.watch.values().setLevel(desk.watch.values().ids().value(0), true, above);
}

} // namespace

// A followed value's alert: its words, the notification on a bus of the test's own (one per
// crossing), and the program's own alert window where no service answers.
class TestAlerts : public QObject
{
    Q_OBJECT
private slots:
    void alertSaysWhatCrossedWhere_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<Crossed>("crossed");
        QTest::addColumn<double>("level");
        QTest::addColumn<double>("reading");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("body");
        // A move: its percent (NaN: none), from level, in minutes (0: from the previous close).
        QTest::addColumn<double>("percent");
        QTest::addColumn<int>("minutes");

        QTest::newRow("above") << "ENI" << Crossed::Above << 14.5 << 14.6 << "ENI sopra 14,50"
                               << "ENI vale 14,60 alle 09:30:05: \u00e8 salito al livello di 14,50 o oltre." << qQNaN() << 0;
        QTest::newRow("below") << "ENI" << Crossed::Below << 13.0 << 12.5 << "ENI sotto 13,00"
                               << "ENI vale 12,50 alle 09:30:05: \u00e8 sceso al livello di 13,00 o sotto." << qQNaN() << 0;
        QTest::newRow("a page's markup is no markup") << "<b>A</b>" << Crossed::Above << 1240.0 << 1240.5
                                                      << "\u2039b\u203aA\u2039/b\u203a sopra 1.240,00"
                                                      << "\u2039b\u203aA\u2039/b\u203a vale 1.240,50 alle 09:30:05: "
                                                         "\u00e8 salito al livello di 1.240,00 o oltre." << qQNaN() << 0;
        QTest::newRow("up from the close") << "ENI" << Crossed::None << 14.2 << 14.95 << "ENI: +5,3 % dalla chiusura precedente"
                                           << "ENI: +5,3 % dalla chiusura precedente (14,20 \u2192 14,95), alle 09:30:05."
                                           << 5.28 << 0;
        QTest::newRow("down within minutes") << "ENI" << Crossed::None << 14.0 << 13.3 << "ENI: -5,0 % in 10 minuti"
                                             << "ENI: -5,0 % in 10 minuti (14,00 \u2192 13,30), alle 09:30:05." << -5.0 << 10;
        QTest::newRow("within a minute, a page's markup") << "<b>A</b>" << Crossed::None << 14.0 << 14.3 << "\u2039b\u203aA\u2039/b\u203a: +2,1 % in 1 minuto"
                                                          << "\u2039b\u203aA\u2039/b\u203a: +2,1 % in 1 minuto (14,00 \u2192 14,30), alle 09:30:05." << 2.14 << 1;
        // Not a crossing: late, with the page's reason (level 1) or none (0); never read (-1).
        QTest::newRow("late") << "<i>A</i>" << Crossed::None << 1.0 << 0.0 << "\u2039i\u203aA\u2039/i\u203a non letto"
                              << "\u2039i\u203aA\u2039/i\u203a non \u00e8 stato letto dalle 09:30: "
                                 "pagina \u2039b\u203anon\u2039/b\u203a caricata." << qQNaN() << 0;
        QTest::newRow("late, no reason") << "A" << Crossed::None << 0.0 << 0.0 << "A non letto"
                                         << "A non \u00e8 stato letto dalle 09:30." << qQNaN() << 0;
        QTest::newRow("never read") << "A" << Crossed::None << -1.0 << 0.0 << "A non letto"
                                    << "A non \u00e8 mai stato letto." << qQNaN() << 0;
    }
    void alertSaysWhatCrossedWhere()
    {
        QFETCH(QString, name);
        QFETCH(Crossed, crossed);
        QFETCH(double, level);
        QFETCH(double, reading);
        QFETCH(double, percent);
        QFETCH(int, minutes);
        const ValueStore::Reading read{QDateTime(QDate(2026, 12, 7), QTime(9, 30, 5)), reading};
        const AlertSender::Words words =
            !qIsNaN(percent)       ? AlertSender::moveWords(name, percent, level, minutes, read)
            : crossed == Crossed::None ? AlertSender::lateWords(name, level < 0 ? QString() : Lateness::since(read.time, read.time.date()),
                                                                level > 0 ? QStringLiteral("pagina <b>non</b> caricata") : QString())
                                       : AlertSender::crossingWords(name, crossed, level, read);
        QTEST(words.summary, "summary");
        QTEST(words.body, "body");
    }

    // Through the whole watch, as a pane reports: followed from the menu, read, alerted.
    void oneCrossingGivesOneNotification()
    {
        if (!PrivateBus::daemonInstalled())
            QSKIP("dbus-daemon is not installed (scripts/install-deps.sh installs it): no bus to test on");
        PrivateBus bus;
        NotificationService listener(bus.connect(QStringLiteral("desktop")), {});
        QVERIFY(listener.isRegistered());
        WatchedPane desk([&bus] { return bus.connect(QStringLiteral("program")); });
        followEniAbove(desk, 14.5);
        QDateTime at = QDateTime::currentDateTime();
        for (double price : {14.2, 14.6, 14.7, 14.49, 14.52, 14.8, 14.4, 14.9}) {
            at = at.addSecs(1);
            emit desk.pane.valuesRead({{Eni, price, QString::number(price), QString(), at, QStringLiteral("Prezzo")}});
        }
        // The second is the one after the value went back past the margin: nothing in between.
        QTRY_COMPARE(listener.calls().size(), 2);
        QCOMPARE(listener.calls().first().app, QStringLiteral("Doppio Quovadex"));
        QVERIFY2(listener.calls().first().body.startsWith(QStringLiteral("ENI vale 14,60")), qPrintable(listener.calls().first().body));
        QVERIFY2(listener.calls().at(1).body.startsWith(QStringLiteral("ENI vale 14,90")), qPrintable(listener.calls().at(1).body));
        QVERIFY(!desk.watch.window().alertList());
        QTRY_COMPARE(desk.watch.window().alertHistory().index(0, AlertHistoryModel::Delivery).data().toString(),
                     QStringLiteral("desktop"));
        // A click on it opens "Valori seguiti" on the value.
        listener.click(uint(listener.calls().size()), QStringLiteral("default"));
        QTRY_VERIFY(desk.watch.window().isOpen());
        QCOMPARE(desk.watch.window().window().chosenId(), desk.watch.values().ids().value(0));
    }

    // Ticked in the value's menu, asking the topic the first time: the crossing's message
    // reaches the topic with its headers, and "Avvisi" says where the alert went.
    void alertReachesThePhoneTickedInTheMenu()
    {
        QSettings().remove(QStringLiteral("telefono"));
        QString error;
        QVERIFY(ProgramSettings::setPhoneToken(QString(), &error));
        MessageCapture capture;
        TopicServer topic;
        WatchedPane desk;
        followEniAbove(desk, 14.5);
        const ValuePick eni{Eni, QStringLiteral("ENI"), QStringLiteral("14,00"), 14.0, ValuePick::Followable::Yes,
                            QStringLiteral("Prezzo")};
        capture.answerNext({true, {topic.url().toString(), QStringLiteral("tk_1")}});
        emit desk.pane.valueAsked(BrowserPane::ValueAsk::AlertPhone, eni);
        QCOMPARE(capture.size(), 1);
        QVERIFY(desk.pane.alertsPhone(Eni));
        const ValueStore::Reading crossing{QDateTime::currentDateTime(), 14.6};
        emit desk.pane.valuesRead({{Eni, crossing.number, QStringLiteral("14,60"), QString(), crossing.time, QStringLiteral("Prezzo")}});
        QTRY_COMPARE(topic.requests.size(), 1);
        const TopicServer::Request &sent = topic.requests.first();
        QCOMPARE(sent.method + ' ' + sent.path, QByteArray("POST /avvisi"));
        const QHash<QByteArray, QByteArray> headers{{"title", "ENI"},
                                                    {"priority", "high"},
                                                    {"tags", "chart_with_upwards_trend"},
                                                    {"click", "http://q.example/borsa"},
                                                    {"authorization", "Bearer tk_1"},
                                                    {"content-type", "text/plain; charset=utf-8"}};
        for (auto header = headers.cbegin(); header != headers.cend(); ++header)
            QCOMPARE(sent.headers.value(header.key()), header.value());
        QCOMPARE(QString::fromUtf8(sent.body), AlertSender::crossingWords(QStringLiteral("ENI"), Crossed::Above, 14.5, crossing).body);
        QTRY_COMPARE(desk.watch.window().alertHistory().index(0, AlertHistoryModel::Delivery).data().toString(),
                     QStringLiteral("elenco del programma, telefono: arrivato"));
        // Unticked at once, with no question.
        emit desk.pane.valueAsked(BrowserPane::ValueAsk::AlertPhone, eni);
        QVERIFY(!desk.pane.alertsPhone(Eni));
        QCOMPARE(capture.size(), 1);
    }

    // Read out of sight from the start, with the program's markets: a value whose page never
    // answers is late after two intervals while its market is open, counted in every pane's
    // menu and alerted once (with no bus, in the program's own list); a reading takes it off.
    void lateValueIsCountedInTheMenuAndAlertedOnce_data()
    {
        QTest::addColumn<int>("day"); // of December 2026, at 10:00 in Rome
        QTest::addColumn<QString>("menu");
        QTest::newRow("Monday, open") << 7 << "Valori seguiti (1 in ritardo)";
        QTest::newRow("Saturday, closed") << 12 << "Valori seguiti";
    }
    void lateValueIsCountedInTheMenuAndAlertedOnce()
    {
        QFETCH(int, day);
        QDateTime now(QDate(2026, 12, day), QTime(10, 0), MarketClock::zone());
        WatchedPane desk(WatchedPane::noBus, Markets(), [&now] { return now; });
        RecordingBackgroundReading reading;
        desk.watch.readInBackground(reading);
        followEniAbove(desk, 20.0);
        QAction *menu = desk.pane.menuActions().value(0);
        QVERIFY(menu && desk.watch.outOfSight());
        now = now.addSecs(210);
        desk.watch.outOfSight()->beat();
        QTEST(menu->text(), "menu");
        const bool late = menu->text() != QLatin1String("Valori seguiti");
        QCOMPARE(menu->toolTip(), late ? QStringLiteral("Non letti da pi\u00f9 di due intervalli: ENI") : menu->text());
        // No bus took the alert: the program's own list shows it, the history's rows.
        QTRY_COMPARE(desk.watch.window().alertList() != nullptr, late);
        const QAbstractItemModel *shown = late ? desk.watch.window().alertList()->table().model() : nullptr;
        QCOMPARE(desk.watch.window().alertHistory().rowCount(), late ? 1 : 0);
        if (late)
            QCOMPARE(shown->index(0, 1).data().toString() + ' ' + shown->index(0, 2).data().toString(), QStringLiteral("ENI non letto"));
        emit desk.pane.valuesRead({{Eni, 14.1, QStringLiteral("14,10"), QString(), now, QStringLiteral("Prezzo")}});
        QCOMPARE(menu->text(), QStringLiteral("Valori seguiti"));
    }

    // Chosen in the pane's "Mercato", by its index among the captions the pane was told.
    void marketChosenInThePaneMovesTheValue()
    {
        WatchedPane desk;
        followEniAbove(desk, 14.5);
        const QStringList captions{QStringLiteral("Borsa Italiana"), QStringLiteral("Borsa USA"), QStringLiteral("Sempre aperto")};
        QCOMPARE(desk.pane.marketChoice(Eni).captions, captions);
        QCOMPARE(desk.pane.marketChoice(Eni).current, 0);
        emit desk.pane.marketChosen(Eni, 2);
        QCOMPARE(desk.watch.values().marketOf(desk.watch.values().ids().value(0)), MarketId::SempreAperto);
        QCOMPARE(desk.pane.marketChoice(Eni).current, 2);
        emit desk.pane.marketChosen(Eni, 0);
        QCOMPARE(desk.pane.marketChoice(Eni).current, 0);
    }
};

QTEST_MAIN(TestAlerts)
#include "tst_alerts.moc"
