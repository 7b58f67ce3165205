#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include "watch/store/AlertHistory.h"

// What the phone is sent for one alert: the value's name, the alert's sentence, whether it
// is urgent, the service's tags (its icons) and the page to open.
struct PhoneMessage
{
    QString title;
    QString body;
    bool high = false;
    QString tags;
    QString click;

    bool operator==(const PhoneMessage &other) const = default;
};

// The messages to the phone, in ValueStore's file, one per alert: kept before their first try
// so that neither a failed try nor a restart loses one, and marked as they settle. Removed
// with their alert when the history is pruned.
class PhoneOutbox final
{
    Q_DISABLE_COPY_MOVE(PhoneOutbox)
public:
    using State = AlertHistory::Phone;
    struct Entry
    {
        qint64 alert = 0;
        QDateTime created;
        PhoneMessage message;
        State state = State::Pending;
        int attempts = 0;
        QDateTime nextTry;
        QString outcome;
    };

    explicit PhoneOutbox(const QString &connection) : m_connection(connection) {}

    bool add(const Entry &entry);
    // Oldest first.
    QList<Entry> pending() const;
    bool update(const Entry &entry);

private:
    QString m_connection;
};
