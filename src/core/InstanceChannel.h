#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

// How a second start of the program hands its address and folder to the copy already
// running for the same user, which opens a window for them. The running copy is the one that
// holds the persistent profile: every window then shares the user's logins, and the second
// start costs no second set of engine processes.
//
// The channel is a local socket in the user's runtime folder, which only the user may enter,
// and the socket itself is the user's only. A message is one address and one folder, capped
// and checked; anything else is refused and changes nothing. A message can only open a window:
// never start a process, never write a file.
class InstanceChannel final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(InstanceChannel)
public:
    static constexpr int TimeoutMs = 2000;
    static constexpr int MaxMessageBytes = 8192;

    // The socket's path for this user; empty where the system gives no runtime folder.
    static QString defaultName();

    // Run by a new start before anything else: true when a running copy took the address
    // and folder, and this start has nothing more to do. False at once when none listens, or
    // a socket was left by a copy that crashed; false after TimeoutMs when the copy there
    // does not answer.
    static bool handOver(const QString &address, const QString &folder, const QString &name = defaultName());

    // Checks a received message; false leaves address and folder alone.
    static bool parse(const QByteArray &message, QString *address, QString *folder);
    static QByteArray compose(const QString &address, const QString &folder);

    explicit InstanceChannel(QObject *parent = nullptr);
    ~InstanceChannel() override;

    // Only the copy that holds the profile listens; a socket found there can only be left
    // by one that crashed, and is replaced.
    bool listen(const QString &name = defaultName());

signals:
    void windowAsked(const QString &address, const QString &folder);

private:
    void receive(QLocalSocket *socket);

    QLocalServer *m_server;
};
