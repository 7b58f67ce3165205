#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QLineEdit>
#include <QLineSeries>
#include <QPointer>
#include <QDateTimeAxis>
#include <QFile>
#include <QFileDialog>
#include <QTimer>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QValueAxis>

#include "common/ProgramSettings.h"
#include "support/MessageCapture.h"
#include "support/WatchDesk.h"
#include "watch/window/DayChart.h"
#include "watch/FollowedValues.h"
#include "watch/window/FollowedValuesModel.h"
#include "watch/window/FollowedValuesWindow.h"
#include "watch/window/FollowedValuesPart.h"

namespace {

using Column = FollowedValuesModel::Column;

// A day of the test's own: its clock never crosses midnight.
const QDate Today(2026, 12, 7);

// The followed values and their window.
struct Desk : WatchDesk
{
    FollowedValuesPart part{*values};

    qint64 follow(const QString &name, double number) { return WatchDesk::follow(place(name), name, number); }
    // One reading a second later; "-" is one not read.
    void read(const QString &name, const QString &number) { feed(place(name), number); }
    QTableView &table() { return *part.window().findChild<QTableView *>(QStringLiteral("followedValues")); }
    QString cell(int row, int column) { return table().model()->index(row, column).data().toString(); }
};

} // namespace

// "Valori seguiti": what its rows say, that a reading changes its own row and the chart's last
// point and nothing the user set, and the questions about a value.
class TestFollowedValuesWindow : public QObject
{
    Q_OBJECT
private slots:
    // A window shown and closed keeps its view for the next; each test starts from none.
    void init()
    {
        for (const auto layout : {ProgramSettings::Layout::FollowedValuesWindow, ProgramSettings::Layout::FollowedValuesColumns})
            ProgramSettings::setLayout(layout, {});
    }

    void rowSaysWhatThePageMeant_data()
    {
        QTest::addColumn<QString>("readings");
        QTest::addColumn<double>("above"); // NaN: none
        QTest::addColumn<int>("days");     // of the readings, from today
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("colour"); // empty: the view's own

        const double none = qQNaN();
        const QString yesterday = Today.addDays(-1).toString(QStringLiteral("dd/MM/yyyy"));
        const QString green = QStringLiteral("#007800"), red = QStringLiteral("#b40000");
        QTest::newRow("a price's two decimals") << "1240" << none << 0 << int(Column::Last) << "1.240,00" << "";
        QTest::newRow("a level's grouping") << "14" << 12345678901.5 << 0 << int(Column::Above) << "12.345.678.901,50" << "";
        // Marked: from the day's first reading, with no close of the day before.
        QTest::newRow("a rise") << "14.3 14.6" << none << 0 << int(Column::Change) << "+0,30 *" << green;
        QTest::newRow("a rise in percent") << "14.3 14.6" << none << 0 << int(Column::ChangePercent) << "+2,10 % *" << green;
        QTest::newRow("a fall in percent") << "14.6 14.3" << none << 0 << int(Column::ChangePercent) << "-2,05 % *" << red;
        QTest::newRow("no change") << "14.6 14.6" << none << 0 << int(Column::Change) << "0,00 *" << "";
        QTest::newRow("a tiny change's digits") << "0.00000012 0.00000015" << none << 0 << int(Column::Change) << "+0,00000003 *" << green;
        QTest::newRow("today's time") << "14" << none << 0 << int(Column::Time) << "09:00:01" << "";
        QTest::newRow("another day's time") << "14" << none << -1 << int(Column::Time) << yesterday + " 09:00:01" << "";
        QTest::newRow("read") << "14" << none << 0 << int(Column::State) << "letto" << "";
        QTest::newRow("not read") << "14 -" << none << 0 << int(Column::State) << "non letto: valore non trovato" << red;
        // Beyond its level, the row has its own colours.
        QTest::newRow("alerted today") << "14 15 -" << 14.5 << 0 << int(Column::State)
                                       << "non letto: valore non trovato; avviso alle 09:00:02" << "";
        // "late": no reading for twice the interval while the market was open.
        QTest::newRow("late") << "14 - late" << none << 0 << int(Column::State)
                              << "non letto dalle 09:00: valore non trovato" << red;
        QTest::newRow("late since another day") << "14 - late" << none << -1 << int(Column::State)
                                                << "non letto dal " + yesterday + " alle 09:00: valore non trovato" << red;
        QTest::newRow("late, its time") << "14 late" << none << 0 << int(Column::Time) << "09:00:01" << red;
    }
    void rowSaysWhatThePageMeant()
    {
        QFETCH(QString, readings);
        QFETCH(double, above);
        QFETCH(int, days);
        QFETCH(int, column);
        QFETCH(QString, shown);
        QFETCH(QString, colour);

        Desk desk;
        desk.now = desk.now.addDays(days);
        const qint64 id = desk.follow(QStringLiteral("ENI"), readings.section(QLatin1Char(' '), 0, 0).toDouble());
        if (!qIsNaN(above))
            desk.values->setLevel(id, true, above);
        for (const QString &number : readings.split(QLatin1Char(' '))) {
            if (number == QLatin1String("late"))
                desk.part.setLate({id});
            else
                desk.read(QStringLiteral("ENI"), number);
        }
        desk.now = desk.now.addDays(-days);
        QCOMPARE(desk.cell(0, column), shown);
        // A change from no close says what it is from.
        const QString tip = desk.table().model()->index(0, column).data(Qt::ToolTipRole).toString();
        QCOMPARE(tip.startsWith(QStringLiteral("dalla prima lettura di oggi")),
                 column == Column::Change || column == Column::ChangePercent);
        const QVariant foreground = desk.table().model()->index(0, column).data(Qt::ForegroundRole);
        QCOMPARE(foreground.isValid() ? foreground.value<QColor>().name() : QString(), colour);
    }

    void readingKeepsChoiceSortingAndWidths()
    {
        Desk desk;
        desk.follow(QStringLiteral("A2A"), 2.0);
        const qint64 eni = desk.follow(QStringLiteral("ENI"), 14.0);
        desk.follow(QStringLiteral("ENEL"), 6.0);
        desk.part.showWindow();
        FollowedValuesWindow &window = desk.part.window();
        QTableView &table = desk.table();
        table.sortByColumn(Column::Last, Qt::DescendingOrder);
        window.choose(eni);
        table.setColumnWidth(Column::Name, 233);
        QSignalSpy chosen(&window, &FollowedValuesWindow::chosenChanged);
        QSignalSpy rebuilt(table.model(), &QAbstractItemModel::modelReset);

        // ENEL rises above ENI: the rows change places, nothing else the user set changes.
        desk.read(QStringLiteral("ENEL"), QStringLiteral("16"));
        QCOMPARE(desk.cell(0, Column::Name), QStringLiteral("ENEL"));
        QCOMPARE(desk.cell(1, Column::Name), QStringLiteral("ENI"));
        QCOMPARE(window.chosenId(), eni);
        QCOMPARE(table.selectionModel()->selectedRows().first().row(), 1);
        QCOMPARE(table.horizontalHeader()->sortIndicatorSection(), int(Column::Last));
        QCOMPARE(table.columnWidth(Column::Name), 233);
        QCOMPARE(chosen.size(), 0);
        QCOMPARE(rebuilt.size(), 0);
        // A number sorts as a number: 2 below 14, though "2,00" is after "14,00" as text.
        QCOMPARE(desk.cell(2, Column::Name), QStringLiteral("A2A"));
        QCOMPARE(table.model()->index(0, Column::Last).data(Qt::TextAlignmentRole).toInt(),
                 int(Qt::AlignRight | Qt::AlignVCenter));
    }

    void chartIsDrawnOnceAndFollowsTheShownValue()
    {
        Desk desk;
        const qint64 eni = desk.follow(QStringLiteral("ENI"), 14.0);
        const qint64 enel = desk.follow(QStringLiteral("ENEL"), 6.0);
        desk.read(QStringLiteral("ENI"), QStringLiteral("14.1"));
        QSignalSpy chosen(&desk.part.window(), &FollowedValuesWindow::chosenChanged);
        desk.part.showValue(enel);
        QVERIFY(desk.part.isOpen());
        QCOMPARE(desk.part.window().chosenId(), enel);
        DayChart &chart = desk.part.window().chart();
        QCOMPARE(chart.points().size(), 1);

        desk.read(QStringLiteral("ENI"), QStringLiteral("14.2"));
        QCOMPARE(chart.points().size(), 1);
        desk.read(QStringLiteral("ENEL"), QStringLiteral("6.1"));
        QCOMPARE(chart.points().size(), 2);
        QCOMPARE(chart.points().last().y(), 6.1);
        // The store keeps a second's last reading; so does the chart.
        desk.now = desk.now.addSecs(-1);
        desk.read(QStringLiteral("ENEL"), QStringLiteral("6.3"));
        QCOMPARE(chart.points().size(), 2);
        QCOMPARE(chart.points().last().y(), 6.3);

        // Closed, the chart waits; opened again, it shows what came meanwhile.
        desk.part.window().close();
        desk.read(QStringLiteral("ENEL"), QStringLiteral("6.4"));
        QCOMPARE(chart.points().size(), 2);
        desk.part.showWindow();
        QCOMPARE(chart.points().size(), 3);
        QCOMPARE(chart.points().last().y(), 6.4);
        desk.part.showValue(eni);
        QCOMPARE(chart.points().last().y(), 14.2);
        QCOMPARE(chosen.size(), 2);
    }

    void chartDrawsTheDayAndItsLevels_data()
    {
        QTest::addColumn<int>("days"); // from today
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QString>("series");
        QTest::addColumn<QString>("timeFormat");
        QTest::addColumn<double>("close"); // NaN: none
        QTest::addColumn<int>("pieces"); // of the day's line, broken where readings are 15 minutes apart

        const QString yesterday = Today.addDays(-1).toString(QStringLiteral("dd/MM/yyyy"));
        QTest::newRow("today, minutes") << 0 << 9 << "Letture di oggi|Avviso sopra|Avviso sotto" << "HH:mm:ss" << qQNaN() << 1;
        QTest::newRow("today, ten minutes") << 0 << 10 << "Letture di oggi|Avviso sopra|Avviso sotto" << "HH:mm" << qQNaN() << 1;
        QTest::newRow("another day, a gap") << -1 << 60 << "Letture del " + yesterday + "|Avviso sopra|Avviso sotto" << "HH:mm"
                                            << qQNaN() << 2;
        QTest::newRow("the previous close") << 0 << 15 << "Letture di oggi|Avviso sopra|Avviso sotto|Chiusura precedente"
                                            << "HH:mm" << 13.9 << 1;
    }
    void chartDrawsTheDayAndItsLevels()
    {
        QFETCH(int, days);
        QFETCH(int, minutes);
        QFETCH(QString, series);
        QFETCH(QString, timeFormat);
        QFETCH(double, close);
        QFETCH(int, pieces);

        QWidget parent;
        DayChart chart(&parent);
        chart.setGapAfter(15 * 60);
        chart.setToday(Today);
        const QDateTime from(Today.addDays(days), QTime(9, 0));
        chart.show(QStringLiteral("ENI"), {{from, 14.0}, {from.addSecs(60 * minutes), 14.2}}, 14.5, 13.5,
                   qIsNaN(close) ? std::nullopt : std::optional(close));
        QCOMPARE(chart.pieces(), pieces);
        QChart *drawn = chart.view()->chart();
        QStringList names;
        for (QAbstractSeries *line : drawn->series()) {
            // Levels and the close are dashed across the day, the readings are not.
            QCOMPARE(static_cast<QLineSeries *>(line)->pen().style() == Qt::DashLine, !line->name().startsWith(QStringLiteral("Letture")));
            // The day's line is named once, however many pieces it is in.
            if (names.contains(line->name()))
                continue;
            names << line->name();
            QCOMPARE(line->attachedAxes().size(), 2);
        }
        QCOMPARE(names.join(QLatin1Char('|')), series);
        QCOMPARE(drawn->title(), QStringLiteral("ENI"));
        QCOMPARE(qobject_cast<QDateTimeAxis *>(drawn->axes(Qt::Horizontal).value(0))->format(), timeFormat);
        // Italian numbers on the axis whatever the desktop's language.
        QVERIFY(drawn->localizeNumbers());
        QCOMPARE(drawn->locale().language(), QLocale::Italian);

        // Appended after as long a silence, a reading starts a piece of its own.
        chart.append({from.addSecs(60 * (minutes + 16)), 13.2});
        QCOMPARE(chart.pieces(), pieces + 1);
        QCOMPARE(chart.points().size(), 3);
        QVERIFY(qobject_cast<QValueAxis *>(drawn->axes(Qt::Vertical).value(0))->min() <= 13.2);
        chart.append({from.addSecs(30), 15.0});
        QCOMPARE(chart.points().size(), 3);
    }

    void answersChangeTheValue()
    {
        Desk desk;
        const qint64 eni = desk.follow(QStringLiteral("ENI"), 14.0);
        desk.read(QStringLiteral("ENI"), QStringLiteral("14.6"));
        desk.part.showWindow();
        FollowedValuesWindow &window = desk.part.window();
        // The level's question starts from the last reading.
        QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("alertAbove")), Qt::LeftButton);
        QInputDialog *dialog = nullptr;
        QTRY_VERIFY((dialog = window.findChild<QInputDialog *>()));
        QCOMPARE(dialog->textValue(), QStringLiteral("14,6"));
        dialog->setTextValue(QStringLiteral("15,5"));
        dialog->accept();
        QCOMPARE(desk.values->row(eni).levels.above, std::optional(15.5));
        QCOMPARE(desk.cell(0, Column::Above), QStringLiteral("15,50"));
        QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("clearAlerts")), Qt::LeftButton);
        QCOMPARE(desk.values->row(eni).levels.above, std::nullopt);

        // The move's question refuses what is no number, says why, and asks again with it.
        MessageCapture refused;
        QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("alertMove")), Qt::LeftButton);
        for (const QString &typed : {QStringLiteral("cinque"), QStringLiteral("2,5")}) {
            QPointer<QDialog> move;
            QTRY_VERIFY((move = window.findChild<QDialog *>(QStringLiteral("moveDialog"))));
            auto *percent = move->findChild<QLineEdit *>(QStringLiteral("movePercent"));
            QCOMPARE(percent->text(), typed == QLatin1String("2,5") ? QStringLiteral("cinque") : QString());
            percent->setText(typed);
            move->findChild<QComboBox *>(QStringLiteral("moveReference"))->setCurrentIndex(1);
            move->accept();
            QTRY_VERIFY(!move);
        }
        QCOMPARE(refused.size(), 1);
        QCOMPARE(desk.values->row(eni).movePercent, std::optional(2.5));
        QCOMPARE(desk.values->row(eni).moveMinutes, 15);
        QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("clearAlerts")), Qt::LeftButton);
        QCOMPARE(desk.values->row(eni).movePercent, std::nullopt);

        // The CSV goes where the user said, written whole, or the user is told why not.
        QTimer::singleShot(0, this, [&] {
            auto *save = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(save);
            save->selectFile(desk.dir.filePath(QStringLiteral("eni.csv")));
            static_cast<QDialog *>(save)->accept();
        });
        QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("exportCsv")), Qt::LeftButton);
        MessageCapture capture;
        QVERIFY(QFile(desk.dir.filePath(QStringLiteral("eni.csv"))).size() > 0);
        QVERIFY(capture.isEmpty());
        desk.part.exportReadings(eni, desk.dir.filePath(QStringLiteral("none/eni.csv")));
        QCOMPARE(capture.size(), 1);
        QVERIFY2(capture.first().text.contains(QStringLiteral("eni.csv")), qPrintable(capture.first().text));
    }

    void alertListIsNewestFirstAndBoldUntilOpened()
    {
        Desk desk;
        const qint64 eni = desk.follow(QStringLiteral("ENI"), 14.0);
        desk.values->setLevel(eni, true, 14.5);
        desk.read(QStringLiteral("ENI"), QStringLiteral("15"));
        desk.read(QStringLiteral("ENI"), QStringLiteral("-"));
        desk.values->tellLate(eni);
        desk.part.showWindow();
        auto *list = desk.part.window().findChild<QTableView *>(QStringLiteral("alertHistory"));
        const auto shown = [list](int row, int column) { return list->model()->index(row, column).data().toString(); };
        const auto bold = [list](int row) { return list->model()->index(row, 0).data(Qt::FontRole).value<QFont>().bold(); };
        QCOMPARE(list->model()->rowCount(), 2);
        QCOMPARE(list->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Ora"));
        QCOMPARE(shown(0, 2), QStringLiteral("non letto"));
        QCOMPARE(shown(1, 1), QStringLiteral("ENI"));
        QCOMPARE(shown(1, 2), QStringLiteral("sopra il livello"));
        QCOMPARE(shown(1, 3), QStringLiteral("14,50"));
        QVERIFY(bold(0) && bold(1));
        // Seen at this opening: plain at the next; one come while open is bold.
        desk.part.window().close();
        desk.part.showWindow();
        QVERIFY(!bold(0));
        desk.read(QStringLiteral("ENI"), QStringLiteral("14"));
        desk.read(QStringLiteral("ENI"), QStringLiteral("15"));
        QCOMPARE(list->model()->rowCount(), 3);
        QVERIFY(bold(0) && !bold(1));
    }

    void unfollowAsksAndChoosesTheNext()
    {
        Desk desk;
        const qint64 eni = desk.follow(QStringLiteral("ENI"), 14.0);
        desk.follow(QStringLiteral("MICRO"), 0.00000012);
        desk.part.showWindow();
        FollowedValuesWindow &window = desk.part.window();
        window.choose(eni);
        MessageCapture capture;
        capture.answerNext({false, {}});
        capture.answerNext({true, {}});
        capture.answerNext({true, {}});
        auto *unfollow = window.findChild<QPushButton *>(QStringLiteral("unfollow"));
        auto *hint = window.findChild<QLabel *>(QStringLiteral("noFollowedValues"));
        for (const int left : {2, 1, 0}) {
            QTest::mouseClick(unfollow, Qt::LeftButton);
            QCOMPARE(desk.values->ids().size(), left);
            QCOMPARE(hint->isVisible(), left == 0);
            QCOMPARE(unfollow->isEnabled(), left > 0);
        }
        QVERIFY(capture.first().text.contains(QStringLiteral("ENI")));
        QVERIFY(capture.at(2).text.contains(QStringLiteral("MICRO")));
        // One followed with the window open comes into the list, chosen.
        const qint64 enel = desk.follow(QStringLiteral("ENEL"), 6.0);
        QCOMPARE(desk.table().model()->rowCount(), 1);
        QCOMPARE(window.chosenId(), enel);
        QVERIFY(unfollow->isEnabled());
    }

    void sortWidthsAndPlaceSurviveANewWindow()
    {
        const auto followTwo = [](Desk &desk) {
            desk.follow(QStringLiteral("ENEL"), 6.0);
            desk.follow(QStringLiteral("ENI"), 14.0);
        };
        {
            Desk desk;
            followTwo(desk);
            FollowedValuesWindow &window = desk.part.window();
            window.show();
            desk.table().sortByColumn(Column::Name, Qt::DescendingOrder);
            desk.table().horizontalHeader()->resizeSection(Column::Name, 333);
            window.setGeometry(60, 70, 1200, 640);
            window.close();
        }
        Desk desk;
        followTwo(desk);
        FollowedValuesWindow &window = desk.part.window();
        QCOMPARE(window.size(), QSize(1200, 640));
        QCOMPARE(desk.cell(0, Column::Name), QStringLiteral("ENI"));
        QCOMPARE(desk.table().horizontalHeader()->sectionSize(Column::Name), 333);
    }
};

QTEST_MAIN(TestFollowedValuesWindow)
#include "tst_followedvalueswindow.moc"
