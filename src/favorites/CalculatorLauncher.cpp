#include "favorites/CalculatorLauncher.h"

#include <QTimer>
#include <QUrl>

#include "calculator/Calculator.h"
#include "common/Controls.h"
#include "common/Maker.h"
#include "common/ProcessStarter.h"

CalculatorLauncher::CalculatorLauncher(ClickLabel &icon, ProcessStarter &starter, QObject *parent)
    : QObject(parent)
    , m_icon(icon)
    , m_starter(starter)
    , m_calculatorTimer(new QTimer(this))
{
    m_calculatorTimer->setInterval(200);
    connect(m_calculatorTimer, &QTimer::timeout, this, [this] {
        m_icon.setBorderStyle(0);
        m_calculatorTimer->stop();
    });
    m_calculatorTimer->start();
    connect(&m_icon, &ClickLabel::clicked, this, &CalculatorLauncher::showCalculator);
}

CalculatorLauncher::~CalculatorLauncher() = default;

void CalculatorLauncher::showCalculator()
{
    m_icon.setBorderStyle(1);
    m_calculatorTimer->start();
    if (!m_calculator) {
        m_calculator = std::make_unique<Calculator>();
        connect(m_calculator.get(), &Calculator::makerSiteRequested, this,
                [this] { m_starter.openUrl(QUrl(Maker::webSite())); });
    }
    m_calculator->show();
    m_calculator->raise();
    m_calculator->activateWindow();
}

void CalculatorLauncher::close()
{
    m_calculator.reset();
}
