#include "watch/phone/PhoneAlerts.h"

#include <QTimer>

#include "common/MessageBox.h"
#include "common/ProgramSettings.h"
#include "watch/store/ValueStore.h"
#include "watch/phone/PhoneDialog.h"
#include "watch/phone/PhoneQueue.h"

namespace {

// The timer is aimed again at least this often: a machine that slept does not wait out a
// pause measured before it.
constexpr qint64 LongestWaitMs = 60 * 1000;

} // namespace

PhoneAlerts::PhoneAlerts(StoreOf store, WallClock clock, QObject *parent)
    : QObject(parent)
    , m_store(std::move(store))
    , m_clock(orSystemClock(std::move(clock)))
    , m_sender(new PhoneSender(this))
    , m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &PhoneAlerts::tick);
    connect(m_sender, &PhoneSender::answered, this, &PhoneAlerts::answered);
    m_topic = {QUrl(ProgramSettings::phoneTopic()), ProgramSettings::phoneToken()};
    reload();
    // What an earlier session left pending goes once the event loop runs.
    if (m_store())
        m_timer->start(0);
}

PhoneAlerts::~PhoneAlerts() = default;

PhoneQueue *PhoneAlerts::queue()
{
    if (!m_queue) {
        if (ValueStore *store = m_store())
            m_queue = std::make_unique<PhoneQueue>(store->phoneOutbox());
    }
    return m_queue.get();
}

bool PhoneAlerts::setTopic(const PhoneSender::Topic &topic, QString *problem)
{
    if (!ProgramSettings::setPhoneToken(topic.token, problem))
        return false;
    ProgramSettings::setPhoneTopic(topic.address.toString());
    m_topic = topic;
    m_refusalTold = false;
    m_timer->start(0);
    return true;
}

void PhoneAlerts::reload()
{
    m_on.clear();
    if (ValueStore *store = m_store()) {
        for (const ValueStore::Value &value : store->values()) {
            if (value.phone)
                m_on.insert(value.id, value.place);
        }
    }
    emit placesChanged();
}

bool PhoneAlerts::setOn(qint64 valueId, bool on)
{
    ValueStore *store = m_store();
    if (!store || !store->setPhone(valueId, on))
        return false;
    reload();
    return true;
}

void PhoneAlerts::toggle(qint64 valueId, QWidget *over)
{
    if (isOn(valueId)) {
        setOn(valueId, false);
        return;
    }
    if (!m_topic.isSet() || m_refusalTold) {
        const std::optional<PhoneSender::Topic> chosen = PhoneDialog::ask(m_topic, *m_sender, over);
        if (!chosen)
            return;
        QString problem;
        if (!setTopic(*chosen, &problem)) {
            MessageBox::show(over, QMessageBox::Warning, PhoneDialog::Title,
                             QStringLiteral("Il token non \u00e8 stato salvato: %1").arg(problem));
            return;
        }
    }
    setOn(valueId, true);
}

void PhoneAlerts::send(qint64 valueId, qint64 alertId, const PhoneMessage &message)
{
    if (!isOn(valueId))
        return;
    PhoneQueue *q = queue();
    if (!q || alertId <= 0 || !q->add(alertId, message, m_clock())) {
        // Not kept, it cannot be tried again: one try is better than none.
        qWarning("Avviso per il telefono non salvato: una sola prova di invio");
        m_sender->send(0, m_topic, message);
        return;
    }
    emit deliveryChanged();
    tick();
}

void PhoneAlerts::tick()
{
    PhoneQueue *q = queue();
    // Without a topic the messages wait for one, for as long as they are kept.
    if (!q || !m_topic.isSet())
        return;
    QList<qint64> givenUp;
    const QList<PhoneOutbox::Entry> due = q->take(m_clock(), &givenUp);
    for (const PhoneOutbox::Entry &entry : due)
        m_sender->send(entry.alert, m_topic, entry.message);
    if (!givenUp.isEmpty())
        emit deliveryChanged();
    aimTimer();
}

void PhoneAlerts::answered(qint64 alert, PhoneSender::Outcome outcome, const QString &detail)
{
    PhoneQueue *q = queue();
    // The dialog's tests and a message that was never kept have keys of no alert.
    if (alert <= 0 || !q)
        return;
    switch (outcome) {
    case PhoneSender::Outcome::Delivered:
        q->delivered(alert, detail);
        m_refusalTold = false;
        break;
    case PhoneSender::Outcome::TryAgain:
        q->failed(alert, m_clock(), detail);
        break;
    case PhoneSender::Outcome::Refused:
        q->refused(alert, detail);
        if (!std::exchange(m_refusalTold, true))
            emit refused(detail);
        break;
    }
    emit deliveryChanged();
    aimTimer();
}

void PhoneAlerts::aimTimer()
{
    const std::optional<QDateTime> next = m_queue ? m_queue->nextTry() : std::nullopt;
    if (!next) {
        m_timer->stop();
        return;
    }
    m_timer->start(int(qBound(qint64(0), m_clock().msecsTo(*next), LongestWaitMs)));
}
