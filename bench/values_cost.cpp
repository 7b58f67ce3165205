// What following values costs:
//   read   - reading 20 followed values of a page just loaded, as a refresh does before the swap;
//   stream - a page that changes 10 followed cells a second: processor time of the whole process
//            tree (program and page) with the values followed, against the same page not followed;
//   chart  - opening "Valori seguiti" on one value read once a minute for 8 hours, from the store;
//   store  - the database of 20 values read once a minute for 30 days;
//   watch  - the main thread's time for one reading with "Valori seguiti" open: 20 values with
//            8 hours of readings each, a streaming page's 10 readings a second fed to the watch
//            (no engine: the readings are what a pane would send).
//
// values_cost [--part read|stream|chart|store|watch] [--rounds N] [--seconds N]

#include <algorithm>
#include <cstdio>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <unistd.h>

#include "EventWait.h"
#include "panes/webengine/SilentPage.h"
#include "panes/webengine/WebEngineEnvironment.h"
#include "panes/webengine/ValueReader.h"
#include "ProcessTreeMemory.h"
#include "support/PageServer.h"
#include "panes/BackgroundReading.h"
#include "watch/FollowedValues.h"
#include "watch/window/FollowedValuesWindow.h"
#include "watch/ValueWatch.h"
#include "watch/window/FollowedValuesPart.h"
#include "watch/store/ValueStore.h"

namespace {

constexpr int TimeoutMs = 30000;

int argument(const QStringList &args, const QString &name, int fallback)
{
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args.at(at + 1).toInt() : fallback;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

// 200 rows of quotes; with ticking, the first ten prices change once a second each, at
// different moments, as a streaming page does.
QByteArray quotePage(int version, bool ticking)
{
    QByteArray rows;
    for (int i = 0; i < 200; ++i)
        rows += "<tr><td>Titolo " + QByteArray::number(i) + "</td><td id=p" + QByteArray::number(i) + ">"
            + QByteArray::number(10 + i + version) + ",25</td><td>+0,5%</td></tr>";
    const QByteArray ticker = ticking ? "<script>var n=0;setInterval(function(){var c=document.getElementById('p'+(n%10));"
                                        "c.textContent=(10+n%10)+','+(n%100);n++;},100);</script>"
                                      : "";
    return "<!DOCTYPE html><html lang=it><head><meta charset=utf-8></head><body><table>" + rows + "</table>" + ticker
        + "</body></html>";
}

QList<ValuePlace> places(const QString &address, int count)
{
    QList<ValuePlace> list;
    for (int i = 0; i < count; ++i)
        list.append({address, QStringLiteral("/TABLE:0/TBODY:0/TR#Titolo %1").arg(i * 7), 1});
    return list;
}

// Clock ticks of this process and every process below it (the engine's helpers).
qint64 treeTicks()
{
    qint64 total = 0;
    for (const qint64 pid : ProcessTreeMemory::descendantsAndSelf(getpid())) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() >= 13)
            total += fields.at(11).toLongLong() + fields.at(12).toLongLong();
    }
    return total;
}

bool load(QWebEnginePage *page, const QString &url)
{
    bool ready = false;
    const auto finished = QObject::connect(page, &QWebEnginePage::loadFinished, [&] { ready = true; });
    page->load(QUrl(url));
    const bool loaded = waitFor([&] { return ready; }, TimeoutMs);
    QObject::disconnect(finished);
    bool echoed = false;
    page->runJavaScript(QStringLiteral("0"), 1, [&](const QVariant &) { echoed = true; });
    return loaded && waitFor([&] { return echoed; }, TimeoutMs);
}

int readCost(QWebEnginePage *page, PageServer &server, int &version, int rounds)
{
    ValueReader reader;
    const QString url = server.url(QStringLiteral("/quote"));
    reader.setPlaces(places(url, 20));
    QList<double> times;
    int read = -1;
    QObject::connect(&reader, &ValueReader::valuesRead, &reader, [&](const QList<ValueReading> &readings) {
        read = int(std::count_if(readings.cbegin(), readings.cend(), [](const ValueReading &r) { return r.number.has_value(); }));
    });
    for (int round = 0; round < rounds + 2; ++round) {
        ++version;
        if (!load(page, url))
            return 1;
        QElapsedTimer clock;
        clock.start();
        read = -1;
        reader.report(page);
        if (!waitFor([&] { return read >= 0; }, TimeoutMs) || read != 20)
            return 1;
        if (round >= 2)
            times << double(clock.nsecsElapsed()) / 1e6;
    }
    std::printf("values_cost read: 20 values on a page of 200 rows, %lld rounds: %.1f ms added to the refresh "
                "(median), worst %.1f ms\n",
                qlonglong(times.size()), median(times), *std::max_element(times.cbegin(), times.cend()));
    return 0;
}

int streamCost(QWebEnginePage *page, PageServer &server, int seconds)
{
    const QString url = server.url(QStringLiteral("/ticking"));
    const long hz = sysconf(_SC_CLK_TCK);
    ValueReader reader;
    int readings = 0;
    QObject::connect(&reader, &ValueReader::changed, &reader, [&](QWebEnginePage *changed) { reader.report(changed); });
    QObject::connect(&reader, &ValueReader::valuesRead, &reader, [&](const QList<ValueReading> &) { ++readings; });
    QObject::connect(static_cast<SilentPage *>(page), &SilentPage::consoleMessage, &reader,
                     [&](const QString &message) { reader.consoleMessage(page, message); });
    double percent[2] = {0, 0};
    for (int followed = 0; followed < 2; ++followed) {
        reader.setPlaces({});
        if (followed) {
            QList<ValuePlace> ten;
            for (int i = 0; i < 10; ++i)
                ten.append({url, QStringLiteral("/TABLE:0/TBODY:0/TR#Titolo %1").arg(i), 1});
            reader.setPlaces(ten);
        }
        if (!load(page, url))
            return 1;
        reader.observe(page);
        pause(3000);
        const qint64 before = treeTicks();
        QElapsedTimer clock;
        clock.start();
        pause(seconds * 1000);
        percent[followed] = 100.0 * double(treeTicks() - before) / hz / (double(clock.elapsed()) / 1000.0);
    }
    std::printf("values_cost stream: page changing 10 cells a second, %d s each: %.2f %% of a core not followed, "
                "%.2f %% followed (%+.2f points; %d readings taken)\n",
                seconds, percent[0], percent[1], percent[1] - percent[0], readings);
    return 0;
}

int chartCost(int rounds)
{
    QTemporaryDir dir;
    ValueStore store(dir.filePath(QStringLiteral("v.sqlite")));
    const qint64 id = store.follow({QStringLiteral("http://q.example/"), QStringLiteral("/T"), 1}, QStringLiteral("ENI"))
                          .value_or(0);
    const QDateTime start(QDate::currentDate(), QTime(9, 0));
    QList<std::pair<qint64, ValueStore::Reading>> day;
    for (int minute = 0; minute < 480; ++minute)
        day.append({id, {start.addSecs(60 * minute), 14 + (minute % 37) / 100.0}});
    store.record(day);
    store.setLevels(id, {14.3, 14.0, 0.2});
    // The values are there before the window is opened, as in the program.
    FollowedValues values(dir.filePath(QStringLiteral("v.sqlite")));
    QList<double> times;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer clock;
        clock.start();
        FollowedValuesPart part(values);
        part.showWindow();
        part.window().repaint();
        QApplication::processEvents();
        times << double(clock.nsecsElapsed()) / 1e6;
    }
    std::printf("values_cost chart: 480 readings (8 hours, one a minute), %d openings: %.1f ms to the window "
                "painted (median), worst %.1f ms\n",
                rounds, median(times), *std::max_element(times.cbegin(), times.cend()));
    return 0;
}

int storeSize()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("v.sqlite"));
    QElapsedTimer clock;
    clock.start();
    {
        ValueStore store(path);
        QList<qint64> ids;
        for (int v = 0; v < 20; ++v)
            ids << store.follow({QStringLiteral("http://quotazioni.example/borsa/milano"),
                                 QStringLiteral("/DIV:2/TABLE:0/TBODY:0/TR#Titolo %1").arg(v), 1},
                                QStringLiteral("Titolo %1").arg(v))
                       .value_or(0);
        const QDateTime start = QDateTime::currentDateTime().addDays(-30);
        // An hour of readings per transaction; the program writes each refresh's.
        for (int hour = 0; hour < 30 * 24; ++hour) {
            QList<std::pair<qint64, ValueStore::Reading>> batch;
            for (int minute = 0; minute < 60; ++minute) {
                for (int v = 0; v < 20; ++v)
                    batch.append({ids.at(v), {start.addSecs((hour * 60 + minute) * 60), 10 + v + (minute % 50) * 0.0137}});
            }
            if (!store.record(batch))
                return 1;
        }
    }
    qint64 bytes = 0;
    for (const QFileInfo &file : QDir(dir.path()).entryInfoList(QDir::Files))
        bytes += file.size();
    std::printf("values_cost store: 20 values, one reading a minute for 30 days (864000 readings): %.1f MiB on disk, "
                "written in %.1f s\n",
                double(bytes) / (1024 * 1024), double(clock.elapsed()) / 1000.0);
    return 0;
}

// Reads nothing: the schedule and lateness of reading out of sight run as in the program, the
// hidden pages are left out of the figure.
class NoReading final : public BackgroundReading
{
public:
    void read(const QString &, const QList<ValuePlace> &) override {}
};

// sites 1: a streaming page changes ten of the values, one reading at a time; more: the values
// are spread over that many sites, and each step is one page read with all of its values, the
// sites in turn, with reading out of sight running beside it.
int watchCost(int rounds, int sites)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("v.sqlite"));
    const QDateTime start = QDateTime::currentDateTime().addSecs(-8 * 3600);
    QList<ValuePlace> followed;
    {
        ValueStore store(path);
        QList<std::pair<qint64, ValueStore::Reading>> day;
        for (int v = 0; v < 20; ++v) {
            const QString address = QStringLiteral("http://quotazioni%1.example/borsa/milano").arg(v % sites);
            followed.append({address, QStringLiteral("/TABLE:0/TBODY:0/TR#Titolo %1").arg(v), 1});
            const qint64 id = store.follow(followed.last(), QStringLiteral("Titolo %1").arg(v)).value_or(0);
            for (int minute = 0; minute < 480; ++minute)
                day.append({id, {start.addSecs(60 * minute), 10 + v + (minute % 37) / 100.0}});
        }
        if (!store.record(day))
            return 1;
    }
    ValueWatch watch(path, [] { return QDBusConnection(QStringLiteral("none")); });
    NoReading reading;
    if (sites > 1)
        watch.readInBackground(reading);
    watch.window().showWindow();
    QApplication::processEvents();
    // The page changes ten of the values, one every tenth of a second; the first is the one shown.
    const QDateTime streaming = start.addSecs(8 * 3600);
    int n = 0;
    const auto next = [&] {
        QList<ValueReading> page;
        for (int v = sites > 1 ? n % sites : n % 10; v < 20; v += sites > 1 ? sites : 20)
            page.append({followed.at(v), 10 + v + (n % 53) / 100.0, QString(), QString(), streaming.addMSecs(100 * n), QString()});
        ++n;
        watch.values().take(page);
        QApplication::processEvents();
    };
    // Back to back first, as the figure before the watch was split was taken (a reading then
    // took longer than the tenth of a second to the next).
    QList<double> times;
    for (int i = 0; i < rounds * 10; ++i) {
        QElapsedTimer clock;
        clock.start();
        next();
        times << double(clock.nsecsElapsed()) / 1e6;
    }
    // Then at the page's pace, each reading charged with all the main thread does until the
    // next, the store's writes included: the time the thread is awake, not waiting for events.
    QElapsedTimer awake;
    double busy = 0;
    QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance();
    QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, [&] { awake.start(); });
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [&] {
        if (awake.isValid())
            busy += double(awake.nsecsElapsed()) / 1e6;
        awake.invalidate();
    });
    QList<double> paced;
    for (int i = 0; i < rounds * 10; ++i) {
        QElapsedTimer clock;
        clock.start();
        busy = 0;
        next();
        const double own = double(clock.nsecsElapsed()) / 1e6;
        pause(int(qMax<qint64>(1, 100 - clock.elapsed())));
        paced << own + busy;
    }
    double total = 0;
    for (const double t : std::as_const(paced))
        total += t;
    std::printf("values_cost watch: \"Valori seguiti\" open, 20 values of 8 hours each on %d site(s), %lld %s back to back: "
                "%.2f ms of the main thread each (median), worst %.1f ms; at 10 a second: %.2f ms (median), "
                "%.2f ms (mean), worst %.1f ms\n",
                sites, qlonglong(times.size()), sites > 1 ? "pages" : "readings", median(times), *std::max_element(times.cbegin(), times.cend()), median(paced),
                total / double(paced.size()), *std::max_element(paced.cbegin(), paced.cend()));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    WebEngineEnvironment::prepareProcess();
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--part"));
    const QString part = at >= 0 && at + 1 < args.size() ? args.at(at + 1) : QStringLiteral("read");
    const int rounds = argument(args, QStringLiteral("--rounds"), 20);
    if (part == QLatin1String("chart"))
        return chartCost(rounds);
    if (part == QLatin1String("store"))
        return storeSize();
    if (part == QLatin1String("watch"))
        return watchCost(argument(args, QStringLiteral("--seconds"), 60), qMax(1, argument(args, QStringLiteral("--sites"), 1)));

    int version = 0;
    PageServer server([&](const QString &path) { return quotePage(version, path.contains(QLatin1String("ticking"))); });
    QTemporaryDir profile;
    if (!server.listen() || !profile.isValid())
        return 2;
    WebEngineEnvironment engine(profile.path());
    QWebEngineView view;
    auto *page = new SilentPage(engine.profile(), &view);
    view.setPage(page);
    view.resize(822, 400);
    view.show();
    if (part == QLatin1String("stream"))
        return streamCost(page, server, argument(args, QStringLiteral("--seconds"), 60));
    return readCost(page, server, version, rounds);
}
