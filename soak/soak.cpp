// A day of watching quotes in a few minutes: the real main window with real web panes,
// both pointed at a page on 127.0.0.1 that changes at every request, both refreshed by
// "Aggiorna" and both held at a scroll offset, pressed every half second. The site flaps:
// in every run of 30 presses it is down for the last 10, refusing connections, answering
// 503 or cutting pages short in turn. A refresh while it is down must fail and leave the
// last page on screen at its offset; every refresh while it is up must succeed.
//
// Reports the memory of the whole process tree at the start and the end, the reloads that did not complete and those that ended away from the held offset.
// Exits with 0 when the memory after the warm-up grows by less than 20 MiB and no reload is lost
// or off its offset, 1 when not, 2 when the run could not be set up.
//
//   SOAK_PRESSES      number of "Aggiorna" presses (500)
//   SOAK_INTERVAL_MS  time between presses (500)
//   SOAK_WARMUP       presses before the memory baseline window begins (50)
//   SOAK_VERBOSE      report every reload

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <memory>

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEnginePage>

#include "ChangingPageServer.h"
#include "ProcessTreeMemory.h"
#include "common/ProcessStarter.h"
#include "core/MainWindow.h"
#include "panes/ChangeHighlight.h"
#include "panes/SilentPage.h"
#include "panes/WebEngineEnvironment.h"
#include "panes/WebEnginePane.h"

namespace {

constexpr qint64 GrowthLimitKiB = 20 * 1024;
// The last reload is checked this long after it finished, when the run ends.
constexpr int LastCheckDelayMs = 500;
constexpr int SetUpTimeoutMs = 120000;
constexpr int DrainTimeoutMs = 30000;
constexpr int Rows = 600;
constexpr int SampleEvery = 10;
// Presses whose memory samples are compared at the start and the end.
constexpr int Window = 50;

int envInt(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}

void say(const QString &text)
{
    std::fprintf(stdout, "soak: %s\n", qPrintable(text));
    std::fflush(stdout);
}

// Other work on the machine shows in reload times; the report says how busy it was.
QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("unknown");
    return QString::fromLatin1(file.readAll().split(' ').mid(0, 3).join(' '));
}

QString mebibytes(qint64 kib)
{
    return QString::number(double(kib) / 1024.0, 'f', 1) + QStringLiteral(" MiB");
}

class Soak final : public QObject
{
    Q_DISABLE_COPY_MOVE(Soak)
public:
    Soak(WebEngineEnvironment &engine, ChangingPageServer &server, int presses, int intervalMs)
        : m_server(server)
        , m_presses(presses)
        , m_window(engine, m_starter, QString(), QDir::currentPath())
    {
        m_panes[0].pane = static_cast<WebEnginePane *>(m_window.upperPane());
        m_panes[1].pane = static_cast<WebEnginePane *>(m_window.lowerPane());
        m_panes[0].offset = 500;
        m_panes[1].offset = 300;
        for (PaneState &p : m_panes) {
            // The pane's own signals: a refresh shows a page of its own once it has loaded.
            connect(p.pane, &BrowserPane::loaded, this, [this, &p] { loadFinished(p, true); });
            connect(p.pane, &BrowserPane::loadFailed, this, [this, &p] { loadFinished(p, false); });
        }
        m_pressTimer.setInterval(intervalMs);
        connect(&m_pressTimer, &QTimer::timeout, this, &Soak::press);
    }

    void start()
    {
        m_window.show();
        // Both panes go to the page the way a user sends them there: address box and "GO".
        for (int i = 0; i < 2; ++i) {
            controls().address->setText(m_server.url(QStringLiteral("/quotazioni?pane=%1").arg(i + 1)));
            m_panes[i].awaiting = true;
            (i == 0 ? controls().upper.go : controls().lower.go)->click();
        }
        m_clock.start();
        waitFor([this] { return !m_panes[0].awaiting && !m_panes[1].awaiting; }, SetUpTimeoutMs,
                [this] { engageHolds(); }, QStringLiteral("the first loads"));
    }

    int exitCode() const { return m_exitCode; }

private:
    struct PaneState
    {
        WebEnginePane *pane = nullptr;
        int offset = 0;
        bool awaiting = false;
        bool atOffset = false;
        int lastPage = 0;
        // A reload has finished whose page has not been looked at yet, and the press it
        // belongs to.
        bool toCheck = false;
        // The reload to check failed while the site was down: the page shown must be the
        // last one that loaded.
        bool checkKept = false;
        int keptOnFailure = 0;
        int lostOnFailure = 0;
        int pressOfLoad = 0;
        int completed = 0;
        int failed = 0;
        int superseded = 0;
        int stale = 0;
        int offOffset = 0;
        int unchecked = 0;
        int checksInFlight = 0;
        QElapsedTimer sincePress;
        QList<qint64> loadMs;
        QStringList firstProblems;
    };

    const MainControls &controls() const { return m_window.controls(); }

    // Polls condition every 100 ms; runs next when it holds, or ends the run when it has not
    // held within timeoutMs.
    void waitFor(std::function<bool()> condition, int timeoutMs, std::function<void()> next, const QString &what)
    {
        auto *poll = new QTimer(this);
        auto started = std::make_shared<QElapsedTimer>();
        started->start();
        poll->setInterval(100);
        connect(poll, &QTimer::timeout, this, [=, this] {
            if (condition()) {
                poll->deleteLater();
                next();
            } else if (started->elapsed() > timeoutMs) {
                poll->deleteLater();
                say(QStringLiteral("gave up waiting for %1 after %2 s").arg(what).arg(timeoutMs / 1000));
                m_exitCode = 2;
                QCoreApplication::exit(m_exitCode);
            }
        });
        poll->start();
    }

    void engageHolds()
    {
        // "Br1" and "Br2": both panes take part in "Aggiorna".
        for (QCheckBox *chosen : controls().refresh.chosen) {
            if (!chosen->isChecked())
                chosen->click();
        }
        // Hold box ticked, then the thumb dragged to the offset, as a user does it.
        for (int i = 0; i < 2; ++i) {
            const MainControls::PaneColumn &column = i == 0 ? controls().upper : controls().lower;
            column.holdBox->click();
            QScrollBar *bar = column.holdBar;
            bar->setSliderDown(true);
            bar->setSliderPosition(m_panes[i].offset);
            bar->setSliderDown(false);
        }
        waitFor(
            [this] {
                bool both = true;
                for (PaneState &p : m_panes) {
                    if (!p.atOffset) {
                        both = false;
                        p.pane->page()->runJavaScript(QStringLiteral("window.scrollY"), [&p](const QVariant &y) {
                            p.atOffset = y.toInt() == p.offset;
                        });
                    }
                }
                return both;
            },
            SetUpTimeoutMs, [this] { beginPressing(); }, QStringLiteral("both pages at their offsets"));
    }

    void beginPressing()
    {
        // Let the engine finish whatever the first loads started before the first sample.
        QTimer::singleShot(2000, this, [this] { sampleMemory([this](ProcessTreeMemory::Sample start) {
            m_start = start;
            say(QStringLiteral("set up in %1 s; load average %2; start: %3 in %4 processes; %5 presses every %6 ms")
                    .arg(m_clock.elapsed() / 1000)
                    .arg(loadAverage())
                    .arg(mebibytes(m_start.pssKiB))
                    .arg(m_start.processes)
                    .arg(m_presses)
                    .arg(m_pressTimer.interval()));
            m_clock.restart();
            m_pressTimer.start();
        }); });
    }

    // Collects the pages' garbage first, so that a sample shows what is kept and not how far
    // the script engine happened to be from its next collection (run with --expose-gc).
    void sampleMemory(std::function<void(ProcessTreeMemory::Sample)> done)
    {
        auto answers = std::make_shared<int>(0);
        auto measured = std::make_shared<bool>(false);
        auto measure = [done, measured] {
            if (*measured)
                return;
            *measured = true;
            done(ProcessTreeMemory::measure(QCoreApplication::applicationPid()));
        };
        for (PaneState &p : m_panes) {
            p.pane->page()->runJavaScript(QStringLiteral("if (window.gc) gc(); 0"), [answers, measure](const QVariant &) {
                if (++*answers == 2)
                    measure();
            });
        }
        QTimer::singleShot(2000, this, measure);
    }

    void press()
    {
        // Where each page ended up is read just before the next press, when the reader has
        // been looking at it for the rest of the interval; the script reaches the page before
        // the reload that follows replaces it.
        checkFinishedReloads();
        if (m_pressed == m_presses) {
            m_pressTimer.stop();
            waitFor([this] { return !m_panes[0].awaiting && !m_panes[1].awaiting; }, DrainTimeoutMs,
                    [this] {
                        QTimer::singleShot(LastCheckDelayMs, this, [this] {
                            checkFinishedReloads();
                            waitFor([this] { return m_panes[0].checksInFlight + m_panes[1].checksInFlight == 0; },
                                    DrainTimeoutMs, [this] { finish(); }, QStringLiteral("the last checks"));
                        });
                    },
                    QStringLiteral("the last reloads"));
            return;
        }
        for (PaneState &p : m_panes) {
            // The previous reload is still going: this press replaces it, and it is lost.
            if (p.awaiting) {
                ++p.superseded;
                note(p, QStringLiteral("press %1: previous reload not finished").arg(m_pressed + 1));
            }
            p.awaiting = true;
            p.sincePress.start();
        }
        ++m_pressed;
        setSiteFor(m_pressed);
        controls().refresh.reloadNow->click();
        if (m_pressed % SampleEvery == 0) {
            // Between this press's reload and the next press.
            const int pressed = m_pressed;
            QTimer::singleShot(m_pressTimer.interval() * 4 / 5, this, [this, pressed] {
                sampleMemory([this, pressed](ProcessTreeMemory::Sample now) {
                    m_samples << std::pair{pressed, now.pssKiB};
                    if (pressed % 100 == 0) {
                        say(QStringLiteral("%1 presses, %2 s: %3 in %4 processes; changes kept %5")
                                .arg(pressed)
                                .arg(m_clock.elapsed() / 1000)
                                .arg(mebibytes(now.pssKiB))
                                .arg(now.processes)
                                .arg(changesKept()));
                    }
                });
            });
        }
    }

    QString changesKept()
    {
        QStringList kept;
        for (const PaneState &p : m_panes) {
            const qsizetype bytes = p.pane->changeHighlight().keptSize() * qsizetype(sizeof(QChar));
            m_mostKept = qMax(m_mostKept, bytes);
            kept << QStringLiteral("%1 B").arg(bytes);
        }
        return kept.join(QStringLiteral(" / "));
    }

    void loadFinished(PaneState &p, bool ok)
    {
        if (!p.awaiting)
            return;
        p.awaiting = false;
        // The first loads, from "GO", are not reloads.
        if (m_pressed == 0)
            return;
        if (m_siteDown) {
            if (ok) {
                ++p.failed;
                note(p, QStringLiteral("press %1: loaded while the site was down").arg(m_pressed));
                return;
            }
            p.toCheck = true;
            p.checkKept = true;
            p.pressOfLoad = m_pressed;
            return;
        }
        if (!ok) {
            ++p.failed;
            note(p, QStringLiteral("press %1: reload failed").arg(m_pressed));
            return;
        }
        ++p.completed;
        p.loadMs << p.sincePress.elapsed();
        if (m_verbose)
            say(QStringLiteral("%1 press %2: loaded in %3 ms").arg(p.offset).arg(m_pressed).arg(p.loadMs.back()));
        p.toCheck = true;
        p.checkKept = false;
        p.pressOfLoad = m_pressed;
    }

    void checkFinishedReloads()
    {
        for (PaneState &p : m_panes) {
            if (!p.toCheck)
                continue;
            p.toCheck = false;
            ++p.checksInFlight;
            const int press = p.pressOfLoad;
            const bool kept = p.checkKept;
            p.pane->page()->runJavaScript(QStringLiteral("[window.scrollY, window.soakPage || 0]"),
                                          [this, &p, press, kept](const QVariant &answer) {
                                              checkOffset(p, press, kept, answer.toList());
                                          });
        }
    }

    void checkOffset(PaneState &p, int press, bool kept, const QVariantList &answer)
    {
        --p.checksInFlight;
        if (answer.size() != 2) {
            ++p.unchecked;
            return;
        }
        const int y = answer.at(0).toInt();
        const int page = answer.at(1).toInt();
        if (m_verbose)
            say(QStringLiteral("%1 press %2: page %3 at %4").arg(p.offset).arg(press).arg(page).arg(y));
        if (kept) {
            // A failed refresh: the last page that loaded is still the one shown.
            if (page == p.lastPage) {
                ++p.keptOnFailure;
            } else {
                ++p.lostOnFailure;
                note(p, QStringLiteral("press %1: page %2 shown instead of %3").arg(press).arg(page).arg(p.lastPage));
            }
        } else if (page <= p.lastPage) {
            // Every request gives a new page; the same one again would be a reload the cache
            // answered, which is no refresh at all.
            ++p.stale;
            note(p, QStringLiteral("press %1: page %2 again").arg(press).arg(page));
        }
        p.lastPage = qMax(p.lastPage, page);
        if (y != p.offset) {
            ++p.offOffset;
            note(p, QStringLiteral("press %1: at %2 instead of %3").arg(press).arg(y).arg(p.offset));
        }
    }

    // The median of the samples taken from press first to press last, 0 when there is none
    // or the window overlaps the warm-up.
    qint64 medianKiB(int first, int last) const
    {
        if (first < m_warmUp)
            return 0;
        QList<qint64> values;
        for (const auto &[press, kib] : m_samples) {
            if (press >= first && press <= last)
                values << kib;
        }
        if (values.isEmpty())
            return 0;
        std::sort(values.begin(), values.end());
        return values.at(values.size() / 2);
    }

    // Down for the last 10 presses of every 30, failing a different way each time.
    void setSiteFor(int press)
    {
        using Fault = PageServer::Fault;
        const bool down = press % 30 >= 20;
        static constexpr Fault Faults[] = {Fault::Refuse, Fault::Unavailable, Fault::CutShort};
        m_siteDown = down;
        m_server.setFault(down ? Faults[(press / 30) % 3] : Fault::None);
        if (down)
            ++m_downPresses;
    }

    static void note(PaneState &p, const QString &problem)
    {
        if (p.firstProblems.size() < 5)
            p.firstProblems << problem;
    }

    void finish()
    {
        const qint64 seconds = m_clock.elapsed() / 1000;
        // Give the engine the same settling time as before the first sample.
        QTimer::singleShot(2000, this, [this, seconds] { sampleMemory([this, seconds](ProcessTreeMemory::Sample end) {
            // The first presses fill the engine's caches and the script heap up to their
            // working size, once per run; what counts is growth after that. A single sample
            // swings by tens of MiB with what the engine is doing at that moment, so the
            // median of the samples of a window of presses is compared, not one sample.
            m_samples << std::pair{m_pressed, end.pssKiB};
            const qint64 base = medianKiB(m_warmUp, m_warmUp + Window);
            const qint64 last = medianKiB(m_pressed - Window, m_pressed);
            const qint64 growth = base > 0 && last > 0 ? last - base : end.pssKiB - m_start.pssKiB;
            int lost = 0;
            int off = 0;
            say(QStringLiteral("%1 presses in %2 s (%5 with the site down); %3 pages served; load average %4")
                    .arg(m_pressed)
                    .arg(seconds)
                    .arg(m_server.pagesServed())
                    .arg(loadAverage())
                    .arg(m_downPresses));
            for (int i = 0; i < 2; ++i) {
                const PaneState &p = m_panes[i];
                lost += p.failed + p.superseded + p.stale + p.lostOnFailure;
                off += p.offOffset + p.unchecked;
                say(QStringLiteral("pane %1: while the site was down, %2 refreshes kept the last page, %3 did not")
                        .arg(i == 0 ? QStringLiteral("WB1") : QStringLiteral("WB3"))
                        .arg(p.keptOnFailure)
                        .arg(p.lostOnFailure));
                say(QStringLiteral("pane %1: %2 reloads completed, %3 failed, %4 replaced before finishing, %5 stale, "
                                   "%6 off the offset %7, %8 not checked")
                        .arg(i == 0 ? QStringLiteral("WB1") : QStringLiteral("WB3"))
                        .arg(p.completed)
                        .arg(p.failed)
                        .arg(p.superseded)
                        .arg(p.stale)
                        .arg(p.offOffset)
                        .arg(p.offset)
                        .arg(p.unchecked));
                QList<qint64> times = p.loadMs;
                std::sort(times.begin(), times.end());
                if (!times.isEmpty()) {
                    say(QStringLiteral("  reload took %1 ms at the median, %2 ms at the 95th percentile, %3 ms at most")
                            .arg(times.at(times.size() / 2))
                            .arg(times.at(times.size() * 95 / 100))
                            .arg(times.back()));
                }
                for (const QString &problem : p.firstProblems)
                    say(QStringLiteral("  ") + problem);
            }
            qint64 low = end.pssKiB;
            qint64 high = end.pssKiB;
            for (const auto &[press, kib] : m_samples) {
                low = qMin(low, kib);
                high = qMax(high, kib);
            }
            say(QStringLiteral("memory: start %1 (%2 processes), end %3 (%4 processes), %5 samples between %6 and %7")
                    .arg(mebibytes(m_start.pssKiB))
                    .arg(m_start.processes)
                    .arg(mebibytes(end.pssKiB))
                    .arg(end.processes)
                    .arg(m_samples.size())
                    .arg(mebibytes(low))
                    .arg(mebibytes(high)));
            // The text each pane keeps to find what changed: one load's worth whatever the number
            // of refreshes.
            say(QStringLiteral("changes kept at the end: %1, at most %2 B over the run").arg(changesKept()).arg(m_mostKept));
            say(QStringLiteral("memory: median %1 over presses %2-%3, %4 over presses %5-%6: growth %7")
                    .arg(mebibytes(base))
                    .arg(m_warmUp)
                    .arg(m_warmUp + Window)
                    .arg(mebibytes(last))
                    .arg(m_pressed - Window)
                    .arg(m_pressed)
                    .arg(mebibytes(growth)));
            const bool held = growth < GrowthLimitKiB && lost == 0 && off == 0;
            say(QStringLiteral("result: %1 (targets: growth under 20 MiB, none lost, none off the offset)")
                    .arg(held ? QStringLiteral("held") : QStringLiteral("MISSED")));
            m_exitCode = held ? 0 : 1;
            QCoreApplication::exit(m_exitCode);
        }); });
    }

    ChangingPageServer &m_server;
    const int m_presses;
    SystemProcessStarter m_starter;
    MainWindow m_window;
    std::array<PaneState, 2> m_panes;
    QTimer m_pressTimer;
    QElapsedTimer m_clock;
    ProcessTreeMemory::Sample m_start;
    QList<std::pair<int, qint64>> m_samples;
    const int m_warmUp = envInt("SOAK_WARMUP", 50);
    int m_pressed = 0;
    qsizetype m_mostKept = 0;
    bool m_siteDown = false;
    int m_downPresses = 0;
    int m_exitCode = 2;
    const bool m_verbose = qEnvironmentVariableIsSet("SOAK_VERBOSE");
};

} // namespace

int main(int argc, char *argv[])
{
    WebEngineEnvironment::prepareProcess();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const int presses = envInt("SOAK_PRESSES", 500);
    const int intervalMs = envInt("SOAK_INTERVAL_MS", 500);

    // A working folder of its own: no settings file, no favorites, nothing of the user's.
    QTemporaryDir work;
    if (!work.isValid() || !QDir::setCurrent(work.path())) {
        say(QStringLiteral("no temporary folder"));
        return 2;
    }
    ChangingPageServer server(Rows);
    if (!server.listen()) {
        say(QStringLiteral("cannot listen on 127.0.0.1"));
        return 2;
    }

    // Declared before the window so that it outlives every page, as in the program.
    WebEngineEnvironment engine(work.filePath(QStringLiteral("profile")));
    int exitCode = 2;
    {
        Soak soak(engine, server, presses, intervalMs);
        // However the run goes, it ends: every wait inside is bounded, and so is the whole.
        QTimer::singleShot(presses * intervalMs + 2 * SetUpTimeoutMs + DrainTimeoutMs + 10000, &app, [] {
            say(QStringLiteral("the run took too long"));
            QCoreApplication::exit(2);
        });
        soak.start();
        exitCode = QApplication::exec();
    }
    return exitCode;
}
