#include "watch/FollowedValues.h"

#include "watch/alerts/AlertBook.h"

FollowedValues::FollowedValues(const QString &databasePath, WallClock clock, std::optional<Markets> markets, QObject *parent)
    : QObject(parent)
    , m_life(databasePath)
    , m_clock(orSystemClock(std::move(clock)))
    , m_day(std::move(markets))
    , m_book(new AlertBook(this))
{
    connect(m_book, &AlertBook::changed, this, &FollowedValues::alertsChanged);
    // Values followed in an earlier session are read from the start, for the first pages.
    if (m_life.fileExists())
        openStore();
}

FollowedValues::~FollowedValues() = default;

ValueStore &FollowedValues::store()
{
    if (!m_life.store())
        openStore();
    return *m_life.store();
}

void FollowedValues::openStore()
{
    const QDateTime now = m_clock();
    ValueStore &store = m_life.open(now);
    m_book->open(store);
    loadValues();
    if (const QString problem = store.openingProblem(); !problem.isEmpty())
        QMetaObject::invokeMethod(this, [this, problem] { emit storeProblem(problem); }, Qt::QueuedConnection);
}

void FollowedValues::take(const QList<ValueReading> &readings)
{
    struct Taken
    {
        qint64 id;
        FollowedValue before;
        bool taken;
    };
    QList<Taken> taken;
    QList<std::pair<qint64, ValueStore::Reading>> batch;
    for (const ValueReading &reading : readings) {
        const std::optional<qint64> id = idAt(reading.place);
        if (!id || m_values[*id].isStale(reading))
            continue;
        FollowedValue &followed = m_values[*id];
        const FollowedValue before = followed;
        const bool ok = followed.take(reading);
        taken.append({*id, before, ok});
        if (ok)
            batch.append({*id, *followed.last});
    }
    if (!batch.isEmpty() && !store().record(batch)) {
        // Shown as read, a reading the store lost would leave a hole no one knows of.
        for (Taken &t : taken) {
            if (!t.taken)
                continue;
            FollowedValue &followed = m_values[t.id];
            followed = t.before;
            followed.unreadReason = QStringLiteral("lettura non salvata: archivio non scrivibile");
            t.taken = false;
        }
    }
    QList<qint64> touched;
    QList<qint64> read;
    for (const Taken &t : std::as_const(taken)) {
        FollowedValue &followed = m_values[t.id];
        if ((t.taken || followed.unreadReason != t.before.unreadReason) && !touched.contains(t.id))
            touched.append(t.id);
        if (!t.taken)
            continue;
        if (t.before.heading.isEmpty() && !followed.heading.isEmpty())
            store().setHeading(t.id, followed.heading);
        const ValueStore::Reading value = *followed.last;
        m_day.take(followed, store(), value);
        emit kept(t.id, value);
        read.append(t.id);
        // A price that moves is a price that trades, at any hour and whatever the market says.
        keepCrossing(followed, value);
        keepMove(followed, value);
    }
    if (!batch.isEmpty())
        m_life.readingsKept(batch.constLast().second.time);
    for (const qint64 id : std::as_const(touched))
        emit changed(id);
    if (!read.isEmpty())
        emit readingsTaken(read);
}

void FollowedValues::keepCrossing(FollowedValue &followed, const ValueStore::Reading &reading)
{
    if (const auto crossed = m_book->feedLevels(followed.id, followed.crossing, reading.time, reading.number)) {
        followed.alertedAt = reading.time;
        emit this->crossed(followed.id, crossed->first, crossed->second, reading);
    }
}

void FollowedValues::keepMove(FollowedValue &followed, const ValueStore::Reading &reading)
{
    const std::optional<MarketDay::Move> move = m_day.feedMove(followed, store(), *m_book, reading);
    if (!move)
        return;
    followed.alertedAt = reading.time;
    m_book->moved(followed.id, move->percent, reading.time);
    emit moved(followed.id, move->percent, move->from, move->minutes, reading);
}

QList<AlertHistory::Alert> FollowedValues::alerts()
{
    return m_book->list();
}

void FollowedValues::markAlertsSeen()
{
    m_book->markAllSeen();
}

void FollowedValues::setMove(qint64 id, const std::optional<MoveCrossing::Move> &move)
{
    MoveCrossing next;
    if (!m_values.contains(id) || (move && !next.setMove(*move)))
        return;
    const bool withinMinutes = move && move->reference == MoveCrossing::Reference::WithinMinutes;
    if (!store().setMove(id, move ? std::optional(move->percent) : std::nullopt, withinMinutes ? move->minutes : 0,
                         move ? move->marginPercent : 0.2))
        return;
    FollowedValue &followed = m_values[id];
    if (followed.previousClose)
        next.setPreviousClose(followed.previousClose->number());
    followed.move = next;
    emit changed(id);
}

std::optional<qint64> FollowedValues::follow(const ValuePick &pick)
{
    if (!pick.number || pick.followable != ValuePick::Followable::Yes)
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
    take({{pick.place, pick.number, pick.text, QString(), m_clock(), pick.heading}});
    return id;
}

void FollowedValues::setLevels(qint64 id, const LevelCrossing::Levels &levels)
{
    if (!m_values.contains(id) || !store().setLevels(id, levels))
        return;
    m_values[id].crossing.setLevels(levels);
    emit changed(id);
}

void FollowedValues::setMarket(qint64 id, MarketId market)
{
    if (!m_values.contains(id) || m_values[id].market == market || !store().setMarket(id, Markets::key(market)))
        return;
    m_day.moveTo(m_values[id], market, store(), m_clock());
    emit changed(id);
    emit marketsChanged();
}

void FollowedValues::rename(qint64 id, const QString &name)
{
    const QString clean = name.simplified();
    if (clean.isEmpty() || !m_values.contains(id) || !store().rename(id, clean))
        return;
    m_values[id].name = clean;
    emit changed(id);
}

void FollowedValues::tellLate(qint64 id)
{
    if (!m_values.contains(id))
        return;
    const QString reason = m_values[id].unreadReason;
    m_book->late(id, reason, m_clock());
    emit fellLate(id, reason);
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
    return m_values.contains(id) ? m_values[id].row(m_clock()) : FollowedRow();
}

QList<FollowedRow> FollowedValues::rows() const
{
    QList<FollowedRow> rows;
    for (const qint64 id : ids())
        rows.append(row(id));
    return rows;
}
