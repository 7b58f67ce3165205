#pragma once

#include <memory>

#include <QWidget>

#include "calculator/CalculatorEngine.h"

class ClickLabel;
class QLabel;
class QPushButton;

// The Euro calculator window: a keypad over CalculatorEngine. It is modeless and meant to
// be kept by its opener: showing it again while it is open keeps its state, and closing
// it forgets the state, so the next showing starts fresh as a newly loaded window would.
class Calculator final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Calculator)
public:
    explicit Calculator(QWidget *parent = nullptr);
    ~Calculator() override;

    const CalculatorEngine &engine() const { return *m_engine; }

    // The controls the keypad's table does not number.
    struct Controls
    {
        QLabel *readout = nullptr;
        QLabel *conversion = nullptr; // the cyan line under "Euro" and "Lire"
        QPushButton *euro = nullptr;
        QPushButton *lire = nullptr;
        ClickLabel *picture = nullptr;
    };
    const Controls &controls() const { return m_controls; }

signals:
    // The picture was clicked: the opener shows the maker's web site.
    void makerSiteRequested();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void Form_Load();
    void Number_Click(int index);
    void Operator_Click(int index);
    void Decimal_Click();
    void Percent_Click();
    void CancelEntry_Click();
    void Cancel_Click();
    void Command1_Click();
    void Command2_Click();
    void Image1_Click();

    void showEngineState();

    std::unique_ptr<CalculatorEngine> m_engine;
    Controls m_controls;
    bool m_loadPending = false;
};
