#pragma once

#include <functional>

#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

// An ntfy topic on 127.0.0.1 for the phone's tests: writes down every request with its
// headers (names in lower case) and body, and answers each with the next status of its script
// (200 once the script is spent). While holding, answers wait for release(): a service slower
// than the test.
class TopicServer final : public QObject
{
public:
    struct Request
    {
        QByteArray method;
        QByteArray path;
        QHash<QByteArray, QByteArray> headers;
        QByteArray body;
    };

    TopicServer()
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { read(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        m_server.listen(QHostAddress::LocalHost);
    }

    QUrl url(const QString &path = QStringLiteral("/avvisi")) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
    }

    void release()
    {
        for (const auto &answer : std::exchange(m_held, {}))
            answer();
    }

    QList<int> statuses;
    bool holding = false;
    QList<Request> requests;

private:
    void read(QTcpSocket *socket)
    {
        QByteArray &pending = m_pending[socket];
        pending += socket->readAll();
        const qsizetype end = pending.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        Request request;
        const QList<QByteArray> lines = pending.left(end).split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        request.method = first.value(0);
        request.path = first.value(1);
        for (const QByteArray &line : lines.mid(1)) {
            const qsizetype colon = line.indexOf(':');
            request.headers.insert(line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed());
        }
        const qsizetype length = request.headers.value("content-length").toLongLong();
        if (pending.size() < end + 4 + length)
            return;
        request.body = pending.mid(end + 4, length);
        m_pending.remove(socket);
        requests.append(request);
        const int status = statuses.isEmpty() ? 200 : statuses.takeFirst();
        const auto answer = [socket = QPointer(socket), status] {
            if (!socket)
                return;
            const QByteArray body = "{\"http\":" + QByteArray::number(status) + "}";
            socket->write("HTTP/1.1 " + QByteArray::number(status) + " Risposta\r\nContent-Type: application/json\r\n"
                          + "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
            socket->disconnectFromHost();
        };
        if (holding)
            m_held.append(answer);
        else
            answer();
    }

    QTcpServer m_server;
    QHash<QTcpSocket *, QByteArray> m_pending;
    QList<std::function<void()>> m_held;
};
