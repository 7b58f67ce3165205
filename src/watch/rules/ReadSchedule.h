#pragma once

#include <optional>

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

// Which followed value's page is loaded out of sight next, and when. A value a pane has read
// within the interval needs nothing; one that no pane has read for an interval is due, and its
// address is loaded in a hidden page that reads every followed value of it. Hidden pages are
// loaded one at a time, the addresses in turn, so that one slow site does not starve the
// others. Plain: every time, event and whether the market is open given by the caller, one
// timer of its own waits for nextDueTime.
class ReadSchedule final
{
    Q_DISABLE_COPY_MOVE(ReadSchedule)
public:
    struct Value
    {
        qint64 id = 0;
        QString address;
    };
    static constexpr int DefaultMinutes = 1;

    ReadSchedule() = default;

    // Keeps the times of the values still followed; the addresses take turns in this order.
    void setValues(const QList<Value> &values);
    // 1, 2, 3 or 5 minutes, the choices offered; any other is refused and the interval kept.
    bool setIntervalMinutes(int minutes);
    int intervalMinutes() const { return m_minutes; }

    // Only a reading with a number: a value its pane cannot read is read out of sight too. A
    // value's reading may come before the value is among the followed ones, and counts.
    void read(qint64 id, const QDateTime &time);
    // The readings before a sleep say nothing of now: every value is due at once.
    void wokeFromSleep();
    // A reading after now (the clock was set back) counts as made now, so that no value waits
    // for the time the clock went back.
    void notAfter(const QDateTime &now);

    // Refused while another hidden page is loading.
    bool backgroundStarted(const QString &address);
    // Also after a failed load or a timeout: the address waits an interval before it is tried
    // again, so a site that is down is not hammered.
    void backgroundFinished(const QString &address, const QDateTime &time);
    std::optional<QString> running() const { return m_running; }

    // The address to load now; none while one loads or the market is closed (then nothing will
    // be due until it opens).
    std::optional<QString> due(const QDateTime &now, bool marketOpen) const;
    // When due() will next give an address: now when one is due already; none while one
    // loads (its end is the next event), the market is closed or nothing is followed.
    std::optional<QDateTime> nextDueTime(const QDateTime &now, bool marketOpen) const;

private:
    // None: due at once.
    std::optional<QDateTime> dueTime(const QString &address) const;
    // The addresses in turn, starting after the one loaded last.
    QList<QString> inTurn() const;

    QList<Value> m_values;
    QList<QString> m_addresses;
    QHash<qint64, QDateTime> m_lastRead;
    std::optional<QString> m_running;
    QString m_lastStarted;
    int m_minutes = DefaultMinutes;
};
