#include "watch/FollowedValues.h"

#include <QFileInfo>

namespace {

// Headings compared by their words alone: "Ultimo (17:35)" and "Ultimo \u25b2" are one column.
bool sameHeading(const QString &followed, const QString &read)
{
    if (followed.isEmpty() || read.isEmpty())
        return true;
    const auto words = [](const QString &heading) {
        QString letters;
        for (const QChar c : heading) {
            if (c.isLetter())
                letters += c.toLower();
        }
        return letters;
    };
    return words(followed) == words(read);
}

} // namespace

FollowedValues::FollowedValues(const QString &databasePath, Clock clock, QObject *parent)
    : QObject(parent)
    , m_databasePath(databasePath)
    , m_clock(clock ? std::move(clock) : Clock([] { return QDateTime::currentDateTime(); }))
{
    // Values followed in an earlier session are read from the start, for the first pages.
    if (QFileInfo::exists(m_databasePath))
        openStore();
}

FollowedValues::~FollowedValues() = default;

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
        Followed followed{value.id, value.place, value.name, value.heading, {}, std::nullopt,
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
    QList<std::pair<qint64, ValueStore::Reading>> kept;
    QList<qint64> touched;
    for (const ValueReading &reading : readings) {
        const std::optional<qint64> id = idAt(reading.place);
        if (!id)
            continue;
        Followed &followed = m_values[*id];
        const QString reasonBefore = followed.unreadReason;
        const bool taken = take(followed, reading);
        if ((taken || followed.unreadReason != reasonBefore) && !touched.contains(*id))
            touched.append(*id);
        if (!taken)
            continue;
        const ValueStore::Reading value = *followed.last;
        kept.append({*id, value});
        emit read(*id, value);
        const LevelCrossing::Crossed crossed = followed.crossing.feed(value.number);
        if (crossed == LevelCrossing::Crossed::None)
            continue;
        followed.alertedAt = value.time;
        const LevelCrossing::Levels &levels = followed.crossing.levels();
        emit this->crossed(*id, crossed, crossed == LevelCrossing::Crossed::Above ? *levels.above : *levels.below, value);
    }
    if (!kept.isEmpty()) {
        store().record(kept);
        // A program left running for weeks keeps a month, as one started every morning does.
        const QDateTime newest = kept.constLast().second.time;
        if (m_prunedOn != newest.date()) {
            m_store->prune(newest);
            m_prunedOn = newest.date();
        }
    }
    for (const qint64 id : std::as_const(touched))
        emit changed(id);
}

bool FollowedValues::take(Followed &followed, const ValueReading &reading)
{
    // Not read: nothing kept, and the levels neither alert nor re-arm.
    if (!reading.number) {
        followed.unreadReason = reading.reason.isEmpty() ? QStringLiteral("valore non trovato") : reading.reason;
        return false;
    }
    // A value followed before headings were kept takes the one it is read under now.
    if (followed.heading.isEmpty() && !reading.heading.isEmpty() && store().setHeading(followed.id, reading.heading))
        followed.heading = reading.heading;
    // A column added before the value's puts another column's number in its place.
    if (!sameHeading(followed.heading, reading.heading)) {
        followed.unreadReason = QStringLiteral("la colonna \u00ab%1\u00bb ora \u00e8 \u00ab%2\u00bb")
                                    .arg(followed.heading, reading.heading);
        return false;
    }
    const ValueStore::Reading value{reading.time, *reading.number};
    followed.unreadReason.clear();
    // A later reading of the same second replaces the earlier one in the store too.
    if (!followed.first || followed.first->time.date() != value.time.date()
        || followed.first->time.toSecsSinceEpoch() == value.time.toSecsSinceEpoch())
        followed.first = value;
    followed.last = value;
    return true;
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
    if (!m_values.contains(id) || !store().unfollow(id))
        return;
    m_values.remove(id);
    emit removed(id);
    emit placesChanged(places());
}

std::optional<qint64> FollowedValues::idAt(const ValuePlace &place) const
{
    for (const Followed &followed : m_values) {
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
    FollowedRow row;
    if (!m_values.contains(id))
        return row;
    const Followed &followed = m_values[id];
    row.id = id;
    row.name = followed.name;
    row.address = followed.place.address;
    if (followed.last) {
        row.last = followed.last->number;
        row.lastTime = followed.last->time;
    }
    if (followed.last && followed.first && followed.first->time.date() == followed.last->time.date()) {
        row.change = followed.last->number - followed.first->number;
        if (followed.first->number != 0)
            row.changePercent = *row.change / qAbs(followed.first->number) * 100.0;
    }
    row.unreadReason = followed.unreadReason;
    row.levels = followed.crossing.levels();
    if (followed.alertedAt.date() == today())
        row.alertedAt = followed.alertedAt;
    row.beyond = !followed.crossing.isAboveArmed() || !followed.crossing.isBelowArmed();
    return row;
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
    return m_values.contains(id) ? store().readings(id, from, to) : QList<ValueStore::Reading>();
}
