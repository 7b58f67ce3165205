#pragma once

#include <optional>

#include <QObject>
#include <QUrl>

#include "watch/store/PhoneOutbox.h"

class QNetworkAccessManager;
class QNetworkReply;
class QNetworkRequest;

// Sends a message to the user's phone through a topic of an ntfy service (the public one or
// the user's own): one HTTP POST of the sentence to the topic's address, with its title,
// priority, tags and the page to open in headers. All of them go through one network access
// manager, whose timeout ends a try that gets no answer. Says how each try ended; what to do
// about it is PhoneQueue's.
class PhoneSender final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PhoneSender)
public:
    // How a try ended: taken (2xx); to be tried again (no network, no answer, a 5xx, 408 or
    // 429); refused by the service (a 3xx or another 4xx: a wrong address, topic or token).
    enum class Outcome { Delivered, TryAgain, Refused };
    Q_ENUM(Outcome)

    struct Topic
    {
        QUrl address;
        // Empty where the topic needs none.
        QString token;

        bool isSet() const { return address.isValid() && !address.isEmpty(); }
    };

    static constexpr int TimeoutMs = 20000;

    explicit PhoneSender(QObject *parent = nullptr);

    // answered(key, ...) comes once for every call, never from inside it.
    void send(qint64 key, const Topic &topic, const PhoneMessage &message);

    static QNetworkRequest request(const Topic &topic, const PhoneMessage &message);
    static QByteArray body(const PhoneMessage &message);
    // What may stand in a header: one line, ASCII only; other text as RFC 2047 encoded words,
    // which ntfy reads in any header.
    static QByteArray headerText(const QString &text);
    // The topic's address and token as typed ("ntfy.sh/mio-argomento" is taken for https);
    // nullopt with the problem in Italian where either is not usable.
    static std::optional<Topic> topicFrom(const QString &address, const QString &token, QString *problem);
    // A token is printable ASCII without spaces: anything else could not be sent as a header.
    static bool tokenIsUsable(const QString &token);

signals:
    // detail is for people: the service's answer or the network's error.
    void answered(qint64 key, PhoneSender::Outcome outcome, const QString &detail);

private:
    void finished(qint64 key, QNetworkReply *reply);

    QNetworkAccessManager *m_network;
};
