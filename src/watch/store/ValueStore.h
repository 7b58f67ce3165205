#pragma once

#include <optional>

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>

#include "panes/ValueReading.h"
#include "watch/store/AlertHistory.h"
#include "watch/rules/LevelCrossing.h"
#include "watch/store/ValueStoreFile.h"

// The followed values, their levels and their readings, in one SQLite file (ValueStoreFile
// opens it, ValueStoreSchema keeps its tables up to date). One reading a row (value, second,
// number); a second's later reading replaces an earlier one. Every failure is reported in the
// answer, never hidden: what was not stored is never shown as stored. Plain: no window, every
// time given.
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
        // Which levels have alerted and wait for the value to come back past the margin.
        bool aboveAlerted = false;
        bool belowAlerted = false;
        // The move in percent to alert on (MoveCrossing's): none, or from the previous close
        // where minutes is 0, else within that many minutes.
        std::optional<double> movePercent;
        int moveMinutes = 0;
        double moveMargin = 0.2;
        // Which sides of the move alerted (1 up, 2 down), and on which day: a move alerts once
        // a day, whatever the restarts.
        int moveAlerted = 0;
        QDate moveAlertedOn;
    };
    struct Reading
    {
        QDateTime time;
        double number = 0;
    };

    // driverOptions: Qt's QSQLITE connect options, for a file to be opened read-only.
    explicit ValueStore(const QString &path, const QString &driverOptions = {});
    ~ValueStore();

    // What happened at opening, for the user; empty when all went well.
    QString openingProblem() const { return m_file.problem(); }
    // Where a damaged file went; empty when none was set aside.
    QString setAsidePath() const { return m_file.setAsidePath(); }
    bool isPersistent() const { return m_file.isPersistent(); }

    QList<Value> values() const;
    // The value's id; an existing one for a place already followed.
    std::optional<qint64> follow(const ValuePlace &place, const QString &name, const QString &heading = {});
    bool rename(qint64 id, const QString &name);
    bool setLevels(qint64 id, const LevelCrossing::Levels &levels);
    bool setHeading(qint64 id, const QString &heading);
    // Kept when the alert is given and cleared when the level is armed again, so that neither a
    // restart nor a crash alerts twice for one crossing. A level changed by setLevels is armed.
    bool setAlerted(qint64 id, LevelCrossing::Crossed level, bool alerted);
    // A move set anew is armed.
    bool setMove(qint64 id, std::optional<double> percent, int minutes, double margin);
    bool setMoveAlerted(qint64 id, int sides, const QDate &day);
    // Forgets the value with its readings.
    bool unfollow(qint64 id);

    // All in one transaction: either every reading is kept, or none; false when none was.
    bool record(const QList<std::pair<qint64, Reading>> &readings);
    // Oldest first, from and to included.
    QList<Reading> readings(qint64 id, const QDateTime &from, const QDateTime &to) const;
    std::optional<Reading> lastReading(qint64 id) const;
    // The first reading at or after the time: the day's opening.
    std::optional<Reading> firstReadingAfter(qint64 id, const QDateTime &after) const;
    // Removes readings and alerts older than the days before now; returns how many readings.
    int prune(const QDateTime &now, int days = 30);

    AlertHistory &alerts() { return m_alerts; }

private:
    std::optional<Reading> oneReading(const QString &statement, const QVariantList &values) const;

    ValueStoreFile m_file;
    AlertHistory m_alerts;
};
