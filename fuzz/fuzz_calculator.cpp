// The calculator engine driven by a byte string read as keys, through the conversions and
// the formatting. Whatever the keys, the engine must not crash, must never show an infinity
// or a non-number, and must be able to read back every number it shows.
//
// Input: the first byte picks the locale ("e" English, "i" Italian, "d" German, "f" French,
// "s" Swiss German, "a" Arabic; others by their value), then one key per byte: digits,
// "." decimal, "/" "+" "X" "-" "=" operators, "%", "E" clear entry, "C" clear, "U" Euro,
// "L" Lire, "k" a key index outside the keypad; any other byte is mapped to one of these.

#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <variant>

#include <QLocale>
#include <QString>

#include "FuzzCheck.h"
#include "calculator/CalculatorEngine.h"
#include "common/Format.h"

namespace {

const std::array<QLocale, 6> &locales()
{
    static const std::array<QLocale, 6> all = {
        QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::Italian, QLocale::Italy),
        QLocale(QLocale::German, QLocale::Germany),       QLocale(QLocale::French, QLocale::France),
        QLocale(QLocale::German, QLocale::Switzerland),   QLocale(QLocale::Arabic, QLocale::Egypt),
    };
    return all;
}

const QLocale &pickLocale(uint8_t byte)
{
    static const char Letters[] = "eidfsa";
    for (size_t i = 0; i < locales().size(); ++i) {
        if (byte == uint8_t(Letters[i]))
            return locales()[i];
    }
    return locales()[byte % locales().size()];
}

void press(CalculatorEngine &engine, uint8_t byte, uint8_t next)
{
    static const char Keys[] = "0123456789./+X-=%ECULk";
    static const QString Operators = QStringLiteral("/+X-=");
    char key = char(byte);
    if (!QByteArrayView(Keys).contains(key))
        key = Keys[byte % (sizeof(Keys) - 1)];

    if (key >= '0' && key <= '9')
        engine.Number_Click(key - '0');
    else if (Operators.contains(QLatin1Char(key)))
        engine.Operator_Click(int(Operators.indexOf(QLatin1Char(key))));
    else if (key == '.')
        engine.Decimal_Click();
    else if (key == '%')
        engine.Percent_Click();
    else if (key == 'E')
        engine.CancelEntry_Click();
    else if (key == 'C')
        engine.Cancel_Click();
    else if (key == 'U')
        engine.Command1_Click();
    else if (key == 'L')
        engine.Command2_Click();
    else if (next % 2)
        engine.Number_Click(next % 4 == 1 ? 10 + next : -1 - next);
    else
        engine.Operator_Click(next % 4 == 0 ? 5 + next : -1 - next);
}

bool showsNonNumber(const QString &text)
{
    return text.contains(QLatin1String("inf"), Qt::CaseInsensitive)
        || text.contains(QLatin1String("nan"), Qt::CaseInsensitive);
}

// What the readout shows is read back at the next operator; only the lone sign of a sign
// entry and the empty readout "Euro" leaves for zero have no value.
bool readable(const QString &readout, const QLocale &locale)
{
    return readout.isEmpty() || readout == QLatin1String("-") || Format::textToNumber(readout, locale).has_value();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QLocale &locale = pickLocale(data[0]);
    CalculatorEngine engine(locale);
    int divisionsByZero = 0;
    engine.setDivisionByZeroHandler([&divisionsByZero] { ++divisionsByZero; });

    for (size_t i = 1; i < size; ++i) {
        press(engine, data[i], i + 1 < size ? data[i + 1] : 0);
        const QString readout = engine.readout();
        FUZZ_CHECK(!showsNonNumber(readout));
        FUZZ_CHECK(!showsNonNumber(engine.label1()));
        FUZZ_CHECK(readable(readout, locale));
        FUZZ_CHECK(engine.operandCount() >= 0);
        const CalculatorEngine::Operand first = engine.firstOperand();
        if (const double *number = std::get_if<double>(&first))
            FUZZ_CHECK(std::isfinite(*number));
    }

    // The formatting the conversions use, on the value left in the readout: every pattern
    // gives text that reads back, and rounding to the cent is what formatting to the cent
    // and reading back gives.
    const std::optional<double> value = Format::textToNumber(engine.readout(), locale);
    if (value && std::isfinite(*value)) {
        const QString shown = Format::numberToText(*value, locale);
        FUZZ_CHECK(Format::textToNumber(shown, locale).has_value());
        const QString cents = Format::format(*value, QStringLiteral("##,##0.00"), locale);
        const std::optional<double> readBack = Format::textToNumber(cents, locale);
        FUZZ_CHECK(readBack.has_value());
        const double rounded = Format::roundToDecimals(*value, 2);
        if (std::isfinite(*readBack))
            FUZZ_CHECK(*readBack == rounded);
    }
    return 0;
}
