#include "watch/DesktopNotifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QTimer>
#include <QVariantMap>

namespace {

// A service that takes longer than this is as good as none: the user must hear of the alert
// while it still matters.
constexpr int AnswerWaitMs = 5000;
constexpr int ShownMs = 15000;

} // namespace

DesktopNotifier::DesktopNotifier(BusOpener openBus, QObject *parent)
    : QObject(parent)
    , m_openBus(std::move(openBus))
{
}

void DesktopNotifier::notify(const QString &summary, const QString &body)
{
    if (!m_bus)
        m_bus = m_openBus();
    if (!m_bus->isConnected()) {
        const QString why = QStringLiteral("nessun bus di sessione");
        QTimer::singleShot(0, this, [this, summary, body, why] { emit notDelivered(summary, body, why); });
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // The program plays its own sound, so the service is asked to stay quiet.
    const QVariantMap hints{{QStringLiteral("urgency"), QVariant::fromValue(uchar(1))},
                            {QStringLiteral("suppress-sound"), true},
                            {QStringLiteral("desktop-entry"), QStringLiteral("quovadex3")}};
    call << QStringLiteral("Doppio Quovadex") << uint(0) << QStringLiteral("quovadex3") << summary << body
         << QStringList() << hints << int(ShownMs);
    auto *watcher = new QDBusPendingCallWatcher(m_bus->asyncCall(call, AnswerWaitMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, summary, body](QDBusPendingCallWatcher *w) {
        w->deleteLater();
        const QDBusPendingReply<uint> reply = *w;
        if (reply.isError())
            emit notDelivered(summary, body, reply.error().message());
        else
            emit delivered(summary);
    });
}
