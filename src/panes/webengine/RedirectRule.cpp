#include "panes/webengine/RedirectRule.h"

namespace {

bool web(const QUrl &url)
{
    return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
}

QString siteOf(const QUrl &url)
{
    QString host = url.host(QUrl::FullyEncoded);
    if (host.startsWith(QLatin1String("www.")))
        host.remove(0, 4);
    return host;
}

} // namespace

QString RedirectRule::refusal(const QUrl &asked, const QUrl &reached)
{
    if (reached == asked || (web(asked) && web(reached) && !siteOf(asked).isEmpty() && siteOf(asked) == siteOf(reached)))
        return QString();
    // FullyEncoded: the ASCII form, so no look-alike letters of another script stand for a
    // known name, and nothing that could read as markup.
    const QString host = reached.host(QUrl::FullyEncoded);
    return host.isEmpty() ? QStringLiteral("la pagina ha mandato a un altro indirizzo") : QStringLiteral("porta a ") + host;
}
