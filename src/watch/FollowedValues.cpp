#include "watch/FollowedValues.h"

#include <QFileInfo>

#include "watch/store/WatchFile.h"

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
    loadValues();
    if (const QString problem = m_store->openingProblem(); !problem.isEmpty())
        QMetaObject::invokeMethod(this, [this, problem] { emit storeProblem(problem); }, Qt::QueuedConnection);
}

// Every value as the store holds it; one known already keeps only how its reading goes.
void FollowedValues::loadValues()
{
    const QDateTime now = m_clock();
    // The row still says when the value alerted today, as before the restart.
    QHash<qint64, QDateTime> alertedAt;
    for (const AlertHistory::Alert &alert : m_store->alerts().list()) {
        if (alert.kind != AlertHistory::Kind::Silent && !alertedAt.contains(alert.value))
            alertedAt.insert(alert.value, alert.time);
    }
    for (const ValueStore::Value &value : m_store->values()) {
        FollowedValue followed{value.id, value.place, value.name, value.heading, {}, std::nullopt,
                               m_store->lastReading(value.id), QString(), alertedAt.value(value.id)};
        followed.crossing.setLevels(value.levels);
        followed.crossing.setAlerted(value.aboveAlerted, value.belowAlerted);
        const auto today = m_store->readings(value.id, now.date().startOfDay(), now.date().endOfDay());
        if (!today.isEmpty())
            followed.first = today.first();
        if (value.movePercent) {
            using Reference = MoveCrossing::Reference;
            followed.move.setMove({*value.movePercent, value.moveMinutes > 0 ? Reference::WithinMinutes : Reference::PreviousClose,
                                   value.moveMinutes, value.moveMargin});
        }
        findPreviousClose(followed, marketDay(now));
        // A move alerted before today is armed again with the new close.
        if (value.moveAlertedOn == marketDay(now))
            followed.move.setAlertedSides(value.moveAlerted);
        const auto known = m_values.constFind(value.id);
        const bool isNew = known == m_values.cend();
        if (!isNew) {
            followed.unreadReason = known->unreadReason;
            followed.unreadInARow = known->unreadInARow;
        }
        m_values.insert(value.id, followed);
        if (isNew)
            emit added(value.id);
        else
            emit changed(value.id);
    }
    // Opened late or imported into, the file may hold values the program did not follow yet.
    if (!m_values.isEmpty())
        emit placesChanged(places());
}

QString FollowedValues::exportWatch(const QString &path, bool withReadings)
{
    QString error;
    return WatchFile::save(m_store.get(), path, withReadings, &error) ? QString() : error;
}

QString FollowedValues::importWatch(const QString &path)
{
    QString error;
    const std::optional<QList<WatchEntry>> entries = WatchFile::read(path, &error);
    if (!entries)
        return error;
    // Kept in memory only, an import would be gone at the next start.
    if (!store().isPersistent())
        return QStringLiteral("l'archivio dei valori seguiti non \u00e8 scrivibile: %1").arg(store().openingProblem());
    if (!WatchFile::apply(store(), *entries, &error))
        return error;
    loadValues();
    return QString();
}

void FollowedValues::record(const QList<ValueReading> &readings)
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
        if (!id)
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
            ++followed.unreadInARow;
            t.taken = false;
        }
    }
    QList<qint64> touched;
    // One moment for the whole page: the market's hours are not asked again for every value.
    const bool open = marketOpen(m_clock());
    for (const Taken &t : std::as_const(taken)) {
        FollowedValue &followed = m_values[t.id];
        if ((t.taken || followed.unreadReason != t.before.unreadReason) && !touched.contains(t.id))
            touched.append(t.id);
        if (!t.taken) {
            // A page left as the market closed it is not late: the count starts at the opening.
            if (!open)
                followed.unreadInARow = 0;
            else if (followed.unreadInARow == UnreadBeforeSilence) {
                store().alerts().add({0, m_clock(), t.id, AlertHistory::Kind::Silent, std::nullopt, followed.unreadReason});
                emit alertsChanged();
                emit silent(t.id, followed.unreadReason);
            }
            continue;
        }
        if (t.before.heading.isEmpty() && !followed.heading.isEmpty())
            store().setHeading(t.id, followed.heading);
        const ValueStore::Reading value = *followed.last;
        // A day's first reading read again in its second is replaced in the store: the close
        // that stands in for a missing one follows it.
        const auto &close = followed.previousClose;
        if (followed.closeDay != marketDay(value.time) || !close
            || (close->kind() == DayClose::Kind::FirstReadingToday && close->time().toSecsSinceEpoch() == value.time.toSecsSinceEpoch()))
            findPreviousClose(followed, marketDay(value.time));
        emit read(t.id, value);
        if (!open)
            continue;
        keepCrossing(followed, value);
        keepMove(followed, value);
    }
    if (!batch.isEmpty() && m_prunedOn != batch.constLast().second.time.date()) {
        // A program left running for weeks keeps a month, as one started every morning does.
        const QDateTime newest = batch.constLast().second.time;
        m_store->prune(newest);
        m_prunedOn = newest.date();
    }
    for (const qint64 id : std::as_const(touched))
        emit changed(id);
}

void FollowedValues::keepCrossing(FollowedValue &followed, const ValueStore::Reading &reading)
{
    using Crossed = LevelCrossing::Crossed;
    const bool aboveArmed = followed.crossing.isAboveArmed();
    const bool belowArmed = followed.crossing.isBelowArmed();
    const Crossed crossed = followed.crossing.feed(reading.number);
    // Kept as it changes, not at exit: a crash must not alert the same crossing again.
    if (!aboveArmed && followed.crossing.isAboveArmed())
        store().setAlerted(followed.id, Crossed::Above, false);
    if (!belowArmed && followed.crossing.isBelowArmed())
        store().setAlerted(followed.id, Crossed::Below, false);
    if (crossed == Crossed::None)
        return;
    store().setAlerted(followed.id, crossed, true);
    followed.alertedAt = reading.time;
    const LevelCrossing::Levels &levels = followed.crossing.levels();
    const double level = crossed == Crossed::Above ? *levels.above : *levels.below;
    store().alerts().add({0, reading.time, followed.id,
                          crossed == Crossed::Above ? AlertHistory::Kind::CrossedAbove : AlertHistory::Kind::CrossedBelow,
                          level, QString()});
    emit alertsChanged();
    emit this->crossed(followed.id, crossed, level, reading);
}

void FollowedValues::keepMove(FollowedValue &followed, const ValueStore::Reading &reading)
{
    MoveCrossing &move = followed.move;
    if (!move.isSet())
        return;
    const bool withinMinutes = move.move().reference == MoveCrossing::Reference::WithinMinutes;
    const int before = move.alertedSides();
    const QList<ValueStore::Reading> recent =
        withinMinutes ? store().readings(followed.id, move.windowStart(reading.time), reading.time) : QList<ValueStore::Reading>();
    const LevelCrossing::Crossed crossed = move.feed(reading.time, reading.number, recent);
    if (move.alertedSides() != before)
        store().setMoveAlerted(followed.id, move.alertedSides(), marketDay(reading.time));
    if (crossed == LevelCrossing::Crossed::None || !move.movePercent())
        return;
    const double percent = *move.movePercent();
    const double from = withinMinutes || !followed.previousClose ? reading.number / (1 + percent / 100.0)
                                                                 : followed.previousClose->number();
    followed.alertedAt = reading.time;
    store().alerts().add({0, reading.time, followed.id, AlertHistory::Kind::Moved, percent, QString()});
    emit alertsChanged();
    emit moved(followed.id, percent, from, withinMinutes ? move.move().minutes : 0, reading);
}

// The previous trading day's readings, not the last one stored: after days away the last
// close known is not the previous one, and the day's first reading says so better.
void FollowedValues::findPreviousClose(FollowedValue &followed, const QDate &day)
{
    const MarketClock market = m_market.value_or(MarketClock());
    const QDate before = market.previousTradingDay(day);
    const QTimeZone rome = MarketClock::zone();
    QList<ValueStore::Reading> today;
    if (const auto first = store().firstReadingAfter(followed.id, day.startOfDay(rome)))
        today.append(*first);
    followed.previousClose = DayClose::previous(store().readings(followed.id, before.startOfDay(rome), before.endOfDay(rome)),
                                                market.closeOf(before), today);
    if (followed.closeDay != day)
        followed.move.setAlertedSides(0);
    followed.closeDay = day;
    followed.move.setPreviousClose(followed.previousClose ? std::optional(followed.previousClose->number()) : std::nullopt);
}

void FollowedValues::setMarket(const MarketClock &market)
{
    m_market = market;
    // Values opened at start found their close by weekdays alone; the same day keeps its alerts.
    for (FollowedValue &followed : m_values) {
        if (followed.closeDay.isValid())
            findPreviousClose(followed, followed.closeDay);
    }
}

QList<AlertHistory::Alert> FollowedValues::alerts()
{
    return m_store ? m_store->alerts().list() : QList<AlertHistory::Alert>();
}

void FollowedValues::markAlertsSeen()
{
    if (m_store && m_store->alerts().markAllSeen() > 0)
        emit alertsChanged();
}

std::optional<int> FollowedValues::unknownYear() const
{
    const int year = marketDay(m_clock()).year();
    if (!m_market || m_market->calendar().knowsYear(year))
        return std::nullopt;
    return year;
}

void FollowedValues::setMove(qint64 id, const std::optional<MoveCrossing::Move> &move)
{
    if (!m_values.contains(id))
        return;
    MoveCrossing next;
    if (move && !next.setMove(*move))
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
    return store().readings(id, from, to);
}
