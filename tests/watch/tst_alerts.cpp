#include <QDBusConnectionInterface>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "support/PrivateBus.h"
#include "support/RecordingPane.h"
#include "watch/AlertList.h"
#include "watch/ValueWatch.h"

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
    void storeOpensWhenFirstNeeded();

private:
    qint64 followEni(ValueWatch &watch);
    void read(ValueWatch &watch, double number);

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
    watch.follow({m_eni, QStringLiteral("ENI"), QStringLiteral("14,00"), 14.0, true});
    const QList<FollowedRow> rows = watch.rows();
    return rows.isEmpty() ? 0 : rows.first().id;
}

void TestAlerts::read(ValueWatch &watch, double number)
{
    watch.record({{m_eni, number, QString::number(number), QString(), QDateTime::currentDateTime()}});
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
    ValueWatch busless(m_dir.filePath(QStringLiteral("busless.sqlite")), [] { return QDBusConnection(QStringLiteral("none")); });
    busless.setLevels(followEni(busless), {14.0, std::nullopt, 0.2});
    read(busless, 15.0);
    QTRY_COMPARE(busless.alertList().entries().size(), 1);
}

// Nothing followed, no file made; the next start reads the file at once, for the first pane.
void TestAlerts::storeOpensWhenFirstNeeded()
{
    const QString path = m_dir.filePath(QStringLiteral("later.sqlite"));
    const auto noBus = [] { return QDBusConnection(QStringLiteral("none")); };
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

QTEST_MAIN(TestAlerts)
#include "tst_alerts.moc"
