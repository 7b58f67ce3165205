#include "calculator/CalculatorEngine.h"

#include <array>
#include <cmath>
#include <limits>

#include "common/Format.h"

namespace {

// The Operator control array is numbered "/", "+", "X", "-", "=" and not in keypad order.
constexpr std::array<CalculatorEngine::Operation, 5> OperatorByIndex = {
    CalculatorEngine::Operation::Divide,
    CalculatorEngine::Operation::Add,
    CalculatorEngine::Operation::Multiply,
    CalculatorEngine::Operation::Subtract,
    CalculatorEngine::Operation::Equals,
};

const QString Minus = QStringLiteral("-");

} // namespace

CalculatorEngine::CalculatorEngine(const QLocale &locale)
    : m_locale(locale)
    , m_decimalMark(Format::decimalMark(locale))
{
    // The design gives "0." as the captions of both labels; in a locale with another
    // decimal mark that would read as a foreign number, so both show the locale's zero.
    m_label1 = formattedZero();
    Form_Load();
}

void CalculatorEngine::setDivisionByZeroHandler(std::function<void()> handler)
{
    m_divisionByZero = std::move(handler);
}

void CalculatorEngine::Form_Load()
{
    m_pointTyped = false;
    m_operandCount = 0;
    m_entryMode = EntryMode::None;
    m_pendingOp = Operation::None;
    m_readout = formattedZero();
}

void CalculatorEngine::Number_Click(int index)
{
    if (index < 0 || index > 9)
        return;
    const QString digit = QString::number(index);
    if (m_entryMode != EntryMode::Nums) {
        m_readout = m_decimalMark;
        m_pointTyped = false;
    }
    if (m_pointTyped) {
        m_readout += digit;
    } else {
        // A whole number keeps its decimal mark at the end while it is typed.
        const qsizetype mark = m_readout.indexOf(m_decimalMark);
        m_readout = (mark < 0 ? m_readout : m_readout.left(mark)) + digit + m_decimalMark;
    }
    if (m_entryMode == EntryMode::Neg)
        m_readout.prepend(Minus);
    m_entryMode = EntryMode::Nums;
}

void CalculatorEngine::Decimal_Click()
{
    if (m_entryMode == EntryMode::Neg)
        m_readout = Format::format(0, QStringLiteral("-0."), m_locale);
    else if (m_entryMode != EntryMode::Nums)
        m_readout = formattedZero();
    m_pointTyped = true;
    m_entryMode = EntryMode::Nums;
}

void CalculatorEngine::Operator_Click(int index)
{
    if (index < 0 || index >= int(OperatorByIndex.size()))
        return;
    const Operation op = OperatorByIndex[index];
    const QString savedReadout = m_readout;

    if (m_entryMode == EntryMode::Nums)
        raiseOperandCount();

    switch (m_operandCount) {
    case 0:
        // A minus before any operand is the sign of the number to come.
        if (op == Operation::Subtract && m_entryMode != EntryMode::Neg) {
            m_readout.prepend(Minus);
            m_entryMode = EntryMode::Neg;
        }
        break;
    case 1:
        m_firstOperand = m_readout;
        // A minus right after another operator is the sign of the second operand; after
        // "=" it subtracts from the result instead.
        if (op == Operation::Subtract && m_entryMode != EntryMode::Nums && m_pendingOp != Operation::Equals) {
            m_readout = Minus;
            m_entryMode = EntryMode::Neg;
        }
        break;
    case 2:
        m_secondOperand = savedReadout;
        finishComputation();
        m_readout = textOf(m_firstOperand);
        m_operandCount = 1;
        break;
    default:
        // From the third operand on nothing is computed until "C".
        break;
    }

    // During a sign entry the operator that will use the signed number stays pending.
    if (m_entryMode != EntryMode::Neg) {
        m_entryMode = EntryMode::Ops;
        m_pendingOp = op;
    }
}

void CalculatorEngine::Percent_Click()
{
    const double hundredth = valueOf(m_readout) / 100;
    // Only a readout beyond the double range has no hundredth to show; it stays as typed.
    if (std::isfinite(hundredth))
        m_readout = Format::numberToText(hundredth, m_locale);
    m_entryMode = EntryMode::Ops;
    m_pendingOp = Operation::Percent;
    raiseOperandCount();
}

void CalculatorEngine::CancelEntry_Click()
{
    m_readout = formattedZero();
    m_label1 = m_readout;
    m_pointTyped = false;
    m_entryMode = EntryMode::ClearEntry;
}

void CalculatorEngine::Cancel_Click()
{
    m_readout = formattedZero();
    m_label1 = m_readout;
    m_firstOperand = 0.0;
    m_secondOperand = 0.0;
    Form_Load();
}

void CalculatorEngine::Command1_Click()
{
    Operator_Click(EqualsIndex);
    const double lire = valueOf(m_readout);
    const double euro = lire / LirePerEuro;
    if (!std::isfinite(euro)) {
        // A readout beyond the double range has no Euro value; say so by clearing the
        // previous result rather than leaving it next to an amount it does not belong to.
        m_label1 = formattedZero();
        return;
    }
    m_label1 = QStringLiteral("€ ")
               + Format::format(Format::roundToDecimals(euro, 2), QStringLiteral("##,##0.00"), m_locale);
    m_readout = Format::format(lire, QStringLiteral("##,##"), m_locale);
}

void CalculatorEngine::Command2_Click()
{
    Operator_Click(EqualsIndex);
    const double euro = valueOf(m_readout);
    const double exact = euro * LirePerEuro;
    if (!std::isfinite(exact)) {
        m_label1 = formattedZero();
        return;
    }
    const double whole = std::floor(exact);
    // Only a fraction above one half goes up; exactly one half stays down.
    const double lire = exact - whole > 0.5 ? whole + 1 : whole;
    m_label1 = QStringLiteral("L. ") + Format::format(lire, QStringLiteral("##,##"), m_locale);
    m_readout = Format::format(euro, QStringLiteral("##,##.00"), m_locale);
}

void CalculatorEngine::raiseOperandCount()
{
    // The count is a 16-bit value; past its limit it only needs to stay "3 or more".
    if (m_operandCount < std::numeric_limits<qint16>::max())
        ++m_operandCount;
}

void CalculatorEngine::finishComputation()
{
    const double second = valueOf(m_secondOperand);
    double result = 0;
    switch (m_pendingOp) {
    case Operation::Add:
        result = valueOf(m_firstOperand) + second;
        break;
    case Operation::Subtract:
        result = valueOf(m_firstOperand) - second;
        break;
    case Operation::Multiply:
    case Operation::Percent:
        result = valueOf(m_firstOperand) * second;
        break;
    case Operation::Divide:
        if (second == 0) {
            if (m_divisionByZero)
                m_divisionByZero();
            return;
        }
        result = valueOf(m_firstOperand) / second;
        break;
    case Operation::Equals:
        result = second;
        break;
    case Operation::None:
        return;
    }
    // A result beyond the double range is refused like a division by zero: the first
    // operand stays, so the readout never shows an infinity or a non-number.
    if (std::isfinite(result))
        m_firstOperand = result;
}

double CalculatorEngine::valueOf(const Operand &operand) const
{
    if (const double *value = std::get_if<double>(&operand))
        return *value;
    // A readout that holds no number (the lone "-" of a sign entry, or the empty text
    // "Euro" leaves for a zero amount) counts as 0.
    return Format::textToNumber(std::get<QString>(operand), m_locale).value_or(0.0);
}

QString CalculatorEngine::textOf(const Operand &operand) const
{
    if (const QString *text = std::get_if<QString>(&operand))
        return *text;
    return Format::numberToText(std::get<double>(operand), m_locale);
}

QString CalculatorEngine::formattedZero() const
{
    return Format::format(0, QStringLiteral("0."), m_locale);
}
