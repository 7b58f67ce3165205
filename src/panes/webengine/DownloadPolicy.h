#pragma once

#include <QObject>
#include <QSet>
#include <QString>

#include "panes/webengine/SilentPage.h"

class QWebEngineDownloadRequest;

// What becomes of a download a page starts. The program shows no dialogs, so nothing would
// tell the user about a file a page saved by itself: only a download the user asked for, by a
// click or a key press in that pane moments before, is saved, into the user's download folder
// under a name that takes no existing file's, and the pane says where it went.
class DownloadPolicy final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DownloadPolicy)
public:
    static constexpr qint64 DefaultSizeLimit = qint64(200) * 1024 * 1024;
    // How many downloads one press may start (a page may rightly save two or three files for
    // one click, never a flood).
    static constexpr int PerPress = 3;

    explicit DownloadPolicy(QObject *parent = nullptr);

    // Bigger downloads are stopped and what they wrote removed.
    void setSizeLimit(qint64 bytes) { m_sizeLimit = bytes; }

    void decide(QWebEngineDownloadRequest *download);

    // The name a download gets in folder: its own, or with " (n)" before the extension
    // when a file of that name is there or in alsoTaken.
    static QString uniqueName(const QString &folder, const QString &name, const QSet<QString> &alsoTaken = {});

private:
    void follow(QWebEngineDownloadRequest *download, const SilentPage::DownloadReport &report);

    qint64 m_sizeLimit = DefaultSizeLimit;
    // Paths of downloads under way: their files may not exist yet.
    QSet<QString> m_underWay;
};
