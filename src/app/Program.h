#pragma once

#include <QtGlobal>

#include "common/ProcessStarter.h"
#include "core/InstanceChannel.h"
#include "core/MainWindows.h"
#include "glance/Glance.h"
#include "market/Markets.h"
#include "panes/webengine/BackgroundReader.h"
#include "panes/webengine/WebEngineEnvironment.h"
#include "watch/FollowedValues.h"
#include "watch/ValueWatch.h"

class MainWindow;

// Everything the program runs once the application object is made, in one place so that the
// benchmarks start exactly what main() starts. The members are declared in the order each must
// outlive the next: the engine's environment (its profile) outlives the background page and
// every window's pages, and the watch outlives the windows whose panes report to it.
class Program final
{
    Q_DISABLE_COPY_MOVE(Program)
public:
    Program();

    // Opens the first window on address and, where this copy holds the persistent profile,
    // takes the windows later starts ask for.
    MainWindow *start(const QString &address, const QString &folder);

    // An export or import of the watch's file, asked on the command line: by this copy for a
    // later start, or by a start that found no copy running.
    static QString carryOut(FollowedValues &values, const WatchFileRequest &request);

private:
    WebEngineEnvironment m_webEngine;
    SystemProcessStarter m_starter;
    // Its hidden page uses the profile: it goes before the profile does.
    BackgroundReader m_backgroundReader;
    // The one answer to "is the market open?" for the watch and every window.
    const Markets m_markets;
    // One for every window, and outliving them all.
    ValueWatch m_watch;
    // The tray and the strip, before the windows: the windows' panes get the strip's menu item.
    Glance m_glance;
    MainWindows m_windows;
    InstanceChannel m_channel;
};
