#include <memory>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "calculator/Calculator.h"
#include "common/Colors.h"
#include "common/Controls.h"
#include "common/Twips.h"
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
    QString label1() const;

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
        else if (key == QLatin1Char('U'))
            name = QStringLiteral("Command1");
        else if (key == QLatin1Char('L'))
            name = QStringLiteral("Command2");
        auto *button = m_calculator->findChild<QPushButton *>(name);
        QVERIFY2(button, qPrintable(name));
        QTest::mouseClick(button, Qt::LeftButton);
    }
}

QString TestCalculatorWindow::readout() const
{
    return m_calculator->findChild<QLabel *>(QStringLiteral("Readout"))->text();
}

QString TestCalculatorWindow::label1() const
{
    return m_calculator->findChild<QLabel *>(QStringLiteral("Label1"))->text();
}

void TestCalculatorWindow::windowFollowsTheDesignTable()
{
    Calculator &window = *m_calculator;
    QCOMPARE(window.objectName(), QStringLiteral("Calculator"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Euro Calcolatore Q.V."));
    QCOMPARE(window.size(), Twips::toPixelRect(&window, 0, 0, 3180, 3915).size());
    QCOMPARE(window.minimumSize(), window.maximumSize());

    const struct { const char *name; const char *caption; QRect twips; } keys[] = {
        {"Operator(0)", "/", {2595, 2745, 480, 480}},
        {"Operator(1)", "+", {1995, 2145, 480, 480}},
        {"Operator(2)", "X", {1995, 2745, 480, 480}},
        {"Operator(3)", "-", {2595, 2145, 480, 480}},
        {"Operator(4)", "=", {1995, 3345, 480, 480}},
        {"Number(0)", "0", {75, 3345, 1080, 480}},
        {"Number(9)", "9", {1275, 1545, 480, 480}},
        {"Command1", "Euro", {90, 540, 1005, 420}},
        {"Command2", "Lire", {2070, 540, 1005, 420}},
    };
    for (const auto &key : keys) {
        auto *button = window.findChild<QPushButton *>(QString::fromLatin1(key.name));
        QVERIFY2(button, key.name);
        QCOMPARE(button->text(), QString::fromUtf8(key.caption));
        QCOMPARE(button->geometry(), Twips::toPixelRect(&window, key.twips.x(), key.twips.y(), key.twips.width(), key.twips.height()));
    }

    const QList<QPushButton *> buttons = window.findChildren<QPushButton *>();
    QCOMPARE(buttons.size(), 21);
    for (QPushButton *button : buttons) {
        QCOMPARE(button->focusPolicy(), Qt::NoFocus);
        QVERIFY(!button->autoDefault() && !button->isDefault());
    }

    auto *readoutLabel = window.findChild<QLabel *>(QStringLiteral("Readout"));
    auto *conversionLabel = window.findChild<QLabel *>(QStringLiteral("Label1"));
    QCOMPARE(Colors::fromBgr(Colors::backColor(readoutLabel)), QColor(255, 255, 0));
    QCOMPARE(Colors::fromBgr(Colors::backColor(conversionLabel)), QColor(0, 255, 255));
    QVERIFY(readoutLabel->font().bold());
    QCOMPARE(readoutLabel->font().pointSizeF(), 12.0);
    QCOMPARE(readout(), QStringLiteral("0."));
    QCOMPARE(label1(), QStringLiteral("0."));

    // An empty pixmap would mean the resource or the svg image plugin is missing.
    auto *picture = window.findChild<ClickLabel *>(QStringLiteral("Image1"));
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
    QCOMPARE(label1(), QStringLiteral("€ 1.00"));
    QCOMPARE(readout(), QStringLiteral("1,936"));
    click(QStringLiteral("10L"));
    QCOMPARE(label1(), QStringLiteral("L. 19,363"));
    QCOMPARE(readout(), QStringLiteral("10.00"));
    click(QStringLiteral("E"));
    QCOMPARE(label1(), QStringLiteral("0."));
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
    QCOMPARE(label1(), QStringLiteral("0."));
    QCOMPARE(m_calculator->engine().operandCount(), 0);
    click(QStringLiteral("="));
    QCOMPARE(readout(), QStringLiteral("0."));

    // The reloaded window still reports division by zero.
    click(QStringLiteral("8/0="));
    QCOMPARE(m_messages.size(), 1);
}

QTEST_MAIN(TestCalculatorWindow)
#include "tst_calculatorwindow.moc"
