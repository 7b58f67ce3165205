#pragma once

#include <optional>

#include <QDateTime>
#include <QList>
#include <QObject>

#include "common/WallClock.h"
#include "market/Markets.h"
#include "panes/ValueReading.h"
#include "watch/rules/Lateness.h"
#include "watch/rules/ReadSchedule.h"

class BackgroundReading;
class FollowedValues;
class QTimer;

// Keeps every followed value read, shown or not: a value nothing has read for an interval has
// its address loaded out of sight, one address at a time, and what that page reads goes to the
// values as a pane's readings do. A heartbeat notices the machine waking (every value is read
// at once then), the markets opening, and which values are late (Lateness: a value that becomes
// late is told to the values once, for its alert). The clock is given, so that a test drives it
// with times of its own; an address is read while the market of any of its values is open.
class OutOfSightReading final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OutOfSightReading)
public:
    static constexpr int HeartbeatMs = 30000;
    // Far more than a late tick of a loaded machine.
    static constexpr qint64 SleptAfterMs = 10000;

    OutOfSightReading(FollowedValues &values, BackgroundReading &reading, WallClock clock = {}, QObject *parent = nullptr);
    ~OutOfSightReading() override;

    // 1, 2, 3 or 5; any other is refused and the interval kept.
    bool setIntervalMinutes(int minutes);
    int intervalMinutes() const { return m_schedule.intervalMinutes(); }

    // Loads the address due now, if any, and aims the timer at the next.
    void check();
    // The heartbeat's tick: a gap far longer than its period was a sleep.
    void beat();

    bool isBeating() const;
    // The values not read for twice the interval while their market was open, oldest id first.
    QList<qint64> late() const { return m_lateness.late(); }

signals:
    void lateChanged(const QList<qint64> &late);

private:
    void takeValues();
    void finished(const QList<ValueReading> &readings);
    void updateLate(const QDateTime &now);
    void taken(const QList<qint64> &read);

    FollowedValues &m_values;
    BackgroundReading &m_reading;
    WallClock m_clock;
    ReadSchedule m_schedule;
    QTimer *m_next;
    QTimer *m_heartbeat;
    QDateTime m_lastBeat;
    Lateness m_lateness;
};
