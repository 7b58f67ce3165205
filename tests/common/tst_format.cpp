#include <cmath>
#include <limits>

#include <QRandomGenerator>
#include <QTest>
#include <QTime>

#include "common/Format.h"

namespace {
const QLocale English(QLocale::English, QLocale::UnitedStates);
const QLocale Italian(QLocale::Italian, QLocale::Italy);
}

class TestFormat : public QObject
{
    Q_OBJECT
private slots:
    void patternsUseTheLocaleSeparators_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("expected");

        struct Row { double value; const char *pattern; const char *english; const char *italian; };
        const Row rows[] = {
            {1234.56, "##,##0.00", "1,234.56", "1.234,56"},
            {1234.56, "##,##", "1,235", "1.235"},
            {1234.56, "##,##.00", "1,234.56", "1.234,56"},
            {0.5, "##,##0.00", "0.50", "0,50"},
            {0.5, "##,##", "", ""},
            {0.5, "##,##.00", ".50", ",50"},
            {0, "##,##0.00", "0.00", "0,00"},
            {0, "##,##", "", ""},
            {0, "##,##.00", ".00", ",00"},
            {-1936.27, "##,##", "-1,936", "-1.936"},
            {1234567.891, "##,##0.00", "1,234,567.89", "1.234.567,89"},
            {0, "0.", "0.", "0,"},
            {0, "-0.", "-0.", "-0,"},
            {0, ".", ".", ","},
            {7, "000", "007", "007"},
            {120, "000", "120", "120"},
            {1000, "000", "1000", "1000"},
            {std::numeric_limits<double>::infinity(), "##,##", "", ""},
        };
        for (const Row &row : rows) {
            QTest::addRow("en %s %g", row.pattern, row.value) << English << row.value << row.pattern << row.english;
            QTest::addRow("it %s %g", row.pattern, row.value) << Italian << row.value << row.pattern << row.italian;
        }
    }
    void patternsUseTheLocaleSeparators()
    {
        QFETCH(QLocale, locale);
        QFETCH(double, value);
        QFETCH(QString, pattern);
        QFETCH(QString, expected);
        QCOMPARE(Format::format(value, pattern, locale), expected);
    }

    void halvesGoToTheEvenNeighbour_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("expected");
        QTest::newRow("1.5 up") << 1.5 << "0" << "2";
        QTest::newRow("2.5 down") << 2.5 << "0" << "2";
        QTest::newRow("-2.5 down in magnitude") << -2.5 << "0" << "-2";
        QTest::newRow("0.125 down") << 0.125 << "0.00" << "0.12";
        QTest::newRow("0.135 up") << 0.135 << "0.00" << "0.14";
        // 2.675 is 2.67499999... in binary: the half is judged on the decimal digits.
        QTest::newRow("2.675 as shown") << 2.675 << "0.00" << "2.68";
        QTest::newRow("above a half") << 0.5000001 << "##,##" << "1";
        QTest::newRow("carry through nines") << 999.995 << "##,##0.00" << "1,000.00";
        QTest::newRow("small negative loses its sign") << -0.004 << "0.00" << "0.00";
        QTest::newRow("optional decimals drop zeros") << 2.5 << "0.##" << "2.5";
    }
    void halvesGoToTheEvenNeighbour()
    {
        QFETCH(double, value);
        QFETCH(QString, pattern);
        QFETCH(QString, expected);
        QCOMPARE(Format::format(value, pattern, English), expected);
    }

    void roundingToCentsAgreesWithTheFormattedText()
    {
        QCOMPARE(Format::roundToDecimals(100000 / 1936.27, 2), 51.65);
        QCOMPARE(Format::roundToDecimals(1936 / 1936.27, 2), 1.0);
        QCOMPARE(Format::roundToDecimals(0.125, 2), 0.12);
        QCOMPARE(Format::roundToDecimals(-51.645, 2), -51.64);
        QCOMPARE(Format::roundToDecimals(-0.004, 2), 0.0);
        QVERIFY(!std::signbit(Format::roundToDecimals(-0.004, 2)));
        QCOMPARE(Format::roundToDecimals(std::numeric_limits<double>::max(), 2), std::numeric_limits<double>::max());

        QRandomGenerator random(20020101);
        for (int i = 0; i < 2000; ++i) {
            const double amount = (random.generateDouble() - 0.5) * 2e7;
            const double cents = Format::roundToDecimals(amount, 2);
            QCOMPARE(Format::textToNumber(Format::format(amount, QStringLiteral("0.00"), Italian), Italian).value(), cents);
            QVERIFY2(std::fabs(cents - amount) <= 0.005 + 1e-9, qPrintable(QString::number(amount, 'g', 17)));
        }
    }

    void numbersBecomeTextWithFifteenDigitsAtMost_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("italian");
        QTest::newRow("whole") << 2.0 << "2" << "2";
        QTest::newRow("half") << 0.5 << "0.5" << "0,5";
        QTest::newRow("third") << 1.0 / 3 << "0.333333333333333" << "0,333333333333333";
        QTest::newRow("binary noise hidden") << 0.1 + 0.2 << "0.3" << "0,3";
        QTest::newRow("negative") << -1.5 << "-1.5" << "-1,5";
        QTest::newRow("negative zero") << -0.0 << "0" << "0";
        QTest::newRow("largest in full") << 999999999999999.0 << "999999999999999" << "999999999999999";
        QTest::newRow("rounds into exponent") << 9999999999999999.0 << "1E+16" << "1E+16";
        QTest::newRow("1e15") << 1e15 << "1E+15" << "1E+15";
        QTest::newRow("large") << 1.23456789012345678e20 << "1.23456789012346E+20" << "1,23456789012346E+20";
        QTest::newRow("smallest in full") << 0.0001 << "0.0001" << "0,0001";
        QTest::newRow("small") << 0.00001 << "1E-05" << "1E-05";
        QTest::newRow("tiny") << -1.5e-300 << "-1.5E-300" << "-1,5E-300";
        QTest::newRow("denormal") << 5e-324 << "4.94065645841247E-324" << "4,94065645841247E-324";
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << "" << "";
        QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << "" << "";
    }
    void numbersBecomeTextWithFifteenDigitsAtMost()
    {
        QFETCH(double, value);
        QFETCH(QString, english);
        QFETCH(QString, italian);
        QCOMPARE(Format::numberToText(value, English), english);
        QCOMPARE(Format::numberToText(value, Italian), italian);
    }

    void textBecomesANumberOrNothing_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<double>("value");
        QTest::newRow("trailing mark") << English << "12." << true << 12.0;
        QTest::newRow("leading zeros") << English << "007." << true << 7.0;
        QTest::newRow("leading mark") << English << ".50" << true << 0.5;
        QTest::newRow("sign entry") << English << "-3." << true << -3.0;
        QTest::newRow("grouped") << English << "1,234.56" << true << 1234.56;
        QTest::newRow("exponent") << English << "1.5E+15" << true << 1.5e15;
        QTest::newRow("lower exponent") << English << "2e-7" << true << 2e-7;
        QTest::newRow("blanks") << English << " 5 " << true << 5.0;
        QTest::newRow("denormal") << English << "4.94065645841247E-324" << true << 5e-324;
        QTest::newRow("it trailing mark") << Italian << "12," << true << 12.0;
        QTest::newRow("it grouped") << Italian << "1.234,56" << true << 1234.56;
        QTest::newRow("it leading mark") << Italian << ",50" << true << 0.5;
        QTest::newRow("it exponent") << Italian << "1,5E+15" << true << 1.5e15;
        QTest::newRow("empty") << English << "" << false << 0.0;
        QTest::newRow("lone minus") << English << "-" << false << 0.0;
        QTest::newRow("lone mark") << English << "." << false << 0.0;
        QTest::newRow("two marks") << English << "1.2.3" << false << 0.0;
        QTest::newRow("group in fraction") << English << "1.2,3" << false << 0.0;
        QTest::newRow("word") << English << "abc" << false << 0.0;
        QTest::newRow("inf") << English << "inf" << false << 0.0;
        QTest::newRow("nan") << English << "nan" << false << 0.0;
        QTest::newRow("bare exponent") << English << "5E" << false << 0.0;
        QTest::newRow("other mark") << Italian << "1.5" << true << 15.0; // '.' groups in Italian
    }
    void textBecomesANumberOrNothing()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(double, value);
        const std::optional<double> number = Format::textToNumber(text, locale);
        QCOMPARE(number.has_value(), valid);
        if (valid)
            QCOMPARE(*number, value);
    }

    void textBeyondTheDoubleRangeIsInfiniteNotZero()
    {
        const QString huge = QStringLiteral("1") + QString(400, QLatin1Char('0')) + QStringLiteral(".");
        QCOMPARE(Format::textToNumber(huge, English), std::numeric_limits<double>::infinity());
        QCOMPARE(Format::textToNumber(QStringLiteral("-") + huge, English), -std::numeric_limits<double>::infinity());
        QCOMPARE(Format::textToNumber(QStringLiteral("1E+400"), English), std::numeric_limits<double>::infinity());
        QCOMPARE(Format::textToNumber(QStringLiteral("0.0001E+400"), English), std::numeric_limits<double>::infinity());
        // Decimals beyond the exponent's reach do not make it small.
        QCOMPARE(Format::textToNumber(QStringLiteral("1.") + QString(500, QLatin1Char('0')) + QStringLiteral("E+400"), English),
                 std::numeric_limits<double>::infinity());
        QCOMPARE(Format::textToNumber(QStringLiteral("1E-400"), English), 0.0);
        QCOMPARE(Format::textToNumber(QStringLiteral("1000E-330"), English), 0.0);
    }

    void numberTextReadsBackAsTheShownValue()
    {
        QRandomGenerator random(7);
        for (int i = 0; i < 5000; ++i) {
            const double mantissa = random.generateDouble() * 10 - 5;
            const double value = mantissa * std::pow(10.0, random.bounded(-40, 40));
            for (const QLocale &locale : {English, Italian}) {
                const QString text = Format::numberToText(value, locale);
                const std::optional<double> back = Format::textToNumber(text, locale);
                QVERIFY2(back.has_value(), qPrintable(text));
                QVERIFY2(std::fabs(*back - value) <= std::fabs(value) * 1e-14, qPrintable(text));
                QCOMPARE(Format::numberToText(*back, locale), text);
            }
        }
    }

    void timesUseTwoDigitFieldsAndTheLocaleSeparator()
    {
        const QString pattern = QStringLiteral("hh:mm:ss");
        QCOMPARE(Format::formatTime(QTime(9, 5, 7), pattern, English), QStringLiteral("09:05:07"));
        QCOMPARE(Format::formatTime(QTime(23, 59, 59), pattern, English), QStringLiteral("23:59:59"));
        QCOMPARE(Format::formatTime(QTime(0, 0, 0), pattern, Italian), QStringLiteral("00:00:00"));
        QCOMPARE(Format::formatTime(QTime(13, 4, 0), pattern, QLocale(QLocale::Finnish, QLocale::Finland)),
                 QStringLiteral("13.04.00"));
        // "HH 'h' mm": a quoted letter is no separator.
        QCOMPARE(Format::formatTime(QTime(13, 4, 0), pattern, QLocale(QLocale::French, QLocale::Canada)),
                 QStringLiteral("13:04:00"));
        QCOMPARE(Format::formatTime(QTime(), pattern, English), QString());
    }
};

QTEST_APPLESS_MAIN(TestFormat)
#include "tst_format.moc"
