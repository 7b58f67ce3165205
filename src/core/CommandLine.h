#pragma once

#include <functional>

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include "core/InstanceChannel.h"

// What a start of the program was asked on its command line: a window for an address (the
// positional arguments, joined as MainWindows::addressFrom joins them), the help or the version,
// or the watch's file written or read. Read before any application object exists, so that
// --help and --export-watch need no display; Qt's own window options (-platform, -style…) are
// let through for the QApplication that follows. A usage error ends with status 2, as GNU
// tools do.
class CommandLine final
{
    Q_DISABLE_COPY_MOVE(CommandLine)
public:
    enum class Action { OpenWindow, Help, Version, UsageError, ExportWatch, ImportWatch };
    // Carries out a request on the store's file itself, in this process; the reason on failure.
    using WatchFileHere = std::function<QString(const WatchFileRequest &)>;

    static constexpr int UsageErrorStatus = 2;

    // The arguments as the system gave them, the program's name first.
    explicit CommandLine(const QStringList &arguments);
    static QStringList arguments(int argc, char **argv);
    // The program's names and version, for the application object made after reading.
    static void nameProgram();

    Action action() const { return m_action; }
    QString address() const { return m_address; }
    // For ExportWatch and ImportWatch: the file made absolute in the folder of this start.
    WatchFileRequest watchFile() const { return m_watchFile; }
    QString errorText() const { return m_error; }
    QString helpText() const;

    // Everything but OpenWindow, once an application object exists: prints the help, the
    // version or the usage error, or has the running copy do the watch's request, else does it
    // here; returns the exit status (0, 1 with the reason on standard error, 2).
    // channelName: empty for the user's (InstanceChannel::defaultName()), asked only for the watch.
    int run(const WatchFileHere &here, const QString &channelName = {}) const;

private:
    void read(const QStringList &arguments);

    QCommandLineParser m_parser;
    Action m_action = Action::OpenWindow;
    QString m_address;
    WatchFileRequest m_watchFile;
    QString m_error;
};
