#pragma once

#include <QList>

#include "common/ProcessStarter.h"

// Writes down what would have been started.
class RecordingProcessStarter final : public ProcessStarter
{
public:
    struct Start
    {
        QString program;
        QStringList arguments;
        QString workingDirectory;
    };

    bool startDetached(const QString &program, const QStringList &arguments, const QString &workingDirectory,
                       qint64 * = nullptr) override
    {
        starts.append({program, arguments, workingDirectory});
        return succeed;
    }
    bool openUrl(const QUrl &url) override
    {
        openedUrls.append(url);
        return succeed;
    }

    QList<Start> starts;
    QList<QUrl> openedUrls;
    bool succeed = true;
};
