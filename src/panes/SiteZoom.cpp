#include "panes/SiteZoom.h"

#include <algorithm>

#include <QFileInfo>

namespace {

// The engine's limits, which the zoom keys also keep to.
constexpr int LeastPercent = 25;
constexpr int MostPercent = 500;

} // namespace

SiteZoom::SiteZoom(const QStringList &lines)
{
    for (const QString &line : lines) {
        // "125 www.example.com": the site comes last, since a folder may hold blanks.
        const qsizetype blank = line.indexOf(QLatin1Char(' '));
        bool number = false;
        const int percent = line.left(blank).toInt(&number);
        const QString site = blank < 0 ? QString() : line.mid(blank + 1);
        const bool known = std::any_of(m_sites.cbegin(), m_sites.cend(),
                                       [&site](const auto &kept) { return kept.first == site; });
        if (number && percent >= LeastPercent && percent <= MostPercent && percent != PageSize && !site.isEmpty()
            && !known && m_sites.size() < Capacity)
            m_sites.append({site, percent});
    }
}

QString SiteZoom::siteOf(const QUrl &url)
{
    if (url.isLocalFile())
        return QStringLiteral("file:") + QFileInfo(url.toLocalFile()).path();
    if (!url.host().isEmpty())
        return url.host();
    return url.scheme().isEmpty() ? QString() : url.scheme() + QLatin1Char(':');
}

int SiteZoom::use(const QUrl &url)
{
    const QString site = siteOf(url);
    const auto found = std::find_if(m_sites.begin(), m_sites.end(), [&site](const auto &kept) { return kept.first == site; });
    if (found == m_sites.end())
        return PageSize;
    const auto used = *found;
    m_sites.erase(found);
    m_sites.prepend(used);
    return used.second;
}

void SiteZoom::choose(const QUrl &url, int percent)
{
    const QString site = siteOf(url);
    if (site.isEmpty())
        return;
    m_sites.removeIf([&site](const auto &kept) { return kept.first == site; });
    if (percent == PageSize)
        return;
    m_sites.prepend({site, std::clamp(percent, LeastPercent, MostPercent)});
    if (m_sites.size() > Capacity)
        m_sites.removeLast();
}

QStringList SiteZoom::lines() const
{
    QStringList lines;
    for (const auto &[site, percent] : m_sites)
        lines << QString::number(percent) + QLatin1Char(' ') + site;
    return lines;
}
