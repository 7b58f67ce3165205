#pragma once

#include <functional>
#include <optional>

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

// The watch's file written or read for a start of the program (--export-watch, --import-watch).
struct WatchFileRequest
{
    enum class Kind { Export, Import };
    Kind kind = Kind::Export;
    // Absolute and clean: the running copy may stand in another folder.
    QString path;
    bool withReadings = false;

    bool operator==(const WatchFileRequest &other) const = default;
};

// How a second start of the program hands its address and folder to the copy already
// running for the same user, which opens a window for them. The running copy is the one that
// holds the persistent profile: every window then shares the user's logins, and the second
// start costs no second set of engine processes.
//
// The channel is a local socket in the user's runtime folder, which only the user may enter,
// and the socket itself is the user's only. A message is one address, one folder and the token
// with which the desktop lets that start's window come to the front (possibly empty), capped and
// checked; anything else is refused and changes nothing. A message can open a window, or write
// or read the watch's file at a path the user's own command gave (the socket is the user's
// only); never start a process.
class InstanceChannel final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(InstanceChannel)
public:
    static constexpr int TimeoutMs = 2000;
    static constexpr int MaxMessageBytes = 8192;
    static constexpr int MaxTokenBytes = 255;
    // An import with a month of readings is written by the running copy before it answers.
    static constexpr int WatchFileTimeoutMs = 120000;
    // The reason, or empty for done.
    using WatchFileHandler = std::function<QString(const WatchFileRequest &)>;

    // The socket's path for this user; empty where the system gives no runtime folder.
    static QString defaultName();

    // Run by a new start before anything else: true when a running copy took the address
    // and folder, and this start has nothing more to do. False at once when none listens, or
    // a socket was left by a copy that crashed; false after TimeoutMs when the copy there
    // does not answer.
    static bool handOver(const QString &address, const QString &folder, const QByteArray &token,
                         const QString &name = defaultName());

    // Has the running copy carry out the request: nullopt when none listens (the start does it
    // itself then), else its answer: empty for done, or why not.
    static std::optional<QString> askWatchFile(const WatchFileRequest &request, const QString &name = defaultName());

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
    static bool parse(const QByteArray &message, WatchFileRequest *request);
    static QByteArray compose(const WatchFileRequest &request);

    explicit InstanceChannel(QObject *parent = nullptr);
    ~InstanceChannel() override;

    // Only the copy that holds the profile listens; a socket found there can only be left
    // by one that crashed, and is replaced.
    bool listen(const QString &name = defaultName());
    // Who carries out a start's watch request; without one every request is refused.
    void setWatchFileHandler(WatchFileHandler handler) { m_watchFile = std::move(handler); }

signals:
    void windowAsked(const QString &address, const QString &folder, const QByteArray &token);

private:
    void receive(QLocalSocket *socket);
    QByteArray answer(const QByteArray &message, bool whole);

    QLocalServer *m_server;
    WatchFileHandler m_watchFile;
};
