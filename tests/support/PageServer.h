#pragma once

#include <functional>

#include <QHash>
#include <QHostAddress>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>

// A tiny HTTP server on 127.0.0.1 for programs that need pages from a real address. The
// requested paths are written down. No cache may keep a page, so a reload always fetches.
class PageServer final : public QObject
{
public:
    // Makes the page for a requested path; not asked for the browser's favicon.
    using PageMaker = std::function<QByteArray(const QString &path)>;

    // Every request gets the same page back.
    explicit PageServer(QByteArray html, QObject *parent = nullptr)
        : PageServer([html = std::move(html)](const QString &) { return html; }, parent)
    {
    }

    explicit PageServer(PageMaker page, QObject *parent = nullptr)
        : QObject(parent)
        , m_page(std::move(page))
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

    bool listen() { return m_server.listen(QHostAddress::LocalHost); }
    QString url(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
    }

    QStringList requests;

private:
    void answer(QTcpSocket *socket)
    {
        m_pending[socket] += socket->readAll();
        const QByteArray request = m_pending.value(socket);
        if (!request.contains("\r\n\r\n"))
            return;
        m_pending.remove(socket);
        const QList<QByteArray> words = request.left(request.indexOf("\r\n")).split(' ');
        const QString path = words.size() > 1 ? QString::fromLatin1(words.at(1)) : QString();
        requests << path;
        const bool page = !path.endsWith(QLatin1String("favicon.ico"));
        const QByteArray body = page ? m_page(path) : QByteArray();
        socket->write((page ? "HTTP/1.1 200 OK\r\n" : "HTTP/1.1 404 Not Found\r\n")
                      + QByteArray("Content-Type: text/html; charset=utf-8\r\nCache-Control: no-store\r\n")
                      + "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    PageMaker m_page;
    QHash<QTcpSocket *, QByteArray> m_pending;
};
