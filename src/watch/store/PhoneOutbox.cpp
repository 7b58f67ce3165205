#include "watch/store/PhoneOutbox.h"

#include "watch/store/StoreSql.h"

using StoreSql::run;
using StoreSql::text;

bool PhoneOutbox::add(const Entry &entry)
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("INSERT INTO phone_outbox (alert, created, title, body, high, tags, click, state, attempts, "
                             "next_at, outcome) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    const PhoneMessage &m = entry.message;
    return run(q, {entry.alert, entry.created.toSecsSinceEpoch(), text(m.title), text(m.body), m.high, text(m.tags),
                   text(m.click), int(entry.state), entry.attempts, entry.nextTry.toSecsSinceEpoch(), text(entry.outcome)});
}

QList<PhoneOutbox::Entry> PhoneOutbox::pending() const
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT alert, created, title, body, high, tags, click, attempts, next_at, outcome "
                             "FROM phone_outbox WHERE state = ? ORDER BY created, alert"));
    QList<Entry> found;
    if (!run(q, {int(State::Pending)}))
        return found;
    while (q.next()) {
        found.append({q.value(0).toLongLong(), QDateTime::fromSecsSinceEpoch(q.value(1).toLongLong()),
                      {q.value(2).toString(), q.value(3).toString(), q.value(4).toBool(), q.value(5).toString(),
                       q.value(6).toString()},
                      State::Pending, q.value(7).toInt(), QDateTime::fromSecsSinceEpoch(q.value(8).toLongLong()),
                      q.value(9).toString()});
    }
    return found;
}

bool PhoneOutbox::update(const Entry &entry)
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("UPDATE phone_outbox SET state = ?, attempts = ?, next_at = ?, outcome = ? WHERE alert = ?"));
    return run(q, {int(entry.state), entry.attempts, entry.nextTry.toSecsSinceEpoch(), text(entry.outcome), entry.alert})
           && q.numRowsAffected() == 1;
}
