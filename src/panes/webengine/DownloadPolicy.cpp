#include "panes/webengine/DownloadPolicy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QWebEngineDownloadRequest>

#include "panes/webengine/RecentInput.h"

DownloadPolicy::DownloadPolicy(QObject *parent)
    : QObject(parent)
{
}

QString DownloadPolicy::uniqueName(const QString &folder, const QString &name, const QSet<QString> &alsoTaken)
{
    QString base = QFileInfo(name).fileName();
    if (base.isEmpty() || base == QLatin1String(".") || base == QLatin1String(".."))
        base = QStringLiteral("download");
    const QDir dir(folder);
    auto taken = [&dir, &alsoTaken](const QString &candidate) {
        return dir.exists(candidate) || alsoTaken.contains(dir.filePath(candidate));
    };
    if (!taken(base))
        return base;
    const QFileInfo info(base);
    const QString stem = info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    for (int n = 1;; ++n) {
        const QString candidate = QStringLiteral("%1 (%2)%3").arg(stem).arg(n).arg(suffix);
        if (!taken(candidate))
            return candidate;
    }
}

void DownloadPolicy::decide(QWebEngineDownloadRequest *download)
{
    // Only the page the pane shows counts: one prepared out of sight for a refresh, a page
    // read in the background, or a frame's page without a click, starts nothing. A download
    // that is not accepted is cancelled by the engine and leaves nothing on disk.
    auto *page = qobject_cast<SilentPage *>(download->page());
    const SilentPage::DownloadReport report = page ? page->downloadReport() : SilentPage::DownloadReport();
    RecentInput *input = page ? page->recentInput() : nullptr;
    if (!page || page->refuseInBackground(AskRule::Ask::Download) || !report.saved || !report.stopped || !input
        || !input->allows(RecentInput::Policy::Asked, PerPress)) {
        download->cancel();
        return;
    }
    if (download->totalBytes() > m_sizeLimit) {
        download->cancel();
        report.stopped(download->downloadFileName(),
                       QStringLiteral("supera %1").arg(QLocale().formattedDataSize(m_sizeLimit)));
        return;
    }
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    QDir().mkpath(folder);
    download->setDownloadDirectory(folder);
    download->setDownloadFileName(uniqueName(folder, download->downloadFileName(), m_underWay));
    follow(download, report);
    download->accept();
}

void DownloadPolicy::follow(QWebEngineDownloadRequest *download, const SilentPage::DownloadReport &report)
{
    const QString path = QDir(download->downloadDirectory()).filePath(download->downloadFileName());
    m_underWay.insert(path);
    // A site may announce no size, or a wrong one: the bytes as they come are what counts.
    connect(download, &QWebEngineDownloadRequest::receivedBytesChanged, this, [this, download] {
        if (download->receivedBytes() > m_sizeLimit && !download->isFinished())
            download->cancel();
    });
    connect(download, &QWebEngineDownloadRequest::isFinishedChanged, this, [this, download, path, report] {
        if (!download->isFinished())
            return;
        m_underWay.remove(path);
        download->disconnect(this);
        if (download->state() == QWebEngineDownloadRequest::DownloadCompleted) {
            report.saved(path);
            return;
        }
        // The name was free when the download began, so a file there now is its part.
        QFile::remove(path);
        const QString reason = download->receivedBytes() > m_sizeLimit
                                   ? QStringLiteral("supera %1").arg(QLocale().formattedDataSize(m_sizeLimit))
                                   : download->interruptReasonString();
        report.stopped(QFileInfo(path).fileName(), reason);
    });
}
