#pragma once

#include <QRect>

class QWidget;

// Design positions are in twips (1/1440 inch). Controls are placed in pixels at the
// screen's logical DPI, so a position read back is what the toolkit actually stored.
namespace Twips {

constexpr double PerInch = 1440.0;

int toPixels(double twips, double dpi);
double fromPixels(int pixels, double dpi);

double dpiX(const QWidget *widget);
double dpiY(const QWidget *widget);

// Twips rectangle (left, top, width, height) to a pixel rectangle for this widget's screen.
QRect toPixelRect(const QWidget *widget, double left, double top, double width, double height);

} // namespace Twips
