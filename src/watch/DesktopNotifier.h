#pragma once

#include <functional>
#include <optional>

#include <QDBusConnection>
#include <QObject>
#include <QString>

// Desktop notifications through the desktop's notification service (org.freedesktop.
// Notifications on the session bus). Never waits: the answer comes later, and a call that
// finds no service, or gets an error back, is reported as not delivered so that the caller
// can tell the user some other way. The bus is asked for at the first notification only:
// connecting to it starts a thread, which a program that never alerts does not need.
class DesktopNotifier final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DesktopNotifier)
public:
    using BusOpener = std::function<QDBusConnection()>;

    explicit DesktopNotifier(BusOpener openBus, QObject *parent = nullptr);

    void notify(const QString &summary, const QString &body);

signals:
    void delivered(const QString &summary);
    void notDelivered(const QString &summary, const QString &body, const QString &why);

private:
    BusOpener m_openBus;
    std::optional<QDBusConnection> m_bus;
};
