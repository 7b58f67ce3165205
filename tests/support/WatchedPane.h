#pragma once

#include <QTemporaryDir>

#include "support/RecordingPane.h"
#include "watch/ValueWatch.h"

// The program's watch on a database of the test's own, with a pane attached whose menu it
// fills; alerts on the bus given, else on none (then they go to the program's own window); the
// markets and the clock given, else always open and the system's.
struct WatchedPane
{
    QTemporaryDir dir;
    ValueWatch watch;
    RecordingPane pane{nullptr};

    explicit WatchedPane(DesktopNotifier::BusOpener bus = noBus, std::optional<Markets> markets = std::nullopt, WallClock clock = {})
        : watch(dir.filePath(QStringLiteral("v.sqlite")), std::move(bus), std::move(markets), std::move(clock))
    {
        watch.attach(pane);
    }

    static QDBusConnection noBus() { return QDBusConnection(QStringLiteral("none")); }

    // Asked in the pane's menu, as the user does, under "Prezzo".
    void follow(const ValuePlace &at, const QString &name, double number)
    {
        emit pane.valueAsked(BrowserPane::ValueAsk::Follow,
                             {at, name, QString::number(number), number, ValuePick::Followable::Yes, QStringLiteral("Prezzo")});
    }
};
