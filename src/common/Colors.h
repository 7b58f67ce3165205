#pragma once

#include <QColor>
#include <QtGlobal>

class QWidget;

// Colours of the design are 24-bit values in the form 0x00BBGGRR (red in the low byte).
// A widget's BackColor is kept as a dynamic property so that logic can compare the exact
// value it wrote, as the hold boxes do with their suspension flag.
namespace Colors {

constexpr quint32 Red = 255;                // 0x0000FF
constexpr quint32 LightGrey = 12632256;     // 0xC0C0C0
constexpr quint32 LightRed = 0x8080FF;
constexpr quint32 DarkGreen = 16384;        // 0x004000
constexpr quint32 BrightGreen = 65280;      // 0x00FF00
constexpr quint32 HoldTick = 0x00C000;

QColor fromBgr(quint32 bgr);

void setBackColor(QWidget *widget, quint32 bgr);
quint32 backColor(const QWidget *widget);

void setForeColor(QWidget *widget, quint32 bgr);

} // namespace Colors
