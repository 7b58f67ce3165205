#include <memory>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "calculator/Calculator.h"
#include "common/Colors.h"
#include "common/Controls.h"
#include "common/Twips.h"
#include "support/Clicks.h"
#include "support/MessageCapture.h"

class TestCalculatorWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void windowFollowsTheDesignTable();
    void mouseKeysCalculateLeftToRight();
    void divisionByZeroWarnsWithOneMessage();
    void conversionButtonsFillTheCyanLabel();
    void keyboardPressesNoKey();
    void reopeningAfterCloseStartsFreshShowingAgainKeepsState();

private:
    void click(const QString &keys);
    QString readout() const;
    QString conversion() const;

    std::unique_ptr<Calculator> m_calculator;
    MessageCapture m_messages;
};

void TestCalculatorWindow::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestCalculatorWindow::init()
{
    m_messages.clear();
    m_calculator = std::make_unique<Calculator>();
    m_calculator->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_calculator.get()));
}

void TestCalculatorWindow::cleanup()
{
    m_calculator.reset();
}

void TestCalculatorWindow::click(const QString &keys)
{
    static const QString Operators = QStringLiteral("/+X-=");
    for (const QChar key : keys) {
        if (key == QLatin1Char('U') || key == QLatin1Char('L')) {
            const Calculator::Controls &c = m_calculator->controls();
            QTest::mouseClick(key == QLatin1Char('U') ? c.euro : c.lire, Qt::LeftButton);
            continue;
        }
        QString name;
        if (key.isDigit())
            name = QStringLiteral("Number(%1)").arg(key);
        else if (Operators.contains(key))
            name = QStringLiteral("Operator(%1)").arg(Operators.indexOf(key));
        else if (key == QLatin1Char('.'))
            name = QStringLiteral("Decimal");
        else if (key == QLatin1Char('%'))
            name = QStringLiteral("Percent");
        else if (key == QLatin1Char('E'))
            name = QStringLiteral("CancelEntry");
        else if (key == QLatin1Char('C'))
            name = QStringLiteral("Cancel");
        QTest::mouseClick(namedChild<QPushButton>(m_calculator.get(), name), Qt::LeftButton);
    }
}

QString TestCalculatorWindow::readout() const
{
    return m_calculator->controls().readout->text();
}

QString TestCalculatorWindow::conversion() const
{
    return m_calculator->controls().conversion->text();
}

void TestCalculatorWindow::windowFollowsTheDesignTable()
{
    Calculator &window = *m_calculator;
    QCOMPARE(window.objectName(), QStringLiteral("Calculator"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Euro Calcolatore Q.V."));
    QCOMPARE(window.size(), Twips::toPixelRect(&window, 0, 0, 3180, 3915).size());
    QCOMPARE(window.minimumSize(), window.maximumSize());

    auto key = [&window](const char *name) { return namedChild<QPushButton>(&window, QLatin1String(name)); };
    const struct { QPushButton *button; const char *caption; QRect twips; } keys[] = {
        {key("Operator(0)"), "/", {2595, 2745, 480, 480}},
        {key("Operator(1)"), "+", {1995, 2145, 480, 480}},
        {key("Operator(2)"), "X", {1995, 2745, 480, 480}},
        {key("Operator(3)"), "-", {2595, 2145, 480, 480}},
        {key("Operator(4)"), "=", {1995, 3345, 480, 480}},
        {key("Number(0)"), "0", {75, 3345, 1080, 480}},
        {key("Number(9)"), "9", {1275, 1545, 480, 480}},
        {window.controls().euro, "Euro", {90, 540, 1005, 420}},
        {window.controls().lire, "Lire", {2070, 540, 1005, 420}},
    };
    for (const auto &key : keys) {
        QPushButton *button = key.button;
        QCOMPARE(button->text(), QString::fromUtf8(key.caption));
        QCOMPARE(button->geometry(), Twips::toPixelRect(&window, key.twips.x(), key.twips.y(), key.twips.width(), key.twips.height()));
    }

    const QList<QPushButton *> buttons = window.findChildren<QPushButton *>();
    QCOMPARE(buttons.size(), 21);
    for (QPushButton *button : buttons) {
        QCOMPARE(button->focusPolicy(), Qt::NoFocus);
        QVERIFY(!button->autoDefault() && !button->isDefault());
    }

    QLabel *readoutLabel = window.controls().readout;
    QLabel *conversionLabel = window.controls().conversion;
    QCOMPARE(Colors::fromBgr(Colors::backColor(readoutLabel)), QColor(255, 255, 0));
    QCOMPARE(Colors::fromBgr(Colors::backColor(conversionLabel)), QColor(0, 255, 255));
    QVERIFY(readoutLabel->font().bold());
    QCOMPARE(readoutLabel->font().pointSizeF(), 12.0);
    QCOMPARE(readout(), QStringLiteral("0."));
    QCOMPARE(conversion(), QStringLiteral("0."));

    // An empty pixmap would mean the resource or the svg image plugin is missing.
    ClickLabel *picture = window.controls().picture;
    QVERIFY(picture);
    QVERIFY(!picture->pixmap().isNull());
}

void TestCalculatorWindow::mouseKeysCalculateLeftToRight()
{
    click(QStringLiteral("2+3X4"));
    QCOMPARE(readout(), QStringLiteral("4."));
    click(QStringLiteral("="));
    QCOMPARE(readout(), QStringLiteral("20"));
    click(QStringLiteral("C50+10%="));
    QCOMPARE(readout(), QStringLiteral("5"));
    click(QStringLiteral("5+3E4="));
    QCOMPARE(readout(), QStringLiteral("9"));
    QVERIFY(m_messages.isEmpty());
}

void TestCalculatorWindow::divisionByZeroWarnsWithOneMessage()
{
    click(QStringLiteral("8/0="));
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.at(0).icon, QMessageBox::Warning);
    QCOMPARE(m_messages.at(0).title, QStringLiteral("Calculator"));
    QCOMPARE(m_messages.at(0).text, QStringLiteral("Can't divide by zero"));
    QCOMPARE(readout(), QStringLiteral("8."));
}

void TestCalculatorWindow::conversionButtonsFillTheCyanLabel()
{
    click(QStringLiteral("1936U"));
    QCOMPARE(conversion(), QStringLiteral("€ 1.00"));
    QCOMPARE(readout(), QStringLiteral("1,936"));
    click(QStringLiteral("10L"));
    QCOMPARE(conversion(), QStringLiteral("L. 19,363"));
    QCOMPARE(readout(), QStringLiteral("10.00"));
    click(QStringLiteral("E"));
    QCOMPARE(conversion(), QStringLiteral("0."));
}

void TestCalculatorWindow::keyboardPressesNoKey()
{
    m_calculator->activateWindow();
    for (const Qt::Key key : {Qt::Key_5, Qt::Key_Plus, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Escape})
        QTest::keyClick(m_calculator.get(), key);
    QCOMPARE(readout(), QStringLiteral("0."));
    QCOMPARE(m_calculator->engine().operandCount(), 0);
}

void TestCalculatorWindow::reopeningAfterCloseStartsFreshShowingAgainKeepsState()
{
    click(QStringLiteral("1936U5+3"));
    m_calculator->show();
    QCOMPARE(readout(), QStringLiteral("3."));

    QVERIFY(m_calculator->close());
    m_calculator->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_calculator.get()));
    QCOMPARE(readout(), QStringLiteral("0."));
    QCOMPARE(conversion(), QStringLiteral("0."));
    QCOMPARE(m_calculator->engine().operandCount(), 0);
    click(QStringLiteral("="));
    QCOMPARE(readout(), QStringLiteral("0."));

    // The reloaded window still reports division by zero.
    click(QStringLiteral("8/0="));
    QCOMPARE(m_messages.size(), 1);
}

QTEST_MAIN(TestCalculatorWindow)
#include "tst_calculatorwindow.moc"
