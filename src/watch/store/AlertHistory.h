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
    enum class Kind { CrossedAbove = 1, CrossedBelow = 2, Moved = 3, Late = 4 };
    // Where the alert went besides the history. Numbers as stored: keep them. Unknown for an
    // alert older than this record, or one whose notification had no answer before an exit.
    enum class Desktop { Unknown = 0, Shown = 1, ProgramList = 2 };
    enum class Phone { NotSent = -1, Pending = 0, Delivered = 1, Refused = 2, GivenUp = 3 };
    struct Alert
    {
        qint64 id = 0;
        QDateTime time;
        qint64 value = 0;
        Kind kind = Kind::CrossedAbove;
        // The level or the reading crossed, or the move in percent; none for a late value.
        std::optional<double> number;
        // Why, in words, where a number does not say it (a value that became late).
        QString reason;
        bool seen = false;
        Desktop desktop = Desktop::Unknown;
        Phone phone = Phone::NotSent;
        int phoneAttempts = 0;
        // The service's last answer, for people.
        QString phoneOutcome = {};
    };

    explicit AlertHistory(const QString &connection) : m_connection(connection) {}

    // The new alert's id.
    std::optional<qint64> add(const Alert &alert);
    // The id the last add gave, 0 where it failed: the alert's signal follows its add at once.
    qint64 lastAdded() const { return m_lastAdded; }
    bool setDesktop(qint64 id, Desktop desktop);
    // Newest first.
    QList<Alert> list() const;
    bool markSeen(qint64 id);
    // How many were unseen.
    int markAllSeen();
    int prune(const QDateTime &before);

private:
    QString m_connection;
    qint64 m_lastAdded = 0;
};
