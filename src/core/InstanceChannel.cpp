#include "core/InstanceChannel.h"

#include <algorithm>
#include <memory>

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTimer>

namespace {

// Version 2 adds the token line; a copy of either version refuses the other's message, and the
// start then goes on alone.
const QByteArray Greeting = "quovadex3-window 2\n";
constexpr int MessageLines = 3;
const QByteArray Accepted = "OK\n";
const QByteArray Refused = "NO\n";
// A start's request about the watch's file: kind, path, readings; answered "OK" or "NO reason".
const QByteArray WatchGreeting = "quovadex3-watch 1\n";
const QByteArray Export = "export";
const QByteArray Import = "import";

bool isPlainText(const QString &text)
{
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            return false;
    }
    return true;
}

} // namespace

QString InstanceChannel::defaultName()
{
    // Qt makes this folder the user's own (mode 0700) or refuses it.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? QString() : QDir(folder).filePath(QStringLiteral("quovadex3.window"));
}

QByteArray InstanceChannel::activationToken()
{
    for (const char *variable : {"XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID"}) {
        const QByteArray token = qgetenv(variable);
        if (!token.isEmpty())
            return isWellFormedToken(token) ? token : QByteArray();
    }
    return QByteArray();
}

bool InstanceChannel::isWellFormedToken(const QByteArray &token)
{
    // Startup identifiers may hold an application's name with spaces; quotes and backslashes
    // would need escaping in the X11 startup message, and no desktop puts them there.
    if (token.size() > MaxTokenBytes)
        return false;
    return std::all_of(token.begin(), token.end(), [](char c) { return c >= 0x20 && c < 0x7f && c != '"' && c != '\\'; });
}

QByteArray InstanceChannel::compose(const QString &address, const QString &folder, const QByteArray &token)
{
    return Greeting + address.toUtf8() + '\n' + folder.toUtf8() + '\n' + token + '\n';
}

bool InstanceChannel::parse(const QByteArray &message, QString *address, QString *folder, QByteArray *token)
{
    if (message.size() > MaxMessageBytes || !message.startsWith(Greeting) || !message.endsWith('\n'))
        return false;
    const QList<QByteArray> lines = message.mid(Greeting.size()).chopped(1).split('\n');
    if (lines.size() != MessageLines || !isWellFormedToken(lines.at(2)))
        return false;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString gotAddress = utf8.decode(lines.at(0));
    const QString gotFolder = utf8.decode(lines.at(1));
    if (utf8.hasError() || !isPlainText(gotAddress) || !isPlainText(gotFolder))
        return false;
    // The folder a start ran in: absolute, clean, and there.
    if (!QDir::isAbsolutePath(gotFolder) || QDir::cleanPath(gotFolder) != gotFolder || !QFileInfo(gotFolder).isDir())
        return false;
    *address = gotAddress;
    *folder = gotFolder;
    *token = lines.at(2);
    return true;
}

QByteArray InstanceChannel::compose(const WatchFileRequest &request)
{
    return WatchGreeting + (request.kind == WatchFileRequest::Kind::Export ? Export : Import) + '\n'
           + request.path.toUtf8() + '\n' + (request.withReadings ? "1" : "0") + '\n';
}

bool InstanceChannel::parse(const QByteArray &message, WatchFileRequest *request)
{
    if (message.size() > MaxMessageBytes || !message.startsWith(WatchGreeting) || !message.endsWith('\n'))
        return false;
    const QList<QByteArray> lines = message.mid(WatchGreeting.size()).chopped(1).split('\n');
    if (lines.size() != MessageLines || (lines.at(0) != Export && lines.at(0) != Import)
        || (lines.at(2) != "0" && lines.at(2) != "1"))
        return false;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString path = utf8.decode(lines.at(1));
    if (utf8.hasError() || !isPlainText(path) || !QDir::isAbsolutePath(path) || QDir::cleanPath(path) != path)
        return false;
    *request = {lines.at(0) == Export ? WatchFileRequest::Kind::Export : WatchFileRequest::Kind::Import, path,
                lines.at(2) == "1"};
    return true;
}

std::optional<QString> InstanceChannel::askWatchFile(const WatchFileRequest &request, const QString &name)
{
    const QByteArray message = compose(request);
    if (name.isEmpty())
        return std::nullopt;
    if (message.size() > MaxMessageBytes)
        return QStringLiteral("il percorso del file \u00e8 troppo lungo");
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(TimeoutMs))
        return std::nullopt;
    socket.write(message);
    const QDeadlineTimer deadline(WatchFileTimeoutMs);
    QByteArray answer;
    while (!answer.contains('\n') && socket.waitForReadyRead(int(deadline.remainingTime())))
        answer += socket.readAll();
    answer += socket.readAll();
    if (answer == Accepted)
        return QString();
    if (answer.startsWith("NO ") && answer.endsWith('\n'))
        return QString::fromUtf8(answer.mid(3).chopped(1));
    if (!answer.contains('\n'))
        return QStringLiteral("la copia del programma in esecuzione non ha risposto");
    return QStringLiteral("la copia del programma in esecuzione non ha accettato la richiesta (forse \u00e8 di "
                          "un'altra versione)");
}

bool InstanceChannel::handOver(const QString &address, const QString &folder, const QByteArray &token,
                               const QString &name)
{
    const QByteArray message = compose(address, folder, isWellFormedToken(token) ? token : QByteArray());
    if (name.isEmpty() || message.size() > MaxMessageBytes)
        return false;
    const QDeadlineTimer deadline(TimeoutMs);
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return false;
    socket.write(message);
    QByteArray answer;
    while (!answer.contains('\n') && socket.waitForReadyRead(int(deadline.remainingTime())))
        answer += socket.readAll();
    return answer == Accepted;
}

InstanceChannel::InstanceChannel(QObject *parent)
    : QObject(parent)
    , m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection())
            receive(socket);
    });
}

InstanceChannel::~InstanceChannel() = default;

bool InstanceChannel::listen(const QString &name)
{
    if (name.isEmpty())
        return false;
    QLocalServer::removeServer(name);
    return m_server->listen(name);
}

void InstanceChannel::receive(QLocalSocket *socket)
{
    socket->setParent(this);
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    // A client that never finishes its message is dropped, so that none ties the channel up.
    QTimer::singleShot(TimeoutMs, socket, [socket] {
        socket->abort();
        socket->deleteLater();
    });
    auto message = std::make_shared<QByteArray>();
    auto read = [this, socket, message] {
        *message += socket->readAll();
        // Another version's greeting is refused at once, so that its start goes on alone
        // without waiting for the timeout.
        const bool foreign = message->contains('\n') && !message->startsWith(Greeting) && !message->startsWith(WatchGreeting);
        const bool whole = message->count('\n') >= 1 + MessageLines || foreign;
        if (!whole && message->size() <= MaxMessageBytes)
            return;
        QObject::disconnect(socket, &QLocalSocket::readyRead, nullptr, nullptr);
        QString address;
        QString folder;
        QByteArray token;
        const bool window = whole && parse(*message, &address, &folder, &token);
        socket->write(window ? Accepted : answer(*message, whole));
        // Written before the client's time runs out, however long the request took.
        socket->flush();
        socket->disconnectFromServer();
        if (window)
            emit windowAsked(address, folder, token);
    };
    connect(socket, &QLocalSocket::readyRead, socket, read);
    read();
}

QByteArray InstanceChannel::answer(const QByteArray &message, bool whole)
{
    WatchFileRequest request;
    if (!whole || !m_watchFile || !parse(message, &request))
        return Refused;
    const QString failure = m_watchFile(request).simplified();
    return failure.isEmpty() ? Accepted : "NO " + failure.toUtf8() + '\n';
}
