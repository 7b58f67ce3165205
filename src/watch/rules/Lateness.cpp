#include "watch/rules/Lateness.h"

QList<qint64> Lateness::check(const QDateTime &now, qint64 allowedMs, const QList<Value> &values, const Open &open)
{
    for (const Markets::Row &row : Markets::rows()) {
        QDateTime &since = m_openSince[row.id];
        if (!open(row.id, now))
            since = QDateTime();
        else if (!since.isValid() || since > now)
            since = now;
    }
    QList<qint64> late;
    QList<qint64> fell;
    for (const Value &value : values) {
        if (!m_openSince[value.market].isValid() || countedFrom(value, now).msecsTo(now) <= allowedMs)
            continue;
        late.append(value.id);
        if (!m_told.contains(value.id)) {
            m_told.insert(value.id);
            fell.append(value.id);
        }
    }
    m_late = late;
    return fell;
}

bool Lateness::read(const QList<qint64> &ids)
{
    for (const qint64 id : ids)
        m_told.remove(id);
    return m_late.removeIf([&ids](qint64 id) { return ids.contains(id); }) > 0;
}

// A reading or an opening "in the future" (the clock was set back) counts from the moment it
// was first seen so, and keeps counting: lateness does not wait for the clock to catch up.
QDateTime Lateness::countedFrom(const Value &value, const QDateTime &now)
{
    QDateTime read = value.lastRead;
    if (read.isValid() && read > now) {
        QDateTime &back = m_readBack[value.id];
        if (!back.isValid() || back > now)
            back = now;
        read = back;
    } else {
        m_readBack.remove(value.id);
    }
    const QDateTime &open = m_openSince[value.market];
    return read.isValid() && read > open ? read : open;
}

QString Lateness::since(const QDateTime &lastRead, const QDate &today)
{
    if (!lastRead.isValid())
        return QString();
    if (lastRead.date() == today)
        return QStringLiteral("dalle %1").arg(lastRead.toString(QStringLiteral("HH:mm")));
    return QStringLiteral("dal %1 alle %2").arg(lastRead.toString(QStringLiteral("dd/MM/yyyy")), lastRead.toString(QStringLiteral("HH:mm")));
}

QString Lateness::state(const QDateTime &lastRead, const QDate &today)
{
    const QString from = since(lastRead, today);
    return from.isEmpty() ? QStringLiteral("mai letto") : QStringLiteral("non letto ") + from;
}
