#pragma once

#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

class AlertHistory;

// Keeps the store's file small: readings and alerts older than a month go, and every day
// before today is thinned to one reading a minute per value (each minute's last, so the day's
// last, its close, stays), its first kept as well, since it stands in for a previous close
// nobody read. A month of streaming values is hundreds of thousands of rows: the work is done
// in steps of about a thousand rows, each its own short transaction, one step per turn of a
// short timer, so the pages and the window go on between them. Started at opening and at each
// new day; step() runs one step at once.
class StoreUpkeep final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StoreUpkeep)
public:
    static constexpr int KeptDays = 30;
    static constexpr int RowsPerStep = 1000;
    // Between steps, for the event loop.
    static constexpr int PauseMs = 20;

    StoreUpkeep(const QString &connection, AlertHistory &alerts, QObject *parent = nullptr);

    // Plans the work for the day of now and starts the timer; the days already thinned in this
    // session are not read again.
    void start(const QDateTime &now);
    // One step; false once nothing is left.
    bool step();
    bool isRunning() const { return m_timer.isActive(); }
    // How many readings the last step read or removed.
    int lastStepRows() const { return m_stepRows; }
    void setRowsPerStep(int rows) { m_rowsPerStep = qMax(1, rows); }

signals:
    void finished();

private:
    void pruneStep();
    void thinStep();
    qint64 chunkEnd(qint64 dayEnd) const;

    QString m_connection;
    AlertHistory &m_alerts;
    QTimer m_timer;
    int m_rowsPerStep = RowsPerStep;
    int m_stepRows = 0;
    // Seconds since the epoch; readings before it are removed. 0 once done.
    qint64 m_pruneBefore = 0;
    // The day being thinned (Italy's), where in it, and the values whose first reading of it
    // has gone by.
    QDate m_day;
    QDate m_lastDay;
    qint64 m_cursor = 0;
    QSet<qint64> m_seen;
    QDate m_thinnedThrough;
};
