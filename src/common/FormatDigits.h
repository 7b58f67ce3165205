#pragma once

#include <optional>

#include <QByteArray>
#include <QString>

// The decimal digits under Format's numbers, shared by its writing and reading: a double at
// the 15 significant digits it reliably holds, rounded half to even on those digits, and
// canonical digit text read back into a double.
namespace Format::Digits {

constexpr int Significant = 15;

// A non-negative decimal value 0.digits x 10^pointPos. digits has no leading or trailing
// zeros; an empty digits string is zero.
struct Decimal
{
    QString digits;
    int pointPos = 0;

    bool isZero() const { return digits.isEmpty(); }
};

// The magnitude of a finite value at 15 significant digits.
Decimal decompose(double value);
// value with at most decimals digits after the point, halves to the even neighbour.
Decimal roundHalfEven(Decimal value, int decimals);
// Integer digits of the value without leading zeros ("" for a value below 1).
QString integerDigits(const Decimal &value);
// The first count digits after the decimal point.
QString fractionDigits(const Decimal &value, int count);
// Reads ASCII digits with an optional '.' and exponent into a double; the text has
// already been brought to that form. Beyond the double range: +/-infinity, below it +/-0.
std::optional<double> parseCanonical(const QByteArray &mantissa, const QByteArray &exponent, bool negative);

} // namespace Format::Digits
