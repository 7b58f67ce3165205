#include "common/FormatDigits.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace Format::Digits {

namespace {

void trimTrailingZeros(QString &digits)
{
    qsizetype end = digits.size();
    while (end > 0 && digits.at(end - 1) == QLatin1Char('0'))
        --end;
    digits.truncate(end);
}

} // namespace

Decimal decompose(double value)
{
    Decimal result;
    const double magnitude = std::fabs(value);
    if (magnitude == 0.0)
        return result;
    // 'e' formatting is independent of the locale and rounds correctly: "d.dd...de+XX".
    const QString text = QString::number(magnitude, 'e', Significant - 1);
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

QString integerDigits(const Decimal &value)
{
    if (value.pointPos <= 0 || value.isZero())
        return QString();
    QString digits = value.digits.left(value.pointPos);
    return digits.leftJustified(value.pointPos, QLatin1Char('0'));
}

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

} // namespace Format::Digits
