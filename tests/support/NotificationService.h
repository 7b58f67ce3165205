#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

// The desktop's notification service as far as the tests need it, on a bus of the test's own:
// owns the name for as long as it lives, writes down every Notify and answers with increasing
// ids (or, when told to, refuses or never answers), lists the capabilities it is given, and sends the
// service's signals when told to.
class NotificationService final : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Call
    {
        QString app;
        uint replacesId;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
    };

    NotificationService(QDBusConnection bus, QStringList capabilities)
        : m_bus(std::move(bus))
        , m_capabilities(std::move(capabilities))
    {
        m_registered = m_bus.registerObject(Path, this, QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals)
                       && m_bus.registerService(Name);
    }
    ~NotificationService() override
    {
        m_bus.unregisterService(Name);
        m_bus.unregisterObject(Path);
    }

    bool isRegistered() const { return m_registered; }
    const QList<Call> &calls() const { return m_calls; }

    enum class Answer { Id, Refusal, Nothing };

    void answerNotifyWith(Answer answer) { m_answer = answer; }
    void click(uint id, const QString &action) { emit ActionInvoked(id, action); }
    void close(uint id) { emit NotificationClosed(id, 2); }

public slots:
    QStringList GetCapabilities() const { return m_capabilities; }
    uint Notify(const QString &app, uint replacesId, const QString &, const QString &summary, const QString &body,
                const QStringList &actions, const QVariantMap &hints, int)
    {
        m_calls.append({app, replacesId, summary, body, actions, hints});
        if (m_answer == Answer::Refusal)
            sendErrorReply(QDBusError::AccessDenied, QStringLiteral("notifications turned off"));
        else if (m_answer == Answer::Nothing)
            setDelayedReply(true);
        return uint(m_calls.size());
    }

Q_SIGNALS: // not "signals": tests that include GIO after this header have to undefine it
    void NotificationClosed(uint id, uint reason);
    void ActionInvoked(uint id, const QString &actionKey);

private:
    static inline const QString Name = QStringLiteral("org.freedesktop.Notifications");
    static inline const QString Path = QStringLiteral("/org/freedesktop/Notifications");

    QDBusConnection m_bus;
    QStringList m_capabilities;
    QList<Call> m_calls;
    bool m_registered = false;
    Answer m_answer = Answer::Id;
};
