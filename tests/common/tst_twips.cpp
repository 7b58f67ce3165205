#include <QTest>

#include "common/Colors.h"
#include "common/Twips.h"

class TestTwips : public QObject
{
    Q_OBJECT
private slots:
    void designPositionsMapToPixelsAtCommonDpis_data();
    void designPositionsMapToPixelsAtCommonDpis();
    void pixelsReadBackAsTheTwipsTheToolkitStored();
    void coloursAreBlueGreenRedWithRedInTheLowByte();
};

void TestTwips::designPositionsMapToPixelsAtCommonDpis_data()
{
    QTest::addColumn<double>("twips");
    QTest::addColumn<double>("dpi");
    QTest::addColumn<int>("pixels");
    QTest::newRow("window width at 96") << 13005.0 << 96.0 << 867;
    QTest::newRow("button at 96") << 285.0 << 96.0 << 19;
    QTest::newRow("button at 120") << 285.0 << 120.0 << 24;
    QTest::newRow("one inch at 144") << 1440.0 << 144.0 << 144;
    QTest::newRow("negative stays negative") << -150.0 << 96.0 << -10;
}

void TestTwips::designPositionsMapToPixelsAtCommonDpis()
{
    QFETCH(double, twips);
    QFETCH(double, dpi);
    QFETCH(int, pixels);
    QCOMPARE(Twips::toPixels(twips, dpi), pixels);
}

void TestTwips::pixelsReadBackAsTheTwipsTheToolkitStored()
{
    // 11320.75 twips is stored as 755 pixels at 96 DPI and reads back as 11325.
    QCOMPARE(Twips::fromPixels(Twips::toPixels(11320.75, 96), 96), 11325.0);
    QCOMPARE(Twips::fromPixels(10, 0), 0.0);
}

void TestTwips::coloursAreBlueGreenRedWithRedInTheLowByte()
{
    QCOMPARE(Colors::fromBgr(Colors::Red), QColor(255, 0, 0));
    QCOMPARE(Colors::fromBgr(Colors::LightGrey), QColor(192, 192, 192));
    QCOMPARE(Colors::fromBgr(Colors::LightRed), QColor(255, 128, 128));
    QCOMPARE(Colors::fromBgr(Colors::DarkGreen), QColor(0, 64, 0));
}

QTEST_APPLESS_MAIN(TestTwips)
#include "tst_twips.moc"
