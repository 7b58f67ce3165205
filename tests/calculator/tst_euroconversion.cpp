#include <QTest>

#include "calculator/CalculatorEngine.h"
#include "calculator/KeySequence.h"

namespace {
const QLocale English(QLocale::English, QLocale::UnitedStates);
const QLocale Italian(QLocale::Italian, QLocale::Italy);
}

class TestEuroConversion : public QObject
{
    Q_OBJECT
private slots:
    void conversionsMatchTheWorkedTable_data();
    void conversionsMatchTheWorkedTable();
    void conversionFinishesTheCalculationFirst();
    void convertedReadoutStaysTheOperand();
    void amountBeyondTheDoubleRangeIsNotConverted();
};

void TestEuroConversion::conversionsMatchTheWorkedTable_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("label1");
    QTest::addColumn<QString>("readout");

    struct Row { const char *keys; const char *enLabel; const char *enReadout; const char *itLabel; const char *itReadout; };
    const Row rows[] = {
        {"1936U", "€ 1.00", "1,936", "€ 1,00", "1.936"},
        {"100000U", "€ 51.65", "100,000", "€ 51,65", "100.000"},
        {"1234567U", "€ 637.60", "1,234,567", "€ 637,60", "1.234.567"},
        {"1L", "L. 1,936", "1.00", "L. 1.936", "1,00"},
        {"10L", "L. 19,363", "10.00", "L. 19.363", "10,00"},
        {".5L", "L. 968", ".50", "L. 968", ",50"},
        {"2.5L", "L. 4,841", "2.50", "L. 4.841", "2,50"},
        // 96813.5 exactly: a half is kept down.
        {"50L", "L. 96,813", "50.00", "L. 96.813", "50,00"},
        {"1234.56L", "L. 2,390,441", "1,234.56", "L. 2.390.441", "1.234,56"},
        {"-1L", "L. -1,936", "-1.00", "L. -1.936", "-1,00"},
        {"-1000U", "€ -0.52", "-1,000", "€ -0,52", "-1.000"},
        {"0U", "€ 0.00", "", "€ 0,00", ""},
        {"0L", "L. ", ".00", "L. ", ",00"},
        {".5U", "€ 0.00", "", "€ 0,00", ""},
        {"1.5U", "€ 0.00", "2", "€ 0,00", "2"},
        {"2+3L", "L. 9,681", "5.00", "L. 9.681", "5,00"},
        {"1000X3U", "€ 1.55", "3,000", "€ 1,55", "3.000"},
    };
    for (const Row &row : rows) {
        QTest::addRow("en %s", row.keys) << English << row.keys << row.enLabel << row.enReadout;
        QTest::addRow("it %s", row.keys) << Italian << row.keys << row.itLabel << row.itReadout;
    }
}

void TestEuroConversion::conversionsMatchTheWorkedTable()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, keys);
    QFETCH(QString, label1);
    QFETCH(QString, readout);
    CalculatorEngine engine(locale);
    pressKeys(engine, keys);
    QCOMPARE(engine.label1(), label1);
    QCOMPARE(engine.readout(), readout);
}

void TestEuroConversion::conversionFinishesTheCalculationFirst()
{
    CalculatorEngine engine(English);
    int messages = 0;
    engine.setDivisionByZeroHandler([&messages] { ++messages; });

    pressKeys(engine, QStringLiteral("8/0U"));
    QCOMPARE(messages, 1);
    QCOMPARE(engine.label1(), QStringLiteral("€ 0.00"));
    QCOMPARE(engine.readout(), QStringLiteral("8"));
    QCOMPARE(engine.entryMode(), CalculatorEngine::EntryMode::Ops);
    QCOMPARE(engine.pendingOp(), CalculatorEngine::Operation::Equals);

    // During a sign entry the readout is a lone "-", converted as nothing.
    pressKeys(engine, QStringLiteral("C5+-L"));
    QCOMPARE(engine.label1(), QStringLiteral("L. "));
    QCOMPARE(engine.readout(), QStringLiteral(".00"));
    QCOMPARE(engine.entryMode(), CalculatorEngine::EntryMode::Neg);
    QCOMPARE(messages, 1);
}

void TestEuroConversion::convertedReadoutStaysTheOperand()
{
    for (const QLocale &locale : {English, Italian}) {
        CalculatorEngine engine(locale);
        // The grouped readout "1,936" (Italian "1.936") must read back as 1936.
        pressKeys(engine, QStringLiteral("1936U+1="));
        QCOMPARE(engine.readout(), QStringLiteral("1937"));
        pressKeys(engine, QStringLiteral("1234.56LX2="));
        QCOMPARE(engine.readout(), locale.decimalPoint() == QLatin1String(",") ? QStringLiteral("2469,12")
                                                                                : QStringLiteral("2469.12"));
        // A digit after a conversion starts a new entry.
        pressKeys(engine, QStringLiteral("1936U5"));
        QCOMPARE(engine.readout(), QStringLiteral("5") + locale.decimalPoint());
    }
}

void TestEuroConversion::amountBeyondTheDoubleRangeIsNotConverted()
{
    const QString huge = QStringLiteral("2") + QString(307, QLatin1Char('0'));
    CalculatorEngine engine(English);
    pressKeys(engine, QStringLiteral("1L") + huge + QStringLiteral("L"));
    QCOMPARE(engine.label1(), QStringLiteral("0."));
    QCOMPARE(engine.readout(), QStringLiteral("2E+307"));

    pressKeys(engine, QStringLiteral("C") + huge + QStringLiteral("U"));
    QVERIFY(engine.label1().startsWith(QStringLiteral("€ 10,329,")));
    QVERIFY(engine.readout().startsWith(QStringLiteral("20,000,000,")));
}

QTEST_APPLESS_MAIN(TestEuroConversion)
#include "tst_euroconversion.moc"
