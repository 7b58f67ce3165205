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
        const bool foreign = message->contains('\n') && !message->startsWith(Greeting);
        const bool whole = message->count('\n') >= 1 + MessageLines || foreign;
        if (!whole && message->size() <= MaxMessageBytes)
            return;
        QString address;
        QString folder;
        QByteArray token;
        const bool ok = whole && parse(*message, &address, &folder, &token);
        QObject::disconnect(socket, &QLocalSocket::readyRead, nullptr, nullptr);
        socket->write(ok ? Accepted : Refused);
        socket->disconnectFromServer();
        if (ok)
            emit windowAsked(address, folder, token);
    };
    connect(socket, &QLocalSocket::readyRead, socket, read);
    read();
}
