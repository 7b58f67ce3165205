#include "watch/alerts/AlertSender.h"

#include "watch/rules/LevelText.h"

AlertSender::AlertSender(DesktopNotifier::BusOpener openBus, QObject *parent)
    : QObject(parent)
    , m_notifier(new DesktopNotifier(std::move(openBus), this))
{
    connect(m_notifier, &DesktopNotifier::activated, this, &AlertSender::opened);
    connect(m_notifier, &DesktopNotifier::shown, this, [this](qint64 alertId) { emit desktopAnswered(alertId, true); });
    connect(m_notifier, &DesktopNotifier::notDelivered, this,
            [this](const QString &summary, const QString &body, const QString &, qint64 alertId) {
                // Recorded first: the list brought up says where the alert went.
                emit desktopAnswered(alertId, false);
                emit notDelivered(summary, body);
            });
}

namespace {

// The name comes from a web page, and notification services read markup in the body.
QString harmless(QString name)
{
    return name.replace(QLatin1Char('<'), QChar(0x2039)).replace(QLatin1Char('>'), QChar(0x203a));
}

} // namespace

AlertSender::Words AlertSender::crossingWords(const QString &name, LevelCrossing::Crossed crossed, double level,
                                              const ValueStore::Reading &reading)
{
    const bool above = crossed == LevelCrossing::Crossed::Above;
    const QString shown = harmless(name);
    return {QStringLiteral("%1 %2 %3").arg(shown, above ? QStringLiteral("sopra") : QStringLiteral("sotto"),
                                           LevelText::price(level)),
            QStringLiteral("%1 vale %2 alle %3: %4 al livello di %5 o %6.")
                .arg(shown, LevelText::price(reading.number), reading.time.toString(QStringLiteral("HH:mm:ss")),
                     above ? QStringLiteral("\u00e8 salito") : QStringLiteral("\u00e8 sceso"), LevelText::price(level),
                     above ? QStringLiteral("oltre") : QStringLiteral("sotto"))};
}

AlertSender::Words AlertSender::lateWords(const QString &name, const QString &since, const QString &reason)
{
    const QString shown = harmless(name);
    QString body = since.isEmpty() ? QStringLiteral("%1 non \u00e8 mai stato letto").arg(shown)
                                   : QStringLiteral("%1 non \u00e8 stato letto %2").arg(shown, since);
    body += reason.isEmpty() ? QStringLiteral(".") : QStringLiteral(": %1.").arg(harmless(reason));
    return {QStringLiteral("%1 non letto").arg(shown), body};
}

AlertSender::Words AlertSender::moveWords(const QString &name, double percent, double from, int minutes,
                                          const ValueStore::Reading &reading)
{
    const QString shown = harmless(name);
    const QString since = minutes == 1 ? QStringLiteral("in 1 minuto")
        : minutes > 0                  ? QStringLiteral("in %1 minuti").arg(minutes)
                                       : QStringLiteral("dalla chiusura precedente");
    const QString signedPercent = (percent > 0 ? QStringLiteral("+") : QString()) + LevelText::grouped(percent, 1);
    return {QStringLiteral("%1: %2 % %3").arg(shown, signedPercent, since),
            QStringLiteral("%1: %2 % %3 (%4 \u2192 %5), alle %6.")
                .arg(shown, signedPercent, since, LevelText::price(from), LevelText::price(reading.number),
                     reading.time.toString(QStringLiteral("HH:mm:ss")))};
}

void AlertSender::send(qint64 valueId, const Words &words, qint64 alertId)
{
    m_notifier->notify(valueId, words.summary, words.body, alertId);
}
