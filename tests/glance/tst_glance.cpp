#include <QAction>
#include <QSettings>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

#include "common/ProgramSettings.h"
#include "glance/Glance.h"
#include "glance/StripModel.h"
#include "glance/StripWindow.h"
#include "glance/TrayPicture.h"
#include "glance/TrayTooltip.h"
#include "glance/ValueTray.h"
#include "support/MessageCapture.h"
#include "support/RomeTime.h"
#include "support/WatchedPane.h"
#include "watch/FollowedValues.h"
#include "watch/window/FollowedValuesWindow.h"
#include "watch/ValueWatch.h"
#include "watch/window/FollowedValuesPart.h"

namespace {

ValuePlace place(const QString &name)
{
    return {QStringLiteral("http://q.example/borsa"), QStringLiteral("/TABLE:0/TBODY:0/TR#") + name, 1};
}

FollowedRow row(const QString &name, std::optional<double> last, std::optional<double> percent, const QDateTime &time = {})
{
    FollowedRow r;
    r.id = 1;
    r.name = name;
    r.last = last;
    r.changePercent = percent;
    r.lastTime = time;
    return r;
}

// The watch and its pane, and the glance over them.
struct Desk : WatchedPane
{
    std::unique_ptr<Glance> glance;

    // tray: whether the desktop has one; the platform's answer where none is given.
    explicit Desk(std::optional<bool> tray, std::optional<Markets> markets = std::nullopt, WallClock clock = {})
        : WatchedPane(noBus, std::move(markets), std::move(clock))
    {
        makeGlance(tray);
    }
    void makeGlance(std::optional<bool> tray)
    {
        glance.reset();
        glance = std::make_unique<Glance>(watch, tray ? Glance::TrayAvailable([tray] { return *tray; }) : Glance::TrayAvailable());
    }
    qint64 follow(const QString &name, double number)
    {
        return watch.values().follow({place(name), name, QString::number(number), number, ValuePick::Followable::Yes, {}}).value_or(0);
    }
    // A minute after the last: a reading of the same second would replace the day's first.
    void read(const QString &name, double number)
    {
        readAt = readAt.addSecs(60);
        watch.values().take({{place(name), number, QString::number(number), {}, readAt, {}}});
    }
    QDateTime readAt = QDateTime::currentDateTime();
};

} // namespace

Q_DECLARE_METATYPE(FollowedRow)

// The tray's icon and tooltip from the followed values, "Striscia dei valori", and a desktop
// with no tray.
class TestGlance : public QObject
{
    Q_OBJECT
private slots:
    void init() { QSettings().clear(); }

    void iconShowsTheLargestMoveInItsTone_data()
    {
        QTest::addColumn<QList<double>>("percents");
        QTest::addColumn<bool>("open");
        QTest::addColumn<bool>("late");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("tone");

        const int up = int(TrayPicture::Tone::Up), down = int(TrayPicture::Tone::Down), grey = int(TrayPicture::Tone::Grey);
        QTest::newRow("up, one decimal") << QList<double>{1.23, -0.5} << true << false << "+1,2" << up;
        QTest::newRow("a larger fall wins, no ,0") << QList<double>{0.5, -3.04} << true << false << "\u22123" << down;
        QTest::newRow("ten and more: whole") << QList<double>{12.4} << true << false << "+12" << up;
        QTest::newRow("closed: grey") << QList<double>{1.23} << false << false << "+1,2" << grey;
        QTest::newRow("a value late: grey") << QList<double>{-1.23} << true << true << "\u22121,2" << grey;
        QTest::newRow("nothing to compare yet") << QList<double>{} << true << false << "\u2013" << grey;
        QTest::newRow("rounds to nothing: no side") << QList<double>{0.04} << true << false << "0" << grey;
    }
    void iconShowsTheLargestMoveInItsTone()
    {
        QFETCH(QList<double>, percents);
        QFETCH(bool, open);
        QFETCH(bool, late);
        QFETCH(QString, text);
        QFETCH(int, tone);
        QList<FollowedRow> rows{row(QStringLiteral("Senza"), 1.0, std::nullopt)};
        for (const double percent : percents)
            rows.append(row(QStringLiteral("V"), 10.0, percent));
        const TrayPicture::Figure figure = TrayPicture::figure(rows, late ? QList<qint64>{1} : QList<qint64>{}, open);
        QCOMPARE(figure.text, text);
        QCOMPARE(int(figure.tone), tone);

        const QImage image = TrayPicture::draw(figure, 22);
        QCOMPARE(image.size(), QSize(22, 22));
        QCOMPARE(image.pixelColor(11, 1), TrayPicture::colour(figure.tone));
        QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
        int white = 0;
        for (int i = 0; i < 22 * 22; ++i)
            white += image.pixelColor(i % 22, i / 22).lightness() > 200;
        QVERIFY2(white > 8, "the figure is drawn");
    }

    // New York still trades after Milan's close: grey only when no value's market is open.
    void trayGreysWhenEveryValuesMarketIsClosed()
    {
        QDateTime now = RomeTime::rome(2026, 12, 9, 20, 0);
        Desk desk(true, Markets(), [&now] { return now; });
        desk.readAt = now;
        const qint64 eni = desk.follow(QStringLiteral("ENI"), 14.0);
        desk.read(QStringLiteral("ENI"), 14.35);
        const auto tone = [&desk] { desk.glance->updateTray(); return desk.glance->tray()->figure().tone; };
        QCOMPARE(tone(), TrayPicture::Tone::Grey);
        desk.watch.values().setMarket(eni, MarketId::BorsaUsa);
        QCOMPARE(tone(), TrayPicture::Tone::Up);
        // New York's close, with no reading to tell it: the minute's check does.
        now = now.addSecs(3 * 3600);
        desk.glance->marketCheckTimer().start(0);
        QTRY_COMPARE(desk.glance->tray()->figure().tone, TrayPicture::Tone::Grey);
    }

    void tooltipHasALinePerValue_data()
    {
        QTest::addColumn<FollowedRow>("value");
        QTest::addColumn<bool>("late");
        QTest::addColumn<QString>("line");

        const QDateTime today(QDate(2026, 12, 9), QTime(10, 42, 17));
        QTest::newRow("read today") << row(QStringLiteral("ENI"), 14.23, 1.2, today) << false << "ENI 14,23 +1,2 % 10:42";
        QTest::newRow("grouped price, a fall") << row(QStringLiteral("FTSE MIB"), 34120.5, -0.46, today) << false
                                               << "FTSE MIB 34.120,50 \u22120,5 % 10:42";
        QTest::newRow("late") << row(QStringLiteral("ENI"), 14.23, 1.2, today) << true << "ENI 14,23 +1,2 % 10:42 in ritardo";
        QTest::newRow("another day says which") << row(QStringLiteral("ENI"), 14.23, std::nullopt, today.addDays(-1)) << false
                                                << "ENI 14,23 08/12 10:42";
        QTest::newRow("never read") << row(QStringLiteral("ENI"), std::nullopt, std::nullopt) << false << "ENI \u2013";
    }
    void tooltipHasALinePerValue()
    {
        QFETCH(FollowedRow, value);
        QFETCH(bool, late);
        QFETCH(QString, line);
        QCOMPARE(TrayTooltip::line(value, late, QDate(2026, 12, 9)), line);
    }

    void stripLineFollowsItsValueAlone()
    {
        Desk desk(false);
        const qint64 eni = desk.follow(QStringLiteral("ENI"), 14.0);
        const qint64 enel = desk.follow(QStringLiteral("ENEL"), 6.0);
        StripModel model(desk.watch.values());
        QCOMPARE(model.rowCount(), 2);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        desk.read(QStringLiteral("ENEL"), 5.7);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.first().at(0).toModelIndex().row(), 1);
        QCOMPARE(reset.size(), 0);
        const QModelIndex line = model.index(1);
        QCOMPARE(line.data().toString(), QStringLiteral("ENEL 5,70 -5,00 %"));
        QCOMPARE(line.data(Qt::ForegroundRole).value<QColor>(), TrayPicture::colour(TrayPicture::Tone::Down));

        model.setLate({enel});
        QVERIFY(line.data(StripModel::LateRole).toBool());
        QCOMPARE(line.data(StripModel::NameRole).toString(), QStringLiteral("ENEL (in ritardo)"));
        QCOMPARE(line.data(Qt::ForegroundRole).value<QColor>(), TrayPicture::colour(TrayPicture::Tone::Grey));
        QVERIFY(!model.index(0).data(StripModel::LateRole).toBool());

        model.setHidden({eni});
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.index(0).data(StripModel::IdRole).toLongLong(), enel);
    }

    // From the pane's menu; kept above, frameless; a click opens the value; its place, size and
    // values back after a restart.
    void stripOpensFromThePaneAndComesBackAsLeft()
    {
        MessageCapture messages;
        auto desk = std::make_unique<Desk>(false);
        const qint64 eni = desk->follow(QStringLiteral("ENI"), 14.0);
        const qint64 enel = desk->follow(QStringLiteral("ENEL"), 6.0);
        const QList<QAction *> actions = desk->pane.menuActions();
        const auto open = std::find_if(actions.cbegin(), actions.cend(),
                                       [](QAction *action) { return action->text() == QStringLiteral("Striscia dei valori"); });
        QVERIFY(open != actions.cend());
        (*open)->trigger();
        StripWindow *strip = desk->glance->strip();
        QVERIFY(strip && strip->isVisible());
        QVERIFY(strip->windowFlags().testFlags(Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint | Qt::Tool));
        QVERIFY(StripWindow::keepAboveHint(QStringLiteral("xcb")).isEmpty());
        QVERIFY(StripWindow::keepAboveHint(QStringLiteral("wayland-egl")).contains(QStringLiteral("\u00abSempre in primo piano\u00bb")));

        QTest::mouseClick(&strip->lines(), Qt::LeftButton, {}, strip->lineRect(1).center());
        QVERIFY(desk->watch.window().isOpen());
        QCOMPARE(desk->watch.window().window().chosenId(), enel);

        strip->setGeometry(100, 120, 300, 150);
        ProgramSettings::setStripHiddenValues({enel});
        desk->makeGlance(false);
        strip = desk->glance->strip();
        QVERIFY(strip && strip->isVisible());
        QCOMPARE(strip->geometry().size(), QSize(300, 150));
        QTest::mouseClick(&strip->lines(), Qt::LeftButton, {}, strip->lineRect(0).center());
        QCOMPARE(desk->watch.window().window().chosenId(), eni);
        QTest::mouseClick(&strip->lines(), Qt::LeftButton, {}, strip->lineRect(1).center());
        QVERIFY2(desk->watch.window().window().chosenId() == eni, "ENEL is out of the strip after the restart");
    }

    // Offscreen there is no tray: nothing is made for one, and "Valori seguiti" says how to get
    // one, once; where there is a tray, it shows the values and follows their readings.
    void withoutATrayValoriSeguitiTellsOnce()
    {
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
        MessageCapture messages;
        {
            Desk desk(std::nullopt);
            desk.watch.window().showWindow();
            QVERIFY2(messages.isEmpty(), "nothing followed, no tray wanted yet");
            desk.follow(QStringLiteral("ENI"), 14.0);
            QVERIFY(!desk.glance->tray());
            desk.watch.window().showWindow();
            QCOMPARE(messages.size(), 1);
            QVERIFY(messages.first().text.contains(QStringLiteral("AppIndicator")));
        }
        Desk again(std::nullopt);
        again.watch.window().showWindow();
        QCOMPARE(messages.size(), 1);

        Desk withTray(true);
        withTray.follow(QStringLiteral("ENI"), 14.0);
        QVERIFY(withTray.glance->tray() && withTray.glance->tray()->isVisible());
        withTray.read(QStringLiteral("ENI"), 14.35);
        QTRY_VERIFY(withTray.glance->tray()->toolTip().startsWith(QStringLiteral("ENI 14,35 +2,5 %")));
        withTray.watch.window().showWindow();
        QCOMPARE(messages.size(), 1);
        withTray.watch.values().unfollow(withTray.watch.values().ids().constFirst());
        QVERIFY(!withTray.glance->tray()->isVisible());
    }
};

QTEST_MAIN(TestGlance)
#include "tst_glance.moc"
