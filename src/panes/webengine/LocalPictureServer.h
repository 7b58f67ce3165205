#pragma once

#include <QHash>
#include <QObject>
#include <QTcpServer>
#include <QUrl>

class QTcpSocket;

// A local page's pictures and sounds, served on the loopback under an address of each file's
// own that nobody can guess. The engine counts every local file as the local page's own
// origin and lets it read a picture it drew into a canvas back, pixel by pixel, to send
// anywhere; an answer from another origin taints the canvas instead, so the page still shows
// the user's pictures but can no longer read them. The program's own scheme cannot do this:
// the engine never marks its answers as from another origin (Qt 6.4 to 6.8).
class LocalPictureServer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LocalPictureServer)
public:
    explicit LocalPictureServer(QObject *parent = nullptr);

    // The address the file is shown from, or an empty one where it cannot be (not a file, too
    // large, or no loopback to listen on). The server starts listening on the first file.
    QUrl addressOf(const QString &path);

private:
    void answer(QTcpSocket *socket);
    void reply(QTcpSocket *socket, const QByteArray &status, const QByteArray &type = {}, const QByteArray &body = {});

    QTcpServer m_server;
    QHash<QByteArray, QString> m_files; // address key → canonical path
    QHash<QString, QByteArray> m_keys;  // canonical path → address key
};
