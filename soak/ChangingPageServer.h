#pragma once

#include <QHash>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

// A quote page on 127.0.0.1 that is different at every request, as a live quote page is:
// the request number is in its title, in a script variable and in every price. No cache
// may keep it, so every refresh really fetches and lays out a new page.
class ChangingPageServer final : public QObject
{
    Q_DISABLE_COPY_MOVE(ChangingPageServer)
public:
    explicit ChangingPageServer(int rows, QObject *parent = nullptr)
        : QObject(parent)
        , m_rows(rows)
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
    int pagesServed() const { return m_served; }

private:
    QByteArray page(int number) const
    {
        QByteArray rows;
        for (int i = 0; i < m_rows; ++i) {
            const double price = 10 + (i * 37 + number * 11) % 1000 / 7.0;
            rows += "<tr><td>Titolo " + QByteArray::number(i) + "</td><td>" + QByteArray::number(price, 'f', 3) +
                    "</td><td>" + QByteArray::number(number) + "</td></tr>";
        }
        return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Quotazioni " + QByteArray::number(number) +
               "</title><script>window.soakPage=" + QByteArray::number(number) +
               ";</script></head><body><table>" + rows + "</table></body></html>";
    }

    void answer(QTcpSocket *socket)
    {
        m_pending[socket] += socket->readAll();
        const QByteArray request = m_pending.value(socket);
        if (!request.contains("\r\n\r\n"))
            return;
        m_pending.remove(socket);
        const bool favicon = request.startsWith("GET /favicon.ico");
        const QByteArray body = favicon ? QByteArray() : page(++m_served);
        socket->write((favicon ? "HTTP/1.1 404 Not Found\r\n" : "HTTP/1.1 200 OK\r\n") +
                      QByteArray("Content-Type: text/html; charset=utf-8\r\nCache-Control: no-store\r\n") +
                      "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QTcpSocket *, QByteArray> m_pending;
    const int m_rows;
    int m_served = 0;
};
