// What the tray and "Striscia dei valori" add to one reading: 20 followed values, the strip open
// on all of them and the tray shown, readings of one value at a time fed to the watch as a pane
// sends them (no engine). Each reading is timed on the main thread from the reading to both
// brought up to date (the tray's icon and tooltip set, the strip's line painted), against the
// same readings with neither. Run it on a display with a tray host (scripts/tray_host.py on a
// session bus of its own) to time the tray's D-Bus messages too; without one, the tray is made
// and fed all the same, and says where it could not be shown.
//
// glance_cost [--rounds N] [--only tray|strip]

#include <algorithm>
#include <cstdio>
#include <ctime>

#include <QApplication>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QPaintEvent>
#include <QSystemTrayIcon>
#include <QTemporaryDir>

#include "glance/Glance.h"
#include "glance/StripWindow.h"
#include "glance/ValueTray.h"
#include "watch/FollowedValues.h"
#include "watch/ValueWatch.h"

namespace {

constexpr int Values = 20;

// The main thread's own processor time: on a loaded machine the wall clock counts the waits
// for a core as well.
double threadMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

struct Times
{
    QList<double> wall;
    QList<double> thread;
};

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
Times timeReadings(ValueWatch &watch, int rounds, int offset, const std::function<bool()> &shown)
{
    Times times;
    QDateTime at = QDateTime::currentDateTime();
    for (int r = 0; r < rounds; ++r) {
        const int i = r % Values;
        const double number = 10 + i + (r + offset) % 7 * 0.01 + 0.001 * r;
        at = at.addMSecs(100);
        QElapsedTimer timer;
        timer.start();
        const double thread = threadMs();
        watch.values().take({{place(i), number, QString::number(number), {}, at, {}}});
        // The tray waits for the turn of the event loop, the strip's line for its paint event.
        do
            QCoreApplication::processEvents();
        while (!shown() && timer.elapsed() < 1000);
        times.thread.append(threadMs() - thread);
        times.wall.append(timer.nsecsElapsed() / 1e6);
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
    const qsizetype onlyAt = args.indexOf(QStringLiteral("--only"));
    const QString only = onlyAt >= 0 && onlyAt + 1 < args.size() ? args.at(onlyAt + 1) : QString();

    QTemporaryDir dir;
    ValueWatch watch(dir.filePath(QStringLiteral("v.sqlite")), [] { return QDBusConnection::sessionBus(); });
    for (int i = 0; i < Values; ++i)
        watch.values().follow({place(i), QStringLiteral("Valore %1").arg(i), QStringLiteral("10"), 10.0 + i,
                               ValuePick::Followable::Yes, {}});
    // Warm: the store's statements prepared, the first day's close found.
    timeReadings(watch, Values, 0, [] { return true; });
    const Times without = timeReadings(watch, rounds, 1, [] { return true; });

    const bool hostTray = QSystemTrayIcon::isSystemTrayAvailable();
    Glance glance(watch, {}, {}, [&only] { return only != QLatin1String("strip"); });
    glance.showStrip();
    if (only == QLatin1String("tray"))
        glance.strip()->hide();
    StripWindow &strip = *glance.strip();
    strip.resize(300, 60 + Values * strip.lineRect(0).height());
    // Painted once the reading's line has been drawn: the view's viewport paints only that.
    int paints = 0;
    struct PaintCount : QObject
    {
        int &count;
        qint64 height = 0;
        qint64 events = 0;
        explicit PaintCount(int &c) : count(c) {}
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint) {
                ++count;
                ++events;
                height += static_cast<QPaintEvent *>(event)->region().boundingRect().height();
            }
            return false;
        }
    } counter(paints);
    strip.lines().installEventFilter(&counter);
    int titlePaints = 0;
    PaintCount titleCounter(titlePaints);
    strip.findChild<QWidget *>(QStringLiteral("stripTitle"))->installEventFilter(&titleCounter);


    timeReadings(watch, Values, 2, [] { return true; });
    QString lastTip;
    const Times with = timeReadings(watch, rounds, 3, [&] {
        const bool painted = paints > 0 || !strip.isVisible();
        const bool tipped = !glance.tray() || glance.tray()->toolTip() != lastTip;
        if (painted && tipped) {
            paints = 0;
            lastTip = glance.tray() ? glance.tray()->toolTip() : QString();
        }
        return painted && tipped;
    });

    std::printf("strip: its title painted %lld times\n", titleCounter.events);
    if (counter.events)
        std::printf("strip: %lld paints of %.1f px on average (a line is %d px)\n", counter.events,
                    double(counter.height) / counter.events, strip.lineRect(0).height());
    std::printf("platform %s; tray host %s; %d values, %d readings of one value each\n",
                qPrintable(QGuiApplication::platformName()), hostTray ? "registered" : "none (tray made, not shown)", Values,
                rounds);
    const auto report = [](const char *what, const Times &times) {
        std::printf("%s: main thread's processor median %.3f ms, worst %.3f ms; wall clock median %.3f ms, worst %.3f ms\n",
                    what, median(times.thread), *std::max_element(times.thread.begin(), times.thread.end()),
                    median(times.wall), *std::max_element(times.wall.begin(), times.wall.end()));
    };
    report("without tray and strip", without);
    report("with tray and strip   ", with);
    std::printf("the tray and the strip's share: %.3f ms of processor (median); target 1 ms\n",
                median(with.thread) - median(without.thread));
    return 0;
}
