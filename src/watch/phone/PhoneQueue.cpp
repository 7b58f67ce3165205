#include "watch/phone/PhoneQueue.h"

#include <QDebug>

PhoneQueue::PhoneQueue(PhoneOutbox &outbox)
    : m_outbox(outbox)
{
    for (const Entry &entry : m_outbox.pending())
        m_pending.insert(entry.alert, entry);
}

bool PhoneQueue::add(qint64 alert, const PhoneMessage &message, const QDateTime &now)
{
    const Entry entry{alert, now, message, State::Pending, 0, now, QString()};
    if (!m_outbox.add(entry))
        return false;
    m_pending.insert(alert, entry);
    return true;
}

QList<PhoneQueue::Entry> PhoneQueue::take(const QDateTime &now, QList<qint64> *givenUp)
{
    QList<Entry> due;
    QList<qint64> stale;
    for (const Entry &entry : std::as_const(m_pending)) {
        if (m_onTheirWay.contains(entry.alert) || entry.nextTry > now)
            continue;
        // After a night switched off, a crossing of yesterday is news no more.
        if (entry.created.secsTo(now) >= qint64(KeptHours) * 3600)
            stale.append(entry.alert);
        else
            due.append(entry);
    }
    for (const qint64 alert : std::as_const(stale))
        settle(alert, State::GivenUp, m_pending.value(alert).outcome);
    for (const Entry &entry : std::as_const(due))
        m_onTheirWay.insert(entry.alert);
    if (givenUp)
        *givenUp = stale;
    return due;
}

void PhoneQueue::delivered(qint64 alert, const QString &outcome)
{
    settle(alert, State::Delivered, outcome);
}

void PhoneQueue::refused(qint64 alert, const QString &outcome)
{
    settle(alert, State::Refused, outcome);
}

PhoneQueue::State PhoneQueue::failed(qint64 alert, const QDateTime &now, const QString &outcome)
{
    if (!m_onTheirWay.remove(alert) || !m_pending.contains(alert))
        return State::Pending;
    Entry &entry = m_pending[alert];
    ++entry.attempts;
    entry.outcome = outcome;
    entry.nextTry = now.addSecs(pauseSeconds(entry.attempts));
    if (entry.created.secsTo(entry.nextTry) >= qint64(KeptHours) * 3600) {
        settle(alert, State::GivenUp, outcome);
        return State::GivenUp;
    }
    if (!m_outbox.update(entry))
        qWarning("Avviso %lld per il telefono: il prossimo tentativo non \u00e8 stato salvato", alert);
    return State::Pending;
}

void PhoneQueue::settle(qint64 alert, State state, const QString &outcome)
{
    m_onTheirWay.remove(alert);
    if (!m_pending.contains(alert))
        return;
    Entry entry = m_pending.take(alert);
    entry.state = state;
    entry.outcome = outcome;
    // Kept from here on in memory: this session does not send it again, whatever the disk says.
    if (!m_outbox.update(entry))
        qWarning("Avviso %lld per il telefono: il suo esito non \u00e8 stato salvato", alert);
}

std::optional<QDateTime> PhoneQueue::nextTry() const
{
    std::optional<QDateTime> first;
    for (const Entry &entry : m_pending) {
        if (!m_onTheirWay.contains(entry.alert) && (!first || entry.nextTry < *first))
            first = entry.nextTry;
    }
    return first;
}

int PhoneQueue::pauseSeconds(int failures)
{
    int pause = FirstPauseSeconds;
    for (int i = 1; i < failures && pause < LongestPauseSeconds; ++i)
        pause *= 2;
    return qMin(pause, LongestPauseSeconds);
}
