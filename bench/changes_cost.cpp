// What finding the changes of a refresh costs: a page of 10,000 text cells, 500 of them
// changed at each load, from the moment the page is ready to the end of its snapshot and
// comparison, highlights included. The engine reports a load before the page's first layout;
// the page is ready when a script sent to it comes back.
//
// changes_cost [--rounds N] [--cells N] [--changed N]

#include <algorithm>
#include <cstdio>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include "EventWait.h"
#include "panes/webengine/ChangeHighlight.h"
#include "panes/webengine/SilentPage.h"
#include "panes/webengine/WebEngineEnvironment.h"
#include "support/PageServer.h"

namespace {

constexpr int TimeoutMs = 30000;

int argument(const QStringList &args, const QString &name, int fallback)
{
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args.at(at + 1).toInt() : fallback;
}

// Rows of ten cells; the changed ones are spread over the whole table.
QByteArray quotePage(int cells, int changed, int version)
{
    const int every = qMax(1, cells / qMax(1, changed));
    QByteArray table;
    for (int i = 0; i < cells; ++i) {
        if (i % 10 == 0)
            table += "<tr>";
        const int value = 1000 + i + (i % every == 1 ? version : 0);
        table += "<td>" + (i % 10 == 0 ? "Titolo " + QByteArray::number(i) : QByteArray::number(value) + ",25") + "</td>";
        if (i % 10 == 9)
            table += "</tr>";
    }
    return "<!DOCTYPE html><html lang=it><head><meta charset=utf-8></head><body><table>" + table + "</table></body></html>";
}

} // namespace

int main(int argc, char *argv[])
{
    WebEngineEnvironment::prepareProcess();
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const int rounds = argument(args, QStringLiteral("--rounds"), 20);
    const int cells = argument(args, QStringLiteral("--cells"), 10000);
    const int changed = argument(args, QStringLiteral("--changed"), 500);

    int version = 0;
    PageServer server([&](const QString &) { return quotePage(cells, changed, version); });
    QTemporaryDir profile;
    if (!server.listen() || !profile.isValid())
        return 2;
    WebEngineEnvironment engine(profile.path());
    QWebEngineView view;
    auto *page = new SilentPage(engine.profile(), &view);
    view.setPage(page);
    view.resize(822, 260);
    view.show();
    ChangeHighlight changes;

    QList<double> times, settles;
    for (int round = 0; round < rounds + 2; ++round) {
        bool ready = false;
        const auto finished = QObject::connect(page, &QWebEnginePage::loadFinished, [&] { ready = true; });
        ++version;
        page->load(QUrl(server.url(QStringLiteral("/quote"))));
        if (!waitFor([&] { return ready; }, TimeoutMs))
            return 1;
        QObject::disconnect(finished);
        // The engine reports the load before the page's first layout and paint; a script sent
        // now waits for them. The page is ready when an empty script comes back.
        QElapsedTimer settle;
        settle.start();
        bool echoedFirst = false;
        page->runJavaScript(QStringLiteral("0"), 1, [&](const QVariant &) { echoedFirst = true; });
        if (!waitFor([&] { return echoedFirst; }, TimeoutMs))
            return 1;
        const double settleMs = double(settle.nsecsElapsed()) / 1e6;
        bool done = false;
        QElapsedTimer clock;
        clock.start();
        changes.compare(page, [&] { done = true; });
        if (!waitFor([&] { return done; }, TimeoutMs))
            return 1;
        // The first load only takes the snapshot; the next fills the engine's caches.
        if (round >= 2) {
            times << double(clock.nsecsElapsed()) / 1e6;
            settles << settleMs;
        }
        pause(200);
    }
    std::sort(times.begin(), times.end());
    std::sort(settles.begin(), settles.end());
    std::printf("changes_cost: %d cells, %d changed, %lld rounds: %.1f ms from the page ready to the changes "
                "highlighted (median), worst %.1f ms; before that, %.1f ms from the load's end to the page "
                "ready (median); %.0f KiB kept\n",
                cells, changed, qlonglong(times.size()), times.at(times.size() / 2), times.last(),
                settles.at(settles.size() / 2), changes.keptSize() * 2 / 1024.0);
    return 0;
}
