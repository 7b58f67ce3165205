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

    // A value that could not be read several times in a row, and the last reason.
    static Words silenceWords(const QString &name, int attempts, const QString &reason);

    void sendCrossing(qint64 valueId, const QString &name, LevelCrossing::Crossed crossed, double level,
                      const ValueStore::Reading &reading);
    void sendMove(qint64 valueId, const QString &name, double percent, double from, int minutes,
                  const ValueStore::Reading &reading);
    void sendSilence(qint64 valueId, const QString &name, int attempts, const QString &reason);
    void send(qint64 valueId, const Words &words);

signals:
    // The user clicked the value's notification.
    void opened(qint64 valueId);
    // No notification service took the alert.
    void notDelivered(const QString &summary, const QString &body);

private:
    DesktopNotifier *m_notifier;
};
