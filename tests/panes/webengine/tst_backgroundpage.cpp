#include <csignal>
#include <memory>

#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QWebEnginePage>

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
// failing fails the reading: its certificate, a sign-in, another site, no answer, a load past
// its deadline, a crash; the reader then goes on to the next page.
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
    void asksWaitTheirTurn();

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
        // Waits for a picture that never comes: its load never ends.
        {QStringLiteral("/lento"), "<img src='/pausa.png'>"},
    };
    m_site = std::make_unique<PageServer>([pages](const QString &path) { return quote(pages.value(path)); });
    QVERIFY(m_site->listen());
    m_site->holding = {QStringLiteral("/pausa.png")};
    m_site->redirects.insert(QStringLiteral("/spostata"), m_site->url(QStringLiteral("/arrivo?dopo=1")));
    m_site->redirects.insert(QStringLiteral("/altrove"),
                             m_site->url(QStringLiteral("/arrivo")).replace(QStringLiteral("127.0.0.1"), QStringLiteral("localhost")));
}

void TestBackgroundPage::pageIsReadUnlessItFailsItself_data()
{
    QTest::addColumn<QString>("address");
    // Empty where ENI's 14,20 is read.
    QTest::addColumn<QString>("reason"); // "*": any
    QTest::addColumn<int>("deadline");   // ms; 0: the reader's own
    QTest::addColumn<bool>("crash");
    for (const char *path : {"/notifiche", "/messaggi", "/scarica", "/cornice", "/spostata"})
        QTest::newRow(path) << m_site->url(QLatin1String(path)) << QString() << 0 << false;
    QTest::newRow("own certificate") << m_tls->url(QStringLiteral("/"))
                                     << QStringLiteral("il certificato del sito non \u00e8 valido") << 0 << false;
    QTest::newRow("sign-in") << m_locked->url(QStringLiteral("/")) << QStringLiteral("la pagina chiede un accesso") << 0 << false;
    QTest::newRow("another site") << m_site->url(QStringLiteral("/altrove")) << QStringLiteral("porta a localhost") << 0 << false;
    QTest::newRow("never done loading") << m_site->url(QStringLiteral("/lento"))
                                        << QStringLiteral("la pagina non si \u00e8 caricata entro 2 secondi") << 2000 << false;
    QTest::newRow("renderer crashes") << m_site->url(QStringLiteral("/lento")) << QStringLiteral("la pagina si \u00e8 interrotta")
                                      << 0 << true;
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    QTest::newRow("nobody answers") << QStringLiteral("http://127.0.0.1:%1/borsa").arg(closed.serverPort()) << "*" << 0 << false;
}

void TestBackgroundPage::pageIsReadUnlessItFailsItself()
{
    QFETCH(QString, address);
    QFETCH(QString, reason);
    QFETCH(int, deadline);
    QFETCH(bool, crash);
    BackgroundReader reader(m_engine->environment().profile());
    if (deadline)
        reader.setPageTimeout(deadline);
    QSignalSpy read(&reader, &BackgroundReading::valuesRead);
    const ValuePlace place{address, QStringLiteral("/TABLE:0/TBODY:0/TR#ENI"), 1};
    m_site->requests.clear();

    reader.read(address, {place});
    if (crash) {
        QTRY_VERIFY_WITH_TIMEOUT(m_site->requests.contains(QStringLiteral("/pausa.png")), Timeout);
        const auto *page = reader.findChild<QWebEnginePage *>();
        QVERIFY(page && page->renderProcessPid() > 0);
        QCOMPARE(::kill(pid_t(page->renderProcessPid()), SIGKILL), 0);
    }

    QTRY_COMPARE_WITH_TIMEOUT(read.size(), 1, Timeout);
    const ValueReading reading = read.first().first().value<QList<ValueReading>>().value(0);
    QCOMPARE(reading.place, place);
    QVERIFY2(reason == QLatin1String("*") ? !reading.reason.isEmpty() : reading.reason == reason, qPrintable(reading.reason));
    QCOMPARE(reading.number, reason.isEmpty() ? std::optional(14.2) : std::nullopt);
    // A failed page keeps no other from being read.
    const ValuePlace next{m_site->url(QStringLiteral("/")), place.group, 1};
    reader.read(next.address, {next});
    QTRY_COMPARE_WITH_TIMEOUT(read.size(), 2, Timeout);
    QCOMPARE(read.last().first().value<QList<ValueReading>>().value(0).number, std::optional(14.2));
    QTRY_VERIFY_WITH_TIMEOUT(!reader.isReading(), Timeout);
}

// One hidden page at a time: an address asked for while another loads waits until it is read.
void TestBackgroundPage::asksWaitTheirTurn()
{
    BackgroundReader reader(m_engine->environment().profile());
    QSignalSpy read(&reader, &BackgroundReading::valuesRead);
    const ValuePlace first{m_site->url(QStringLiteral("/primo")), QStringLiteral("/TABLE:0/TBODY:0/TR#ENI"), 1};
    const ValuePlace second{m_site->url(QStringLiteral("/secondo")), first.group, 1};
    m_site->requests.clear();
    m_site->holding << QStringLiteral("/primo");
    reader.read(first.address, {first});
    reader.read(second.address, {second});
    QTRY_VERIFY_WITH_TIMEOUT(m_site->requests.contains(QStringLiteral("/primo")), Timeout);
    QCOMPARE(reader.findChildren<QWebEnginePage *>().size(), 1);
    QVERIFY(!m_site->requests.contains(QStringLiteral("/secondo")));
    m_site->releaseHeld();
    QTRY_COMPARE_WITH_TIMEOUT(read.size(), 2, Timeout);
    for (qsizetype i = 0; i < 2; ++i) {
        const ValueReading reading = read.at(i).first().value<QList<ValueReading>>().value(0);
        QCOMPARE(reading.place, i ? second : first);
        QCOMPARE(reading.number, std::optional(14.2));
    }
    QTRY_VERIFY_WITH_TIMEOUT(!reader.isReading(), Timeout);
}

QTEST_MAIN(TestBackgroundPage)
#include "tst_backgroundpage.moc"
