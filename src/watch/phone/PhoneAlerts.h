#pragma once

#include <functional>
#include <memory>

#include <QDateTime>
#include <QHash>
#include <QObject>

#include "common/WallClock.h"
#include "panes/ValueReading.h"
#include "watch/phone/PhoneSender.h"

class PhoneQueue;
class QTimer;
class QWidget;
class ValueStore;

// The alerts that go to the phone as well: which values send them (kept in the store), the
// topic they go to (the program's settings, the token in its own file), and their delivery:
// each message is kept in the store before its first try, sent by PhoneSender, and tried
// again as PhoneQueue says, at the time its one timer is aimed at. Messages still pending at
// a start are sent then. A refusal (wrong topic or token) is told once, until a message
// arrives again or the topic changes. The clock is given.
class PhoneAlerts final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PhoneAlerts)
public:
    // The followed values' store; null while it is not open (nothing followed yet).
    using StoreOf = std::function<ValueStore *()>;

    explicit PhoneAlerts(StoreOf store, WallClock clock = {}, QObject *parent = nullptr);
    ~PhoneAlerts() override;

    const PhoneSender::Topic &topic() const { return m_topic; }
    // Kept in the program's settings; false with the reason where the token was not kept.
    bool setTopic(const PhoneSender::Topic &topic, QString *problem);

    bool isOn(qint64 valueId) const { return m_on.contains(valueId); }
    // The places of the values whose alerts go to the phone, for the panes' menus.
    QList<ValuePlace> places() const { return m_on.values(); }
    bool setOn(qint64 valueId, bool on);
    // "Avvisa anche sul telefono…": turns it off, or on, first asking for the topic where
    // none is chosen or the service refused the last message.
    void toggle(qint64 valueId, QWidget *over);
    // Which values send to the phone, read again from the store (a value followed or not).
    void reload();

    // A value's alert, already in the history as alertId: to the phone, if the value sends there.
    void send(qint64 valueId, qint64 alertId, const PhoneMessage &message);
    // Sends what is due now; the timer calls it.
    void tick();

    PhoneSender &sender() const { return *m_sender; }

signals:
    void placesChanged();
    // A message settled or was tried: the list "Avvisi" reads again.
    void deliveryChanged();
    void refused(const QString &detail);

private:
    PhoneQueue *queue();
    void answered(qint64 alert, PhoneSender::Outcome outcome, const QString &detail);
    void aimTimer();

    StoreOf m_store;
    WallClock m_clock;
    PhoneSender *m_sender;
    QTimer *m_timer;
    std::unique_ptr<PhoneQueue> m_queue;
    PhoneSender::Topic m_topic;
    QHash<qint64, ValuePlace> m_on;
    bool m_refusalTold = false;
};
