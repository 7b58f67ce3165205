#include "glance/TrayTooltip.h"

#include <QStringList>

#include "glance/TrayPicture.h"
#include "watch/rules/LevelText.h"

QString TrayTooltip::line(const FollowedRow &row, bool late, const QDate &today)
{
    QStringList parts{row.name};
    // The store keeps the number, not the page's text: written as "Valori seguiti" writes it,
    // so the two never disagree about a price.
    parts.append(row.last ? LevelText::price(*row.last) : QStringLiteral("\u2013"));
    if (row.changePercent)
        parts.append(TrayPicture::percentText(*row.changePercent) + QStringLiteral(" %"));
    if (row.lastTime.isValid())
        parts.append(row.lastTime.toString(row.lastTime.date() == today ? QStringLiteral("HH:mm") : QStringLiteral("dd/MM HH:mm")));
    if (late)
        parts.append(QStringLiteral("in ritardo"));
    else if (!row.unreadReason.isEmpty())
        parts.append(QStringLiteral("non letto"));
    return parts.join(QLatin1Char(' '));
}

QString TrayTooltip::text(const QList<FollowedRow> &rows, const QList<qint64> &late, const QDate &today)
{
    QStringList lines;
    for (const FollowedRow &row : rows)
        lines.append(line(row, late.contains(row.id), today));
    return lines.join(QLatin1Char('\n'));
}
