// What the store of followed values costs over a month of streaming values: 20 values read
// once a second through each trading day (9:00–17:35 in Italy, weekdays), each price a random
// walk that moves in about half the seconds. Every reading goes through ValueStore::record on
// its own, as a streaming page's reading does; at each day's first reading the upkeep is
// started, as FollowedValues starts it, and its steps run one after the other, each timed.
// Reported: the file's size (with its write-ahead log) at the end of each week and at the end,
// a reading's write (median and 99th percentile, those that wrote a row and all of them), and
// the longest upkeep step, both on the wall clock and in the thread's own processor time (on a
// shared machine the first also counts the time other processes held the core).
//
// Before the last --measured trading days, a second's 20 readings go in one record(), as one
// page holding the 20 values writes them: the same rows, far sooner. The writes are timed on
// the last days only, one reading a call.
//
// store_cost [--days N] [--values N] [--measured N]   (calendar days from Monday 2 February
//     2026; 33: 25 trading days, the first pruned as the month passes; 2 measured)

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <time.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include "market/MarketClock.h"
#include "watch/store/StoreUpkeep.h"
#include "watch/store/ValueStore.h"

namespace {

int argument(const QStringList &args, const QString &name, int fallback)
{
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args.at(at + 1).toInt() : fallback;
}

// Microsecond buckets: 13 million samples in a few hundred kilobytes.
class Histogram
{
public:
    void add(qint64 ns) { ++m_counts[std::min<qint64>(ns / 1000, Top)]; ++m_total; }
    double percentileUs(double share) const
    {
        const qint64 wanted = qint64(double(m_total) * share);
        qint64 seen = 0;
        for (qsizetype us = 0; us <= Top; ++us) {
            seen += m_counts[us];
            if (seen > wanted)
                return double(us);
        }
        return double(Top);
    }
    qint64 total() const { return m_total; }

private:
    static constexpr qint64 Top = 200000;
    QList<qint64> m_counts = QList<qint64>(Top + 1, 0);
    qint64 m_total = 0;
};

qint64 threadNs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

double mib(qint64 bytes)
{
    return double(bytes) / (1024.0 * 1024.0);
}

qint64 fileSize(const QString &path)
{
    return QFileInfo(path).size() + QFileInfo(path + QStringLiteral("-wal")).size();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int days = argument(args, QStringLiteral("--days"), 33);
    const int valueCount = argument(args, QStringLiteral("--values"), 20);
    const int measured = argument(args, QStringLiteral("--measured"), 2);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("valori.sqlite"));
    const QTimeZone rome = MarketClock::zone();
    const QDate firstDay(2026, 2, 2);

    ValueStore store(path);
    QList<qint64> ids;
    QList<double> prices;
    for (int v = 0; v < valueCount; ++v) {
        ids << store.follow({QStringLiteral("http://quotazioni.example/borsa/milano"), QStringLiteral("/TABLE:0/TBODY:0/TR#T%1").arg(v), 1},
                            QStringLiteral("Titolo %1").arg(v))
                   .value_or(0);
        prices << 5.0 + v;
    }
    std::mt19937 random(20260202);
    std::bernoulli_distribution moves(0.5);
    std::bernoulli_distribution up(0.5);

    Histogram written;
    Histogram all;
    qint64 worstStepNs = 0;
    qint64 steps = 0;
    qint64 stepRows = 0;
    qint64 peak = 0;
    qint64 worstStepCpuNs = 0;
    QList<qint64> stepNs;
    int tradingDays = 0;
    int allTradingDays = 0;
    for (int d = 0; d < days; ++d)
        allTradingDays += firstDay.addDays(d).dayOfWeek() <= 5 ? 1 : 0;
    QElapsedTimer clock;
    QElapsedTimer whole;
    whole.start();
    for (int d = 0; d < days; ++d) {
        const QDate day = firstDay.addDays(d);
        if (day.dayOfWeek() > 5)
            continue;
        ++tradingDays;
        const QDateTime open(day, QTime(9, 0), rome);
        StoreUpkeep &upkeep = store.upkeep();
        upkeep.start(open);
        for (;;) {
            const qint64 cpu = threadNs();
            clock.start();
            const bool more = upkeep.step();
            const qint64 ns = clock.nsecsElapsed();
            ++steps;
            stepRows += upkeep.lastStepRows();
            stepNs << ns;
            worstStepNs = std::max(worstStepNs, ns);
            worstStepCpuNs = std::max(worstStepCpuNs, threadNs() - cpu);
            if (!more)
                break;
        }
        const bool timed = tradingDays > allTradingDays - measured;
        for (int s = 0; s <= (8 * 60 + 35) * 60; ++s) {
            const QDateTime at = open.addSecs(s);
            QList<std::pair<qint64, ValueStore::Reading>> second;
            for (int v = 0; v < valueCount; ++v) {
                const bool moved = moves(random);
                if (moved)
                    prices[v] = std::round((prices[v] * (up(random) ? 1.0005 : 0.9995)) * 10000.0) / 10000.0;
                if (!timed) {
                    second.append({ids[v], {at, prices[v]}});
                    continue;
                }
                clock.start();
                if (!store.record({{ids[v], {at, prices[v]}}})) {
                    std::fprintf(stderr, "store_cost: a reading was not kept\n");
                    return 1;
                }
                const qint64 ns = clock.nsecsElapsed();
                all.add(ns);
                if (moved)
                    written.add(ns);
            }
            if (!store.record(second)) {
                std::fprintf(stderr, "store_cost: a second's readings were not kept\n");
                return 1;
            }
        }
        peak = std::max(peak, fileSize(path));
        if (day.dayOfWeek() == 5)
            std::printf("store_cost: %s, %d trading days: %.1f MiB\n", qPrintable(day.toString(Qt::ISODate)), tradingDays,
                        mib(fileSize(path)));
        std::fflush(stdout);
    }
    std::printf("store_cost: %d values, %d trading days of a reading a second in %.0f s; the last %d timed (%lld readings)\n",
                valueCount, tradingDays, double(whole.elapsed()) / 1000.0, measured, all.total());
    std::printf("store_cost: file at the end %.1f MiB (%.1f MB), largest at a day's end %.1f MiB\n", mib(fileSize(path)),
                double(fileSize(path)) / 1e6, mib(peak));
    std::printf("store_cost: a reading's write, changed: median %.0f us, 99th percentile %.0f us; all readings: median %.0f us, "
                "99th percentile %.0f us\n",
                written.percentileUs(0.5), written.percentileUs(0.99), all.percentileUs(0.5), all.percentileUs(0.99));
    std::sort(stepNs.begin(), stepNs.end());
    std::printf("store_cost: upkeep %lld steps, %lld rows read or removed; a step: median %.1f ms, 99th percentile %.1f ms, "
                "longest %.1f ms (its thread's processor time at most %.1f ms)\n",
                steps, stepRows, double(stepNs.value(stepNs.size() / 2)) / 1e6, double(stepNs.value(stepNs.size() * 99 / 100)) / 1e6,
                double(worstStepNs) / 1e6, double(worstStepCpuNs) / 1e6);
    return 0;
}
