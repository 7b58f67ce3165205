#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include "aids/AutoRefresh.h"
#include "common/Controls.h"
#include "market/CalendarFile.h"
#include "aids/MarketHoursSwitch.h"
#include "panes/PaneStatus.h"
#include "support/PartHost.h"
#include "support/RomeTime.h"

namespace {

using RomeTime::rome;

// One pane, its state label and the automatic refresh, connected as the window connects them,
// with a clock the test sets.
struct Market
{
    PartHost host;
    RecordingPane &pane = host.addPane();
    QCheckBox &chosen = host.add<QCheckBox>();
    QCheckBox &other = host.add<QCheckBox>();
    std::array<QRadioButton *, 3> options{&host.add<QRadioButton>(), &host.add<QRadioButton>(),
                                          &host.add<QRadioButton>()};
    AutoRefresh refresh{{&host.add<QPushButton>(), &host.add<QPushButton>(), &host.add<ClickLabel>(),
                         &host.add<ShapeCircle>(), options},
                        {{{&chosen, &pane}, {&other, &host.addPane()}}}};
    PaneStatus status{pane};
    QDateTime now;
    MarketHoursSwitch hours{pane, ProgramSettings::Pane::Upper, Markets(MarketCalendar::parse(CalendarFile::shippedText())),
                            MarketId::BorsaItaliana, [this] { return now; }};

    Market()
    {
        QObject::connect(&hours, &MarketHoursSwitch::reopeningChanged, &status, &PaneStatus::setMarketClosed);
        QObject::connect(&hours, &MarketHoursSwitch::automaticRefreshHeld, &refresh,
                         [this](bool held) { refresh.holdAutomaticRefresh(pane, held); });
    }
    QStringList cycleThenAggiorna()
    {
        refresh.reloadChosenPanes(BrowserPane::Refresh::Automatic);
        refresh.reloadChosenPanes(BrowserPane::Refresh::ChosenByHand);
        return pane.calls;
    }
};

} // namespace

class TestMarketHours : public QObject
{
    Q_OBJECT
private slots:
    void init() { QSettings().remove(QStringLiteral("soloMercatoAperto")); }
    void cycleLeavesThePaneAloneOnlyWhileClosedAndAsked_data();
    void cycleLeavesThePaneAloneOnlyWhileClosedAndAsked();
    void openingResumesTheCycleAndTheChoiceIsKept();
};

void TestMarketHours::cycleLeavesThePaneAloneOnlyWhileClosedAndAsked_data()
{
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QDateTime>("at");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QString>("label");
    const QStringList both{QStringLiteral("AutoRefresh"), QStringLiteral("Refresh")};
    const QStringList byHand{QStringLiteral("Refresh")};
    QTest::newRow("not asked, christmas") << false << rome(2026, 12, 25, 10, 0) << both << QString();
    QTest::newRow("christmas") << true << rome(2026, 12, 25, 10, 0) << byHand << "Mercato chiuso: riapre lunedì alle 9:00";
    QTest::newRow("open") << true << rome(2026, 12, 7, 10, 0) << both << QString();
}

void TestMarketHours::cycleLeavesThePaneAloneOnlyWhileClosedAndAsked()
{
    QFETCH(bool, asked);
    QFETCH(QDateTime, at);
    QFETCH(QStringList, calls);
    QFETCH(QString, label);
    Market market;
    QVERIFY(!market.hours.action()->isChecked());
    QVERIFY(market.pane.menuActions().contains(market.hours.action()));
    market.now = at;
    market.hours.action()->setChecked(asked);
    QCOMPARE(market.cycleThenAggiorna(), calls);
    QCOMPARE(market.status.label()->text(), label);
}

void TestMarketHours::openingResumesTheCycleAndTheChoiceIsKept()
{
    Market market;
    market.now = rome(2026, 12, 6, 23, 59);
    market.hours.action()->setChecked(true);
    market.refresh.toggle();
    QVERIFY(!market.refresh.cycleTimer().isActive());
    QVERIFY(market.hours.checkTimer().isActive());
    QCOMPARE(market.hours.checkTimer().interval(), 60 * 1000);
    market.now = rome(2026, 12, 7, 8, 59, 30);
    market.hours.check();
    QCOMPARE(market.hours.checkTimer().interval(), 30 * 1000);
    // The opening comes by the check's own timer.
    market.now = rome(2026, 12, 7, 9, 0);
    market.hours.checkTimer().start(0);
    QTRY_VERIFY(market.status.label()->text().isEmpty());
    QVERIFY(market.refresh.cycleTimer().isActive());
    QCOMPARE(market.cycleThenAggiorna().first(), QStringLiteral("AutoRefresh"));

    Market restarted;
    QVERIFY(restarted.hours.action()->isChecked());
    restarted.hours.action()->setChecked(false);
    QVERIFY(!restarted.hours.checkTimer().isActive());
    QVERIFY(!ProgramSettings::refreshOnlyWhileOpen(ProgramSettings::Pane::Upper));
}

QTEST_MAIN(TestMarketHours)
#include "tst_markethours.moc"
