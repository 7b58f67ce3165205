#pragma once

#include <functional>
#include <variant>

#include <QLocale>
#include <QString>
#include <QtGlobal>

// The pocket calculator behind the Calculator window, without any widget: one method per
// key, the readout and conversion label as text. The number being typed is kept as the
// readout text and only turned into a double when a key needs its value, so that what the
// user typed ("007.", "5.") is what the readout keeps showing.
class CalculatorEngine final
{
    Q_DISABLE_COPY_MOVE(CalculatorEngine)
public:
    enum class EntryMode { None, Nums, Ops, Neg, ClearEntry };
    enum class Operation { None, Divide, Add, Multiply, Subtract, Equals, Percent };

    // An operand is either the readout text copied at an operator key or a computed value.
    using Operand = std::variant<QString, double>;

    // Index of the "=" key in the Operator control array; the conversion keys press it.
    static constexpr int EqualsIndex = 4;
    static constexpr double LirePerEuro = 1936.27;

    explicit CalculatorEngine(const QLocale &locale = QLocale());

    void Form_Load();
    void Number_Click(int index);
    void Decimal_Click();
    void Operator_Click(int index);
    void Percent_Click();
    void CancelEntry_Click();
    void Cancel_Click();
    void Command1_Click(); // "Euro": the readout in Lire to Euro
    void Command2_Click(); // "Lire": the readout in Euro to Lire

    // Called in the middle of a "/" computation whose divisor is 0; the computation goes
    // on when it returns, so a modal message box fits here.
    void setDivisionByZeroHandler(std::function<void()> handler);

    QString readout() const { return m_readout; }
    QString label1() const { return m_label1; }
    EntryMode entryMode() const { return m_entryMode; }
    Operation pendingOp() const { return m_pendingOp; }
    int operandCount() const { return m_operandCount; }
    bool pointTyped() const { return m_pointTyped; }
    Operand firstOperand() const { return m_firstOperand; }
    Operand secondOperand() const { return m_secondOperand; }
    const QLocale &locale() const { return m_locale; }

private:
    void raiseOperandCount();
    void finishComputation();
    double valueOf(const Operand &operand) const;
    QString textOf(const Operand &operand) const;
    QString formattedZero() const;

    QLocale m_locale;
    QString m_decimalMark;
    std::function<void()> m_divisionByZero;

    QString m_readout;
    QString m_label1;
    Operand m_firstOperand = 0.0;
    Operand m_secondOperand = 0.0;
    bool m_pointTyped = false;
    qint16 m_operandCount = 0;
    EntryMode m_entryMode = EntryMode::None;
    Operation m_pendingOp = Operation::None;
};
