#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "support/NotificationService.h"
#include "support/PrivateBus.h"
#include "watch/alerts/AlertSound.h"
#include "watch/alerts/DesktopNotifier.h"

// GIO's D-Bus headers have a struct member named "signals", which Qt defines as a keyword.
#undef signals
#include <gio/gio.h>

namespace {

// What the user hears of one alert: the service's sound, the desktop theme's through the
// program, or silence by choice.
enum Heard { FromService, FromTheme, Silenced };

// Text from a web page with markup in it, which a service that reads markup would show as such.
const QString PageText = QStringLiteral("<b>S&P</b> vale 5&nbsp;000");

// A desktop where notifications are not shown.
enum Desktop { NoBus, NoService, HangingService };

// The desktop's "event sounds" switch, on the settings of the test's own (initTestCase).
bool setEventSounds(bool on)
{
    GSettingsSchemaSource *source = g_settings_schema_source_get_default();
    GSettingsSchema *schema = source ? g_settings_schema_source_lookup(source, "org.gnome.desktop.sound", TRUE) : nullptr;
    if (!schema)
        return false;
    GSettings *settings = g_settings_new_full(schema, nullptr, nullptr);
    g_settings_set_boolean(settings, "event-sounds", on);
    g_object_unref(settings);
    g_settings_schema_unref(schema);
    return true;
}

} // namespace

// The notifier against a notification service of the test's own on a private bus: what it is
// sent, what its clicks give back, and where the sound comes from.
class TestNotifier : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void eachValueHasOneNotificationAndItsClicks_data();
    void eachValueHasOneNotificationAndItsClicks();
    void bodyAndSoundFollowWhatTheServiceCan_data();
    void bodyAndSoundFollowWhatTheServiceCan();
    void withoutServiceNotDeliveredAndThemeSounds_data();
    void withoutServiceNotDeliveredAndThemeSounds();

private:
    DesktopNotifier::BusOpener program()
    {
        return [this] { return m_bus->connect(QStringLiteral("program")); };
    }

    std::optional<PrivateBus> m_bus;
    QTemporaryDir m_dir;
};

void TestNotifier::initTestCase()
{
    if (!PrivateBus::daemonInstalled())
        QSKIP("dbus-daemon is not installed (scripts/install-deps.sh installs it): no bus to test on");
    m_bus.emplace();
    QVERIFY(m_bus->isRunning());
    // Settings in memory, before anything reads them: never the user's, and the test can set them.
    qputenv("GSETTINGS_BACKEND", "memory");
    QVERIFY2(setEventSounds(true), "no org.gnome.desktop.sound (scripts/install-deps.sh installs gsettings-desktop-schemas)");
    // A sound device that takes every sound and lets nobody hear it (ALSA's null device), so
    // that the test knows a sound was played on any machine, with or without sound.
    QFile sound(m_dir.filePath(QStringLiteral("asound.conf")));
    QVERIFY(sound.open(QIODevice::WriteOnly) && sound.write("pcm.!default { type null }\n") > 0);
    sound.close();
    qputenv("ALSA_CONFIG_PATH", QFile::encodeName(sound.fileName()));
}

void TestNotifier::eachValueHasOneNotificationAndItsClicks_data()
{
    // What the service sends ("action id" or "closed id"), notification 3 being value 7's (it
    // replaced 1) and 2 value 9's; a click on 2 always follows, so that the test knows all was heard.
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<QList<qint64>>("activated");
    QTest::newRow("ours") << QStringList{QStringLiteral("default 3")} << QList<qint64>{7, 9};
    QTest::newRow("not ours") << QStringList{QStringLiteral("default 99")} << QList<qint64>{9};
    QTest::newRow("another action") << QStringList{QStringLiteral("other 3")} << QList<qint64>{9};
    QTest::newRow("closed before") << QStringList{QStringLiteral("closed 3"), QStringLiteral("default 3")}
                                   << QList<qint64>{9};
}

void TestNotifier::eachValueHasOneNotificationAndItsClicks()
{
    QFETCH(QStringList, sent);
    QFETCH(QList<qint64>, activated);
    NotificationService service(m_bus->connect(QStringLiteral("desktop")), {});
    QVERIFY(service.isRegistered());
    DesktopNotifier notifier(program());
    QList<qint64> got;
    connect(&notifier, &DesktopNotifier::activated, this, [&got](qint64 id) { got.append(id); });
    notifier.notify(7, QStringLiteral("ENI sopra 14,50"), QString());
    notifier.notify(9, QStringLiteral("ENEL sotto 6,00"), QString());
    notifier.notify(7, QStringLiteral("ENI sopra 15,00"), QString());
    QTRY_COMPARE(service.calls().size(), 3);
    QCOMPARE(service.calls().at(0).replacesId, 0u);
    QCOMPARE(service.calls().at(1).replacesId, 0u);
    QCOMPARE(service.calls().at(2).replacesId, 1u);
    QCOMPARE(service.calls().at(2).summary, QStringLiteral("ENI sopra 15,00"));
    QCOMPARE(service.calls().at(0).actions, QStringList({QStringLiteral("default"), QStringLiteral("Mostra")}));
    for (const QString &signal : sent + QStringList{QStringLiteral("default 2")}) {
        const QStringList words = signal.split(QLatin1Char(' '));
        if (words.first() == QLatin1String("closed"))
            service.close(words.last().toUInt());
        else
            service.click(words.last().toUInt(), words.first());
    }
    QTRY_COMPARE(got.size(), activated.size());
    QCOMPARE(got, activated);
}

void TestNotifier::bodyAndSoundFollowWhatTheServiceCan_data()
{
    QTest::addColumn<QStringList>("capabilities");
    QTest::addColumn<bool>("startsLate");
    QTest::addColumn<bool>("eventSounds");
    QTest::addColumn<QString>("body");
    QTest::addColumn<int>("heard");
    const QStringList markup{QStringLiteral("body"), QStringLiteral("body-markup")};
    const QString escaped = QStringLiteral("&lt;b&gt;S&amp;P&lt;/b&gt; vale 5&amp;nbsp;000");
    QTest::newRow("markup read") << markup << false << true << escaped << int(FromTheme);
    QTest::newRow("markup read by a service started after an alert") << markup << true << true << escaped << int(FromTheme);
    QTest::newRow("service plays sounds") << QStringList{QStringLiteral("sound")} << false << true << PageText << int(FromService);
    QTest::newRow("event sounds off") << QStringList{QStringLiteral("body")} << false << false << PageText << int(Silenced);
}

void TestNotifier::bodyAndSoundFollowWhatTheServiceCan()
{
    QFETCH(QStringList, capabilities);
    QFETCH(bool, startsLate);
    QFETCH(bool, eventSounds);
    QFETCH(QString, body);
    QFETCH(int, heard);
    QVERIFY(setEventSounds(eventSounds));
    DesktopNotifier notifier(program());
    QSignalSpy sound(notifier.findChild<AlertSound *>(QStringLiteral("alertSound")), &AlertSound::finished);
    if (startsLate) {
        QSignalSpy notDelivered(&notifier, &DesktopNotifier::notDelivered);
        notifier.notify(1, QStringLiteral("ENI"), QStringLiteral("prima"));
        QTRY_COMPARE(notDelivered.size(), 1);
        QTRY_COMPARE(sound.size(), 1);
        sound.clear();
    }
    NotificationService service(m_bus->connect(QStringLiteral("desktop")), capabilities);
    QVERIFY(service.isRegistered());
    notifier.notify(1, QStringLiteral("<b>S&P</b> sopra 5 000"), PageText);
    QTRY_COMPARE(service.calls().size(), 1);
    const NotificationService::Call call = service.calls().first();
    QCOMPARE(call.body, body);
    QCOMPARE(call.summary, QStringLiteral("<b>S&P</b> sopra 5 000"));
    QCOMPARE(call.hints.value(QStringLiteral("sound-name")).toString(),
             heard == FromService ? QStringLiteral("message-new-instant") : QString());
    QCOMPARE(call.hints.value(QStringLiteral("suppress-sound")).toBool(), heard != FromService);
    if (heard == FromService) {
        // A wrong sound would come later, on the sound's thread: once a refused alert's sound,
        // which must play, and every other asked for have played, it is the only one.
        QSignalSpy notDelivered(&notifier, &DesktopNotifier::notDelivered);
        service.answerNotifyWith(NotificationService::Answer::Refusal);
        notifier.notify(2, QStringLiteral("ENEL sotto 6,00"), QStringLiteral("ENEL vale 5,90"));
        QTRY_COMPARE(notDelivered.size(), 1);
        auto *alertSound = notifier.findChild<AlertSound *>(QStringLiteral("alertSound"));
        alertSound->findChild<QThreadPool *>()->waitForDone();
        QCoreApplication::sendPostedEvents(alertSound);
        QCOMPARE(sound.size(), 1);
        return;
    }
    QTRY_COMPARE(sound.size(), 1);
    QCOMPARE(sound.first().first().value<AlertSound::Outcome>(),
             heard == Silenced ? AlertSound::Outcome::EventSoundsOff : AlertSound::Outcome::Played);
}

void TestNotifier::withoutServiceNotDeliveredAndThemeSounds_data()
{
    QTest::addColumn<int>("desktop");
    QTest::newRow("no bus") << int(NoBus);
    QTest::newRow("nobody on the bus") << int(NoService);
    QTest::newRow("service that plays sounds never answers") << int(HangingService);
}

void TestNotifier::withoutServiceNotDeliveredAndThemeSounds()
{
    QFETCH(int, desktop);
    QVERIFY(setEventSounds(true));
    std::optional<NotificationService> service;
    if (desktop == HangingService) {
        service.emplace(m_bus->connect(QStringLiteral("desktop")), QStringList{QStringLiteral("sound")});
        QVERIFY(service->isRegistered());
        service->answerNotifyWith(NotificationService::Answer::Nothing);
    }
    DesktopNotifier notifier(desktop == NoBus ? [] { return QDBusConnection(QStringLiteral("none")); } : program());
    QSignalSpy notDelivered(&notifier, &DesktopNotifier::notDelivered);
    QSignalSpy sound(notifier.findChild<AlertSound *>(QStringLiteral("alertSound")), &AlertSound::finished);
    notifier.notify(1, QStringLiteral("ENI sopra 14,50"), QStringLiteral("<b>ENI</b> vale 14,60"));
    notifier.notify(2, QStringLiteral("ENEL sotto 6,00"), QStringLiteral("ENEL vale 5,90"));
    // Each given up on after the program's wait for an answer (5 s), long before D-Bus's own.
    QTRY_COMPARE_WITH_TIMEOUT(notDelivered.size(), 2, 20000);
    QCOMPARE(notDelivered.first().at(0).toString(), QStringLiteral("ENI sopra 14,50"));
    QCOMPARE(notDelivered.first().at(1).toString(), QStringLiteral("<b>ENI</b> vale 14,60"));
    QVERIFY(!notDelivered.first().at(2).toString().isEmpty());
    QTRY_COMPARE(sound.size(), 2);
    QCOMPARE(sound.last().first().value<AlertSound::Outcome>(), AlertSound::Outcome::Played);
}

QTEST_GUILESS_MAIN(TestNotifier)
#include "tst_notifier.moc"
