#include "common/Format.h"

#include <cmath>

#include "common/FormatDigits.h"

namespace Format {

using namespace Digits;

namespace {

QString groupThousands(const QString &digits, const QString &separator)
{
    QString result;
    const qsizetype count = digits.size();
    for (qsizetype i = 0; i < count; ++i) {
        if (i > 0 && (count - i) % 3 == 0)
            result.append(separator);
        result.append(digits.at(i));
    }
    return result;
}

bool isPlaceholder(QChar c)
{
    return c == QLatin1Char('0') || c == QLatin1Char('#');
}

struct NumberPattern
{
    QString prefix;
    QString suffix;
    int minIntegerDigits = 0;
    bool grouped = false;
    bool hasMark = false;
    int minDecimals = 0;
    int maxDecimals = 0;
};

NumberPattern parsePattern(const QString &pattern)
{
    NumberPattern result;
    qsizetype first = -1;
    qsizetype last = -1;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (isPlaceholder(c) || c == QLatin1Char('.') || c == QLatin1Char(',')) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    if (first < 0) {
        result.prefix = pattern;
        return result;
    }
    result.prefix = pattern.left(first);
    result.suffix = pattern.mid(last + 1);

    bool inFraction = false;
    bool placeholderSeen = false;
    bool commaPending = false;
    for (qsizetype i = first; i <= last; ++i) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('.') && !inFraction) {
            inFraction = true;
            result.hasMark = true;
        } else if (c == QLatin1Char(',')) {
            if (!inFraction && placeholderSeen)
                commaPending = true;
        } else if (isPlaceholder(c)) {
            if (inFraction) {
                ++result.maxDecimals;
                if (c == QLatin1Char('0'))
                    result.minDecimals = result.maxDecimals;
            } else {
                placeholderSeen = true;
                if (commaPending)
                    result.grouped = true;
                if (c == QLatin1Char('0'))
                    ++result.minIntegerDigits;
            }
        }
        // Characters between the placeholders that are neither are dropped.
    }
    return result;
}


bool allDigits(const QString &text)
{
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

} // namespace

QString format(double value, const QString &pattern, const QLocale &locale)
{
    if (!std::isfinite(value))
        return QString();
    const NumberPattern p = parsePattern(pattern);
    const Decimal rounded = roundHalfEven(decompose(value), p.maxDecimals);

    QString integer = integerDigits(rounded);
    if (integer.size() < p.minIntegerDigits)
        integer = integer.rightJustified(p.minIntegerDigits, QLatin1Char('0'));
    if (p.grouped)
        integer = groupThousands(integer, locale.groupSeparator());

    QString fraction = fractionDigits(rounded, p.maxDecimals);
    while (fraction.size() > p.minDecimals && fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);

    QString result;
    if (value < 0 && !rounded.isZero())
        result.append(QLatin1Char('-'));
    result.append(p.prefix);
    result.append(integer);
    if (p.hasMark)
        result.append(locale.decimalPoint());
    result.append(fraction);
    result.append(p.suffix);
    return result;
}

QString decimalMark(const QLocale &locale)
{
    return format(0.0, QStringLiteral("."), locale);
}

double roundToDecimals(double value, int decimals)
{
    if (!std::isfinite(value))
        return value;
    const Decimal rounded = roundHalfEven(decompose(value), decimals);
    if (rounded.isZero())
        return 0.0;
    const QByteArray mantissa = "0." + rounded.digits.toLatin1();
    const double magnitude = parseCanonical(mantissa, QByteArray::number(rounded.pointPos), false).value_or(0.0);
    // Near the top of the double range the 15-digit value can lie beyond it.
    if (!std::isfinite(magnitude))
        return value;
    return value < 0 ? -magnitude : magnitude;
}

QString numberToText(double value, const QLocale &locale)
{
    if (!std::isfinite(value))
        return QString();
    const Decimal d = decompose(value);
    if (d.isZero())
        return QStringLiteral("0");

    const QString mark = locale.decimalPoint();
    QString result;
    if (value < 0)
        result.append(QLatin1Char('-'));

    const int exponent = d.pointPos - 1;
    if (exponent < -4 || exponent >= Significant) {
        result.append(d.digits.at(0));
        if (d.digits.size() > 1)
            result.append(mark + d.digits.mid(1));
        result.append(QLatin1Char('E'));
        result.append(exponent < 0 ? QLatin1Char('-') : QLatin1Char('+'));
        result.append(QStringLiteral("%1").arg(std::abs(exponent), 2, 10, QLatin1Char('0')));
        return result;
    }

    const QString integer = integerDigits(d);
    result.append(integer.isEmpty() ? QStringLiteral("0") : integer);
    const qsizetype fractionCount = d.digits.size() - d.pointPos;
    if (fractionCount > 0)
        result.append(mark + fractionDigits(d, int(fractionCount)));
    return result;
}

std::optional<double> textToNumber(const QString &text, const QLocale &locale)
{
    QString s = text.trimmed();
    bool negative = false;
    const QString localeMinus = locale.negativeSign();
    if (s.startsWith(QLatin1Char('-'))) {
        negative = true;
        s.remove(0, 1);
    } else if (!localeMinus.isEmpty() && s.startsWith(localeMinus)) {
        negative = true;
        s.remove(0, localeMinus.size());
    }

    QString exponent;
    const qsizetype ePos = s.indexOf(QLatin1Char('e'), 0, Qt::CaseInsensitive);
    if (ePos >= 0) {
        exponent = s.mid(ePos + 1);
        s.truncate(ePos);
        // from_chars takes an ASCII '-' and no '+'
        if (exponent.startsWith(QLatin1Char('+')))
            exponent.remove(0, 1);
        else if (!localeMinus.isEmpty() && exponent.startsWith(localeMinus))
            exponent.replace(0, localeMinus.size(), QStringLiteral("-"));
        const QString exponentDigits = exponent.startsWith(QLatin1Char('-')) ? exponent.mid(1) : exponent;
        if (exponentDigits.isEmpty() || !allDigits(exponentDigits))
            return std::nullopt;
    }

    const QString mark = locale.decimalPoint();
    QString integerPart = s;
    QString fractionPart;
    const qsizetype markPos = s.indexOf(mark);
    if (markPos >= 0) {
        integerPart = s.left(markPos);
        fractionPart = s.mid(markPos + mark.size());
    }
    const QString group = locale.groupSeparator();
    if (!group.isEmpty() && group != mark)
        integerPart.remove(group);
    if (!allDigits(integerPart) || !allDigits(fractionPart))
        return std::nullopt;
    if (integerPart.isEmpty() && fractionPart.isEmpty())
        return std::nullopt;

    QByteArray mantissa = integerPart.isEmpty() ? QByteArray("0") : integerPart.toLatin1();
    if (!fractionPart.isEmpty())
        mantissa += '.' + fractionPart.toLatin1();
    return parseCanonical(mantissa, exponent.toLatin1(), negative);
}

} // namespace Format