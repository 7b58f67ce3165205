#include <future>

#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "core/CommandLine.h"
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
    void watchFileIsDoneByTheRunningCopy_data();
    void watchFileIsDoneByTheRunningCopy();

private:
    QByteArray send(const QByteArray &message);
    // From a thread of its own, as from another process: it blocks while it waits.
    bool handOver() const
    {
        auto done = std::async(std::launch::async, [name = m_name] {
            return InstanceChannel::handOver(QStringLiteral("x"), QDir::tempPath(), "t", name);
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
    const auto message = [](const QString &address, const QString &folder, const QByteArray &token = {}) {
        return InstanceChannel::compose(address, folder, token);
    };
    const QByteArray token = "gnome-shell/Doppio Quovadex/2476-1-host_TIME1234";
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<bool>("taken");
    QTest::newRow("address and folder") << message(QStringLiteral("http://borsa.example/q?t=\u00e8"), folder) << true;
    QTest::newRow("with a token") << message(QStringLiteral("a"), folder, token) << true;
    QTest::newRow("garbage") << QByteArray("\x00\xff\x01garbage\n\n\n\n", 14) << false;
    QTest::newRow("too long") << message(QString(9000, QLatin1Char('a')), folder) << false;
    QTest::newRow("a fourth line") << message(QStringLiteral("a"), folder) + "x\n" << false;
    QTest::newRow("the first version") << message(QStringLiteral("a"), folder).replace(" 2\n", " 1\n").chopped(1)
                                       << false;
    QTest::newRow("relative folder") << message(QStringLiteral("a"), QStringLiteral("tmp")) << false;
    QTest::newRow("folder not there") << message(QStringLiteral("a"), folder + QStringLiteral("/nessuna")) << false;
    QTest::newRow("control character") << message(QStringLiteral("a\rb"), folder) << false;
    QTest::newRow("invalid UTF-8") << message(QString(), folder).replace("\n\n", "\n\xc3(\n") << false;
    QTest::newRow("token with a tab") << message(QStringLiteral("a"), folder, "a\tb") << false;
    QTest::newRow("token with a quote") << message(QStringLiteral("a"), folder, "a\"b") << false;
    QTest::newRow("token not ASCII") << message(QStringLiteral("a"), folder, "t\xc3\xa8") << false;
    QTest::newRow("the watch's request") << InstanceChannel::compose(WatchFileRequest{WatchFileRequest::Kind::Export, folder, true})
                                         << false;
    QTest::newRow("token too long") << message(QStringLiteral("a"), folder, QByteArray(256, 't')) << false;
}

void TestInstanceChannel::onlyOneAddressAndOneFolderAreTaken()
{
    QFETCH(QByteArray, message);
    QFETCH(bool, taken);
    InstanceChannel channel;
    QVERIFY(channel.listen(m_name));
    QSignalSpy asked(&channel, &InstanceChannel::windowAsked);

    QCOMPARE(send(message), QByteArray(taken ? "OK\n" : "NO\n"));
    QCOMPARE(asked.size(), taken ? 1 : 0);
    if (taken) {
        QCOMPARE(asked.at(0).at(1).toString(), QDir::tempPath());
        QCOMPARE(asked.at(0).at(2).toByteArray(), message.split('\n').at(3));
    }
    // Whatever came before, the channel still takes the next good message.
    QVERIFY(handOver());
    QCOMPARE(asked.size(), taken ? 2 : 1);
    QCOMPARE(asked.last().at(2).toByteArray(), QByteArray("t"));
}

void TestInstanceChannel::startGoesOnAloneWhenNoCopyAnswers()
{
    // None there: at once. (A socket left by a crashed copy: tst_windows crashes one.)
    QVERIFY(!InstanceChannel::handOver(QStringLiteral("x"), QDir::tempPath(), {}, m_name));
    // A copy that hangs: it takes the connection and never answers.
    QLocalServer hung;
    QVERIFY(hung.listen(m_name));
    QElapsedTimer waited;
    waited.start();
    QVERIFY(!InstanceChannel::handOver(QStringLiteral("x"), QDir::tempPath(), {}, m_name));
    QVERIFY(waited.elapsed() < InstanceChannel::TimeoutMs + 1000);
}

void TestInstanceChannel::watchFileIsDoneByTheRunningCopy_data()
{
    QTest::addColumn<bool>("running");
    QTest::addColumn<QString>("failure");
    QTest::newRow("written by the copy") << true << QString();
    QTest::newRow("the copy's reason") << true << QStringLiteral("disco pieno");
    QTest::newRow("none running: written here") << false << QString();
}

void TestInstanceChannel::watchFileIsDoneByTheRunningCopy()
{
    QFETCH(bool, running);
    QFETCH(QString, failure);
    InstanceChannel channel;
    QList<WatchFileRequest> byCopy;
    channel.setWatchFileHandler([&](const WatchFileRequest &request) {
        byCopy.append(request);
        return failure;
    });
    QVERIFY(!running || channel.listen(m_name));
    const CommandLine command(QStringList{QStringLiteral("quovadex3"), QStringLiteral("--export-watch"),
                                          QStringLiteral("w.json"), QStringLiteral("--with-readings")});
    std::atomic<int> here = 0;
    auto done = std::async(std::launch::async, [&] {
        return command.run([&](const WatchFileRequest &) { return ++here, failure; }, m_name);
    });
    QVERIFY(QTest::qWaitFor([&done] { return done.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 5000));
    QCOMPARE(done.get(), failure.isEmpty() ? 0 : 1);
    QCOMPARE(byCopy, running ? QList{command.watchFile()} : QList<WatchFileRequest>());
    QCOMPARE(here.load(), running ? 0 : 1);
}

QTEST_GUILESS_MAIN(TestInstanceChannel)
#include "tst_instancechannel.moc"
