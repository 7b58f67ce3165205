#pragma once

#include <optional>
#include <utility>

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>

#include "watch/rules/LevelCrossing.h"
#include "watch/store/AlertHistory.h"

class ValueStore;

// What alerted, kept in the store as it happens: which level and which move sides alerted (a
// crash or a restart must not alert the same crossing again) and the history of the last
// days, with what the user has seen. Nothing is kept before the store is given.
class AlertBook final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AlertBook)
public:
    explicit AlertBook(QObject *parent = nullptr) : QObject(parent) {}

    void open(ValueStore &store) { m_store = &store; }
    // When each value last alerted by a level or a move, as the history keeps it.
    QHash<qint64, QDateTime> lastAlerts() const;

    // Feeds a value's levels: the side and the level it crossed, where one alerted.
    std::optional<std::pair<LevelCrossing::Crossed, double>> feedLevels(qint64 id, LevelCrossing &crossing,
                                                                        const QDateTime &at, double number);
    // The sides of its move that alerted on its market's day.
    void moveSides(qint64 id, int sides, const QDate &day);
    void moved(qint64 id, double percent, const QDateTime &at);
    void late(qint64 id, const QString &reason, const QDateTime &at);

    // Newest first; none before the store is given.
    QList<AlertHistory::Alert> list() const;
    void markAllSeen();

signals:
    // An alert went into the history, or those there were seen.
    void changed();

private:
    void add(const AlertHistory::Alert &alert);

    ValueStore *m_store = nullptr;
};
