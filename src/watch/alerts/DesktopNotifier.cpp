#include "watch/alerts/DesktopNotifier.h"

#include <algorithm>

#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

#include "NotificationsProxy.h"
#include "watch/alerts/AlertSound.h"

namespace {

// A service that takes longer than this is as good as none: the user must hear of the alert
// while it still matters.
constexpr int AnswerWaitMs = 5000;
constexpr int ShownMs = 15000;

const QString ClickAction = QStringLiteral("default");

// The body quotes a web page; a service that reads markup would take its text for tags.
QString escapedMarkup(QString text)
{
    return text.replace(QLatin1Char('&'), QLatin1String("&amp;"))
        .replace(QLatin1Char('<'), QLatin1String("&lt;"))
        .replace(QLatin1Char('>'), QLatin1String("&gt;"));
}

template <typename Reply, typename Handler>
void whenAnswered(QObject *context, const QDBusPendingReply<Reply> &call, Handler handler)
{
    auto *watcher = new QDBusPendingCallWatcher(call, context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context, [handler](QDBusPendingCallWatcher *w) {
        w->deleteLater();
        handler(QDBusPendingReply<Reply>(*w));
    });
}

} // namespace

DesktopNotifier::DesktopNotifier(BusOpener openBus, QObject *parent)
    : QObject(parent)
    , m_openBus(std::move(openBus))
    , m_sound(new AlertSound(this))
{
    m_sound->setObjectName(QStringLiteral("alertSound"));
}

void DesktopNotifier::notify(qint64 valueId, const QString &summary, const QString &body)
{
    m_waiting.append({valueId, summary, body});
    if (m_stage == Stage::Unopened)
        open();
    // A service that did not answer may have started since; asked again, so that a body it
    // reads as markup is escaped.
    if (m_stage == Stage::Ready && !m_capabilities)
        askCapabilities();
    sendWaiting();
}

void DesktopNotifier::open()
{
    const QDBusConnection bus = m_openBus();
    if (!bus.isConnected()) {
        m_stage = Stage::NoBus;
        return;
    }
    m_service = new NotificationsProxy(QStringLiteral("org.freedesktop.Notifications"),
                                       QStringLiteral("/org/freedesktop/Notifications"), bus, this);
    m_service->setTimeout(AnswerWaitMs);
    connect(m_service, &NotificationsProxy::ActionInvoked, this, [this](uint id, const QString &action) {
        const auto shown = std::find(m_shownOf.cbegin(), m_shownOf.cend(), id);
        if (action == ClickAction && shown != m_shownOf.cend())
            emit activated(shown.key());
    });
    connect(m_service, &NotificationsProxy::NotificationClosed, this, &DesktopNotifier::forget);
    m_stage = Stage::Ready;
}

void DesktopNotifier::askCapabilities()
{
    m_stage = Stage::Asking;
    whenAnswered(this, m_service->GetCapabilities(), [this](const QDBusPendingReply<QStringList> &reply) {
        // Without an answer the waiting alerts go as plain text with no sound asked of the
        // service; their Notify finds out whether anyone listens.
        if (!reply.isError())
            m_capabilities = reply.value();
        m_stage = Stage::Ready;
        sendWaiting();
    });
}

void DesktopNotifier::sendWaiting()
{
    if (m_stage == Stage::NoBus) {
        while (!m_waiting.isEmpty()) {
            m_sound->play();
            notSent(m_waiting.takeFirst(), QStringLiteral("nessun bus di sessione"));
        }
    } else if (m_stage == Stage::Ready && !m_waiting.isEmpty()) {
        send(m_waiting.takeFirst());
    }
}

void DesktopNotifier::send(const Alert &alert)
{
    const QStringList capabilities = m_capabilities.value_or(QStringList());
    const bool serviceSound = capabilities.contains(QStringLiteral("sound"));
    QVariantMap hints{{QStringLiteral("urgency"), QVariant::fromValue(uchar(1))},
                      {QStringLiteral("desktop-entry"), QStringLiteral("quovadex3")}};
    if (serviceSound) {
        hints.insert(QStringLiteral("sound-name"), QStringLiteral("message-new-instant"));
    } else {
        hints.insert(QStringLiteral("suppress-sound"), true);
        m_sound->play();
    }
    const QString body = capabilities.contains(QStringLiteral("body-markup")) ? escapedMarkup(alert.body) : alert.body;
    m_stage = Stage::Sending;
    whenAnswered(this,
                 m_service->Notify(QStringLiteral("Doppio Quovadex"), m_shownOf.value(alert.valueId), QStringLiteral("quovadex3"),
                                   alert.summary, body, {ClickAction, QStringLiteral("Mostra")}, hints, ShownMs),
                 [this, alert, serviceSound](const QDBusPendingReply<uint> &reply) {
                     m_stage = Stage::Ready;
                     if (reply.isError()) {
                         notSent(alert, reply.error().message());
                         if (serviceSound)
                             m_sound->play();
                     } else {
                         m_shownOf.insert(alert.valueId, reply.value());
                     }
                     sendWaiting();
                 });
}

void DesktopNotifier::notSent(const Alert &alert, const QString &why)
{
    // Never from inside notify(): the caller may not expect its own alert back before it returns.
    QMetaObject::invokeMethod(
        this, [this, alert, why] { emit notDelivered(alert.summary, alert.body, why); }, Qt::QueuedConnection);
}

void DesktopNotifier::forget(uint notificationId)
{
    const auto shown = std::find(m_shownOf.cbegin(), m_shownOf.cend(), notificationId);
    if (shown != m_shownOf.cend())
        m_shownOf.remove(shown.key());
}
