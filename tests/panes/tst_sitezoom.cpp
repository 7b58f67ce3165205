#include <QTest>

#include "panes/SiteZoom.h"

// Which zoom a pane gives a page, from the sites the user zoomed: no engine, no settings.
class TestSiteZoom : public QObject
{
    Q_OBJECT
private slots:
    void pageTakesItsSitesZoom_data()
    {
        QTest::addColumn<QStringList>("kept"); // as the settings hold them, maybe edited by hand
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("site");
        QTest::addColumn<int>("zoom");
        const QStringList kept{"125 www.borsa.example", "67 file:/home/mario/pagine con spazi", "150 about:", "80 qrc:"};
        const QString folder = QStringLiteral("file:/home/mario/pagine con spazi");
        QTest::newRow("a host, any scheme, port, page or case")
            << kept << "HTTP://Www.Borsa.example:8080/azioni?x=1" << "www.borsa.example" << 125;
        QTest::newRow("a local file: its folder") << kept << "file:///home/mario/pagine con spazi/a.htm" << folder << 67;
        QTest::newRow("a blank page") << kept << "about:blank" << "about:" << 150;
        QTest::newRow("the program's own page") << kept << "qrc:/quovadex/info.htm" << "qrc:" << 80;
        QTest::newRow("no address") << QStringList{"90 "} << "" << "" << 100;
        QTest::newRow("no number") << QStringList{"abc a.example"} << "http://a.example" << "a.example" << 100;
        QTest::newRow("beyond the engine") << QStringList{"600 a.example"} << "http://a.example" << "a.example" << 100;
    }
    void pageTakesItsSitesZoom()
    {
        QFETCH(QStringList, kept);
        QFETCH(QString, address);
        QFETCH(QString, site);
        QFETCH(int, zoom);
        QCOMPARE(SiteZoom::siteOf(QUrl(address)), site);
        QCOMPARE(SiteZoom(kept).use(QUrl(address)), zoom);
    }

    void choicesAreKeptUntilTheLeastRecentlyUsedGo()
    {
        const auto site = [](int i) { return QUrl(QStringLiteral("https://s%1.example/").arg(i)); };
        SiteZoom zooms;
        zooms.choose(site(0), 125);
        QCOMPARE(zooms.lines(), QStringList{"125 s0.example"});
        zooms.choose(site(0), 100);
        QVERIFY(zooms.lines().isEmpty());
        for (int i = 0; i < SiteZoom::Capacity; ++i)
            zooms.choose(site(i), 110);
        zooms.use(site(0));
        zooms.choose(site(SiteZoom::Capacity), 90);
        QCOMPARE(zooms.lines().size(), SiteZoom::Capacity);
        QCOMPARE(zooms.use(site(0)), 110);
        QCOMPARE(zooms.use(site(1)), 100);
    }
};

QTEST_APPLESS_MAIN(TestSiteZoom)
#include "tst_sitezoom.moc"
