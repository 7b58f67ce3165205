#include <sys/stat.h>

#include <QFile>
#include <QNetworkRequest>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "common/ProgramSettings.h"
#include "support/Files.h"
#include "support/TopicServer.h"
#include "watch/store/ValueStore.h"
#include "watch/phone/PhoneAlerts.h"
#include "watch/phone/PhoneQueue.h"

namespace {

using Phone = AlertHistory::Phone;

// A header as ntfy reads it: RFC 2047 encoded words back to text; each word within 75.
QString decoded(const QByteArray &header)
{
    if (!header.startsWith("=?"))
        return QString::fromLatin1(header);
    QByteArray bytes;
    for (const QByteArray &word : header.split(' ')) {
        if (word.size() > 75 || !word.startsWith("=?UTF-8?B?") || !word.endsWith("?="))
            return QStringLiteral("<bad word %1>").arg(QString::fromLatin1(word));
        bytes += QByteArray::fromBase64(word.mid(10, word.size() - 12));
    }
    return QString::fromUtf8(bytes);
}

int mode(const QString &path)
{
    struct stat st{};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
}

} // namespace

// Alerts on the phone through ntfy: what one message says in its headers, when a message that
// did not arrive is tried again, and its delivery against a topic of the test's own: once,
// whatever the service answers and however often the program starts.
class TestPhone : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY(m_dir.emplace().isValid());
        m_store.emplace(m_dir->filePath(QStringLiteral("v.sqlite")));
        m_eni = *m_store->follow({QStringLiteral("https://q.example/borsa"), QStringLiteral("/TR#ENI"), 1}, QStringLiteral("ENI"));
        QVERIFY(m_store->setPhone(m_eni, true));
        m_server.emplace();
        QSettings().remove(QStringLiteral("telefono"));
    }

    void headersAreOneLineOfAscii_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("click");
        QTest::addColumn<QString>("token");
        QTest::addColumn<QString>("shownTitle");
        QTest::addColumn<QByteArray>("sentClick");
        QTest::addColumn<QByteArray>("authorization");
        QTest::newRow("plain") << "ENI" << "https://q.example/borsa?t=1" << "tk_abc" << "ENI"
                               << QByteArray("https://q.example/borsa?t=1") << QByteArray("Bearer tk_abc");
        QTest::newRow("a page's line breaks") << "ENI\r\nX-Falso: 1\u2028y" << "" << "" << "ENI X-Falso: 1 y" << QByteArray() << QByteArray();
        QTest::newRow("accents and signs, long") << QStringLiteral("Societ\u00e0 Cattolica \u20ac ").repeated(4) << "" << ""
                                                 << QStringLiteral("Societ\u00e0 Cattolica \u20ac ").repeated(4).trimmed()
                                                 << QByteArray() << QByteArray();
        QTest::newRow("text that reads as encoded") << "=?UTF-8?B?QQ==?=" << "" << "" << "=?UTF-8?B?QQ==?=" << QByteArray()
                                                    << QByteArray();
        QTest::newRow("a local page, a token with a line break") << "ENI" << "file:///home/u/borsa.html" << "tk\r\nX: 1" << "ENI"
                                                                 << QByteArray() << QByteArray();
    }
    void headersAreOneLineOfAscii()
    {
        QFETCH(QString, title);
        QFETCH(QString, click);
        QFETCH(QString, token);
        QFETCH(QByteArray, sentClick);
        QFETCH(QByteArray, authorization);
        const QNetworkRequest request =
            PhoneSender::request({m_server->url(), token}, {title, QStringLiteral("corpo"), false, QStringLiteral("warning"), click});
        for (const QByteArray &name : request.rawHeaderList()) {
            for (const char c : request.rawHeader(name))
                QVERIFY2(c >= 0x20 && c < 0x7f, name.constData());
        }
        QTEST(decoded(request.rawHeader("Title")), "shownTitle");
        QCOMPARE(request.rawHeader("Click"), sentClick);
        QCOMPARE(request.rawHeader("Authorization"), authorization);
    }
    void pauseGrowsToAQuarterOfAnHourAndADayEndsIt()
    {
        const QList<int> pauses{30, 60, 120, 240, 480, 900};
        const qint64 failing = alert();
        {
            PhoneQueue queue(m_store->phoneOutbox());
            QVERIFY(queue.add(failing, message(failing), m_now));
            QDateTime at = m_now;
            Phone after = Phone::Pending;
            for (int failure = 0; after == Phone::Pending && at < m_now.addDays(2); ++failure) {
                QVERIFY(queue.take(at.addSecs(-1)).isEmpty());
                QCOMPARE(queue.take(at).size(), 1);
                after = queue.failed(failing, at, QStringLiteral("503"));
                const QDateTime next = queue.nextTry().value_or(at);
                if (after == Phone::Pending)
                    QCOMPARE(at.secsTo(next), pauses.value(failure, 900));
                at = next;
            }
            QCOMPARE(after, Phone::GivenUp);
            QVERIFY(m_now.secsTo(at) > 24 * 3600 - 900 && m_now.secsTo(at) <= 24 * 3600);
            QVERIFY(queue.take(m_now.addDays(3)).isEmpty());
        }
        QCOMPARE(state(failing), Phone::GivenUp);
        // Pending when the program stopped, found again a day later: given up unsent.
        const qint64 left = alert();
        QVERIFY(PhoneQueue(m_store->phoneOutbox()).add(left, message(left), m_now));
        QCOMPARE(PhoneQueue(m_store->phoneOutbox()).take(m_now.addSecs(24 * 3600 - 1)).size(), 1);
        QList<qint64> givenUp;
        QVERIFY(PhoneQueue(m_store->phoneOutbox()).take(m_now.addDays(1), &givenUp).isEmpty());
        QCOMPARE(givenUp, QList<qint64>{left});
        QCOMPARE(state(left), Phone::GivenUp);
    }
    void serviceBackAfter503DeliversOnce()
    {
        m_server->statuses = {503};
        auto phone = this->phone();
        const qint64 first = alert();
        phone->send(m_eni, first, message(first));
        QTRY_COMPARE(attempts(first), 1);
        QCOMPARE(state(first), Phone::Pending);
        m_now = m_now.addSecs(30);
        phone->tick();
        QTRY_COMPARE(state(first), Phone::Delivered);
        nextAlertGoesAlone(*phone, 3);
        QCOMPARE(m_server->requests.at(1).body, m_server->requests.at(0).body);
    }
    void refusalIsToldOnceAndNotTriedAgain()
    {
        m_server->statuses = {400, 403};
        auto phone = this->phone();
        QSignalSpy refused(phone.get(), &PhoneAlerts::refused);
        const qint64 first = alert(), second = alert();
        phone->send(m_eni, first, message(first));
        phone->send(m_eni, second, message(second));
        QTRY_VERIFY(state(first) == Phone::Refused && state(second) == Phone::Refused);
        QCOMPARE(refused.size(), 1);
        nextAlertGoesAlone(*phone, 3);
    }
    void restartResumesAPendingMessageOnce()
    {
        m_server->statuses = {503};
        const qint64 first = alert();
        {
            auto phone = this->phone();
            phone->send(m_eni, first, message(first));
            QTRY_COMPARE(attempts(first), 1);
        }
        m_store.reset();
        m_store.emplace(m_dir->filePath(QStringLiteral("v.sqlite")));
        m_now = m_now.addSecs(30);
        PhoneAlerts again([this] { return &*m_store; }, [this] { return m_now; });
        QTRY_COMPARE(state(first), Phone::Delivered);
        nextAlertGoesAlone(again, 3);
    }
    void noSecondTryWhileOneIsOnItsWay()
    {
        m_server->holding = true;
        auto phone = this->phone();
        const qint64 first = alert();
        phone->send(m_eni, first, message(first));
        QTRY_COMPARE(m_server->requests.size(), 1);
        m_now = m_now.addSecs(3600);
        phone->tick();
        phone->tick();
        // Sent after those ticks, the next message arriving shows they sent nothing.
        const qint64 second = alert();
        phone->send(m_eni, second, message(second));
        QTRY_COMPARE(m_server->requests.size(), 2);
        QCOMPARE(m_server->requests.at(1).body, message(second).body.toUtf8());
        m_server->release();
        QTRY_VERIFY(state(first) == Phone::Delivered && state(second) == Phone::Delivered);
        QCOMPARE(m_server->requests.size(), 2);
    }
    void tokenFileIsTheUsersAlone_data()
    {
        QTest::addColumn<bool>("oldFile");
        QTest::newRow("a new file") << false;
        QTest::newRow("an old one others could read") << true;
    }
    void tokenFileIsTheUsersAlone()
    {
        QFETCH(bool, oldFile);
        const QString path = ProgramSettings::phoneTokenPath();
        QFile::remove(path);
        if (oldFile)
            QVERIFY(writeFile(path, "tk_vecchio\n")
                    && QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
        // Whatever the user's umask: with none, a new file would be readable by all.
        const mode_t before = umask(0);
        QString error;
        const bool written = ProgramSettings::setPhoneToken(QStringLiteral("tk_nuovo"), &error);
        umask(before);
        QVERIFY2(written, qPrintable(error));
        QCOMPARE(mode(path), 0600);
        QCOMPARE(ProgramSettings::phoneToken(), QStringLiteral("tk_nuovo"));
        QVERIFY(ProgramSettings::setPhoneToken(QString(), &error));
        QVERIFY(!QFile::exists(path));
    }

private:
    qint64 alert() { return *m_store->alerts().add({0, m_now, m_eni, AlertHistory::Kind::CrossedAbove, 14.5, {}}); }
    PhoneMessage message(qint64 alert) const
    {
        return {QStringLiteral("ENI"), QStringLiteral("avviso %1").arg(alert), true, QStringLiteral("warning"), QString()};
    }
    std::unique_ptr<PhoneAlerts> phone()
    {
        auto phone = std::make_unique<PhoneAlerts>([this] { return &*m_store; }, [this] { return m_now; });
        QString problem;
        if (!phone->setTopic({m_server->url(), {}}, &problem))
            qWarning() << problem;
        return phone;
    }
    AlertHistory::Alert stored(qint64 alert)
    {
        const QList<AlertHistory::Alert> all = m_store->alerts().list();
        const auto it = std::find_if(all.cbegin(), all.cend(), [alert](const AlertHistory::Alert &a) { return a.id == alert; });
        return it == all.cend() ? AlertHistory::Alert{} : *it;
    }
    Phone state(qint64 alert) { return stored(alert).phone; }
    // An hour on, the next alert's message being the last of them all shows nothing else went.
    void nextAlertGoesAlone(PhoneAlerts &phone, qsizetype requests)
    {
        m_now = m_now.addSecs(3600);
        phone.tick();
        const qint64 next = alert();
        phone.send(m_eni, next, message(next));
        QTRY_COMPARE(state(next), Phone::Delivered);
        QCOMPARE(m_server->requests.size(), requests);
        QCOMPARE(m_server->requests.last().body, message(next).body.toUtf8());
    }
    int attempts(qint64 alert) { return stored(alert).phoneAttempts; }

    std::optional<QTemporaryDir> m_dir;
    std::optional<ValueStore> m_store;
    std::optional<TopicServer> m_server;
    qint64 m_eni = 0;
    QDateTime m_now{QDate(2026, 12, 7), QTime(10, 0)};
};

QTEST_GUILESS_MAIN(TestPhone)
#include "tst_phone.moc"
