#pragma once

#include <optional>

#include <QDateTime>
#include <QList>
#include <QString>

// The alerts given in the last days, kept in ValueStore's file so the list of them survives a
// restart: what alerted, when, and whether the user has seen it. Pruned with the readings.
class AlertHistory final
{
    Q_DISABLE_COPY_MOVE(AlertHistory)
public:
    // Numbers as stored: keep them.
    enum class Kind { CrossedAbove = 1, CrossedBelow = 2, Moved = 3, Silent = 4 };
    struct Alert
    {
        qint64 id = 0;
        QDateTime time;
        qint64 value = 0;
        Kind kind = Kind::CrossedAbove;
        // The level or the reading crossed, or the move in percent; none for a silence.
        std::optional<double> number;
        // Why, in words, where a number does not say it (a value that fell silent).
        QString reason;
        bool seen = false;
    };

    explicit AlertHistory(const QString &connection) : m_connection(connection) {}

    // The new alert's id.
    std::optional<qint64> add(const Alert &alert);
    // Newest first.
    QList<Alert> list() const;
    bool markSeen(qint64 id);
    // How many were unseen.
    int markAllSeen();
    int prune(const QDateTime &before);

private:
    QString m_connection;
};
