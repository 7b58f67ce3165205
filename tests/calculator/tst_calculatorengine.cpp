#include <limits>

#include <QRandomGenerator>
#include <QTest>

#include "calculator/CalculatorEngine.h"
#include "calculator/KeySequence.h"
#include "common/Format.h"

using EntryMode = CalculatorEngine::EntryMode;
using Operation = CalculatorEngine::Operation;

namespace {
const QLocale English(QLocale::English, QLocale::UnitedStates);
const QLocale Italian(QLocale::Italian, QLocale::Italy);
}

class TestCalculatorEngine : public QObject
{
    Q_OBJECT
private slots:
    void keysShowTheReadout_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("readout");

        QTest::newRow("after load") << English << "" << "0.";
        QTest::newRow("digit keeps the mark") << English << "5" << "5.";
        QTest::newRow("fraction") << English << "5.2" << "5.2";
        QTest::newRow("second mark ignored") << English << "5..2" << "5.2";
        QTest::newRow("leading zeros kept") << English << "007" << "007.";
        QTest::newRow("sign entry") << English << "-" << "-0.";
        QTest::newRow("signed digit") << English << "-3" << "-3.";
        QTest::newRow("signed fraction") << English << "-.5" << "-0.5";
        QTest::newRow("left to right") << English << "2+3X4=" << "20";
        QTest::newRow("equals repeats") << English << "1+2==" << "3";
        QTest::newRow("equals takes new operand") << English << "7=3=" << "3";
        QTest::newRow("thirds") << English << "1/3=" << "0.333333333333333";
        QTest::newRow("it after load") << Italian << "" << "0,";
        QTest::newRow("it fraction") << Italian << "5.2" << "5,2";
        QTest::newRow("it sign entry") << Italian << "-" << "-0,";
        QTest::newRow("it half") << Italian << "1/2=" << "0,5";
        QTest::newRow("it signed fraction") << Italian << "-.5X3=" << "-1,5";
    }
    void keysShowTheReadout()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, keys);
        QFETCH(QString, readout);
        CalculatorEngine engine(locale);
        pressKeys(engine, keys);
        QCOMPARE(engine.readout(), readout);
    }

    void typedOperandKeepsItsTextUntilComputed()
    {
        CalculatorEngine engine(English);
        pressKeys(engine, QStringLiteral("007="));
        QCOMPARE(engine.readout(), QStringLiteral("007."));
        QCOMPARE(engine.firstOperand(), CalculatorEngine::Operand(QStringLiteral("007.")));
        pressKeys(engine, QStringLiteral("+1="));
        QCOMPARE(engine.readout(), QStringLiteral("8"));
        QCOMPARE(engine.firstOperand(), CalculatorEngine::Operand(8.0));
    }

    void minusIsASignOnlyWhereNoOperandIsPending()
    {
        CalculatorEngine engine(English);
        pressKeys(engine, QStringLiteral("5+-"));
        QCOMPARE(engine.readout(), QStringLiteral("-"));
        QCOMPARE(engine.entryMode(), EntryMode::Neg);
        QCOMPARE(engine.pendingOp(), Operation::Add);
        pressKeys(engine, QStringLiteral("3="));
        QCOMPARE(engine.readout(), QStringLiteral("2"));

        // After "=" a minus subtracts from the result.
        pressKeys(engine, QStringLiteral("C5=-"));
        QCOMPARE(engine.readout(), QStringLiteral("5."));
        QCOMPARE(engine.entryMode(), EntryMode::Ops);
        QCOMPARE(engine.pendingOp(), Operation::Subtract);
        pressKeys(engine, QStringLiteral("3="));
        QCOMPARE(engine.readout(), QStringLiteral("2"));
    }

    void divisionByZeroKeepsTheFirstOperand()
    {
        CalculatorEngine engine(English);
        int messages = 0;
        engine.setDivisionByZeroHandler([&messages] { ++messages; });

        pressKeys(engine, QStringLiteral("8/0="));
        QCOMPARE(messages, 1);
        QCOMPARE(engine.readout(), QStringLiteral("8."));
        QCOMPARE(engine.operandCount(), 1);
        QCOMPARE(engine.pendingOp(), Operation::Equals);

        pressKeys(engine, QStringLiteral("C8/.0+"));
        QCOMPARE(messages, 2);
        QCOMPARE(engine.pendingOp(), Operation::Add);
        pressKeys(engine, QStringLiteral("2="));
        QCOMPARE(engine.readout(), QStringLiteral("10"));

        pressKeys(engine, QStringLiteral("C9/2="));
        QCOMPARE(messages, 2);
        QCOMPARE(engine.readout(), QStringLiteral("4.5"));
    }

    void percentCountsAsAnOperand()
    {
        CalculatorEngine engine(English);
        pressKeys(engine, QStringLiteral("50+10%="));
        QCOMPARE(engine.readout(), QStringLiteral("5"));
        pressKeys(engine, QStringLiteral("C200X5%="));
        QCOMPARE(engine.readout(), QStringLiteral("10"));

        pressKeys(engine, QStringLiteral("C5%%"));
        QCOMPARE(engine.operandCount(), 2);
        pressKeys(engine, QStringLiteral("%"));
        QCOMPARE(engine.operandCount(), 3);
        QCOMPARE(engine.readout(), QStringLiteral("5E-06"));
        // From the third operand nothing computes until "C".
        pressKeys(engine, QStringLiteral("=2+2="));
        QCOMPARE(engine.readout(), QStringLiteral("2."));
        QVERIFY(engine.operandCount() >= 3);
        pressKeys(engine, QStringLiteral("C2+2="));
        QCOMPARE(engine.readout(), QStringLiteral("4"));
    }

    void clearEntryKeepsTheCalculationClearForgetsIt()
    {
        CalculatorEngine engine(English);
        pressKeys(engine, QStringLiteral("1936U"));
        QCOMPARE(engine.label1(), QStringLiteral("€ 1.00"));
        pressKeys(engine, QStringLiteral("C5+3E"));
        QCOMPARE(engine.readout(), QStringLiteral("0."));
        QCOMPARE(engine.label1(), QStringLiteral("0."));
        pressKeys(engine, QStringLiteral("4="));
        QCOMPARE(engine.readout(), QStringLiteral("9"));

        pressKeys(engine, QStringLiteral("1L5+3C"));
        QCOMPARE(engine.readout(), QStringLiteral("0."));
        QCOMPARE(engine.label1(), QStringLiteral("0."));
        QCOMPARE(engine.operandCount(), 0);
        QCOMPARE(engine.firstOperand(), CalculatorEngine::Operand(0.0));
        pressKeys(engine, QStringLiteral("4="));
        QCOMPARE(engine.readout(), QStringLiteral("4."));

        CalculatorEngine italian(Italian);
        pressKeys(italian, QStringLiteral("1UE"));
        QCOMPARE(italian.label1(), QStringLiteral("0,"));
    }

    void loneMinusOperandCountsAsZeroSilently()
    {
        CalculatorEngine engine(English);
        int messages = 0;
        engine.setDivisionByZeroHandler([&messages] { ++messages; });

        // The "+" after the sign entry copies the lone "-" into the first operand.
        pressKeys(engine, QStringLiteral("5+-+"));
        QCOMPARE(engine.firstOperand(), CalculatorEngine::Operand(QStringLiteral("-")));
        pressKeys(engine, QStringLiteral("3="));
        QCOMPARE(engine.readout(), QStringLiteral("-3"));

        pressKeys(engine, QStringLiteral("C5+-%"));
        QCOMPARE(engine.readout(), QStringLiteral("0"));
        pressKeys(engine, QStringLiteral("="));
        QCOMPARE(engine.readout(), QStringLiteral("0"));

        // "Euro" on nothing leaves an empty readout; it stays an operand worth 0.
        pressKeys(engine, QStringLiteral("C0U"));
        QCOMPARE(engine.readout(), QString());
        pressKeys(engine, QStringLiteral("U"));
        QCOMPARE(engine.label1(), QStringLiteral("€ 0.00"));
        pressKeys(engine, QStringLiteral("+3="));
        QCOMPARE(engine.readout(), QStringLiteral("3"));
        QCOMPARE(messages, 0);
    }

    void resultBeyondTheDoubleRangeIsRefused()
    {
        const QString googolSquared = QStringLiteral("1") + QString(200, QLatin1Char('0'));
        CalculatorEngine engine(English);
        int messages = 0;
        engine.setDivisionByZeroHandler([&messages] { ++messages; });

        pressKeys(engine, googolSquared + QStringLiteral("X1="));
        QCOMPARE(engine.readout(), QStringLiteral("1E+200"));
        pressKeys(engine, QStringLiteral("X") + googolSquared + QStringLiteral("+"));
        QCOMPARE(engine.readout(), QStringLiteral("1E+200"));
        QCOMPARE(engine.operandCount(), 1);
        QCOMPARE(engine.pendingOp(), Operation::Add);
        pressKeys(engine, QStringLiteral("1="));
        QCOMPARE(engine.readout(), QStringLiteral("1E+200"));

        // A typed number beyond the range is an operand no result can use; it is not 0.
        const QString tooLong = QStringLiteral("1") + QString(400, QLatin1Char('0'));
        pressKeys(engine, QStringLiteral("C1+") + tooLong + QStringLiteral("="));
        QCOMPARE(engine.readout(), QStringLiteral("1."));
        pressKeys(engine, QStringLiteral("C") + tooLong + QStringLiteral("%"));
        QCOMPARE(engine.readout(), tooLong + QStringLiteral("."));
        QCOMPARE(messages, 0);
    }

    void operandCountStopsAtItsSixteenBitLimit()
    {
        CalculatorEngine engine(English);
        pressKeys(engine, QStringLiteral("5"));
        for (int i = 0; i < 40000; ++i)
            engine.Percent_Click();
        QCOMPARE(engine.operandCount(), int(std::numeric_limits<qint16>::max()));
        pressKeys(engine, QStringLiteral("2+3="));
        QCOMPARE(engine.operandCount(), int(std::numeric_limits<qint16>::max()));
        QCOMPARE(engine.readout(), QStringLiteral("3."));
        pressKeys(engine, QStringLiteral("C2+3="));
        QCOMPARE(engine.readout(), QStringLiteral("5"));
    }

    void randomKeysNeverShowInfinityNanOrNothing()
    {
        // Digits dominate so that long numbers, and with them overflow, come up.
        const QString keys = QStringLiteral("0123456789012345678999999.+-X/=%%ECUL");
        QRandomGenerator random(5150);
        for (const QLocale &locale : {English, Italian}) {
            const QString zero = Format::format(0, QStringLiteral("0."), locale);
            for (int run = 0; run < 200; ++run) {
                CalculatorEngine engine(locale);
                engine.setDivisionByZeroHandler([] {});
                QString pressed;
                bool wasEmpty = false;
                for (int i = 0; i < 400; ++i) {
                    const QChar key = keys.at(random.bounded(int(keys.size())));
                    pressed.append(key);
                    pressKey(engine, key);

                    const QString readout = engine.readout();
                    const QString label = engine.label1();
                    const QByteArray context = (locale.name() + QLatin1Char(' ') + pressed).toUtf8();
                    for (const QString &text : {readout, label}) {
                        QVERIFY2(!text.contains(QStringLiteral("inf"), Qt::CaseInsensitive), context);
                        QVERIFY2(!text.contains(QStringLiteral("nan"), Qt::CaseInsensitive), context);
                    }
                    // Only "Euro" on an amount that rounds to no Lire empties the readout, and an
                    // operator key copies that text as it is; only a sign entry shows a lone "-".
                    if (readout.isEmpty())
                        QVERIFY2(key == QLatin1Char('U') || (wasEmpty && QStringLiteral("/+X-=").contains(key)), context);
                    else if (readout == QLatin1String("-"))
                        QVERIFY2(engine.entryMode() == EntryMode::Neg, context);
                    else
                        QVERIFY2(Format::textToNumber(readout, locale).has_value(), context);
                    QVERIFY2(label == zero || label.startsWith(QStringLiteral("€ ")) || label.startsWith(QStringLiteral("L. ")),
                             context);
                    QVERIFY2(engine.operandCount() >= 0, context);
                    wasEmpty = readout.isEmpty();
                }
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestCalculatorEngine)
#include "tst_calculatorengine.moc"
