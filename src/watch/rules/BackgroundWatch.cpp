#include "watch/rules/BackgroundWatch.h"

#include <algorithm>

#include <QTimer>

#include "panes/BackgroundReading.h"
#include "watch/FollowedValues.h"

BackgroundWatch::BackgroundWatch(FollowedValues &values, BackgroundReading &reading, Clock clock, MarketOpen marketOpen,
                                 QObject *parent)
    : QObject(parent)
    , m_values(values)
    , m_reading(reading)
    , m_clock(clock ? std::move(clock) : Clock([] { return QDateTime::currentDateTime(); }))
    , m_marketOpen(marketOpen ? std::move(marketOpen) : MarketOpen([](const QDateTime &) { return true; }))
    , m_next(new QTimer(this))
    , m_heartbeat(new QTimer(this))
{
    m_next->setSingleShot(true);
    connect(m_next, &QTimer::timeout, this, &BackgroundWatch::check);
    m_heartbeat->setInterval(HeartbeatMs);
    connect(m_heartbeat, &QTimer::timeout, this, &BackgroundWatch::beat);
    connect(&values, &FollowedValues::placesChanged, this, &BackgroundWatch::takeValues);
    // Whoever read it, a pane or a hidden page, it needs no load for an interval.
    connect(&values, &FollowedValues::read, this, [this](qint64 id, const ValueStore::Reading &reading) {
        m_schedule.readByPane(id, reading.time);
    });
    connect(&values, &FollowedValues::changed, this, [this] { updateLate(m_clock()); });
    connect(&reading, &BackgroundReading::valuesRead, this, &BackgroundWatch::finished);
    const QDateTime now = m_clock();
    m_lastBeat = now;
    if (m_marketOpen(now))
        m_openSince = now;
    // Values followed before the start were read then, as far as the schedule knows: each is
    // loaded only where no pane reads it within the interval.
    for (const qint64 id : values.ids())
        m_schedule.readByPane(id, now);
    takeValues();
    m_heartbeat->start();
}

BackgroundWatch::~BackgroundWatch() = default;

bool BackgroundWatch::setIntervalMinutes(int minutes)
{
    // Taken at the next check, at most a heartbeat away.
    return m_schedule.setIntervalMinutes(minutes);
}

void BackgroundWatch::takeValues()
{
    QList<ReadSchedule::Value> scheduled;
    for (const qint64 id : m_values.ids())
        scheduled.append({id, m_values.row(id).address});
    m_schedule.setValues(scheduled);
    // Not at once: a value just followed has its first reading recorded right after.
    m_next->start(0);
}

void BackgroundWatch::check()
{
    const QDateTime now = m_clock();
    const bool open = m_marketOpen(now);
    m_schedule.setMarketOpen(open);
    if (const std::optional<QString> address = m_schedule.due(now); address && m_schedule.backgroundStarted(*address)) {
        QList<ValuePlace> places;
        for (const ValuePlace &place : m_values.places()) {
            if (place.address == *address)
                places.append(place);
        }
        m_reading.read(*address, places);
    }
    if (const std::optional<QDateTime> at = m_schedule.nextDueTime(now))
        m_next->start(int(std::clamp(now.msecsTo(*at), qint64(0), qint64(HeartbeatMs))));
    else
        m_next->stop();
}

void BackgroundWatch::beat()
{
    const QDateTime now = m_clock();
    if (m_lastBeat.msecsTo(now) > HeartbeatMs + SleptAfterMs)
        m_schedule.wokeFromSleep();
    m_lastBeat = now;
    const bool open = m_marketOpen(now);
    if (!open)
        m_openSince = QDateTime();
    else if (!m_openSince.isValid())
        m_openSince = now;
    check();
    updateLate(now);
}

void BackgroundWatch::finished(const QList<ValueReading> &readings)
{
    const std::optional<QString> address = m_schedule.running();
    m_values.record(readings);
    if (address)
        m_schedule.backgroundFinished(*address, m_clock());
    check();
}

void BackgroundWatch::updateLate(const QDateTime &now)
{
    QList<qint64> late;
    if (m_openSince.isValid() && m_marketOpen(now)) {
        const qint64 allowedMs = qint64(m_schedule.intervalMinutes()) * 2 * 60000;
        for (const qint64 id : m_values.ids()) {
            const QDateTime read = m_values.row(id).lastTime;
            const QDateTime since = read.isValid() && read > m_openSince ? read : m_openSince;
            if (since.msecsTo(now) > allowedMs)
                late.append(id);
        }
    }
    if (late == m_late)
        return;
    m_late = late;
    emit lateChanged(m_late);
}
