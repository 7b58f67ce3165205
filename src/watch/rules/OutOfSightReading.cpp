#include "watch/rules/OutOfSightReading.h"

#include <algorithm>

#include <QTimer>

#include "panes/BackgroundReading.h"
#include "watch/FollowedValues.h"

OutOfSightReading::OutOfSightReading(FollowedValues &values, BackgroundReading &reading, WallClock clock, QObject *parent)
    : QObject(parent)
    , m_values(values)
    , m_reading(reading)
    , m_clock(orSystemClock(std::move(clock)))
    , m_next(new QTimer(this))
    , m_heartbeat(new QTimer(this))
{
    m_next->setSingleShot(true);
    connect(m_next, &QTimer::timeout, this, &OutOfSightReading::check);
    m_heartbeat->setInterval(HeartbeatMs);
    connect(m_heartbeat, &QTimer::timeout, this, &OutOfSightReading::beat);
    connect(&values, &FollowedValues::placesChanged, this, &OutOfSightReading::takeValues);
    connect(&values, &FollowedValues::marketsChanged, this, [this] { m_next->start(0); });
    connect(&values, &FollowedValues::readingsTaken, this, &OutOfSightReading::taken);
    connect(&reading, &BackgroundReading::valuesRead, this, &OutOfSightReading::finished);
    const QDateTime now = m_clock();
    m_lastBeat = now;
    updateLate(now);
    // Values followed before the start were read then, as far as the schedule knows: each is
    // loaded only where no pane reads it within the interval.
    for (const qint64 id : values.ids())
        m_schedule.read(id, now);
    takeValues();
}

OutOfSightReading::~OutOfSightReading() = default;

bool OutOfSightReading::isBeating() const
{
    return m_heartbeat->isActive();
}

bool OutOfSightReading::setIntervalMinutes(int minutes)
{
    // Taken at the next check, at most a heartbeat away.
    return m_schedule.setIntervalMinutes(minutes);
}

void OutOfSightReading::takeValues()
{
    QList<ReadSchedule::Value> scheduled;
    for (const qint64 id : m_values.ids())
        scheduled.append({id, m_values.row(id).address});
    m_schedule.setValues(scheduled);
    // Nothing followed, nothing to wake for; a heartbeat started again does not count the
    // time it stood still as a sleep.
    if (scheduled.isEmpty()) {
        m_heartbeat->stop();
    } else if (!m_heartbeat->isActive()) {
        m_lastBeat = m_clock();
        m_heartbeat->start();
    }
    // Not at once: a value just followed has its first reading recorded right after.
    m_next->start(0);
}

void OutOfSightReading::check()
{
    const QDateTime now = m_clock();
    const ReadSchedule::Open open = [this, now](qint64 id) { return m_values.valueOpen(id, now); };
    m_schedule.notAfter(now);
    if (const std::optional<QString> address = m_schedule.due(now, open); address && m_schedule.backgroundStarted(*address)) {
        QList<ValuePlace> places;
        for (const ValuePlace &place : m_values.places()) {
            if (place.address == *address)
                places.append(place);
        }
        m_reading.read(*address, places);
    }
    if (const std::optional<QDateTime> at = m_schedule.nextDueTime(now, open))
        m_next->start(int(std::clamp(now.msecsTo(*at), qint64(0), qint64(HeartbeatMs))));
    else
        m_next->stop();
}

void OutOfSightReading::beat()
{
    const QDateTime now = m_clock();
    if (m_lastBeat.msecsTo(now) > HeartbeatMs + SleptAfterMs)
        m_schedule.wokeFromSleep();
    m_lastBeat = now;
    updateLate(now);
    check();
}

void OutOfSightReading::finished(const QList<ValueReading> &readings)
{
    const std::optional<QString> address = m_schedule.running();
    m_values.take(readings);
    if (address)
        m_schedule.backgroundFinished(*address, m_clock());
    check();
}

// Whoever read them, a pane or a hidden page, they need no load for an interval, and are late
// no more. Only the values read are looked at: a page read costs the same however many rows.
void OutOfSightReading::taken(const QList<qint64> &read)
{
    for (const qint64 id : read)
        m_schedule.read(id, m_values.row(id).lastTime);
    if (m_lateness.read(read))
        emit lateChanged(m_lateness.late());
}

void OutOfSightReading::updateLate(const QDateTime &now)
{
    QList<Lateness::Value> values;
    for (const qint64 id : m_values.ids())
        values.append({id, m_values.marketOf(id), m_values.row(id).lastTime});
    const QList<qint64> before = m_lateness.late();
    const QList<qint64> fell = m_lateness.check(now, qint64(m_schedule.intervalMinutes()) * 2 * 60000, values,
                                                [this](MarketId market, const QDateTime &at) { return m_values.marketOpen(at, market); });
    if (m_lateness.late() != before)
        emit lateChanged(m_lateness.late());
    for (const qint64 id : fell)
        m_values.tellLate(id);
}
