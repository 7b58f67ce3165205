#include <memory>

#include <QSignalSpy>
#include <QTest>

#include "panes/webengine/BackgroundReader.h"
#include "panes/webengine/WebEngineEnvironment.h"
#include "support/EngineWindows.h"
#include "support/PageServer.h"
#include "support/WebEngineWait.h"

using WebEngineWait::Timeout;

namespace {

// The table first in the body: ENI's price is "/TABLE:0/TBODY:0/TR#ENI", column 1.
QByteArray quote(const QByteArray &after)
{
    return "<!DOCTYPE html><html lang='it'><body><table><tr><td>ENI</td><td>14,20</td></tr></table>" + after
        + "</body></html>";
}

} // namespace

// A page read out of sight behaves as a shown one: what it asks of the user (a permission, a
// message, a download, a frame's doubtful certificate) is refused quietly and the value is
// read all the same, also where the site moved the page within itself. Only the page itself
// failing fails the reading: its certificate, a sign-in, another site.
class TestBackgroundPage : public QObject
{
    Q_OBJECT
public:
    static void initMain() { WebEngineEnvironment::prepareProcess(); }

private slots:
    void initTestCase();
    void cleanupTestCase() { m_engine.reset(); }
    void pageIsReadUnlessItFailsItself_data();
    void pageIsReadUnlessItFailsItself();

private:
    std::unique_ptr<EngineWindows> m_engine;
    std::unique_ptr<PageServer> m_site;
    std::unique_ptr<PageServer> m_tls;
    std::unique_ptr<PageServer> m_locked;
};

void TestBackgroundPage::initTestCase()
{
    m_engine = std::make_unique<EngineWindows>();
    m_tls = std::make_unique<PageServer>(quote({}));
    m_tls->useTls();
    QVERIFY(m_tls->listen());
    m_locked = std::make_unique<PageServer>(quote({}));
    m_locked->login = "utente:segreta";
    QVERIFY(m_locked->listen());
    const QHash<QString, QByteArray> pages{
        {QStringLiteral("/notifiche"), "<script>Notification.requestPermission()</script>"},
        {QStringLiteral("/messaggi"), "<script>alert('a');confirm('b');prompt('c')</script>"},
        {QStringLiteral("/scarica"), "<a id='a' href='/dati.csv' download='dati.csv'></a><script>a.click()</script>"},
        {QStringLiteral("/cornice"), "<iframe src='" + m_tls->url(QStringLiteral("/")).toUtf8() + "'></iframe>"},
    };
    m_site = std::make_unique<PageServer>([pages](const QString &path) { return quote(pages.value(path)); });
    QVERIFY(m_site->listen());
    m_site->redirects.insert(QStringLiteral("/spostata"), m_site->url(QStringLiteral("/arrivo?dopo=1")));
    m_site->redirects.insert(QStringLiteral("/altrove"),
                             m_site->url(QStringLiteral("/arrivo")).replace(QStringLiteral("127.0.0.1"), QStringLiteral("localhost")));
}

void TestBackgroundPage::pageIsReadUnlessItFailsItself_data()
{
    QTest::addColumn<QString>("address");
    // Empty where ENI's 14,20 is read.
    QTest::addColumn<QString>("reason");
    for (const char *path : {"/notifiche", "/messaggi", "/scarica", "/cornice", "/spostata"})
        QTest::newRow(path) << m_site->url(QLatin1String(path)) << QString();
    QTest::newRow("own certificate") << m_tls->url(QStringLiteral("/"))
                                     << QStringLiteral("il certificato del sito non \u00e8 valido");
    QTest::newRow("sign-in") << m_locked->url(QStringLiteral("/")) << QStringLiteral("la pagina chiede un accesso");
    QTest::newRow("another site") << m_site->url(QStringLiteral("/altrove")) << QStringLiteral("porta a localhost");
}

void TestBackgroundPage::pageIsReadUnlessItFailsItself()
{
    QFETCH(QString, address);
    QFETCH(QString, reason);
    BackgroundReader reader(m_engine->environment().profile());
    QSignalSpy read(&reader, &BackgroundReading::valuesRead);
    const ValuePlace place{address, QStringLiteral("/TABLE:0/TBODY:0/TR#ENI"), 1};

    reader.read(address, {place});

    QTRY_COMPARE_WITH_TIMEOUT(read.size(), 1, Timeout);
    const ValueReading reading = read.first().first().value<QList<ValueReading>>().value(0);
    QCOMPARE(reading.place, place);
    QCOMPARE(reading.reason, reason);
    QCOMPARE(reading.number, reason.isEmpty() ? std::optional(14.2) : std::nullopt);
    QTRY_VERIFY_WITH_TIMEOUT(!reader.isReading(), Timeout);
}

QTEST_MAIN(TestBackgroundPage)
#include "tst_backgroundpage.moc"
