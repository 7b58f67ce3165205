#include "common/ProcessStarter.h"

#include <QDesktopServices>
#include <QProcess>

bool SystemProcessStarter::startDetached(const QString &program, const QStringList &arguments,
                                         const QString &workingDirectory, qint64 *pid)
{
    if (program.isEmpty())
        return false;
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setWorkingDirectory(workingDirectory);
    process.setStandardInputFile(QProcess::nullDevice());
    return process.startDetached(pid);
}

bool SystemProcessStarter::openUrl(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}
