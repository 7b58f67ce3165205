#include "watch/store/ValueStore.h"

#include "watch/store/StoreSql.h"

using StoreSql::optionalNumber;
using StoreSql::run;
using StoreSql::text;

ValueStore::ValueStore(const QString &path, const QString &driverOptions)
    : m_file(path, driverOptions)
    , m_alerts(m_file.connection())
{
}

ValueStore::~ValueStore() = default;

QList<ValueStore::Value> ValueStore::values() const
{
    QSqlQuery q(QSqlDatabase::database(m_file.connection(), false));
    QList<Value> values;
    if (!StoreSql::execute(q, QStringLiteral("SELECT id, address, grp, cell, name, above, below, margin, heading, above_alerted, "
                                "below_alerted, move_percent, move_minutes, move_margin, move_alerted, move_alerted_on "
                                "FROM followed ORDER BY id")))
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

bool ValueStore::unfollow(qint64 id)
{
    QSqlQuery q(QSqlDatabase::database(m_file.connection(), false));
    q.prepare(QStringLiteral("DELETE FROM followed WHERE id = ?"));
    return run(q, {id}) && q.numRowsAffected() == 1;
}

bool ValueStore::record(const QList<std::pair<qint64, Reading>> &readings)
{
    if (readings.isEmpty())
        return true;
    QSqlDatabase db = QSqlDatabase::database(m_file.connection(), false);
    if (!db.transaction()) {
        StoreSql::log("inizio della registrazione", db.lastError());
        return false;
    }
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT OR REPLACE INTO readings (at, value, number) VALUES (?, ?, ?)"));
    for (const auto &[id, reading] : readings) {
        if (!run(q, {reading.time.toSecsSinceEpoch(), id, reading.number})) {
            db.rollback();
            return false;
        }
    }
    q.finish();
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

int ValueStore::prune(const QDateTime &now, int days)
{
    const QDateTime before = now.addDays(-days);
    m_alerts.prune(before);
    QSqlQuery q(QSqlDatabase::database(m_file.connection(), false));
    q.prepare(QStringLiteral("DELETE FROM readings WHERE at < ?"));
    return run(q, {before.toSecsSinceEpoch()}) ? q.numRowsAffected() : 0;
}
