#include "watch/LevelText.h"

#include <algorithm>
#include <cmath>

#include <QLocale>
#include <QRegularExpression>

namespace LevelText {

namespace {

// Fifteen digits before the decimal comma: beyond that a double no longer holds the cents.
constexpr double Largest = 1e15;

} // namespace

std::optional<double> parse(const QString &text, QString *problem)
{
    const auto refuse = [&](const QString &why) -> std::optional<double> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    QString t = text;
    t.remove(QRegularExpression(QStringLiteral("[\\s\\x{00a0}\\x{202f}]")));
    t.replace(QChar(0x2212), QLatin1Char('-'));
    t.remove(QRegularExpression(QStringLiteral("^[\u20ac$\u00a3]|[\u20ac$\u00a3%]$")));
    if (t.isEmpty())
        return refuse(QStringLiteral("Scrivete un numero."));
    static const QRegularExpression shape(QStringLiteral("^[+-]?\\d[\\d.,]*$"));
    if (!shape.match(t).hasMatch())
        return refuse(QStringLiteral("\u00ab%1\u00bb non \u00e8 un numero.").arg(text.trimmed()));

    const qsizetype dots = t.count(QLatin1Char('.')), commas = t.count(QLatin1Char(','));
    QChar decimal;
    if (dots && commas) {
        decimal = t.lastIndexOf(QLatin1Char('.')) > t.lastIndexOf(QLatin1Char(',')) ? QLatin1Char('.') : QLatin1Char(',');
    } else if (commas == 1) {
        decimal = QLatin1Char(',');
    } else if (dots == 1) {
        // "1.250" is Italian for twelve hundred and fifty; "1240.5" or "0.25" only decimals.
        const qsizetype at = t.indexOf(QLatin1Char('.'));
        const qsizetype before = at - (t.front().isDigit() ? 0 : 1);
        const bool grouping = t.size() - at - 1 == 3 && before <= 3 && !t.mid(at - before, 1).startsWith(QLatin1Char('0'));
        decimal = grouping ? QLatin1Char(',') : QLatin1Char('.');
    } else if (dots > 1) {
        decimal = QLatin1Char(',');
    } else {
        decimal = QLatin1Char('.');
    }
    const QChar thousands = decimal == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(',');
    // Thousands in groups of three before the decimal mark, and that mark once: "1,2,3" or
    // "12.34,5" is a slip, not a number to guess at.
    const QStringList parts = t.split(decimal);
    const QString whole = parts.first();
    static const QRegularExpression grouped(QStringLiteral("^[+-]?\\d{1,3}(?:[.,]\\d{3})*$"));
    if (parts.size() > 2 || (parts.size() == 2 && parts.last().contains(thousands))
        || (whole.contains(thousands) && !grouped.match(whole).hasMatch()))
        return refuse(QStringLiteral("\u00ab%1\u00bb non \u00e8 un numero.").arg(text.trimmed()));
    t.remove(thousands);
    t.replace(decimal, QLatin1Char('.'));
    bool ok = false;
    const double value = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(value))
        return refuse(QStringLiteral("\u00ab%1\u00bb non \u00e8 un numero.").arg(text.trimmed()));
    if (std::abs(value) >= Largest)
        return refuse(QStringLiteral("\u00ab%1\u00bb \u00e8 troppo grande.").arg(text.trimmed()));
    return value;
}

QString format(double value)
{
    QLocale italian(QLocale::Italian, QLocale::Italy);
    italian.setNumberOptions(QLocale::OmitGroupSeparator);
    return italian.toString(value, 'f', QLocale::FloatingPointShortest);
}

int decimals(double value)
{
    constexpr int Most = 12;
    for (int d = 0; d < Most; ++d) {
        const double scaled = value * std::pow(10.0, d);
        if (std::abs(scaled - std::round(scaled)) <= 1e-12 * std::max(1.0, std::abs(scaled)))
            return d;
    }
    return Most;
}

QString grouped(double value, int decimals)
{
    QString text = QString::number(std::abs(value), 'f', decimals);
    qsizetype whole = text.indexOf(QLatin1Char('.'));
    if (whole < 0)
        whole = text.size();
    else
        text[whole] = QLatin1Char(',');
    for (qsizetype at = whole - 3; at > 0; at -= 3)
        text.insert(at, QLatin1Char('.'));
    return value < 0 ? QLatin1Char('-') + text : text;
}

QString price(double value)
{
    return grouped(value, std::max(2, decimals(value)));
}

} // namespace LevelText
