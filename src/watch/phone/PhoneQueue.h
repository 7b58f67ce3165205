#pragma once

#include <optional>

#include <QDateTime>
#include <QMap>
#include <QSet>

#include "watch/store/PhoneOutbox.h"

// Which messages to the phone go out when. A message is kept in the outbox before its first
// try and is due at once; one that did not arrive (no network, a timeout, the service's 5xx)
// is due again after a pause that starts under a minute and doubles up to a quarter of an
// hour, for a day, and is then given up. One the service took is never sent again, and one
// it refused (a 4xx: a wrong topic or token) is not tried again. At most one try of a message
// is on its way at any moment. Plain: no network and no timer, every time given.
class PhoneQueue final
{
    Q_DISABLE_COPY_MOVE(PhoneQueue)
public:
    using Entry = PhoneOutbox::Entry;
    using State = PhoneOutbox::State;

    static constexpr int FirstPauseSeconds = 30;
    static constexpr int LongestPauseSeconds = 15 * 60;
    static constexpr int KeptHours = 24;

    // Takes up what the outbox still holds pending: after a restart nothing is on its way.
    explicit PhoneQueue(PhoneOutbox &outbox);

    // False when the store did not keep it: then it is not queued either.
    bool add(qint64 alert, const PhoneMessage &message, const QDateTime &now);
    // The messages due at now, each on its way from here until its answer; a message a day
    // old is given up instead, its alert put in givenUp.
    QList<Entry> take(const QDateTime &now, QList<qint64> *givenUp = nullptr);
    void delivered(qint64 alert, const QString &outcome);
    // Due again after its pause, or given up where that would pass the day: the state it is in.
    State failed(qint64 alert, const QDateTime &now, const QString &outcome);
    void refused(qint64 alert, const QString &outcome);

    // The first try due among the messages not on their way.
    std::optional<QDateTime> nextTry() const;
    bool isEmpty() const { return m_pending.isEmpty(); }
    // The pause after that many failed tries in a row.
    static int pauseSeconds(int failures);

private:
    void settle(qint64 alert, State state, const QString &outcome);

    PhoneOutbox &m_outbox;
    QMap<qint64, Entry> m_pending;
    QSet<qint64> m_onTheirWay;
};
