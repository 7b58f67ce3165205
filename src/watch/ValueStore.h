#pragma once

#include <optional>

#include <QDateTime>
#include <QList>
#include <QString>

#include "panes/ValueReading.h"
#include "watch/LevelCrossing.h"

// The followed values, their levels and their readings, in one SQLite file. One reading a row
// (value, second, number); a second's later reading replaces an earlier one. A file that
// cannot be opened or is damaged is renamed aside and a new one begun; where not even that
// works, the store lives in memory for the session. Plain: no window, every time given.
class ValueStore final
{
    Q_DISABLE_COPY_MOVE(ValueStore)
public:
    struct Value
    {
        qint64 id = 0;
        ValuePlace place;
        QString name;
        LevelCrossing::Levels levels;
        // The heading over its table column when it was followed; empty for none.
        QString heading;
    };
    struct Reading
    {
        QDateTime time;
        double number = 0;
    };

    explicit ValueStore(const QString &path);
    ~ValueStore();

    // What happened at opening, for the user; empty when all went well.
    QString openingProblem() const { return m_problem; }
    // Where a damaged file went; empty when none was set aside.
    QString setAsidePath() const { return m_setAside; }
    bool isPersistent() const { return m_persistent; }

    QList<Value> values() const;
    // The value's id; an existing one for a place already followed.
    std::optional<qint64> follow(const ValuePlace &place, const QString &name, const QString &heading = {});
    bool rename(qint64 id, const QString &name);
    bool setLevels(qint64 id, const LevelCrossing::Levels &levels);
    bool setHeading(qint64 id, const QString &heading);
    // Forgets the value with its readings.
    bool unfollow(qint64 id);

    // All in one transaction: either every reading is kept, or none.
    bool record(const QList<std::pair<qint64, Reading>> &readings);
    // Oldest first, from and to included.
    QList<Reading> readings(qint64 id, const QDateTime &from, const QDateTime &to) const;
    std::optional<Reading> lastReading(qint64 id) const;
    // Removes readings older than the days before now; returns how many.
    int prune(const QDateTime &now, int days = 30);

private:
    bool open(const QString &path);
    bool prepareSchema();
    void setAside(const QString &path);

    QString m_connection;
    QString m_problem;
    QString m_setAside;
    bool m_fromLaterProgram = false;
    bool m_persistent = false;
};
