#pragma once

#include <optional>

#include <QLocale>
#include <QString>

class QTime;

// Numbers and times as the user reads them: with the separators of the given locale.
//
// Rounding: wherever digits are dropped (format(), roundToDecimals(), numberToText()'s
// limit of 15 significant digits), the value is first taken at 15 significant decimal
// digits, the precision a double reliably holds, and then rounded with halves going to
// the even neighbour (0.5 -> 0, 1.5 -> 2, 2.5 -> 2, 0.125 -> 0.12, 0.135 -> 0.14).
// Judging the half on the decimal digits rather than on the binary value means that a
// value shown as 2.675 rounds like 2.675 and not like 2.67499999999999982236431605997495353221893310546875.
// Halves to even keep "##,##" of 0.5 empty and do not drift upwards over many amounts.
//
// Signs: the minus sign written is always the ASCII "-"; a value that rounds to zero is
// written without a sign. Digits are always ASCII digits.
namespace Format {

// Number by pattern. Placeholders: "0" a digit always printed, "#" a digit printed only
// where significant (so a value below 1 prints no integer digit under "#"), "," between
// integer placeholders groups thousands with the locale's group separator, "." the locale's
// decimal mark; the placeholders after "." give the number of decimals ("0" always
// printed, "#" dropped when trailing zeros). The mark is printed whenever the pattern has
// one, even with no digit around it ("." alone gives the decimal mark). Any other character
// (such as "-") is copied literally. Integer digits beyond the placeholders are all
// printed. A negative value gets a leading "-". A value that is not finite gives "".
QString format(double value, const QString &pattern, const QLocale &locale = QLocale());

// Time by pattern: "hh", "mm", "ss" are two-digit hours (00 to 23), minutes and seconds,
// "h", "m", "s" the same without leading zero, ":" the locale's time separator (the one
// its short time format puts after the hour; ":" where it has none). Other characters are
// copied. An invalid time gives "".
QString formatTime(const QTime &time, const QString &pattern, const QLocale &locale = QLocale());

// The locale's decimal mark alone, the text format(0, ".") yields.
QString decimalMark(const QLocale &locale = QLocale());

// The value rounded to the given number of decimals by the rule above; the same number
// that formatting it with that many decimals and reading the text back would give.
// A value that is not finite is returned unchanged.
double roundToDecimals(double value, int decimals);

// A double as text: at most 15 significant digits, no trailing zeros and no trailing
// decimal mark, the locale's decimal mark, no group separators. Exponent form is used when
// the decimal exponent of the rounded value is below -4 or 15 and above (so 0.0001 and
// 999999999999999 are written in full, 0.00001 is "1E-05" and 10^15 is "1E+15"); the
// exponent has a sign and at least two digits. Negative zero is "0".
// A value that is not finite has no text: the result is "" and never "inf" or "nan".
// Callers refuse such values before they get here.
QString numberToText(double value, const QLocale &locale = QLocale());

// Text as a double. Accepts surrounding blanks, a leading "-" (ASCII or the locale's),
// group separators in the integer part, the locale's decimal mark including a trailing one
// ("12." is 12) and a leading one (".5" is 0.5), and an exponent ("1.5E+15", "2e-7").
// Text without any digit (empty, a lone "-", a lone decimal mark) or with anything else in
// it gives nullopt. Digits beyond the double range give +/-infinity (so that callers can
// refuse them as too large instead of mistaking them for 0); digits below it give +/-0.
std::optional<double> textToNumber(const QString &text, const QLocale &locale = QLocale());

} // namespace Format
