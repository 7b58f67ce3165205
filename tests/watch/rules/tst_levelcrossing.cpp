#include <QTest>

#include "support/NumberSpellings.h"
#include "watch/rules/LevelCrossing.h"
#include "watch/rules/LevelText.h"

using Crossed = LevelCrossing::Crossed;

// One value's readings against its levels, each row a day's sequence: "-" is a reading that
// could not be taken, "^a/b" the levels set anew, the answer one letter per reading (u above,
// d below, . nothing).
class TestLevelCrossing : public QObject
{
    Q_OBJECT
private slots:
    void alertsOncePerCrossing_data()
    {
        QTest::addColumn<double>("above");
        QTest::addColumn<double>("below");
        QTest::addColumn<double>("margin");
        QTest::addColumn<QString>("readings");
        QTest::addColumn<QString>("alerts");

        const double none = qQNaN();
        QTest::newRow("at the level, each side") << 10.0 << 9.0 << 0.2 << "10 9.5 9" << "u.d";
        QTest::newRow("re-armed past the margin") << 10.0 << none << 0.2 << "10.1 9.99 10.1 9.97 10.01" << "u...u";
        QTest::newRow("wider margin set by the user") << 10.0 << none << 1.0 << "10.1 9.95 10.1 9.89 10.1" << "u...u";
        QTest::newRow("below re-arms above the level") << none << 10.0 << 0.2 << "9.9 10.01 9.9 10.03 9.9" << "d...d";
        QTest::newRow("unread readings change nothing") << 10.0 << none << 0.2 << "9.5 - 10.1 - - 10.2 - 9.0 - 10.1"
                                                        << "..u......u";
        // The same level set again (the user only changed the other one) stays quiet.
        QTest::newRow("a new level is armed again") << 10.0 << none << 0.2 << "12 12 ^10/5 12 ^11/5 12" << "u..u";
        QTest::newRow("both levels in one day") << 11.0 << 9.0 << 0.2 << "10 11.5 10 8.5 10 11.2" << ".u.d.u";
        QTest::newRow("negative level keeps its margin") << -1.0 << none << 0.2 << "-1.5 -0.5 -1.001 -0.999 -1.01 -0.99"
                                                         << ".u...u";
    }

    void alertsOncePerCrossing()
    {
        QFETCH(double, above);
        QFETCH(double, below);
        QFETCH(double, margin);
        QFETCH(QString, readings);
        QFETCH(QString, alerts);

        LevelCrossing crossing;
        const auto given = [](double level) { return qIsNaN(level) ? std::nullopt : std::optional(level); };
        crossing.setLevels({given(above), given(below), margin});
        QString got;
        for (const QString &reading : readings.split(QLatin1Char(' '))) {
            if (reading.startsWith(QLatin1Char('^'))) {
                crossing.setLevels({reading.mid(1).section(QLatin1Char('/'), 0, 0).toDouble(), reading.section(QLatin1Char('/'), 1).toDouble(), margin});
                continue;
            }
            const Crossed c = crossing.feed(reading == QLatin1String("-") ? std::nullopt : std::optional(reading.toDouble()));
            got += c == Crossed::Above ? QLatin1Char('u') : c == Crossed::Below ? QLatin1Char('d') : QLatin1Char('.');
        }
        QCOMPARE(got, alerts);
    }

    void typedLevelIsReadOrRefused_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("level"); // NaN: refused

        for (const NumberSpellings::Spelling &row : NumberSpellings::Table)
            QTest::newRow(row.name) << QString::fromUtf16(row.text) << row.italian;
    }

    void typedLevelIsReadOrRefused()
    {
        QFETCH(QString, typed);
        QFETCH(double, level);

        QString problem;
        const std::optional<double> read = LevelText::parse(typed, &problem);
        if (qIsNaN(level)) {
            QVERIFY2(!read, qPrintable(QString::number(read.value_or(0))));
            QVERIFY(!problem.isEmpty());
            return;
        }
        QVERIFY2(read, qPrintable(problem));
        QCOMPARE(*read, level);
        // What the dialog shows reads back as the same level.
        QCOMPARE(LevelText::parse(LevelText::format(level)), read);
    }

    void numbersAreWrittenAsQuotePagesWriteThem()
    {
        // The same on every Qt, whose own Italian stopped grouping four digits in 6.5; a positive
        // four-digit price is in the list's test.
        QCOMPARE(LevelText::price(-1234567.125), QStringLiteral("-1.234.567,125"));
        QCOMPARE(LevelText::grouped(-0.27, 2), QStringLiteral("-0,27"));
        QCOMPARE(LevelText::grouped(100000, 0), QStringLiteral("100.000"));
    }
};

QTEST_APPLESS_MAIN(TestLevelCrossing)
#include "tst_levelcrossing.moc"
