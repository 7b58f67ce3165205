#include "watch/phone/PhoneSender.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>

namespace {

constexpr int LongestTitle = 120;
// ntfy turns a longer message into an attachment the phone does not show.
constexpr int LongestBody = 2000;
// UTF-8 bytes in one encoded word: RFC 2047 wants a word within 75 characters.
constexpr int EncodedWordBytes = 45;

QString oneLine(const QString &text)
{
    QString line;
    line.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool control = u < 0x20 || (u >= 0x7f && u < 0xa0) || u == 0x2028 || u == 0x2029;
        line.append(control ? QChar(u' ') : c);
    }
    return line.simplified();
}

} // namespace

PhoneSender::PhoneSender(QObject *parent)
    : QObject(parent)
    , m_network(new QNetworkAccessManager(this))
{
    m_network->setTransferTimeout(TimeoutMs);
}

QByteArray PhoneSender::headerText(const QString &text)
{
    const QString line = oneLine(text).left(LongestTitle);
    // Plain ASCII goes as it is, unless it would read as an encoded word itself.
    bool ascii = !line.contains(QLatin1String("=?"));
    for (const QChar c : line)
        ascii = ascii && c.unicode() < 0x7f;
    if (ascii)
        return line.toLatin1();
    QByteArrayList words;
    QByteArray word;
    for (const uint codePoint : line.toUcs4()) {
        const QByteArray bytes = QString::fromUcs4(reinterpret_cast<const char32_t *>(&codePoint), 1).toUtf8();
        if (word.size() + bytes.size() > EncodedWordBytes) {
            words.append("=?UTF-8?B?" + word.toBase64() + "?=");
            word.clear();
        }
        word += bytes;
    }
    if (!word.isEmpty())
        words.append("=?UTF-8?B?" + word.toBase64() + "?=");
    return words.join(' ');
}

QByteArray PhoneSender::body(const PhoneMessage &message)
{
    return message.body.left(LongestBody).toUtf8();
}

QNetworkRequest PhoneSender::request(const Topic &topic, const PhoneMessage &message)
{
    QNetworkRequest request(topic.address);
    // A redirect would turn the POST into a GET and lose the message without a word.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("text/plain; charset=utf-8"));
    request.setRawHeader("Title", headerText(message.title));
    request.setRawHeader("Priority", message.high ? "high" : "default");
    if (!message.tags.isEmpty())
        request.setRawHeader("Tags", headerText(message.tags));
    // Only a web page: a phone cannot open a file of this computer.
    const QUrl click(message.click);
    if (click.isValid() && (click.scheme() == QLatin1String("https") || click.scheme() == QLatin1String("http")))
        request.setRawHeader("Click", click.toEncoded());
    if (tokenIsUsable(topic.token))
        request.setRawHeader("Authorization", "Bearer " + topic.token.toLatin1());
    return request;
}

bool PhoneSender::tokenIsUsable(const QString &token)
{
    static const QRegularExpression printable(QStringLiteral("^[\\x21-\\x7e]+$"));
    return printable.match(token).hasMatch();
}

std::optional<PhoneSender::Topic> PhoneSender::topicFrom(const QString &address, const QString &token, QString *problem)
{
    const QString text = address.trimmed();
    const QUrl url = QUrl::fromUserInput(text);
    if (text.isEmpty() || !url.isValid() || url.host().isEmpty()) {
        *problem = QStringLiteral("\u00ab%1\u00bb non \u00e8 un indirizzo web.").arg(text);
        return std::nullopt;
    }
    if (url.scheme() != QLatin1String("https") && url.scheme() != QLatin1String("http")) {
        *problem = QStringLiteral("L'indirizzo dell'argomento comincia con https:// (o http:// per un servizio della propria rete).");
        return std::nullopt;
    }
    if (url.path().size() < 2 || url.hasQuery() || url.hasFragment()) {
        *problem = QStringLiteral("Manca l'argomento: scrivete l'indirizzo intero, come https://ntfy.sh/il-mio-argomento.");
        return std::nullopt;
    }
    const QString key = token.trimmed();
    if (!key.isEmpty() && !tokenIsUsable(key)) {
        *problem = QStringLiteral("Il token contiene spazi o caratteri che un token non ha.");
        return std::nullopt;
    }
    return Topic{url, key};
}

void PhoneSender::send(qint64 key, const Topic &topic, const PhoneMessage &message)
{
    if (!topic.isSet()) {
        QMetaObject::invokeMethod(
            this, [this, key] { emit answered(key, Outcome::Refused, QStringLiteral("nessun argomento scelto")); },
            Qt::QueuedConnection);
        return;
    }
    QNetworkReply *reply = m_network->post(request(topic, message), body(message));
    connect(reply, &QNetworkReply::finished, this, [this, key, reply] { finished(key, reply); });
}

void PhoneSender::finished(qint64 key, QNetworkReply *reply)
{
    reply->deleteLater();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid()) {
        const QString why = reply->error() == QNetworkReply::OperationCanceledError
                                ? QStringLiteral("nessuna risposta entro %1 s").arg(TimeoutMs / 1000)
                                : oneLine(reply->errorString()).left(LongestTitle);
        emit answered(key, Outcome::TryAgain, why);
        return;
    }
    const int code = status.toInt();
    // The reason phrase is the server's text: one short line.
    const QString phrase = oneLine(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString()).left(60);
    const QString detail = QStringLiteral("il servizio ha risposto %1 %2").arg(code).arg(phrase).trimmed();
    if (code >= 200 && code < 300)
        emit answered(key, Outcome::Delivered, detail);
    else if (code >= 500 || code == 408 || code == 429 || code < 200)
        emit answered(key, Outcome::TryAgain, detail);
    else
        emit answered(key, Outcome::Refused, detail);
}
