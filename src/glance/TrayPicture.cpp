#include "glance/TrayPicture.h"

#include <cmath>

#include <QFont>
#include <QPainter>

#include "watch/rules/LevelText.h"

TrayPicture::Figure TrayPicture::figure(const QList<FollowedRow> &rows, const QList<qint64> &late, bool marketOpen)
{
    std::optional<double> largest;
    for (const FollowedRow &row : rows) {
        if (row.changePercent && (!largest || std::abs(*row.changePercent) > std::abs(*largest)))
            largest = row.changePercent;
    }
    if (!largest)
        return {QStringLiteral("\u2013"), Tone::Grey};
    const QString text = percentText(*largest);
    if (!marketOpen || !late.isEmpty())
        return {text, Tone::Grey};
    // A move that rounds to nothing has no side.
    if (text == QLatin1String("0"))
        return {text, Tone::Grey};
    return {text, *largest > 0 ? Tone::Up : Tone::Down};
}

QString TrayPicture::percentText(double percent)
{
    const double size = std::abs(percent);
    // Four characters at most: a move of a thousand percent and more is a page's error anyway.
    const double shown = size < 9.95 ? std::round(size * 10) / 10 : std::min(std::round(size), 999.0);
    if (shown == 0)
        return QStringLiteral("0");
    QString digits = LevelText::grouped(shown, shown < 9.95 ? 1 : 0);
    if (digits.endsWith(QLatin1String(",0")))
        digits.chop(2);
    return (percent > 0 ? QStringLiteral("+") : QStringLiteral("\u2212")) + digits;
}

QColor TrayPicture::colour(Tone tone)
{
    switch (tone) {
    case Tone::Up:
        return QColor(0x00, 0x96, 0x00);
    case Tone::Down:
        return QColor(0xd2, 0x00, 0x00);
    case Tone::Grey:
        break;
    }
    return QColor(0x80, 0x80, 0x80);
}

QImage TrayPicture::draw(const Figure &figure, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // A rounded tile of the tone, the figure in white on it: legible on a light panel and a
    // dark one alike.
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour(figure.tone));
    painter.drawRoundedRect(QRectF(0, 0, size, size), size / 6.0, size / 6.0);
    QFont font;
    font.setBold(true);
    font.setPixelSize(size * 11 / 22);
    // Four characters fill the width; fewer are drawn larger.
    if (figure.text.size() <= 2)
        font.setPixelSize(size * 14 / 22);
    painter.setFont(font);
    QFontMetricsF metrics(font);
    if (const qreal width = metrics.horizontalAdvance(figure.text); width > size - 1) {
        font.setStretch(qMax(50, int(100 * (size - 1) / width)));
        painter.setFont(font);
    }
    painter.setPen(Qt::white);
    painter.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, figure.text);
    return image;
}
