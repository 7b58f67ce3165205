#include "panes/webengine/LocalPictureServer.h"

#include <chrono>

#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QRandomGenerator>
#include <QTcpSocket>
#include <QTimer>

namespace {

// As much as a request line and the engine's headers take; more is not a request of ours.
constexpr qsizetype MaxHead = 16 * 1024;
// A saved page's pictures stay far below this; a page must not make the program read a disk
// image into memory.
constexpr qint64 MaxFileSize = 64 * 1024 * 1024;
// Every distinct file a session's local pages showed keeps its address; beyond this a page
// is asking for files no page shows.
constexpr qsizetype MaxFiles = 20000;
constexpr std::chrono::seconds SilentLimit{10};

QByteArray newKey()
{
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    return QByteArray(reinterpret_cast<const char *>(words), sizeof words).toHex();
}

} // namespace

LocalPictureServer::LocalPictureServer(QObject *parent)
    : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            // The engine asks at once; a connection that says nothing is not the engine's.
            QTimer::singleShot(SilentLimit, socket, &QTcpSocket::abort);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
        }
    });
}

QUrl LocalPictureServer::addressOf(const QString &path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    if (canonical.isEmpty() || !QFileInfo(canonical).isFile() || QFileInfo(canonical).size() > MaxFileSize)
        return {};
    if (!m_server.isListening() && !m_server.listen(QHostAddress::LocalHost))
        return {};
    QByteArray key = m_keys.value(canonical);
    if (key.isEmpty()) {
        if (m_files.size() >= MaxFiles)
            return {};
        key = newKey();
        m_keys.insert(canonical, key);
        m_files.insert(key, canonical);
    }
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(QStringLiteral("127.0.0.1"));
    url.setPort(m_server.serverPort());
    // The name goes along only for the engine's sake, to sniff a type the way it does for a file.
    url.setPath(QLatin1Char('/') + QString::fromLatin1(key) + QLatin1Char('/') + info.fileName());
    return url;
}

void LocalPictureServer::answer(QTcpSocket *socket)
{
    const qsizetype end = socket->peek(MaxHead).indexOf("\r\n\r\n");
    if (end < 0) {
        if (socket->bytesAvailable() >= MaxHead)
            reply(socket, "431 Request Header Fields Too Large");
        return;
    }
    const QByteArray head = socket->read(end + 4);
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);

    const QList<QByteArray> request = head.left(head.indexOf("\r\n")).split(' ');
    if (request.size() != 3 || !request.at(2).startsWith("HTTP/1.")) {
        reply(socket, "400 Bad Request");
        return;
    }
    if (request.at(0) != "GET") {
        reply(socket, "405 Method Not Allowed");
        return;
    }
    // "/key/name": only the key counts; the name is whatever the page called the file.
    const QByteArray key = request.at(1).mid(1).split('/').constFirst();
    const QString path = m_files.value(key);
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly) || file.size() > MaxFileSize) {
        reply(socket, "404 Not Found");
        return;
    }
    const QByteArray type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension).name().toLatin1();
    reply(socket, "200 OK", type, file.readAll());
}

void LocalPictureServer::reply(QTcpSocket *socket, const QByteArray &status, const QByteArray &type,
                               const QByteArray &body)
{
    QByteArray head = "HTTP/1.1 " + status + "\r\nConnection: close\r\nCache-Control: no-store\r\n";
    if (!type.isEmpty())
        head += "Content-Type: " + type + "\r\n";
    head += "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n";
    socket->write(head + body);
    socket->disconnectFromHost();
}
