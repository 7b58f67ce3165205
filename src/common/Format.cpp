#include "common/Format.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace Format {

namespace {

constexpr int SignificantDigits = 15;

// A non-negative decimal value 0.digits x 10^pointPos. digits has no leading or trailing
// zeros; an empty digits string is zero.
struct Decimal
{
    QString digits;
    int pointPos = 0;

    bool isZero() const { return digits.isEmpty(); }
};

void trimTrailingZeros(QString &digits)
{
    qsizetype end = digits.size();
    while (end > 0 && digits.at(end - 1) == QLatin1Char('0'))
        --end;
    digits.truncate(end);
}

// The magnitude of a finite value at 15 significant digits.
Decimal decompose(double value)
{
    Decimal result;
    const double magnitude = std::fabs(value);
    if (magnitude == 0.0)
        return result;
    // 'e' formatting is independent of the locale and rounds correctly: "d.dd...de+XX".
    const QString text = QString::number(magnitude, 'e', SignificantDigits - 1);
    const qsizetype ePos = text.indexOf(QLatin1Char('e'));
    QString digits = text.left(ePos);
    digits.remove(QLatin1Char('.'));
    trimTrailingZeros(digits);
    result.digits = digits;
    result.pointPos = text.mid(ePos + 1).toInt() + 1;
    return result;
}

Decimal roundHalfEven(Decimal value, int decimals)
{
    const qsizetype keep = qsizetype(value.pointPos) + decimals;
    if (value.isZero() || keep >= value.digits.size())
        return value;
    if (keep < 0)
        return Decimal{};

    const QChar next = value.digits.at(keep);
    QString kept = value.digits.left(keep);
    bool up = false;
    if (next > QLatin1Char('5')) {
        up = true;
    } else if (next == QLatin1Char('5')) {
        // digits has no trailing zeros, so anything after the 5 makes it more than a half.
        const bool moreThanHalf = keep + 1 < value.digits.size();
        const bool lastKeptOdd = !kept.isEmpty() && (kept.back().digitValue() % 2) == 1;
        up = moreThanHalf || lastKeptOdd;
    }

    if (up) {
        qsizetype i = kept.size() - 1;
        while (i >= 0 && kept.at(i) == QLatin1Char('9')) {
            kept[i] = QLatin1Char('0');
            --i;
        }
        if (i < 0) {
            kept.prepend(QLatin1Char('1'));
            ++value.pointPos;
        } else {
            kept[i] = QChar(kept.at(i).unicode() + 1);
        }
    }
    trimTrailingZeros(kept);
    value.digits = kept;
    if (value.isZero())
        value.pointPos = 0;
    return value;
}

// Integer digits of the value without leading zeros ("" for a value below 1).
QString integerDigits(const Decimal &value)
{
    if (value.pointPos <= 0 || value.isZero())
        return QString();
    QString digits = value.digits.left(value.pointPos);
    return digits.leftJustified(value.pointPos, QLatin1Char('0'));
}

// The first count digits after the decimal point.
QString fractionDigits(const Decimal &value, int count)
{
    QString digits;
    digits.reserve(count);
    for (int i = 0; i < count; ++i) {
        const qsizetype index = qsizetype(value.pointPos) + i;
        digits.append(index >= 0 && index < value.digits.size() ? value.digits.at(index) : QLatin1Char('0'));
    }
    return digits;
}

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

// Reads ASCII digits with an optional '.' and exponent into a double; the text has
// already been brought to that form.
std::optional<double> parseCanonical(const QByteArray &mantissa, const QByteArray &exponent, bool negative)
{
    QByteArray text = mantissa;
    if (!exponent.isEmpty())
        text += 'e' + exponent;
    double value = 0.0;
    const char *begin = text.constData();
    const char *end = begin + text.size();
    const auto [ptr, ec] = std::from_chars(begin, end, value, std::chars_format::general);
    if (ptr != end)
        return std::nullopt;
    if (ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone when out of range; tell overflow from
        // underflow by where the first significant digit sits.
        const qsizetype point = mantissa.contains('.') ? mantissa.indexOf('.') : mantissa.size();
        qsizetype firstDigit = 0;
        while (firstDigit < mantissa.size() && (mantissa.at(firstDigit) == '0' || mantissa.at(firstDigit) == '.'))
            ++firstDigit;
        bool exponentFits = false;
        qint64 shift = exponent.toLongLong(&exponentFits);
        if (!exponentFits)
            shift = exponent.startsWith('-') ? -(Q_INT64_C(1) << 40) : (Q_INT64_C(1) << 40);
        const qint64 magnitude = (firstDigit < point ? point - firstDigit : point - firstDigit + 1) + shift;
        value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (ec != std::errc()) {
        return std::nullopt;
    }
    return negative ? -value : value;
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
    if (exponent < -4 || exponent >= SignificantDigits) {
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
