#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// Starts other programs. Arguments are handed over as they are, never through a shell, so an
// address with blanks, quotes, ";" or "$(...)" reaches the program unchanged and runs nothing.
class ProcessStarter
{
public:
    virtual ~ProcessStarter() = default;

    // Starts without waiting; false when the program could not be started. pid, if given,
    // receives the new process's id.
    virtual bool startDetached(const QString &program, const QStringList &arguments,
                               const QString &workingDirectory, qint64 *pid = nullptr) = 0;
    // Opens an address in the user's web browser.
    virtual bool openUrl(const QUrl &url) = 0;
};

class SystemProcessStarter final : public ProcessStarter
{
public:
    bool startDetached(const QString &program, const QStringList &arguments, const QString &workingDirectory,
                       qint64 *pid = nullptr) override;
    bool openUrl(const QUrl &url) override;
};
