#include "core/SiteSettings.h"

SiteSettings SiteSettings::fromLines(const QStringList &lines)
{
    SiteSettings settings;
    for (int i = 0; i < SiteCount; ++i)
        settings.sites[i] = {lines.value(2 * i), lines.value(2 * i + 1)};
    settings.startPage = lines.value(2 * SiteCount);
    return settings;
}

QStringList SiteSettings::toLines() const
{
    QStringList lines;
    for (const Site &site : sites)
        lines << site.caption << site.address;
    lines << startPage;
    return lines;
}
