#include "watch/rules/ReadSchedule.h"

#include <algorithm>

void ReadSchedule::setValues(const QList<Value> &values)
{
    m_values.clear();
    m_addresses.clear();
    QHash<qint64, QDateTime> kept;
    for (const Value &value : values) {
        // Nothing to load for a value without an address.
        if (value.address.isEmpty())
            continue;
        m_values.append(value);
        if (!m_addresses.contains(value.address))
            m_addresses.append(value.address);
        if (const auto it = m_lastRead.constFind(value.id); it != m_lastRead.cend())
            kept.insert(value.id, *it);
    }
    m_lastRead = kept;
}

bool ReadSchedule::setIntervalMinutes(int minutes)
{
    static constexpr int offered[] = {1, 2, 3, 5};
    if (std::find(std::begin(offered), std::end(offered), minutes) == std::end(offered))
        return false;
    m_minutes = minutes;
    return true;
}

void ReadSchedule::read(qint64 id, const QDateTime &time)
{
    if (!time.isValid())
        return;
    // A reading handed over late must not put a later one back.
    if (const auto it = m_lastRead.constFind(id); it == m_lastRead.cend() || *it < time)
        m_lastRead.insert(id, time);
}

void ReadSchedule::wokeFromSleep()
{
    m_lastRead.clear();
}

void ReadSchedule::notAfter(const QDateTime &now)
{
    for (QDateTime &read : m_lastRead) {
        if (read > now)
            read = now;
    }
}

bool ReadSchedule::backgroundStarted(const QString &address)
{
    if (m_running || !m_addresses.contains(address))
        return false;
    m_running = address;
    m_lastStarted = address;
    return true;
}

void ReadSchedule::backgroundFinished(const QString &address, const QDateTime &time)
{
    if (m_running != address)
        return;
    m_running.reset();
    if (!time.isValid())
        return;
    for (const Value &value : std::as_const(m_values)) {
        if (value.address == address)
            m_lastRead.insert(value.id, time);
    }
}

std::optional<QDateTime> ReadSchedule::dueTime(const QString &address) const
{
    std::optional<QDateTime> earliest;
    for (const Value &value : m_values) {
        if (value.address != address)
            continue;
        const auto it = m_lastRead.constFind(value.id);
        if (it == m_lastRead.cend())
            return std::nullopt;
        const QDateTime at = it->addSecs(qint64(m_minutes) * 60);
        if (!earliest || at < *earliest)
            earliest = at;
    }
    return earliest;
}

QList<QString> ReadSchedule::inTurn() const
{
    QList<QString> turn = m_addresses;
    const qsizetype last = turn.indexOf(m_lastStarted);
    std::rotate(turn.begin(), turn.begin() + (last + 1), turn.end());
    return turn;
}

std::optional<QString> ReadSchedule::due(const QDateTime &now, bool marketOpen) const
{
    if (!marketOpen || m_running)
        return std::nullopt;
    for (const QString &address : inTurn()) {
        const auto at = dueTime(address);
        if (!at || *at <= now)
            return address;
    }
    return std::nullopt;
}

std::optional<QDateTime> ReadSchedule::nextDueTime(const QDateTime &now, bool marketOpen) const
{
    if (!marketOpen || m_running || m_addresses.isEmpty())
        return std::nullopt;
    QDateTime earliest;
    for (const QString &address : m_addresses) {
        const QDateTime at = dueTime(address).value_or(now);
        if (!earliest.isValid() || at < earliest)
            earliest = at;
    }
    return std::max(earliest, now);
}
