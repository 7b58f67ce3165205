#pragma once

#include <QObject>
#include <QString>

#include "watch/alerts/DesktopNotifier.h"
#include "watch/rules/LevelCrossing.h"
#include "watch/store/ValueStore.h"

// A followed value's alert, from its words to the user: a desktop notification with the
// sound, or word that no notification service took it, for the program's own alert window.
class AlertSender final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AlertSender)
public:
    struct Words
    {
        QString summary;
        QString body;
    };

    explicit AlertSender(DesktopNotifier::BusOpener openBus, QObject *parent = nullptr);

    // What the alert says: the value's name, the side, the level and the reading that crossed it.
    static Words crossingWords(const QString &name, LevelCrossing::Crossed crossed, double level,
                               const ValueStore::Reading &reading);

    // A move in percent (signed) from the number it started at: the previous close (minutes 0)
    // or the lowest or highest of the last minutes.
    static Words moveWords(const QString &name, double percent, double from, int minutes, const ValueStore::Reading &reading);

    // A value that became late: since when, as Lateness::since says it (empty: never read), and
    // the last attempt's reason (empty: none given).
    static Words lateWords(const QString &name, const QString &since, const QString &reason);

    // alertId: the alert in the history, whose desktop outcome comes back in desktopAnswered.
    void send(qint64 valueId, const Words &words, qint64 alertId = 0);

signals:
    // The user clicked the value's notification.
    void opened(qint64 valueId);
    // No notification service took the alert.
    void notDelivered(const QString &summary, const QString &body);
    // Whether the desktop showed the alert; false: it went to the program's own list.
    void desktopAnswered(qint64 alertId, bool shown);

private:
    DesktopNotifier *m_notifier;
};
