#include "panes/webengine/BackgroundReader.h"

#include <utility>

#include <QTimer>
#include <QUrl>

#include "panes/webengine/SilentPage.h"
#include "panes/webengine/ValueReader.h"

namespace {

// As long as a refresh waits for a site.
constexpr int DefaultPageTimeoutMs = 30000;

} // namespace

BackgroundReader::BackgroundReader(QWebEngineProfile *profile, WallClock clock, QObject *parent)
    : BackgroundReading(parent)
    , m_profile(profile)
    , m_clock(orSystemClock(std::move(clock)))
    , m_reader(new ValueReader(m_clock, this))
    , m_deadline(new QTimer(this))
{
    m_deadline->setSingleShot(true);
    m_deadline->setInterval(DefaultPageTimeoutMs);
    connect(m_deadline, &QTimer::timeout, this, [this] {
        fail(QStringLiteral("la pagina non si \u00e8 caricata entro %1 secondi").arg(m_deadline->interval() / 1000));
    });
    connect(m_reader, &ValueReader::valuesRead, this, &BackgroundReader::done);
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
    if (m_page || m_asks.isEmpty())
        return;
    m_current = m_asks.dequeue();
    m_reader->setPlaces(m_current.places);
    m_page = new SilentPage(m_profile, this, SilentPage::Mode::Background);
    m_reader->install(m_page);
    // A page that asks for anything gets nothing, and its values say why they were not read.
    connect(m_page, &SilentPage::refusedInBackground, this, &BackgroundReader::fail);
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
    if (!ok)
        fail(reason);
    else if (!m_reader->follows(m_page->url()))
        fail(QStringLiteral("la pagina ha mandato a un altro indirizzo"));
    else
        m_reader->report(m_page);
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
    m_deadline->stop();
    m_page->disconnect(this);
    // Its signals come from inside the engine: deleted later, and the next page made only
    // once it is gone.
    connect(m_page, &QObject::destroyed, this, [this] {
        m_page = nullptr;
        next();
    });
    m_page->deleteLater();
    emit valuesRead(readings);
}
