#include <QDBusConnectionInterface>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "common/MessageBox.h"
#include "watch/FollowedValuesWindow.h"

#include "support/PrivateBus.h"
#include "support/RecordingPane.h"
#include "watch/AlertList.h"
#include "watch/ValueWatch.h"

// No bus at all: alerts go to the program's own window.
QDBusConnection noBus()
{
    return QDBusConnection(QStringLiteral("none"));
}

// The desktop's notification service as far as the test needs it: owns the name and writes
// down every Notify.
class NotificationListener : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QList<QStringList> calls;

public slots:
    uint Notify(const QString &app, uint, const QString &, const QString &summary, const QString &body,
                const QStringList &, const QVariantMap &, int timeout)
    {
        calls.append({app, summary, body, QString::number(timeout)});
        return uint(calls.size());
    }
};

// Alerts of a followed value on a real bus of the test's own: one crossing, one notification;
// with nobody listening, the program's own alert window. The database is opened only once needed.
class TestAlerts : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void oneCrossingGivesOneNotification();
    void withoutListenerTheProgramShowsTheAlert();
    void listShowsWhatThePageMeantAndAsksBeforeForgetting();
    void columnAddedBeforeTheValueIsNotTakenForIt();
    void storeOpensWhenFirstNeeded();
    void programRunningForWeeksKeepsAMonth();

private:
    qint64 followEni(ValueWatch &watch);
    void read(ValueWatch &watch, double number, const QString &heading = QStringLiteral("Prezzo"));

    std::optional<PrivateBus> m_bus;
    QTemporaryDir m_dir;
    const ValuePlace m_eni{QStringLiteral("http://q.example/borsa"), QStringLiteral("/TABLE:0/TBODY:0/TR#ENI"), 1};
};

void TestAlerts::initTestCase()
{
    if (!PrivateBus::daemonInstalled())
        QSKIP("dbus-daemon is not installed (scripts/install-deps.sh installs it): no bus to test on");
    m_bus.emplace();
    QVERIFY(m_bus->isRunning());
    QVERIFY(m_dir.isValid());
}

qint64 TestAlerts::followEni(ValueWatch &watch)
{
    watch.follow({m_eni, QStringLiteral("ENI"), QStringLiteral("14,00"), 14.0, true, QStringLiteral("Prezzo")});
    const QList<FollowedRow> rows = watch.rows();
    return rows.isEmpty() ? 0 : rows.first().id;
}

void TestAlerts::read(ValueWatch &watch, double number, const QString &heading)
{
    watch.record({{m_eni, number, QString::number(number), QString(), QDateTime::currentDateTime(), heading}});
}

void TestAlerts::oneCrossingGivesOneNotification()
{
    NotificationListener listener;
    QDBusConnection desktop = m_bus->connect(QStringLiteral("desktop"));
    QVERIFY(desktop.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &listener,
                                   QDBusConnection::ExportAllSlots));
    QVERIFY(desktop.registerService(QStringLiteral("org.freedesktop.Notifications")));

    ValueWatch watch(m_dir.filePath(QStringLiteral("one.sqlite")), [this] { return m_bus->connect(QStringLiteral("program")); });
    const qint64 id = followEni(watch);
    QVERIFY(id);
    watch.setLevels(id, {14.5, std::nullopt, 0.2});
    for (double price : {14.2, 14.6, 14.7, 14.49, 14.52, 14.8})
        read(watch, price);
    QTRY_COMPARE(listener.calls.size(), 1);
    QCOMPARE(listener.calls.first().at(0), QStringLiteral("Doppio Quovadex"));
    QVERIFY(listener.calls.first().at(1).contains(QStringLiteral("ENI")));
    QVERIFY2(listener.calls.first().at(2).contains(QStringLiteral("14,6")), qPrintable(listener.calls.first().at(2)));
    QVERIFY(listener.calls.first().at(2).contains(QStringLiteral("14,5")));
    QVERIFY(watch.rows().first().beyond);

    // Back past the margin and up again: the second notification, and nothing sent in between.
    read(watch, 14.4);
    QVERIFY(!watch.rows().first().beyond);
    QVERIFY(watch.rows().first().alertedAt.isValid());
    read(watch, 14.9);
    QTRY_COMPARE(listener.calls.size(), 2);
    QVERIFY(listener.calls.last().at(2).contains(QStringLiteral("14,9")));
    QVERIFY(!watch.alertList().isVisible());
    desktop.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
}

void TestAlerts::withoutListenerTheProgramShowsTheAlert()
{
    QDBusConnection program = m_bus->connect(QStringLiteral("program-alone"));
    QVERIFY(!program.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.Notifications")).value());
    ValueWatch watch(m_dir.filePath(QStringLiteral("alone.sqlite")), [program] { return program; });
    const qint64 id = followEni(watch);
    watch.setLevels(id, {std::nullopt, 13.0, 0.2});
    read(watch, 12.5);
    QTRY_VERIFY(watch.alertList().isVisible());
    QCOMPARE(watch.alertList().entries().size(), 1);
    QVERIFY(watch.alertList().entries().first().contains(QStringLiteral("ENI")));
    QVERIFY(watch.alertList().entries().first().contains(QStringLiteral("12,5")));

    // No bus at all is no service either.
    ValueWatch busless(m_dir.filePath(QStringLiteral("busless.sqlite")), noBus);
    busless.setLevels(followEni(busless), {14.0, std::nullopt, 0.2});
    read(busless, 15.0);
    QTRY_COMPARE(busless.alertList().entries().size(), 1);
}

void TestAlerts::listShowsWhatThePageMeantAndAsksBeforeForgetting()
{
    ValueWatch watch(m_dir.filePath(QStringLiteral("list.sqlite")), noBus);
    const qint64 id = followEni(watch);
    const QDateTime yesterday = QDateTime::currentDateTime().addDays(-1);
    const ValuePlace tiny{m_eni.address, m_eni.group, 2};
    watch.follow({tiny, QStringLiteral("MICRO"), QStringLiteral("0,00000012"), 0.00000012, true, QString()});
    watch.record({{m_eni, 1240.0, QStringLiteral("1.240"), QString(), yesterday, QString()}});
    watch.setLevels(id, {12345678901.5, std::nullopt, 0.2});
    FollowedValuesWindow &window = watch.window();
    window.show();
    auto *table = window.findChild<QTableWidget *>(QStringLiteral("followedValues"));
    QVERIFY(table);
    QCOMPARE(table->rowCount(), 2);
    // A price keeps two decimals, a tiny one all of its own, a level its grouping; a reading
    // of another day names the day.
    QCOMPARE(table->item(0, 1)->text(), QStringLiteral("1.240,00"));
    QCOMPARE(table->item(0, 2)->text(), yesterday.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")));
    QCOMPARE(table->item(0, 6)->text(), QStringLiteral("12.345.678.901,50"));
    QCOMPARE(table->item(1, 1)->text(), QStringLiteral("0,00000012"));

    // Asked first; once gone, the next value is chosen; with none left, a hint how to follow one.
    window.choose(id);
    QStringList asked;
    MessageBox::setInterceptor([&](const MessageBox::Shown &shown) {
        asked.append(shown.text);
        return MessageBox::Answer{asked.size() > 1, {}};
    });
    auto *unfollow = window.findChild<QPushButton *>(QStringLiteral("unfollow"));
    auto *hint = window.findChild<QLabel *>(QStringLiteral("noFollowedValues"));
    for (const int left : {2, 1, 0}) {
        QTest::mouseClick(unfollow, Qt::LeftButton);
        QCOMPARE(watch.rows().size(), left);
        QCOMPARE(hint->isVisible(), left == 0);
    }
    MessageBox::clearInterceptor();
    QVERIFY(asked.first().contains(QStringLiteral("ENI")));
}

void TestAlerts::columnAddedBeforeTheValueIsNotTakenForIt()
{
    ValueWatch watch(m_dir.filePath(QStringLiteral("column.sqlite")), noBus);
    const qint64 id = followEni(watch);
    watch.setLevels(id, {std::nullopt, 13.0, 0.2});
    // "Apertura" now stands where "Prezzo" stood: its number is not ENI's price.
    read(watch, 12.0, QStringLiteral("Apertura"));
    QCOMPARE(watch.rows().first().last, std::optional(14.0));
    QVERIFY2(watch.rows().first().unreadReason.contains(QStringLiteral("Prezzo")),
             qPrintable(watch.rows().first().unreadReason));
    QVERIFY(!watch.rows().first().beyond);
    // The same heading with the hour in it, or none at all, is the same column.
    read(watch, 14.1, QStringLiteral("Prezzo (17:35)"));
    QCOMPARE(watch.rows().first().last, std::optional(14.1));
    QVERIFY(watch.rows().first().unreadReason.isEmpty());
    read(watch, 14.2, QString());
    QCOMPARE(watch.rows().first().last, std::optional(14.2));
    // One followed with no heading known takes the first it is read under.
    const ValuePlace enel{m_eni.address, QStringLiteral("/TABLE:0/TBODY:0/TR#ENEL"), 1};
    watch.follow({enel, QStringLiteral("ENEL"), QStringLiteral("6,10"), 6.1, true, QString()});
    watch.record({{enel, 6.2, QStringLiteral("6,20"), QString(), QDateTime::currentDateTime(), QStringLiteral("Prezzo")}});
    watch.record({{enel, 6.0, QStringLiteral("6,00"), QString(), QDateTime::currentDateTime(), QStringLiteral("Apertura")}});
    QCOMPARE(watch.rows().last().last, std::optional(6.2));
}

// Nothing followed, no file made; the next start reads the file at once, for the first pane.
void TestAlerts::storeOpensWhenFirstNeeded()
{
    const QString path = m_dir.filePath(QStringLiteral("later.sqlite"));
    {
        ValueWatch watch(path, noBus);
        QVERIFY(!QFileInfo::exists(path));
        followEni(watch);
        QVERIFY(QFileInfo::exists(path));
    }
    ValueWatch watch(path, noBus);
    RecordingPane pane(nullptr);
    watch.attach(pane);
    QCOMPARE(pane.followedPlaces, QList<ValuePlace>{m_eni});
}

void TestAlerts::programRunningForWeeksKeepsAMonth()
{
    const QString path = m_dir.filePath(QStringLiteral("weeks.sqlite"));
    const QDateTime now = QDateTime::currentDateTime();
    qint64 id = 0;
    {
        ValueWatch watch(path, noBus);
        id = followEni(watch);
        watch.record({{m_eni, 13.0, QStringLiteral("13"), QString(), now.addDays(-40), QStringLiteral("Prezzo")}});
        read(watch, 14.5);
    }
    QCOMPARE(ValueStore(path).readings(id, now.addDays(-60), now.addDays(-30)).size(), 0);
}

QTEST_MAIN(TestAlerts)
#include "tst_alerts.moc"
