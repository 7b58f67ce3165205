#pragma once

#include <memory>

#include <QObject>

class Calculator;
class ClickLabel;
class ProcessStarter;
class QTimer;

// The calculator picture: a click shows a border for 200 ms (the design's Timer4) and shows the one
// calculator, made at the first click and kept, with its state, until close().
class CalculatorLauncher final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CalculatorLauncher)
public:
    CalculatorLauncher(ClickLabel &icon, ProcessStarter &starter, QObject *parent = nullptr);
    ~CalculatorLauncher() override;

    // Null until the first click, and again after close().
    Calculator *calculator() const { return m_calculator.get(); }
    // Takes the border off the picture.
    QTimer &calculatorTimer() const { return *m_calculatorTimer; }

    void showCalculator();
    void close();

private:
    ClickLabel &m_icon;
    ProcessStarter &m_starter;
    QTimer *m_calculatorTimer;
    std::unique_ptr<Calculator> m_calculator;
};
