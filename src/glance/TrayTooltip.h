#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include "watch/FollowedRow.h"

// The tray's tooltip: one line per followed value, "ENI 14,23 +1,2 % 10:42", where the icon
// has room for one figure only. Plain: the lateness and the day given.
class TrayTooltip final
{
public:
    static QString line(const FollowedRow &row, bool late, const QDate &today);
    static QString text(const QList<FollowedRow> &rows, const QList<qint64> &late, const QDate &today);
};
