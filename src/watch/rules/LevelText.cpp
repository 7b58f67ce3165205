#include "watch/rules/LevelText.h"

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
    const auto notANumber = [&] { return refuse(QStringLiteral("\u00ab%1\u00bb non \u00e8 un numero.").arg(text.trimmed())); };
    // The rule of the page's reading (pagetext.js's number) on an Italian page: a change here
    // is a change there, and tests/support/NumberSpellings.h tests both.
    static const QRegularExpression spaces(QStringLiteral("[\\s\\x{00a0}\\x{202f}]+"));
    static const QRegularExpression looseSpace(QStringLiteral(" (?!\\d)|(?<!\\d) "));
    static const QRegularExpression currency(QStringLiteral("^([+-]?)[\u20ac$\u00a3]"));
    static const QRegularExpression unit(QStringLiteral("[\u20ac$\u00a3%]$"));
    QString t = text;
    t.replace(spaces, QStringLiteral(" ")).remove(looseSpace).replace(QChar(0x2212), QLatin1Char('-'));
    t.replace(currency, QStringLiteral("\\1")).remove(unit);
    if (t.isEmpty())
        return refuse(QStringLiteral("Scrivete un numero."));
    static const QRegularExpression shape(QStringLiteral("^[+-]?\\d(?:[\\d., ]*\\d)?$"));
    static const QRegularExpression spaced(QStringLiteral("^[+-]?[1-9]\\d{0,2}(?: \\d{3})+(?:[.,]\\d+)?$"));
    if (!shape.match(t).hasMatch() || (t.contains(QLatin1Char(' ')) && !spaced.match(t).hasMatch()))
        return notANumber();
    if (t.contains(QLatin1Char(' ')))
        t.remove(QLatin1Char(' ')).replace(QLatin1Char(','), QLatin1Char('.'));
    const QString digits = t.front().isDigit() ? t : t.mid(1);
    const qsizetype last = std::max(digits.lastIndexOf(QLatin1Char('.')), digits.lastIndexOf(QLatin1Char(',')));
    const QChar mark = last < 0 ? QLatin1Char(',') : digits.at(last);
    const QChar other = mark == QLatin1Char('.') ? QLatin1Char(',') : QLatin1Char('.');
    static const QRegularExpression group(QStringLiteral("^[1-9]\\d{0,2}$"));
    // A mark written twice is a thousands mark; one "12.345" is thousands, as on an Italian
    // page, where "12,345" is decimals.
    QChar decimal = mark;
    if (last < 0 || digits.indexOf(mark) != last
        || (!digits.contains(other) && digits.size() - last == 4 && group.match(digits.left(last)).hasMatch()))
        decimal = QLatin1Char(',');
    const QChar thousands = decimal == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(',');
    const QStringList parts = digits.split(decimal);
    const QString whole = parts.first();
    const QRegularExpression grouped(QStringLiteral("^[1-9]\\d{0,2}(?:\\%1\\d{3})+$").arg(thousands));
    if (parts.size() > 2 || (parts.size() == 2 && parts.last().contains(thousands))
        || (whole.contains(thousands) && !grouped.match(whole).hasMatch()))
        return notANumber();
    QString plain = whole;
    plain.remove(thousands);
    if (parts.size() == 2)
        plain += QLatin1Char('.') + parts.last();
    bool ok = false;
    const double value = QLocale::c().toDouble(plain, &ok);
    // The shape leaves toDouble nothing to fail on but an overflow, which is a number too large.
    if (!ok || value >= Largest)
        return refuse(QStringLiteral("\u00ab%1\u00bb \u00e8 troppo grande.").arg(text.trimmed()));
    return t.front() == QLatin1Char('-') ? -value : value;
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
