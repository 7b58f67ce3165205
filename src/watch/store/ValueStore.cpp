#include "watch/store/ValueStore.h"

#include "watch/store/StoreSql.h"

using StoreSql::optionalNumber;
using StoreSql::run;
using StoreSql::text;

ValueStore::ValueStore(const QString &path, const QString &driverOptions)
    : m_file(path, driverOptions)
    , m_alerts(m_file.connection())
    , m_upkeep(m_file.connection(), m_alerts)
    , m_phoneOutbox(m_file.connection())
{
}

ValueStore::~ValueStore()
{
    // A still value's last reading is its day's close if the program ends after the auction.
    QList<std::pair<qint64, Reading>> unwritten;
    for (auto it = m_written.cbegin(); it != m_written.cend(); ++it) {
        if (it->since)
            unwritten.append({it.key(), *it->since});
    }
    write(unwritten);
}

QList<ValueStore::Value> ValueStore::values() const
{
    QSqlQuery q(QSqlDatabase::database(m_file.connection(), false));
    QList<Value> values;
    if (!StoreSql::execute(q, QStringLiteral("SELECT id, address, grp, cell, name, above, below, margin, heading, above_alerted, "
                                "below_alerted, move_percent, move_minutes, move_margin, move_alerted, move_alerted_on, "
                                "market, phone FROM followed ORDER BY id")))
        return values;
    while (q.next()) {
        Value v;
        v.id = q.value(0).toLongLong();
        v.place = {q.value(1).toString(), q.value(2).toString(), q.value(3).toInt()};
        v.name = q.value(4).toString();
        v.levels = {StoreSql::toOptional(q.value(5)), StoreSql::toOptional(q.value(6)), q.value(7).toDouble()};
        v.heading = q.value(8).toString();
        v.aboveAlerted = q.value(9).toBool();
        v.belowAlerted = q.value(10).toBool();
        v.movePercent = StoreSql::toOptional(q.value(11));
        v.moveMinutes = q.value(12).toInt();
        v.moveMargin = q.value(13).toDouble();
        v.moveAlerted = q.value(14).toInt();
        v.moveAlertedOn = QDate::fromString(q.value(15).toString(), Qt::ISODate);
        v.market = q.value(16).toString();
        v.phone = q.value(17).toBool();
        values.append(v);
    }
    return values;
}

std::optional<qint64> ValueStore::follow(const ValuePlace &place, const QString &name, const QString &heading)
{
    QSqlQuery q(QSqlDatabase::database(m_file.connection(), false));
    q.prepare(QStringLiteral("INSERT OR IGNORE INTO followed (address, grp, cell, name, heading) VALUES (?, ?, ?, ?, ?)"));
    if (!run(q, {text(place.address), text(place.group), place.index, text(name), text(heading)}))
        return std::nullopt;
    q.prepare(QStringLiteral("SELECT id FROM followed WHERE address = ? AND grp = ? AND cell = ?"));
    if (!run(q, {text(place.address), text(place.group), place.index}) || !q.next())
        return std::nullopt;
    return q.value(0).toLongLong();
}

bool ValueStore::rename(qint64 id, const QString &name)
{
    QSqlQuery q(QSqlDatabase::database(m_file.connection(), false));
    q.prepare(QStringLiteral("UPDATE followed SET name = ? WHERE id = ?"));
    return run(q, {text(name), id}) && q.numRowsAffected() == 1;
}

bool ValueStore::setLevels(qint64 id, const LevelCrossing::Levels &levels)
{
    QSqlQuery q(QSqlDatabase::database(m_file.connection(), false));
    q.prepare(QStringLiteral("UPDATE followed SET above_alerted = above_alerted AND above IS ?, "
                             "below_alerted = below_alerted AND below IS ?, above = ?, below = ?, margin = ? WHERE id = ?"));
    const QVariant above = optionalNumber(levels.above), below = optionalNumber(levels.below);
    return run(q, {above, below, above, below, levels.marginPercent, id}) && q.numRowsAffected() == 1;
}

bool ValueStore::setHeading(qint64 id, const QString &heading)
{
    QSqlQuery q(QSqlDatabase::database(m_file.connection(), false));
    q.prepare(QStringLiteral("UPDATE followed SET heading = ? WHERE id = ?"));
    return run(q, {text(heading), id}) && q.numRowsAffected() == 1;
}

bool ValueStore::setAlerted(qint64 id, LevelCrossing::Crossed level, bool alerted)
{
    if (level == LevelCrossing::Crossed::None)
        return false;
    QSqlQuery q(QSqlDatabase::database(m_file.connection(), false));
    q.prepare(level == LevelCrossing::Crossed::Above ? QStringLiteral("UPDATE followed SET above_alerted = ? WHERE id = ?")
                                                     : QStringLiteral("UPDATE followed SET below_alerted = ? WHERE id = ?"));
    return run(q, {alerted, id}) && q.numRowsAffected() == 1;
}

bool ValueStore::setMove(qint64 id, std::optional<double> percent, int minutes, double margin)
{
    QSqlQuery q(QSqlDatabase::database(m_file.connection(), false));
    q.prepare(QStringLiteral("UPDATE followed SET move_percent = ?, move_minutes = ?, move_margin = ?, move_alerted = 0 "
                             "WHERE id = ?"));
    return run(q, {optionalNumber(percent), minutes, margin, id}) && q.numRowsAffected() == 1;
}

bool ValueStore::setMoveAlerted(qint64 id, int sides, const QDate &day)
{
    QSqlQuery q(QSqlDatabase::database(m_file.connection(), false));
    q.prepare(QStringLiteral("UPDATE followed SET move_alerted = ?, move_alerted_on = ? WHERE id = ?"));
    return run(q, {sides, text(day.toString(Qt::ISODate)), id}) && q.numRowsAffected() == 1;
}

bool ValueStore::setMarket(qint64 id, const QString &market)
{
    QSqlQuery q(QSqlDatabase::database(m_file.connection(), false));
    q.prepare(QStringLiteral("UPDATE followed SET market = ? WHERE id = ?"));
    return run(q, {text(market), id}) && q.numRowsAffected() == 1;
}

bool ValueStore::setPhone(qint64 id, bool on)
{
    QSqlQuery q(QSqlDatabase::database(m_file.connection(), false));
    q.prepare(QStringLiteral("UPDATE followed SET phone = ? WHERE id = ?"));
    return run(q, {on, id}) && q.numRowsAffected() == 1;
}

bool ValueStore::unfollow(qint64 id)
{
    QSqlQuery q(QSqlDatabase::database(m_file.connection(), false));
    q.prepare(QStringLiteral("DELETE FROM followed WHERE id = ?"));
    m_written.remove(id);
    return run(q, {id}) && q.numRowsAffected() == 1;
}

bool ValueStore::record(const QList<std::pair<qint64, Reading>> &readings)
{
    // What each value's entry was, to put back where nothing was kept.
    QList<std::pair<qint64, std::optional<Written>>> before;
    QList<std::pair<qint64, Reading>> rows;
    for (const auto &[id, reading] : readings) {
        auto it = m_written.find(id);
        before.append({id, it == m_written.end() ? std::nullopt : std::optional(*it)});
        if (it == m_written.end())
            it = m_written.insert(id, {lastReading(id).value_or(Reading{}), std::nullopt});
        const qint64 apart = qAbs(it->last.time.secsTo(reading.time));
        if (it->last.time.isValid() && it->last.number == reading.number && apart < UnchangedForSecs) {
            if (apart > 0)
                it->since = reading;
            continue;
        }
        // The end of a still stretch: before a change, or before a gap in the readings.
        if (it->since && (it->last.number != reading.number || qAbs(it->since->time.secsTo(reading.time)) >= UnchangedForSecs))
            rows.append({id, *it->since});
        rows.append({id, reading});
        *it = {reading, std::nullopt};
    }
    if (write(rows))
        return true;
    for (auto it = before.crbegin(); it != before.crend(); ++it) {
        if (it->second)
            m_written.insert(it->first, *it->second);
        else
            m_written.remove(it->first);
    }
    return false;
}

bool ValueStore::write(const QList<std::pair<qint64, Reading>> &readings)
{
    return readings.isEmpty() || transaction([&] { return insertReadings(readings); });
}

bool ValueStore::insertReadings(const QList<std::pair<qint64, Reading>> &readings)
{
    QSqlQuery q(QSqlDatabase::database(m_file.connection(), false));
    q.prepare(QStringLiteral("INSERT OR REPLACE INTO readings (at, value, number) VALUES (?, ?, ?)"));
    for (const auto &[id, reading] : readings) {
        if (!run(q, {reading.time.toSecsSinceEpoch(), id, reading.number}))
            return false;
    }
    return true;
}

bool ValueStore::transaction(const std::function<bool()> &work)
{
    QSqlDatabase db = QSqlDatabase::database(m_file.connection(), false);
    if (!db.transaction()) {
        StoreSql::log("inizio della registrazione", db.lastError());
        return false;
    }
    if (!work()) {
        db.rollback();
        return false;
    }
    if (db.commit())
        return true;
    // A commit that fails (a full disk, another copy's lock) has kept nothing.
    StoreSql::log("registrazione", db.lastError());
    db.rollback();
    return false;
}

QList<ValueStore::Reading> ValueStore::readings(qint64 id, const QDateTime &from, const QDateTime &to) const
{
    QSqlQuery q(QSqlDatabase::database(m_file.connection(), false));
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT at, number FROM readings WHERE value = ? AND at BETWEEN ? AND ? ORDER BY at"));
    QList<Reading> found;
    if (!run(q, {id, from.toSecsSinceEpoch(), to.toSecsSinceEpoch()}))
        return found;
    while (q.next())
        found.append({QDateTime::fromSecsSinceEpoch(q.value(0).toLongLong()), q.value(1).toDouble()});
    return found;
}

std::optional<ValueStore::Reading> ValueStore::oneReading(const QString &statement, const QVariantList &values) const
{
    QSqlQuery q(QSqlDatabase::database(m_file.connection(), false));
    q.prepare(statement);
    if (!run(q, values) || !q.next())
        return std::nullopt;
    return Reading{QDateTime::fromSecsSinceEpoch(q.value(0).toLongLong()), q.value(1).toDouble()};
}

std::optional<ValueStore::Reading> ValueStore::lastReading(qint64 id) const
{
    return oneReading(QStringLiteral("SELECT at, number FROM readings WHERE value = ? ORDER BY at DESC LIMIT 1"), {id});
}

std::optional<ValueStore::Reading> ValueStore::firstReadingAfter(qint64 id, const QDateTime &after) const
{
    return oneReading(QStringLiteral("SELECT at, number FROM readings WHERE value = ? AND at >= ? ORDER BY at LIMIT 1"),
                      {id, after.toSecsSinceEpoch()});
}
