#include "panes/webengine/BackgroundReader.h"

#include <utility>

#include <QFileInfo>
#include <QTimer>
#include <QUrl>

#include "panes/webengine/RedirectRule.h"
#include "panes/webengine/SilentPage.h"
#include "panes/webengine/ValueReader.h"

namespace {

// As long as a refresh waits for a site.
constexpr int DefaultPageTimeoutMs = 30000;
// A deleted page's process ends a moment after it, about 0.2 s on a loaded machine; one that
// serves a shown page of the same site too stays, and is not waited for longer.
constexpr int ProcessEndWaitMs = 2000;
constexpr int ProcessEndCheckMs = 50;
// Long enough for a download a page started as it loaded to reach the profile.
constexpr int DownloadSettleMs = 1000;

bool processRuns(qint64 pid)
{
    return pid > 0 && QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid));
}

} // namespace

BackgroundReader::BackgroundReader(QWebEngineProfile *profile, WallClock clock, QObject *parent)
    : BackgroundReading(parent)
    , m_profile(profile)
    , m_clock(orSystemClock(std::move(clock)))
    , m_reader(new ValueReader(m_clock, this))
    , m_deadline(new QTimer(this))
    , m_processCheck(new QTimer(this))
{
    m_processCheck->setSingleShot(true);
    m_processCheck->setInterval(ProcessEndCheckMs);
    connect(m_processCheck, &QTimer::timeout, this, &BackgroundReader::next);
    m_deadline->setSingleShot(true);
    m_deadline->setInterval(DefaultPageTimeoutMs);
    connect(m_deadline, &QTimer::timeout, this, [this] {
        fail(QStringLiteral("la pagina non si \u00e8 caricata entro %1 secondi").arg(m_deadline->interval() / 1000));
    });
    connect(m_reader, &ValueReader::valuesRead, this, &BackgroundReader::taken);
}

BackgroundReader::~BackgroundReader() = default;

void BackgroundReader::setPageTimeout(int ms)
{
    m_deadline->setInterval(ms);
}

void BackgroundReader::read(const QString &address, const QList<ValuePlace> &places)
{
    if (places.isEmpty())
        return;
    m_asks.enqueue({address, places});
    next();
}

void BackgroundReader::next()
{
    if (m_page || m_asks.isEmpty() || m_processCheck->isActive())
        return;
    // Two background pages' processes at once would double what reading out of sight costs
    // at its peak.
    if (!m_processUntil.hasExpired() && processRuns(m_lastProcess)) {
        m_processCheck->start();
        return;
    }
    m_current = m_asks.dequeue();
    m_page = new SilentPage(m_profile, this, SilentPage::Mode::Background);
    m_reader->install(m_page);
    connect(m_page, &SilentPage::signInRefused, this, [this] { fail(QStringLiteral("la pagina chiede un accesso")); });
    connect(m_page, &SilentPage::loadSettled, this, &BackgroundReader::loaded, Qt::SingleShotConnection);
    connect(m_page, &QWebEnginePage::renderProcessTerminated, this,
            [this] { fail(QStringLiteral("la pagina si \u00e8 interrotta")); });
    m_deadline->start();
    // As a refresh: never a login question, for a page nobody looks at.
    m_page->loadForRefresh();
    m_page->load(QUrl(m_current.address));
}

void BackgroundReader::loaded(bool ok, const QString &reason)
{
    const QString elsewhere = RedirectRule::refusal(QUrl(m_current.address), m_page->url());
    if (!ok) {
        fail(reason);
    } else if (!elsewhere.isEmpty()) {
        fail(elsewhere);
    } else {
        // The places carry the address asked for; the reader knows them by the page's own.
        m_readAt = m_page->url().toString();
        QList<ValuePlace> places = m_current.places;
        for (ValuePlace &place : places)
            place.address = m_readAt;
        m_reader->setPlaces(places);
        m_reader->report(m_page);
    }
}

void BackgroundReader::taken(QList<ValueReading> readings)
{
    for (ValueReading &reading : readings) {
        if (reading.place.address == m_readAt)
            reading.place.address = m_current.address;
    }
    done(readings);
}

void BackgroundReader::fail(const QString &reason)
{
    // Told here, not by the reader, which knows places by the address it reads them at.
    QList<ValueReading> readings;
    const QDateTime now = m_clock();
    for (const ValuePlace &place : std::as_const(m_current.places))
        readings.append({place, std::nullopt, QString(), reason, now, QString()});
    done(readings);
}

void BackgroundReader::done(const QList<ValueReading> &readings)
{
    // A reading late for a page already given up is no reading of the page out now.
    if (m_current.places.isEmpty() || readings.value(0).place != m_current.places.first())
        return;
    m_current = {};
    m_readAt.clear();
    m_deadline->stop();
    m_page->disconnect(this);
    // Its signals come from inside the engine: deleted later, and the next page made only
    // once it is gone. Not at once: Qt 6.4 crashes in QWebEngineDownloadRequest::page() for a
    // download whose page is gone, and a page may have started one just before it was read.
    connect(m_page, &QObject::destroyed, this, [this, pid = m_page->renderProcessPid()] {
        m_page = nullptr;
        m_lastProcess = pid;
        m_processUntil.setRemainingTime(ProcessEndWaitMs);
        next();
    });
    QTimer::singleShot(DownloadSettleMs, m_page, &QObject::deleteLater);
    emit valuesRead(readings);
}
