// How long a held page is seen away from its offset when it loads again. Builds the real
// window with real panes, holds a long page, then loads it again many times the ways a user
// does and, for each load, measures from the page's first paint until the first frame that
// shows it at the held offset. Frames and scroll positions are recorded inside the page, so
// the figure is what the screen showed, not when the program asked for it.
//
// A refresh prepares the page out of sight and shows it whole: for it, the frame the user
// first sees is the one the view holds when the pane swaps it in, not the page's first paint.
//
// scroll_hold --url ADDRESS [--rounds N] [--offset PX]
//
// QUOVADEX_BENCH_VERBOSE=1 prints every round, QUOVADEX_BENCH_FRAMES=1 each load's frame record.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <memory>
#include <optional>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

#include "aids/PaneHold.h"
#include "common/ProcessStarter.h"
#include "core/MainWindow.h"
#include "panes/SilentPage.h"
#include "panes/WebEngineEnvironment.h"
#include "panes/WebEnginePane.h"

namespace {

constexpr int LoadTimeoutMs = 30000;
// How long after the load event frames are still recorded: late layout, the engine's own
// scroll restore and the hold's ticks all happen well within it.
constexpr int RecordAfterLoadMs = 2000;

// Runs in the page's own world, where requestAnimationFrame and the paint timing entries
// live; the program's scripts run in another world and never see it. Other callbacks of the
// same frame (a hold script of the program's among them) may still move the page after this
// one, and layout may clamp it, so the position is read in the first task after the frame:
// that is what the frame showed.
const char *const ProbeSource = R"JS(
(function () {
    var probe = { frames: [], ready: -1, load: -1, done: false };
    window.__quovadexProbe = probe;
    var stopAt = Infinity;
    function frame(now) {
        now = performance.now();
        setTimeout(function () {
            var e = document.scrollingElement;
            probe.frames.push([now, window.scrollY, e ? e.scrollHeight : 0]);
        }, 0);
        if (now < stopAt) requestAnimationFrame(frame); else setTimeout(function () { probe.done = true; }, 0);
    }
    requestAnimationFrame(frame);
    document.addEventListener('DOMContentLoaded', function () { probe.ready = performance.now(); });
    window.addEventListener('load', function () {
        probe.load = performance.now();
        stopAt = probe.load + %1;
    });
})();
)JS";

const char *const ReadProbe = R"JS(
(function () {
    var p = window.__quovadexProbe;
    if (!p || !p.done) return '';
    var paint = {};
    performance.getEntriesByType('paint').forEach(function (e) { paint[e.name] = e.startTime; });
    return JSON.stringify({ frames: p.frames, ready: p.ready, load: p.load, paint: paint, swap: p.swap });
})()
)JS";

struct Round
{
    bool measured = false;
    double delayMs = 0;       // first sight until the first frame at the offset
    double paintedAt = 0;     // scroll offset of the frame first seen
    bool reached = false;     // stood at the offset within the recording
    bool leftAgain = false;   // moved away after standing at the offset
    QString problem;
};

class HoldBench
{
public:
    HoldBench(MainWindow &window, const QString &url, int offset)
        : m_window(window)
        , m_pane(qobject_cast<WebEnginePane *>(window.upperPane()))
        , m_url(url)
        , m_offset(offset)
    {
        QWebEngineScript probe;
        probe.setName(QStringLiteral("bench-frame-probe"));
        probe.setInjectionPoint(QWebEngineScript::DocumentCreation);
        probe.setWorldId(QWebEngineScript::MainWorld);
        probe.setRunsOnSubFrames(false);
        probe.setSourceCode(QString::fromLatin1(ProbeSource).arg(RecordAfterLoadMs));
        // In the profile, so that the page a refresh prepares out of sight has it too.
        m_pane->page()->profile()->scripts()->insert(probe);

    }

    bool start()
    {
        // Form_Load already asked for the first argument; the probe is only in the next loads.
        if (!waitForLoad([] {}))
            return false;
        m_window.controls().upper.holdBox->click();
        dragThumb(m_offset);
        return waitFor([this] { return scrollY() == m_offset; }, LoadTimeoutMs);
    }

    // Aggiorna on a page that is held and at its offset.
    Round aggiorna()
    {
        if (!waitFor([this] { return scrollY() == m_offset; }, 5000))
            return failed(QStringLiteral("not at the offset before the load"));
        return measure([this] { m_window.controls().refresh.reloadNow->click(); }, true);
    }

    // GO with the held page's address typed in: a new navigation, nothing to restore.
    Round go(int round)
    {
        QUrl url(m_url);
        QUrlQuery query(url);
        query.addQueryItem(QStringLiteral("go"), QString::number(round));
        url.setQuery(query);
        return measure([this, url] {
            m_window.controls().address->setText(url.toString());
            m_window.controls().upper.go->click();
        });
    }

    // The reader clicks into the page (the hold is suspended), scrolls a little, reads for a
    // while, and Aggiorna fires: it engages the hold again and reloads in the same step.
    Round aggiornaAfterReading()
    {
        QWidget *proxy = m_pane->view()->focusProxy();
        if (!proxy)
            return failed(QStringLiteral("page has no focus widget"));
        // Only focus coming into the page suspends the hold, so it has to leave it first.
        QLineEdit *box = m_window.controls().address;
        box->setFocus(Qt::OtherFocusReason);
        if (!waitFor([box] { return QApplication::focusWidget() == box; }, 5000))
            return failed(QStringLiteral("focus did not leave the page"));
        QTest::mouseClick(proxy, Qt::LeftButton, {}, QPoint(20, 20));
        if (!waitFor([this] { return m_window.findChildren<PaneHold *>().at(0)->hold().state() == ScrollHold::State::Suspended; }, 5000))
            return failed(QStringLiteral("click into the page did not suspend the hold"));
        const int readerOffset = m_offset / 3;
        evaluate(QStringLiteral("window.scrollTo(0, %1)").arg(readerOffset));
        if (!waitFor([&] { return scrollY() == readerOffset; }, 5000))
            return failed(QStringLiteral("reader's scroll did not land"));
        QTest::qWait(1500);
        return measure([this] { m_window.controls().refresh.reloadNow->click(); }, true);
    }

private:
    void dragThumb(int position)
    {
        QScrollBar *bar = m_window.controls().upper.holdBar;
        bar->setSliderDown(true);
        bar->setSliderPosition(position);
        bar->setSliderDown(false);
    }

    static bool waitFor(const std::function<bool()> &done, int timeoutMs)
    {
        return QTest::qWaitFor(done, timeoutMs);
    }

    std::optional<QVariant> evaluate(const QString &script)
    {
        // Shared with the callback, so an answer after the time-out writes to live memory.
        auto answer = std::make_shared<std::optional<QVariant>>();
        m_pane->page()->runJavaScript(script, QWebEngineScript::MainWorld,
                                      [answer](const QVariant &value) { *answer = value; });
        if (!waitFor([&answer] { return answer->has_value(); }, 10000))
            return std::nullopt;
        return *answer;
    }

    int scrollY()
    {
        const auto y = evaluate(QStringLiteral("window.scrollY"));
        return y ? qRound(y->toDouble()) : -1;
    }

    bool waitForLoad(const std::function<void()> &trigger, double *shownAt = nullptr)
    {
        bool finished = false;
        bool ok = false;
        // The pane's own signals: a refresh shows a new page once it has loaded. The position
        // the engine reports comes with the last frame it delivered, which is the frame the
        // swap puts on screen.
        const auto loaded = QObject::connect(m_pane, &BrowserPane::loaded, [&] {
            finished = ok = true;
            if (shownAt) {
                *shownAt = m_pane->page()->scrollPosition().y();
                m_pane->page()->runJavaScript(QStringLiteral("if(window.__quovadexProbe)__quovadexProbe.swap=performance.now();"),
                                              QWebEngineScript::MainWorld);
            }
        });
        const auto failed = QObject::connect(m_pane, &BrowserPane::loadFailed, [&] { finished = true; });
        trigger();
        waitFor([&] { return finished; }, LoadTimeoutMs);
        QObject::disconnect(loaded);
        QObject::disconnect(failed);
        return finished && ok;
    }

    static Round failed(const QString &problem)
    {
        Round r;
        r.problem = problem;
        return r;
    }

    Round measure(const std::function<void()> &trigger, bool refresh = false)
    {
        double shownAt = -1;
        if (!waitForLoad(trigger, refresh ? &shownAt : nullptr))
            return failed(QStringLiteral("load failed or timed out"));
        QString json;
        waitFor([&] {
            const auto answer = evaluate(QString::fromLatin1(ReadProbe));
            json = answer ? answer->toString() : QString();
            return !json.isEmpty();
        }, RecordAfterLoadMs + 10000);
        if (json.isEmpty())
            return failed(QStringLiteral("no frame record"));
        if (qEnvironmentVariableIsSet("QUOVADEX_BENCH_FRAMES"))
            std::fprintf(stderr, "%s\n", qPrintable(json));
        return evaluateRecord(QJsonDocument::fromJson(json.toUtf8()).object(), shownAt);
    }

    Round evaluateRecord(const QJsonObject &record, double shownAt) const
    {
        const QJsonObject paint = record.value(QStringLiteral("paint")).toObject();
        // The first paint of the page's content: a held page that loads is kept out of sight
        // until it stands at the offset, and paints nothing of itself before.
        const double firstPaint = paint.value(QStringLiteral("first-contentful-paint"))
                                      .toDouble(paint.value(QStringLiteral("first-paint")).toDouble(-1));
        const QJsonArray frames = record.value(QStringLiteral("frames")).toArray();
        if (firstPaint < 0 || frames.isEmpty())
            return failed(QStringLiteral("no paint entry or no frames"));

        auto time = [&](qsizetype i) { return frames.at(i).toArray().at(0).toDouble(); };
        auto y = [&](qsizetype i) { return frames.at(i).toArray().at(1).toDouble(); };
        auto atOffset = [&](qsizetype i) { return std::abs(y(i) - m_offset) < 1.0; };

        // A refresh: seen first as the view held it at the swap, then every later frame.
        if (shownAt >= 0) {
            const double swap = record.value(QStringLiteral("swap")).toDouble(-1);
            if (swap < 0)
                return failed(QStringLiteral("no swap time"));
            Round r;
            r.measured = true;
            r.paintedAt = shownAt;
            r.reached = std::abs(shownAt - m_offset) < 1.0;
            for (qsizetype i = 0; i < frames.size(); ++i) {
                if (time(i) < swap)
                    continue;
                if (!r.reached && atOffset(i)) {
                    r.reached = true;
                    r.delayMs = time(i) - swap;
                }
                r.leftAgain = r.leftAgain || (r.reached && !atOffset(i));
            }
            if (!r.reached)
                r.delayMs = std::numeric_limits<double>::infinity();
            return r;
        }

        // A frame's callbacks run before it is painted; the paint entry carries the time the
        // frame reached the screen. The first paint therefore showed the last frame begun
        // at or before it.
        qsizetype painted = 0;
        for (qsizetype i = 0; i < frames.size() && time(i) <= firstPaint; ++i)
            painted = i;

        Round r;
        r.measured = true;
        r.paintedAt = y(painted);
        qsizetype first = -1;
        for (qsizetype i = painted; i < frames.size(); ++i) {
            if (atOffset(i)) {
                first = i;
                break;
            }
        }
        if (first < 0) {
            r.delayMs = std::numeric_limits<double>::infinity();
            return r;
        }
        r.reached = true;
        r.delayMs = time(first) - time(painted);
        for (qsizetype i = first; i < frames.size(); ++i)
            r.leftAgain = r.leftAgain || !atOffset(i);
        return r;
    }

    MainWindow &m_window;
    WebEnginePane *m_pane;
    QString m_url;
    int m_offset;
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void report(const char *scenario, const std::vector<Round> &rounds, int offset)
{
    std::vector<double> delays;
    int atOffset = 0, nudged = 0, away = 0, missed = 0, leftAgain = 0, failures = 0;
    for (const Round &r : rounds) {
        if (!r.measured) {
            ++failures;
            continue;
        }
        delays.push_back(r.delayMs);
        const double distance = std::abs(r.paintedAt - offset);
        (distance < 1 ? atOffset : distance <= 2 ? nudged : away) += 1;
        missed += r.reached ? 0 : 1;
        leftAgain += r.leftAgain ? 1 : 0;
    }
    if (delays.empty()) {
        std::printf("hold %-24s no round measured (%d failed)\n", scenario, failures);
        return;
    }
    const double worst = *std::max_element(delays.begin(), delays.end());
    std::printf("hold %-24s rounds %3zu   median %6.1f ms   worst %6.1f ms   first paint: at the offset %d,"
                " 1-2 px off %d, further off %d   never at it %d   left it again %d   failed %d\n",
                scenario, delays.size(), median(delays), worst, atOffset, nudged, away, missed, leftAgain, failures);
}

} // namespace

int main(int argc, char *argv[])
{
    WebEngineEnvironment::prepareProcess();
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quovadex"));
    QApplication::setApplicationName(QStringLiteral("quovadex3-bench"));

    QString url;
    int rounds = 30;
    int offset = 500;
    QStringList args = QApplication::arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args.at(i) == QLatin1String("--url"))
            url = args.at(i + 1);
        else if (args.at(i) == QLatin1String("--rounds"))
            rounds = std::clamp(args.at(i + 1).toInt(), 1, 500);
        else if (args.at(i) == QLatin1String("--offset"))
            offset = std::clamp(args.at(i + 1).toInt(), 1, 1000);
    }
    if (url.isEmpty()) {
        std::fputs("usage: scroll_hold --url ADDRESS [--rounds N] [--offset PX]\n"
                   "The address must serve a page longer than the offset plus the pane's height.\n",
                   stderr);
        return 2;
    }

    QTemporaryDir profile;
    WebEngineEnvironment webEngine(profile.path());
    SystemProcessStarter starter;
    MainWindow window(webEngine, starter, url, QDir::currentPath());
    window.show();

    HoldBench bench(window, url, offset);
    if (!bench.start()) {
        std::fputs("scroll_hold: the page did not load or could not be held\n", stderr);
        return 1;
    }

    const bool verbose = qEnvironmentVariableIsSet("QUOVADEX_BENCH_VERBOSE");
    auto run = [&](const char *scenario, const std::function<Round(int)> &once) {
        std::vector<Round> results;
        for (int i = 0; i < rounds; ++i) {
            results.push_back(once(i));
            const Round &r = results.back();
            if (verbose || !r.problem.isEmpty() || r.delayMs > 0)
                std::fprintf(stderr, "  %s round %d: %s\n", scenario, i + 1,
                             r.measured ? qPrintable(QStringLiteral("first paint at %1 px, at %2 px after %3 ms%4")
                                                         .arg(r.paintedAt)
                                                         .arg(offset)
                                                         .arg(r.delayMs, 0, 'f', 1)
                                                         .arg(r.leftAgain ? QStringLiteral(", left it again")
                                                                          : QString()))
                                        : qPrintable(r.problem));
        }
        report(scenario, results, offset);
        std::fflush(stdout);
    };
    run("Aggiorna, held page", [&](int) { return bench.aggiorna(); });
    run("GO to the held page", [&](int i) { return bench.go(i); });
    run("Aggiorna after reading", [&](int) { return bench.aggiornaAfterReading(); });
    return 0;
}
