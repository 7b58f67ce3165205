#include <QDir>
#include <QLabel>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include "panes/webengine/DownloadPolicy.h"
#include "panes/webengine/SilentPage.h"
#include "panes/PaneStatus.h"
#include "support/EngineWindows.h"
#include "support/PageServer.h"
#include "support/WebEngineWait.h"

using WebEngineWait::Timeout;

namespace {

// Twenty downloads by script at load and twenty more from the button; the link saves one.
const QByteArray Page = "<!DOCTYPE html><html><head><title>scarica</title></head><body style=\"margin:0\">"
                        "<a id=\"one\" href=\"/quote.csv\" download=\"quote.csv\" style=\"display:block;height:100px\">"
                        "scarica</a><button onclick=\"flood('run')\" style=\"height:100px;width:100%\">tutti</button>"
                        "<a href=\"/big.bin\" download=\"big.bin\" style=\"display:block;height:100px\">grande</a>"
                        "<script>function flood(n){for(var i=0;i<20;i++){var a=document.createElement('a');"
                        "a.href='/'+n+'.csv?'+i;a.download=n+'.csv';document.body.appendChild(a);a.click();}}"
                        "if(location.hash=='#flood')flood('auto');</script></body></html>";

} // namespace

// Downloads with the real engine: only what the user asked for reaches the download folder.
class TestDownloads : public QObject
{
    Q_OBJECT
public:
    static void initMain() { WebEngineEnvironment::prepareProcess(); }

private slots:
    void initTestCase();
    void pageStartsNothingByItselfAndOneClickSavesAFew();
    void downloadOverTheLimitLeavesNoFile_data();
    void downloadOverTheLimitLeavesNoFile();
    void nameNeverTakesAnExistingOne_data();
    void nameNeverTakesAnExistingOne();

private:
    QStringList saved() const { return QDir(m_downloads).entryList(QDir::Files, QDir::Name); }
    void clickAt(WebEnginePane *pane, int y)
    {
        WebEngineWait::painted(pane->page());
        QTest::mouseClick(pane->view()->focusProxy(), Qt::LeftButton, {}, {50, y});
    }

    std::unique_ptr<EngineWindows> m_engine;
    std::unique_ptr<PageServer> m_server;
    QString m_downloads;
};

void TestDownloads::initTestCase()
{
    m_engine = std::make_unique<EngineWindows>();
    // The user's download folder, moved into the scratch folder through the XDG settings.
    m_downloads = m_engine->path(QStringLiteral("scaricati"));
    QVERIFY(QDir().mkpath(m_downloads) && QDir().mkpath(m_engine->path(QStringLiteral("config"))));
    QVERIFY(writeFile(m_engine->path(QStringLiteral("config/user-dirs.dirs")),
                      "XDG_DOWNLOAD_DIR=\"" + m_downloads.toUtf8() + "\"\n"));
    qputenv("XDG_CONFIG_HOME", m_engine->path(QStringLiteral("config")).toUtf8());
    QCOMPARE(QStandardPaths::writableLocation(QStandardPaths::DownloadLocation), m_downloads);
    m_server = std::make_unique<PageServer>([](const QString &path) {
        return path == QLatin1String("/big.bin") ? QByteArray(256 * 1024, 'x')
               : path.startsWith(QLatin1String("/page")) ? Page
                                                         : QByteArray("ENI;10");
    });
    QVERIFY(m_server->listen());
}

void TestDownloads::pageStartsNothingByItselfAndOneClickSavesAFew()
{
    QVERIFY(writeFile(m_downloads + QStringLiteral("/quote.csv"), "vecchio"));
    // Connected after the program's policy: each one counted here has been decided.
    QSignalSpy requested(m_engine->environment().profile(), &QWebEngineProfile::downloadRequested);
    WebEngineWait::load(m_engine->makePane(), m_server->url(QStringLiteral("/page#flood")));
    // The engine itself lets ten of a page's twenty through to the program, and then blocks
    // every download of that page, the user's too.
    QTRY_COMPARE_WITH_TIMEOUT(requested.size(), 10, Timeout);
    QCOMPARE(saved(), QStringList{QStringLiteral("quote.csv")});
    // Read in the background, the same page saves nothing either, and is not heard.
    {
        SilentPage background(m_engine->environment().profile(), nullptr, SilentPage::Mode::Background);
        background.load(m_server->url(QStringLiteral("/page#flood")));
        QTRY_COMPARE_WITH_TIMEOUT(requested.size(), 20, Timeout);
        QVERIFY(background.isAudioMuted());
    }
    requested.clear();
    QCOMPARE(saved(), QStringList{QStringLiteral("quote.csv")});

    WebEnginePane *pane = m_engine->makePane();
    PaneStatus status(*pane);
    WebEngineWait::load(pane, m_server->url(QStringLiteral("/page")));
    clickAt(pane, 50);
    const QString fresh = m_downloads + QStringLiteral("/quote (1).csv");
    QTRY_COMPARE_WITH_TIMEOUT(readFile(fresh), QByteArray("ENI;10"), Timeout);
    QCOMPARE(readFile(m_downloads + QStringLiteral("/quote.csv")), QByteArray("vecchio"));
    QTRY_COMPARE_WITH_TIMEOUT(status.label()->text(), QStringLiteral("Scaricato: quote (1).csv"), Timeout);
    QCOMPARE(status.label()->toolTip(), fresh);

    // A click whose script starts twenty: a few are saved, once more than a few were decided.
    clickAt(pane, 150);
    const auto runs = [this] { return int(m_server->requests.filter(QStringLiteral("/run.csv")).size()); };
    QTRY_VERIFY_WITH_TIMEOUT(runs() > DownloadPolicy::PerPress && requested.size() == 1 + runs(), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(saved().size(), 2 + DownloadPolicy::PerPress, Timeout);
    QCOMPARE(saved().filter(QStringLiteral("run")).size(), DownloadPolicy::PerPress);
}

void TestDownloads::downloadOverTheLimitLeavesNoFile_data()
{
    QTest::addColumn<bool>("announced");
    QTest::newRow("size announced") << true;
    QTest::newRow("size found while saving") << false;
}

void TestDownloads::downloadOverTheLimitLeavesNoFile()
{
    QFETCH(bool, announced);
    m_server->announceLength = announced;
    m_engine->environment().downloads().setSizeLimit(64 * 1024);
    const QStringList before = saved();
    WebEnginePane *pane = m_engine->makePane();
    QSignalSpy stopped(pane, &BrowserPane::downloadStopped);
    WebEngineWait::load(pane, m_server->url(QStringLiteral("/page")));

    clickAt(pane, 250);
    QTRY_COMPARE_WITH_TIMEOUT(stopped.size(), 1, Timeout);
    QCOMPARE(stopped.at(0).at(0).toString(), QStringLiteral("big.bin"));
    QTRY_COMPARE_WITH_TIMEOUT(saved(), before, Timeout);
    m_engine->environment().downloads().setSizeLimit(DownloadPolicy::DefaultSizeLimit);
    m_server->announceLength = true;
}

void TestDownloads::nameNeverTakesAnExistingOne_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");

    QTest::newRow("free name kept") << QStringList() << QStringLiteral("quote.csv") << QStringLiteral("quote.csv");
    QTest::newRow("first numbers taken")
        << QStringList{QStringLiteral("quote.csv"), QStringLiteral("quote (1).csv"), QStringLiteral("quote (2).csv")}
        << QStringLiteral("quote.csv") << QStringLiteral("quote (3).csv");
    QTest::newRow("taken by a download under way") << QStringList{QStringLiteral("quote.csv*")}
                                                   << QStringLiteral("quote.csv") << QStringLiteral("quote (1).csv");
    QTest::newRow("no extension") << QStringList{QStringLiteral("README")} << QStringLiteral("README")
                                  << QStringLiteral("README (1)");
    QTest::newRow("folder of that name") << QStringList{QStringLiteral("dir/")} << QStringLiteral("dir")
                                         << QStringLiteral("dir (1)");
    QTest::newRow("path parts dropped") << QStringList{QStringLiteral("x.pdf")} << QStringLiteral("../../x.pdf")
                                        << QStringLiteral("x (1).pdf");
    QTest::newRow("no name") << QStringList() << QString() << QStringLiteral("download");
}

void TestDownloads::nameNeverTakesAnExistingOne()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QSet<QString> underWay;
    for (const QString &entry : existing) {
        if (entry.endsWith(QLatin1Char('/')))
            QVERIFY(QDir(folder.path()).mkdir(entry.chopped(1)));
        else if (entry.endsWith(QLatin1Char('*')))
            underWay.insert(folder.filePath(entry.chopped(1)));
        else
            QVERIFY(writeFile(folder.filePath(entry), {}));
    }

    const QString result = DownloadPolicy::uniqueName(folder.path(), name, underWay);
    QCOMPARE(result, expected);
    QVERIFY(!QFileInfo::exists(folder.filePath(result)));
}

QTEST_MAIN(TestDownloads)
#include "tst_downloads.moc"
