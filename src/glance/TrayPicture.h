#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QString>

#include "watch/FollowedRow.h"

// The tray's icon: the sign and size of the day's largest move among the followed values, in
// three or four characters, since a tray item has no text beside its icon. Plain: no tray, the
// lateness and the market's state given.
class TrayPicture final
{
public:
    enum class Tone { Up, Down, Grey };
    struct Figure
    {
        QString text;
        Tone tone = Tone::Grey;
        bool operator==(const Figure &other) const = default;
    };

    // Grey while the market is closed or a value is late: a colour would say the figure is
    // today's and current.
    static Figure figure(const QList<FollowedRow> &rows, const QList<qint64> &late, bool marketOpen);
    // "+1,2", "\u22123", "+12": one decimal below ten, none above.
    static QString percentText(double percent);
    static QColor colour(Tone tone);
    // Square, size pixels a side, on a transparent ground.
    static QImage draw(const Figure &figure, int size = 22);
};
