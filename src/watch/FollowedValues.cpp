#include "watch/FollowedValues.h"

#include <QFileInfo>
#include <QTimer>

FollowedValues::FollowedValues(const QString &databasePath, Clock clock, QObject *parent)
    : QObject(parent)
    , m_databasePath(databasePath)
    , m_clock(clock ? std::move(clock) : Clock([] { return QDateTime::currentDateTime(); }))
    , m_writeTimer(new QTimer(this))
{
    // A streaming page reads ten values a second; each write waits for the disk.
    m_writeTimer->setSingleShot(true);
    m_writeTimer->setInterval(WriteDelayMs);
    connect(m_writeTimer, &QTimer::timeout, this, &FollowedValues::write);
    // Values followed in an earlier session are read from the start, for the first pages.
    if (QFileInfo::exists(m_databasePath))
        openStore();
}

FollowedValues::~FollowedValues()
{
    write();
}

ValueStore &FollowedValues::store()
{
    if (!m_store)
        openStore();
    return *m_store;
}

void FollowedValues::openStore()
{
    const QDateTime now = m_clock();
    m_store = std::make_unique<ValueStore>(m_databasePath);
    m_store->prune(now);
    m_prunedOn = now.date();
    for (const ValueStore::Value &value : m_store->values()) {
        FollowedValue followed{value.id, value.place, value.name, value.heading, {}, std::nullopt,
                               m_store->lastReading(value.id), QString(), QDateTime()};
        followed.crossing.setLevels(value.levels);
        const auto today = m_store->readings(value.id, now.date().startOfDay(), now.date().endOfDay());
        if (!today.isEmpty())
            followed.first = today.first();
        m_values.insert(value.id, followed);
        emit added(value.id);
    }
    // Opened late, the file may hold values another copy of the program followed meanwhile.
    if (!m_values.isEmpty())
        emit placesChanged(places());
    if (const QString problem = m_store->openingProblem(); !problem.isEmpty())
        QMetaObject::invokeMethod(this, [this, problem] { emit storeProblem(problem); }, Qt::QueuedConnection);
}

void FollowedValues::record(const QList<ValueReading> &readings)
{
    QList<qint64> touched;
    for (const ValueReading &reading : readings) {
        const std::optional<qint64> id = idAt(reading.place);
        if (!id)
            continue;
        FollowedValue &followed = m_values[*id];
        const QString reasonBefore = followed.unreadReason;
        const bool headingKnown = !followed.heading.isEmpty();
        const bool taken = followed.take(reading);
        if ((taken || followed.unreadReason != reasonBefore) && !touched.contains(*id))
            touched.append(*id);
        if (!taken) {
            if (followed.unreadInARow == UnreadBeforeSilence)
                emit silent(*id, followed.unreadReason);
            continue;
        }
        if (!headingKnown && !followed.heading.isEmpty())
            store().setHeading(*id, followed.heading);
        const ValueStore::Reading value = *followed.last;
        m_unwritten.append({*id, value});
        emit read(*id, value);
        const LevelCrossing::Crossed crossed = followed.crossing.feed(value.number);
        if (crossed == LevelCrossing::Crossed::None)
            continue;
        followed.alertedAt = value.time;
        const LevelCrossing::Levels &levels = followed.crossing.levels();
        emit this->crossed(*id, crossed, crossed == LevelCrossing::Crossed::Above ? *levels.above : *levels.below, value);
    }
    if (!m_unwritten.isEmpty() && !m_writeTimer->isActive())
        m_writeTimer->start();
    for (const qint64 id : std::as_const(touched))
        emit changed(id);
}

void FollowedValues::write()
{
    m_writeTimer->stop();
    if (m_unwritten.isEmpty())
        return;
    store().record(m_unwritten);
    // A program left running for weeks keeps a month, as one started every morning does.
    const QDateTime newest = m_unwritten.constLast().second.time;
    m_unwritten.clear();
    if (m_prunedOn != newest.date()) {
        m_store->prune(newest);
        m_prunedOn = newest.date();
    }
}

std::optional<qint64> FollowedValues::follow(const ValuePick &pick)
{
    if (!pick.number || !pick.followable)
        return std::nullopt;
    const QString name = pick.name.trimmed().isEmpty() ? QStringLiteral("Valore") : pick.name.trimmed();
    const std::optional<qint64> id = store().follow(pick.place, name, pick.heading);
    if (!id)
        return std::nullopt;
    if (!m_values.contains(*id)) {
        m_values.insert(*id, {*id, pick.place, name, pick.heading, {}, std::nullopt, std::nullopt, QString(), QDateTime()});
        emit added(*id);
        emit placesChanged(places());
    }
    record({{pick.place, pick.number, pick.text, QString(), m_clock(), pick.heading}});
    return id;
}

void FollowedValues::setLevels(qint64 id, const LevelCrossing::Levels &levels)
{
    if (!m_values.contains(id) || !store().setLevels(id, levels))
        return;
    m_values[id].crossing.setLevels(levels);
    emit changed(id);
}

void FollowedValues::setLevel(qint64 id, bool above, std::optional<double> level)
{
    LevelCrossing::Levels levels = row(id).levels;
    (above ? levels.above : levels.below) = level;
    setLevels(id, levels);
}

void FollowedValues::setMargin(qint64 id, double percent)
{
    LevelCrossing::Levels levels = row(id).levels;
    levels.marginPercent = percent;
    setLevels(id, levels);
}

void FollowedValues::rename(qint64 id, const QString &name)
{
    const QString clean = name.simplified();
    if (clean.isEmpty() || !m_values.contains(id) || !store().rename(id, clean))
        return;
    m_values[id].name = clean;
    emit changed(id);
}

void FollowedValues::unfollow(qint64 id)
{
    // Its readings waiting would be written after it, and fail the whole batch.
    write();
    if (!m_values.contains(id) || !store().unfollow(id))
        return;
    m_values.remove(id);
    emit removed(id);
    emit placesChanged(places());
}

std::optional<qint64> FollowedValues::idAt(const ValuePlace &place) const
{
    for (const FollowedValue &followed : m_values) {
        if (followed.place == place)
            return followed.id;
    }
    return std::nullopt;
}

QList<ValuePlace> FollowedValues::places() const
{
    QList<ValuePlace> places;
    for (const qint64 id : ids())
        places.append(m_values[id].place);
    return places;
}

QList<qint64> FollowedValues::ids() const
{
    QList<qint64> ids = m_values.keys();
    std::sort(ids.begin(), ids.end());
    return ids;
}

FollowedRow FollowedValues::row(qint64 id) const
{
    return m_values.contains(id) ? m_values[id].row(today()) : FollowedRow();
}

QList<FollowedRow> FollowedValues::rows() const
{
    QList<FollowedRow> rows;
    for (const qint64 id : ids())
        rows.append(row(id));
    return rows;
}

QList<ValueStore::Reading> FollowedValues::readings(qint64 id, const QDateTime &from, const QDateTime &to)
{
    if (!m_values.contains(id))
        return {};
    write();
    return store().readings(id, from, to);
}
