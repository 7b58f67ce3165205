#include "watch/store/StoreUpkeep.h"

#include <QHash>
#include <QList>

#include "market/MarketClock.h"
#include "watch/store/AlertHistory.h"
#include "watch/store/StoreSql.h"

using StoreSql::run;

namespace {

qint64 minuteOf(qint64 at)
{
    return at / 60 * 60;
}

} // namespace

StoreUpkeep::StoreUpkeep(const QString &connection, AlertHistory &alerts, QObject *parent)
    : QObject(parent)
    , m_connection(connection)
    , m_alerts(alerts)
{
    m_timer.setInterval(PauseMs);
    connect(&m_timer, &QTimer::timeout, this, &StoreUpkeep::step);
}

void StoreUpkeep::start(const QDateTime &now)
{
    const QTimeZone rome = MarketClock::zone();
    const QDateTime before = now.addDays(-KeptDays);
    // A few alerts a day: they go at once.
    m_alerts.prune(before);
    m_pruneBefore = before.toSecsSinceEpoch();
    m_lastDay = now.toTimeZone(rome).date().addDays(-1);
    const QDate first = m_thinnedThrough.isValid() ? m_thinnedThrough.addDays(1) : before.toTimeZone(rome).date();
    // A day half thinned goes on where it stands.
    if (first != m_day) {
        m_day = first;
        m_cursor = m_day.startOfDay(rome).toSecsSinceEpoch();
        m_seen.clear();
    }
    m_timer.start();
}

bool StoreUpkeep::step()
{
    m_stepRows = 0;
    if (m_pruneBefore)
        pruneStep();
    else if (m_day.isValid() && m_day <= m_lastDay)
        thinStep();
    const bool more = m_pruneBefore || (m_day.isValid() && m_day <= m_lastDay);
    if (!more && m_timer.isActive()) {
        m_timer.stop();
        emit finished();
    }
    return more;
}

// The oldest readings, a step's worth: the readings' key begins with their time, so the step's
// bound is found in the key without a scan. A second held by more readings than a step is
// removed whole, so the work always moves on.
void StoreUpkeep::pruneStep()
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT at FROM readings WHERE at < ? ORDER BY at LIMIT 1 OFFSET ?"));
    if (!run(q, {m_pruneBefore, m_rowsPerStep})) {
        // Tried again at the next start: a file another copy holds now may be free then.
        m_pruneBefore = 0;
        m_day = QDate();
        return;
    }
    const qint64 upTo = q.next() ? q.value(0).toLongLong() : m_pruneBefore;
    q.finish();
    q.prepare(QStringLiteral("DELETE FROM readings WHERE at < min(?, max(?, (SELECT min(at) FROM readings) + 1))"));
    if (!run(q, {m_pruneBefore, upTo})) {
        m_pruneBefore = 0;
        m_day = QDate();
        return;
    }
    m_stepRows = q.numRowsAffected();
    if (upTo == m_pruneBefore)
        m_pruneBefore = 0;
}

// Where a step through the day ends: at the start of the minute that holds the step's last
// row, so each minute is thinned whole; a minute fuller than a step, whole all the same.
qint64 StoreUpkeep::chunkEnd(qint64 dayEnd) const
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT at FROM readings WHERE at >= ? AND at < ? ORDER BY at LIMIT 1 OFFSET ?"));
    if (!run(q, {m_cursor, dayEnd, m_rowsPerStep}) || !q.next())
        return dayEnd;
    return qMin(dayEnd, qMax(minuteOf(q.value(0).toLongLong()), minuteOf(m_cursor) + 60));
}

void StoreUpkeep::thinStep()
{
    const QTimeZone rome = MarketClock::zone();
    const qint64 dayEnd = m_day.addDays(1).startOfDay(rome).toSecsSinceEpoch();
    const qint64 end = chunkEnd(dayEnd);
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT at, value FROM readings WHERE at >= ? AND at < ? ORDER BY at"));
    if (!run(q, {m_cursor, end})) {
        m_day = QDate();
        return;
    }
    QList<std::pair<qint64, qint64>> rows;
    while (q.next())
        rows.append({q.value(0).toLongLong(), q.value(1).toLongLong()});
    q.finish();
    m_stepRows = int(rows.size());
    QList<bool> kept(rows.size(), false);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (!m_seen.contains(rows.at(i).second)) {
            m_seen.insert(rows.at(i).second);
            kept[i] = true;
        }
    }
    QSet<std::pair<qint64, qint64>> minutes;
    for (qsizetype i = rows.size() - 1; i >= 0; --i) {
        const std::pair<qint64, qint64> minute{minuteOf(rows.at(i).first), rows.at(i).second};
        if (!minutes.contains(minute)) {
            minutes.insert(minute);
            kept[i] = true;
        }
    }
    if (kept.contains(false)) {
        if (!db.transaction()) {
            StoreSql::log("sfoltimento", db.lastError());
            m_day = QDate();
            return;
        }
        q.prepare(QStringLiteral("DELETE FROM readings WHERE at = ? AND value = ?"));
        for (qsizetype i = 0; i < rows.size(); ++i) {
            if (!kept.at(i) && !run(q, {rows.at(i).first, rows.at(i).second})) {
                db.rollback();
                m_day = QDate();
                return;
            }
        }
        q.finish();
        if (!db.commit()) {
            StoreSql::log("sfoltimento", db.lastError());
            db.rollback();
            m_day = QDate();
            return;
        }
    }
    m_cursor = end;
    if (end >= dayEnd) {
        m_thinnedThrough = m_day;
        m_day = m_day.addDays(1);
        m_cursor = dayEnd;
        m_seen.clear();
    }
}
