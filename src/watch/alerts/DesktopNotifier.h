#pragma once

#include <functional>
#include <optional>

#include <QDBusConnection>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class AlertSound;
class NotificationsProxy;

// Desktop notifications through the desktop's notification service (org.freedesktop.
// Notifications on the session bus), one shown per value at most: a value's new notification
// replaces its last one, and clicking one reports its value. Never waits: the answer comes
// later, and a notification that finds no service, or gets an error back, is reported as not
// delivered so that the caller can tell the user some other way. The alert's sound comes with
// it, from the service where it plays sounds, else from the desktop's sound theme.
// The bus is asked for at the first notification only: connecting to it starts a thread,
// which a program that never alerts does not need.
class DesktopNotifier final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DesktopNotifier)
public:
    using BusOpener = std::function<QDBusConnection()>;

    explicit DesktopNotifier(BusOpener openBus, QObject *parent = nullptr);

    void notify(qint64 valueId, const QString &summary, const QString &body);

signals:
    void activated(qint64 valueId);
    void notDelivered(const QString &summary, const QString &body, const QString &why);

private:
    // The service's capabilities are asked for before the first notification, and again
    // before the next one while no service has answered; one notification is on its way at a
    // time, so that the next one of the same value knows the id to replace.
    enum class Stage { Unopened, NoBus, Asking, Ready, Sending };

    struct Alert
    {
        qint64 valueId;
        QString summary;
        QString body;
    };

    void open();
    void askCapabilities();
    void sendWaiting();
    void send(const Alert &alert);
    void notSent(const Alert &alert, const QString &why);
    void forget(uint notificationId);

    BusOpener m_openBus;
    Stage m_stage = Stage::Unopened;
    NotificationsProxy *m_service = nullptr;
    std::optional<QStringList> m_capabilities;
    QList<Alert> m_waiting;
    QHash<qint64, uint> m_shownOf;
    AlertSound *m_sound;
};
