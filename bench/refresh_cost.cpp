// What one refresh of a held quote page costs: the time from "Aggiorna" to the new page on
// screen, and the memory of the whole process tree at its peak during the refresh against
// the memory at rest before it. The page comes from the tests' page server on 127.0.0.1.
//
// refresh_cost [--rounds N] [--rows N] [--in-place]
//
// --in-place reloads the shown page where it is, as the program did before refreshes were
// prepared out of sight, to compare the two.

#include <algorithm>
#include <cstdio>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>

#include "EventWait.h"
#include "ProcessTreeMemory.h"
#include "common/ProcessStarter.h"
#include "core/MainWindow.h"
#include "panes/SilentPage.h"
#include "panes/WebEngineEnvironment.h"
#include "panes/WebEnginePane.h"
#include "support/PageServer.h"

namespace {

constexpr int TimeoutMs = 30000;
// Reading the memory of every process takes a few milliseconds of this thread, which the
// refresh also needs: the rounds that time it sample nothing, and every other round samples.
constexpr int SampleEveryMs = 50;

int argument(const QStringList &args, const QString &name, int fallback)
{
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args.at(at + 1).toInt() : fallback;
}

QByteArray quotePage(int rows, int version)
{
    QByteArray table;
    for (int i = 0; i < rows; ++i) {
        table += "<tr><td>Titolo " + QByteArray::number(i) + "</td><td>" + QByteArray::number(100 + i + version)
            + ",25</td><td>+0,4%</td></tr>";
    }
    return "<!DOCTYPE html><html><head><meta charset=utf-8></head><body><table>" + table + "</table></body></html>";
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

} // namespace

int main(int argc, char *argv[])
{
    WebEngineEnvironment::prepareProcess();
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const int rounds = argument(args, QStringLiteral("--rounds"), 20);
    const int rows = argument(args, QStringLiteral("--rows"), 600);
    const bool inPlace = args.contains(QStringLiteral("--in-place"));

    int version = 0;
    PageServer server([&](const QString &) { return quotePage(rows, ++version); });
    QTemporaryDir profile;
    if (!server.listen() || !profile.isValid())
        return 2;
    WebEngineEnvironment engine(profile.path());
    SystemProcessStarter starter;
    MainWindow window(engine, starter, server.url(QStringLiteral("/quote")), QDir::currentPath());
    window.show();
    auto *pane = qobject_cast<WebEnginePane *>(window.upperPane());

    bool loaded = false;
    QObject::connect(pane, &BrowserPane::loaded, [&] { loaded = true; });
    QObject::connect(pane->page(), &QWebEnginePage::loadFinished, [&] { loaded = true; });
    if (!waitFor([&] { return loaded; }, TimeoutMs))
        return 2;
    window.controls().upper.holdBox->click();
    QScrollBar *bar = window.controls().upper.holdBar;
    bar->setSliderDown(true);
    bar->setSliderPosition(500);
    bar->setSliderDown(false);

    QList<double> times, rest, peak;
    const qint64 self = QCoreApplication::applicationPid();
    for (int round = 0; round < 2 * rounds; ++round) {
        const bool sampling = round % 2 == 1;
        pause(1500);
        const qint64 atRest = ProcessTreeMemory::measure(self).pssKiB;
        qint64 highest = atRest;
        QTimer sampler;
        QObject::connect(&sampler, &QTimer::timeout,
                         [&] { highest = qMax(highest, ProcessTreeMemory::measure(self).pssKiB); });
        loaded = false;
        // The in-place reload is seen through the page's own signal, the refresh through the pane's.
        const auto finished = QObject::connect(pane->page(), &QWebEnginePage::loadFinished, [&] { loaded = inPlace; });
        QElapsedTimer clock;
        clock.start();
        if (sampling)
            sampler.start(SampleEveryMs);
        if (inPlace)
            pane->page()->triggerAction(QWebEnginePage::Reload);
        else
            window.controls().refresh.reloadNow->click();
        const bool ok = waitFor([&] { return loaded; }, TimeoutMs);
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        if (qEnvironmentVariableIsSet("QUOVADEX_BENCH_VERBOSE"))
            std::fprintf(stderr, "round %d: %.0f ms, %.1f MiB at rest\n", round, ms, atRest / 1024.0);
        QObject::disconnect(finished);
        pause(300);
        sampler.stop();
        if (!ok) {
            std::fprintf(stderr, "refresh_cost: round %d timed out\n", round);
            return 1;
        }
        // The first rounds fill the engine's caches.
        if (round < 4)
            continue;
        if (!sampling) {
            times << ms;
        } else {
            rest << atRest / 1024.0;
            peak << highest / 1024.0;
        }
    }
    std::printf("refresh_cost: %s, %d rows, %lld rounds: %.0f ms to the page on screen (median), "
                "%.1f MiB at rest, %.1f MiB at the peak (+%.1f MiB)\n",
                inPlace ? "in-place reload" : "out-of-sight refresh", rows, qlonglong(times.size() + rest.size()), median(times),
                median(rest), median(peak), median(peak) - median(rest));
    return 0;
}
