#include "watch/store/AlertHistory.h"

#include "watch/store/StoreSql.h"

using StoreSql::run;

std::optional<qint64> AlertHistory::add(const Alert &alert)
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("INSERT INTO alerts (at, value, kind, number, reason, seen) VALUES (?, ?, ?, ?, ?, ?)"));
    if (!run(q, {alert.time.toSecsSinceEpoch(), alert.value, int(alert.kind), StoreSql::optionalNumber(alert.number),
                 StoreSql::text(alert.reason), alert.seen}))
        return std::nullopt;
    return q.lastInsertId().toLongLong();
}

QList<AlertHistory::Alert> AlertHistory::list() const
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    QList<Alert> alerts;
    if (!StoreSql::execute(q, QStringLiteral("SELECT id, at, value, kind, number, reason, seen FROM alerts ORDER BY at DESC, id DESC")))
        return alerts;
    while (q.next()) {
        alerts.append({q.value(0).toLongLong(), QDateTime::fromSecsSinceEpoch(q.value(1).toLongLong()),
                       q.value(2).toLongLong(), Kind(q.value(3).toInt()), StoreSql::toOptional(q.value(4)),
                       q.value(5).toString(), q.value(6).toBool()});
    }
    return alerts;
}

bool AlertHistory::markSeen(qint64 id)
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("UPDATE alerts SET seen = 1 WHERE id = ?"));
    return run(q, {id}) && q.numRowsAffected() == 1;
}

int AlertHistory::markAllSeen()
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    return StoreSql::execute(q, QStringLiteral("UPDATE alerts SET seen = 1 WHERE seen = 0")) ? q.numRowsAffected() : 0;
}

int AlertHistory::prune(const QDateTime &before)
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("DELETE FROM alerts WHERE at < ?"));
    return run(q, {before.toSecsSinceEpoch()}) ? q.numRowsAffected() : 0;
}
