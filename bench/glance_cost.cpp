// What the tray and "Striscia dei valori" add to one reading: 20 followed values, the strip open
// on all of them and the tray shown, readings of one value at a time fed to the watch as a pane
// sends them (no engine). Each reading is timed on the main thread from the reading to both
// brought up to date (the tray's icon and tooltip set, the strip's line painted), against the
// same readings with neither. Run it on a display with a tray host (scripts/tray_host.py on a
// session bus of its own) to time the tray's D-Bus messages too; without one, the tray is made
// and fed all the same, and says where it could not be shown.
//
// glance_cost [--rounds N]

#include <algorithm>
#include <cstdio>

#include <QApplication>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QListView>
#include <QSystemTrayIcon>
#include <QTemporaryDir>

#include "glance/Glance.h"
#include "glance/StripWindow.h"
#include "glance/ValueTray.h"
#include "watch/FollowedValues.h"
#include "watch/ValueWatch.h"

namespace {

constexpr int Values = 20;

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

ValuePlace place(int i)
{
    return {QStringLiteral("http://q.example/borsa"), QStringLiteral("/TABLE:0/TBODY:0/TR#V%1").arg(i), 1};
}

// Milliseconds of the main thread for each reading, one value after another.
QList<double> timeReadings(ValueWatch &watch, int rounds, int offset, const std::function<bool()> &shown)
{
    QList<double> times;
    QDateTime at = QDateTime::currentDateTime();
    for (int r = 0; r < rounds; ++r) {
        const int i = r % Values;
        const double number = 10 + i + (r + offset) % 7 * 0.01 + 0.001 * r;
        at = at.addMSecs(100);
        QElapsedTimer timer;
        timer.start();
        watch.values().record({{place(i), number, QString::number(number), {}, at, {}}});
        // The tray waits for the turn of the event loop, the strip's line for its paint event.
        do
            QCoreApplication::processEvents();
        while (!shown() && timer.elapsed() < 1000);
        times.append(timer.nsecsElapsed() / 1e6);
    }
    return times;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("QuovadexBench"));
    const QStringList args = QApplication::arguments();
    const qsizetype roundsAt = args.indexOf(QStringLiteral("--rounds"));
    const int rounds = roundsAt >= 0 && roundsAt + 1 < args.size() ? args.at(roundsAt + 1).toInt() : 2000;

    QTemporaryDir dir;
    ValueWatch watch(dir.filePath(QStringLiteral("v.sqlite")), [] { return QDBusConnection::sessionBus(); });
    for (int i = 0; i < Values; ++i)
        watch.values().follow({place(i), QStringLiteral("Valore %1").arg(i), QStringLiteral("10"), 10.0 + i,
                               ValuePick::Followable::Yes, {}});
    // Warm: the store's statements prepared, the first day's close found.
    timeReadings(watch, Values, 0, [] { return true; });
    const QList<double> without = timeReadings(watch, rounds, 1, [] { return true; });

    const bool hostTray = QSystemTrayIcon::isSystemTrayAvailable();
    Glance glance(watch, {}, {}, [] { return true; });
    glance.showStrip();
    StripWindow &strip = *glance.strip();
    strip.resize(300, 24 * Values);
    // Painted once the reading's line has been drawn: the view's viewport paints only that.
    int paints = 0;
    struct PaintCount : QObject
    {
        int &count;
        explicit PaintCount(int &c) : count(c) {}
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                ++count;
            return false;
        }
    } counter(paints);
    strip.list().viewport()->installEventFilter(&counter);
    timeReadings(watch, Values, 2, [] { return true; });
    QString lastTip;
    const QList<double> with = timeReadings(watch, rounds, 3, [&] {
        const bool done = paints > 0 && glance.tray()->toolTip() != lastTip;
        if (done) {
            paints = 0;
            lastTip = glance.tray()->toolTip();
        }
        return done || !strip.isVisible();
    });

    std::printf("platform %s; tray host %s; %d values, %d readings of one value each\n",
                qPrintable(QGuiApplication::platformName()), hostTray ? "registered" : "none (tray made, not shown)", Values,
                rounds);
    std::printf("without tray and strip: median %.3f ms, worst %.3f ms\n", median(without),
                *std::max_element(without.begin(), without.end()));
    std::printf("with tray and strip:    median %.3f ms, worst %.3f ms\n", median(with),
                *std::max_element(with.begin(), with.end()));
    std::printf("the tray and the strip's share: %.3f ms (median); target 1 ms\n", median(with) - median(without));
    return 0;
}
