#include "panes/webengine/LoadOutcome.h"

#include <QRegularExpression>

namespace {

// Chromium's network error numbers that people meet most, in their words.
QString networkFailure(int code, const QString &engineText)
{
    switch (code) {
    case -7:
    case -118:
        return QStringLiteral("il sito non ha risposto in tempo");
    case -102:
        return QStringLiteral("connessione rifiutata");
    case -105:
    case -137:
        return QStringLiteral("indirizzo del sito non trovato");
    case -106:
        return QStringLiteral("nessuna connessione a Internet");
    case -100:
    case -101:
    case -324:
    case -354:
    case -355:
        return QStringLiteral("connessione interrotta, pagina incompleta");
    default:
        break;
    }
    // The engine's text comes as markup meant for its error page.
    QString text = engineText;
    text.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    text = text.simplified();
    return text.isEmpty() ? QStringLiteral("errore %1").arg(code) : QStringLiteral("%1 (errore %2)").arg(text).arg(code);
}

} // namespace

std::optional<LoadOutcome> LoadOutcome::of(QWebEngineLoadingInfo::LoadStatus status,
                                           QWebEngineLoadingInfo::ErrorDomain domain, int code,
                                           const QString &engineText)
{
    const bool httpStatus = domain == QWebEngineLoadingInfo::HttpStatusCodeDomain;
    switch (status) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
    case QWebEngineLoadingInfo::LoadStoppedStatus:
        return std::nullopt;
    case QWebEngineLoadingInfo::LoadSucceededStatus:
        if (httpStatus && code >= 400)
            return LoadOutcome{false, QStringLiteral("HTTP %1").arg(code)};
        return LoadOutcome{};
    case QWebEngineLoadingInfo::LoadFailedStatus:
        if (httpStatus)
            return LoadOutcome{false, QStringLiteral("HTTP %1").arg(code)};
        // The program refuses every certificate the engine doubts; the engine's words for each
        // kind would tell the user nothing more to do.
        if (domain == QWebEngineLoadingInfo::CertificateErrorDomain)
            return LoadOutcome{false, QStringLiteral("il certificato del sito non \u00e8 valido")};
        return LoadOutcome{false, networkFailure(code, engineText)};
    }
    return std::nullopt;
}
