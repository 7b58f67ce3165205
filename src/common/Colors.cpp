#include "common/Colors.h"

#include <QPalette>
#include <QVariant>
#include <QWidget>

namespace Colors {

namespace {
constexpr const char *BackColorProperty = "BackColor";
}

QColor fromBgr(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

void setBackColor(QWidget *widget, quint32 bgr)
{
    if (!widget)
        return;
    widget->setProperty(BackColorProperty, QVariant::fromValue(bgr));
    QPalette palette = widget->palette();
    const QColor colour = fromBgr(bgr);
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::Button, colour);
    palette.setColor(QPalette::Base, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

quint32 backColor(const QWidget *widget)
{
    if (!widget)
        return 0;
    const QVariant value = widget->property(BackColorProperty);
    if (value.isValid())
        return value.value<quint32>();
    const QColor colour = widget->palette().color(QPalette::Window);
    return quint32(colour.red()) | (quint32(colour.green()) << 8) | (quint32(colour.blue()) << 16);
}

void setForeColor(QWidget *widget, quint32 bgr)
{
    if (!widget)
        return;
    QPalette palette = widget->palette();
    const QColor colour = fromBgr(bgr);
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

} // namespace Colors
