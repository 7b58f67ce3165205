#include <future>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "core/InstanceChannel.h"

// The hand-over channel on its own: only a well-formed message opens anything, and a start
// never waits long for a copy that does not answer.
class TestInstanceChannel : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void onlyOneAddressAndOneFolderAreTaken_data();
    void onlyOneAddressAndOneFolderAreTaken();
    void startGoesOnAloneWhenNoCopyAnswers();

private:
    QByteArray send(const QByteArray &message);
    // From a thread of its own, as from another process: it blocks while it waits.
    bool handOver() const
    {
        auto done = std::async(std::launch::async, [name = m_name] {
            return InstanceChannel::handOver(QStringLiteral("x"), QDir::tempPath(), name);
        });
        (void)QTest::qWaitFor([&done] { return done.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
                              2 * InstanceChannel::TimeoutMs);
        return done.get();
    }

    QTemporaryDir m_dir;
    QString m_name;
};

void TestInstanceChannel::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_name = m_dir.filePath(QStringLiteral("channel"));
}

QByteArray TestInstanceChannel::send(const QByteArray &message)
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(1000))
        return "<no connection>";
    socket.write(message);
    QByteArray answer;
    (void)QTest::qWaitFor([&] {
        answer += socket.readAll();
        return socket.state() == QLocalSocket::UnconnectedState || answer.contains('\n');
    }, 5000);
    return answer;
}

void TestInstanceChannel::onlyOneAddressAndOneFolderAreTaken_data()
{
    const QString folder = QDir::tempPath();
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<bool>("taken");
    QTest::newRow("address and folder") << InstanceChannel::compose(QStringLiteral("http://borsa.example/q?t=\u00e8"), folder) << true;
    QTest::newRow("no address") << InstanceChannel::compose(QString(), folder) << true;
    QTest::newRow("garbage") << QByteArray("\x00\xff\x01garbage\n\n\n", 13) << false;
    QTest::newRow("too long") << InstanceChannel::compose(QString(9000, QLatin1Char('a')), folder) << false;
    QTest::newRow("no end") << InstanceChannel::compose(QStringLiteral("a"), folder).chopped(1) << false;
    QTest::newRow("a third line") << InstanceChannel::compose(QStringLiteral("a"), folder) + "x\n" << false;
    QTest::newRow("relative folder") << InstanceChannel::compose(QStringLiteral("a"), QStringLiteral("tmp")) << false;
    QTest::newRow("folder not there") << InstanceChannel::compose(QStringLiteral("a"), folder + QStringLiteral("/nessuna")) << false;
    QTest::newRow("folder not clean") << InstanceChannel::compose(QStringLiteral("a"), folder + QStringLiteral("/../tmp")) << false;
    QTest::newRow("file as folder") << InstanceChannel::compose(QStringLiteral("a"), QStringLiteral("/etc/passwd")) << false;
    QTest::newRow("control character") << InstanceChannel::compose(QStringLiteral("a\rb"), folder) << false;
    QTest::newRow("invalid UTF-8") << InstanceChannel::compose(QString(), folder).replace("\n\n", "\n\xc3(\n") << false;
}

void TestInstanceChannel::onlyOneAddressAndOneFolderAreTaken()
{
    QFETCH(QByteArray, message);
    QFETCH(bool, taken);
    InstanceChannel channel;
    QVERIFY(channel.listen(m_name));
    QSignalSpy asked(&channel, &InstanceChannel::windowAsked);

    const QByteArray answer = send(message);
    QCOMPARE(asked.size(), taken ? 1 : 0);
    QCOMPARE(answer, taken ? QByteArray("OK\n") : answer == "" ? answer : QByteArray("NO\n"));
    // Whatever came before, the channel still takes a good message, as the program sends it.
    QString address;
    QString folder;
    if (taken)
        QVERIFY(InstanceChannel::parse(message, &address, &folder));
    QVERIFY(handOver());
    QCOMPARE(asked.size(), taken ? 2 : 1);
    if (taken)
        QCOMPARE(asked.at(0), (QVariantList{address, folder}));
}

void TestInstanceChannel::startGoesOnAloneWhenNoCopyAnswers()
{
    // A socket left by a copy that crashed: bound, and nothing listens on it.
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, QFile::encodeName(m_name).constData(), sizeof address.sun_path);
    const int left = ::socket(AF_UNIX, SOCK_STREAM, 0);
    QCOMPARE(::bind(left, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    ::close(left);
    QVERIFY(QFileInfo::exists(m_name));
    QVERIFY(!InstanceChannel::handOver(QStringLiteral("x"), QDir::tempPath(), m_name));
    // The next copy to hold the profile listens there all the same.
    {
        InstanceChannel next;
        QVERIFY(next.listen(m_name));
    }

    // A copy that hangs: it takes the connection and never answers.
    QLocalServer hung;
    QVERIFY(hung.listen(m_name));
    QElapsedTimer waited;
    waited.start();
    QVERIFY(!InstanceChannel::handOver(QStringLiteral("x"), QDir::tempPath(), m_name));
    QVERIFY(waited.elapsed() < InstanceChannel::TimeoutMs + 1000);
}

QTEST_GUILESS_MAIN(TestInstanceChannel)
#include "tst_instancechannel.moc"
