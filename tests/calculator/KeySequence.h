#pragma once

#include <QString>

#include "calculator/CalculatorEngine.h"

// Keys as one character each, so a test reads like the keys pressed:
// digits, "." decimal, "/" "+" "X" "-" "=" operators, "%" percent, "E" clear entry,
// "C" clear, "U" the "Euro" button and "L" the "Lire" button.
inline void pressKey(CalculatorEngine &engine, QChar key)
{
    static const QString Operators = QStringLiteral("/+X-=");
    if (key.isDigit())
        engine.Number_Click(key.digitValue());
    else if (Operators.contains(key))
        engine.Operator_Click(int(Operators.indexOf(key)));
    else if (key == QLatin1Char('.'))
        engine.Decimal_Click();
    else if (key == QLatin1Char('%'))
        engine.Percent_Click();
    else if (key == QLatin1Char('E'))
        engine.CancelEntry_Click();
    else if (key == QLatin1Char('C'))
        engine.Cancel_Click();
    else if (key == QLatin1Char('U'))
        engine.Command1_Click();
    else if (key == QLatin1Char('L'))
        engine.Command2_Click();
}

inline void pressKeys(CalculatorEngine &engine, const QString &keys)
{
    for (const QChar key : keys)
        pressKey(engine, key);
}
