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
// and the socket itself is the user's only. A message is one address, one folder and the token
// with which the desktop lets that start's window come to the front (possibly empty), capped and
// checked; anything else is refused and changes nothing. A message can only open a window:
// never start a process, never write a file.
class InstanceChannel final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(InstanceChannel)
public:
    static constexpr int TimeoutMs = 2000;
    static constexpr int MaxMessageBytes = 8192;
    static constexpr int MaxTokenBytes = 255;

    // The socket's path for this user; empty where the system gives no runtime folder.
    static QString defaultName();

    // Run by a new start before anything else: true when a running copy took the address
    // and folder, and this start has nothing more to do. False at once when none listens, or
    // a socket was left by a copy that crashed; false after TimeoutMs when the copy there
    // does not answer.
    static bool handOver(const QString &address, const QString &folder, const QByteArray &token,
                         const QString &name = defaultName());

    // The token the desktop gave this start for its window: XDG_ACTIVATION_TOKEN (Wayland),
    // else DESKTOP_STARTUP_ID (X11); empty when there is none or it is malformed. To be read
    // before the application object exists, which takes DESKTOP_STARTUP_ID out of the
    // environment.
    static QByteArray activationToken();
    // Printable ASCII without quotes or backslashes, at most MaxTokenBytes; empty is fine.
    static bool isWellFormedToken(const QByteArray &token);

    // Checks a received message; false leaves address, folder and token alone.
    static bool parse(const QByteArray &message, QString *address, QString *folder, QByteArray *token);
    static QByteArray compose(const QString &address, const QString &folder, const QByteArray &token);

    explicit InstanceChannel(QObject *parent = nullptr);
    ~InstanceChannel() override;

    // Only the copy that holds the profile listens; a socket found there can only be left
    // by one that crashed, and is replaced.
    bool listen(const QString &name = defaultName());

signals:
    void windowAsked(const QString &address, const QString &folder, const QByteArray &token);

private:
    void receive(QLocalSocket *socket);

    QLocalServer *m_server;
};
