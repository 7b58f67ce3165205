#include "watch/alerts/AlertBook.h"

#include "watch/store/ValueStore.h"

QHash<qint64, QDateTime> AlertBook::lastAlerts() const
{
    QHash<qint64, QDateTime> at;
    for (const AlertHistory::Alert &alert : list()) {
        if (alert.kind != AlertHistory::Kind::Late && !at.contains(alert.value))
            at.insert(alert.value, alert.time);
    }
    return at;
}

std::optional<std::pair<LevelCrossing::Crossed, double>> AlertBook::feedLevels(qint64 id, LevelCrossing &crossing,
                                                                                const QDateTime &at, double number)
{
    using Crossed = LevelCrossing::Crossed;
    const bool aboveArmed = crossing.isAboveArmed();
    const bool belowArmed = crossing.isBelowArmed();
    const Crossed crossed = crossing.feed(number);
    if (!m_store)
        return std::nullopt;
    // Kept as it changes, not at exit: a crash must not alert the same crossing again.
    if (!aboveArmed && crossing.isAboveArmed())
        m_store->setAlerted(id, Crossed::Above, false);
    if (!belowArmed && crossing.isBelowArmed())
        m_store->setAlerted(id, Crossed::Below, false);
    if (crossed == Crossed::None)
        return std::nullopt;
    m_store->setAlerted(id, crossed, true);
    const bool above = crossed == Crossed::Above;
    const double level = above ? *crossing.levels().above : *crossing.levels().below;
    add({0, at, id, above ? AlertHistory::Kind::CrossedAbove : AlertHistory::Kind::CrossedBelow, level, QString()});
    return std::pair(crossed, level);
}

void AlertBook::moveSides(qint64 id, int sides, const QDate &day)
{
    if (m_store)
        m_store->setMoveAlerted(id, sides, day);
}

void AlertBook::moved(qint64 id, double percent, const QDateTime &at)
{
    add({0, at, id, AlertHistory::Kind::Moved, percent, QString()});
}

void AlertBook::late(qint64 id, const QString &reason, const QDateTime &at)
{
    add({0, at, id, AlertHistory::Kind::Late, std::nullopt, reason});
}

void AlertBook::add(const AlertHistory::Alert &alert)
{
    if (!m_store)
        return;
    m_store->alerts().add(alert);
    emit changed();
}

QList<AlertHistory::Alert> AlertBook::list() const
{
    return m_store ? m_store->alerts().list() : QList<AlertHistory::Alert>();
}

void AlertBook::markAllSeen()
{
    if (m_store && m_store->alerts().markAllSeen() > 0)
        emit changed();
}
