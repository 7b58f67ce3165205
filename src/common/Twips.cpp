#include "common/Twips.h"

#include <cmath>

#include <QWidget>

namespace Twips {

int toPixels(double twips, double dpi)
{
    return static_cast<int>(std::lround(twips * dpi / PerInch));
}

double fromPixels(int pixels, double dpi)
{
    return dpi > 0 ? pixels * PerInch / dpi : 0.0;
}

double dpiX(const QWidget *widget)
{
    const int dpi = widget ? widget->logicalDpiX() : 96;
    return dpi > 0 ? dpi : 96;
}

double dpiY(const QWidget *widget)
{
    const int dpi = widget ? widget->logicalDpiY() : 96;
    return dpi > 0 ? dpi : 96;
}

QRect toPixelRect(const QWidget *widget, double left, double top, double width, double height)
{
    const double dx = dpiX(widget);
    const double dy = dpiY(widget);
    return QRect(toPixels(left, dx), toPixels(top, dy), toPixels(width, dx), toPixels(height, dy));
}

} // namespace Twips
