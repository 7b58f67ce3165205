#include <memory>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QClipboard>
#include <QFileInfo>
#include <QMenu>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include "common/Maker.h"
#include "panes/webengine/SilentPage.h"
#include "support/EngineWindows.h"
#include "support/WebEngineWait.h"

using WebEngineWait::evaluate;
using WebEngineWait::load;
using WebEngineWait::Timeout;

namespace {

const QByteArray TallBody = "<body><div style=\"height:5000px\">alto</div></body></html>";

const std::initializer_list<std::pair<const char *, QByteArray>> Pages = {
    {"upper.htm", "<!DOCTYPE html><html><head><title>upper</title></head><body>su</body></html>"},
    {"second.htm", "<!DOCTYPE html><html><head><title>second</title></head><body>due</body></html>"},
    {"standards.htm", "<!DOCTYPE html><html><head><title>standards</title></head>" + TallBody},
    {"quirks.htm", "<html><head><title>quirks</title></head>" + TallBody},
    {"bodiless.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100\" height=\"9000\">"
                     "<title>bodiless</title><rect width=\"100\" height=\"9000\" fill=\"blue\"/></svg>"},
    {"dialogs.htm", "<!DOCTYPE html><html><head><title>before</title></head><body><script>"
                    "function run(kind){var r;"
                    "if(kind=='alert'){alert('a');r='returned';}"
                    "if(kind=='confirm'){r=String(confirm('c'));}"
                    "if(kind=='prompt'){r=String(prompt('p','default'));}"
                    "document.title=kind+'='+r;}"
                    "run(location.hash.substring(1));"
                    "</script></body></html>"},
    {"field.htm", "<!DOCTYPE html><html><head><title>field</title></head><body style=\"margin:0\">"
                  "<input id=\"f\" value=\"ISIN\" style=\"width:300px;height:30px\"><p>testo</p></body></html>"},
};

} // namespace

class TestWebEnginePane : public QObject
{
    Q_OBJECT
public:
    // Runs before the application object exists, as the program's main does.
    static void initMain() { WebEngineEnvironment::prepareProcess(); }

private slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase();

    void bothPanesOfTheMainWindowLoadLocalPages();
    void scrollWriteMovesStandardsAndQuirksModePages_data();
    void scrollWriteMovesStandardsAndQuirksModePages();
    void scrollWriteWithoutBodyIsHarmless();
    void pageDialogsNeitherShowNorBlock_data();
    void pageDialogsNeitherShowNorBlock();
    void secondInstanceOnTheSameProfileKeepsItsDataInMemory();
    void addressTextBecomesUrl_data();
    void addressTextBecomesUrl();
    void fieldMenuOffersTheEngineEditActionsAndEditKeysWork();

private:
    WebEnginePane *makePane() { return m_engine->makePane(); }
    QString page(const char *name) const { return m_engine->path(QLatin1String(name)); }

    // The pages' folder is the working directory, for the relative names.
    std::unique_ptr<EngineWindows> m_engine;
    WebEngineEnvironment *m_env = nullptr;
    QStringList m_dialogs;
    QTimer m_dialogWatch;
};

void TestWebEnginePane::initTestCase()
{
    m_engine = std::make_unique<EngineWindows>();
    QVERIFY(m_engine->isCurrent());
    QVERIFY(m_engine->writePages(Pages));
    m_env = &m_engine->environment();

    // A dialog that slipped through would block the test for good: note it and close it.
    m_dialogWatch.setInterval(50);
    connect(&m_dialogWatch, &QTimer::timeout, this, [this] {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (window->isVisible() && qobject_cast<QDialog *>(window)) {
                m_dialogs << window->windowTitle();
                window->close();
            }
        }
    });
    m_dialogWatch.start();
}

void TestWebEnginePane::cleanup()
{
    m_engine->closeWindows();
    m_dialogs.clear();
}

void TestWebEnginePane::cleanupTestCase()
{
    m_env = nullptr;
    m_engine.reset();
}

void TestWebEnginePane::bothPanesOfTheMainWindowLoadLocalPages()
{
    const auto [window, upper, lower] = m_engine->showMainWindow(QStringList{QStringLiteral("upper.htm")});
    QVERIFY(upper && lower);

    QTRY_COMPARE_WITH_TIMEOUT(upper->locationName(), QStringLiteral("upper"), Timeout);
    QCOMPARE(upper->locationUrl(), m_engine->url(QStringLiteral("upper.htm")));
    // The information page ships inside the program and needs no network.
    QTRY_COMPARE_WITH_TIMEOUT(lower->locationName(), QStringLiteral("Doppio Quovadex"), Timeout);
    QCOMPARE(lower->locationUrl(), Maker::infoPage());
    QTRY_VERIFY_WITH_TIMEOUT(evaluate(lower->page(), QStringLiteral("document.body.innerText")).toString().contains(
                                 QStringLiteral("Le due finestre")),
                             Timeout);
}

void TestWebEnginePane::scrollWriteMovesStandardsAndQuirksModePages_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("mode");
    QTest::newRow("standards mode") << QStringLiteral("standards.htm") << QStringLiteral("CSS1Compat");
    QTest::newRow("quirks mode") << QStringLiteral("quirks.htm") << QStringLiteral("BackCompat");
}

void TestWebEnginePane::scrollWriteMovesStandardsAndQuirksModePages()
{
    QFETCH(QString, name);
    QFETCH(QString, mode);
    WebEnginePane *pane = makePane();
    load(pane, m_engine->path(name));
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(evaluate(pane->page(), QStringLiteral("document.compatMode")).toString(), mode);

    pane->holdScrollTop(700);
    QTRY_COMPARE_WITH_TIMEOUT(evaluate(pane->page(), QStringLiteral("window.scrollY")).toInt(), 700, Timeout);
    pane->holdScrollTop(0);
    QTRY_COMPARE_WITH_TIMEOUT(evaluate(pane->page(), QStringLiteral("window.scrollY")).toInt(), 0, Timeout);
}

void TestWebEnginePane::scrollWriteWithoutBodyIsHarmless()
{
    WebEnginePane *pane = makePane();
    // Nothing loaded at all yet.
    pane->holdScrollTop(300);

    load(pane, page("bodiless.svg"));
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(evaluate(pane->page(), QStringLiteral("document.body === null")).toBool(), true);
    pane->holdScrollTop(300);
    // The page and the pane go on working after the write.
    QCOMPARE(evaluate(pane->page(), QStringLiteral("document.title")).toString(), QStringLiteral("bodiless"));
    QCOMPARE(evaluate(pane->page(), QStringLiteral("window.scrollY")).toInt(), 0);

    load(pane, page("standards.htm"));
    if (QTest::currentTestFailed())
        return;
    pane->holdScrollTop(250);
    QTRY_COMPARE_WITH_TIMEOUT(evaluate(pane->page(), QStringLiteral("window.scrollY")).toInt(), 250, Timeout);
}

void TestWebEnginePane::pageDialogsNeitherShowNorBlock_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("background");
    QTest::newRow("alert returns at once") << QStringLiteral("alert") << QStringLiteral("alert=returned") << false;
    QTest::newRow("confirm answers no") << QStringLiteral("confirm") << QStringLiteral("confirm=false") << false;
    QTest::newRow("prompt is cancelled") << QStringLiteral("prompt") << QStringLiteral("prompt=null") << false;
    QTest::newRow("background confirm answers no")
        << QStringLiteral("confirm") << QStringLiteral("confirm=false") << true;
}

void TestWebEnginePane::pageDialogsNeitherShowNorBlock()
{
    QFETCH(QString, kind);
    QFETCH(QString, title);
    QFETCH(bool, background);
    const QUrl url(m_engine->url(QStringLiteral("dialogs.htm")) + QLatin1Char('#') + kind);
    SilentPage unseen(m_env->profile(), nullptr, SilentPage::Mode::Background);
    WebEnginePane *pane = background ? nullptr : makePane();
    SilentPage *page = background ? &unseen : pane->page();

    background ? page->load(url) : pane->navigate(url.toString());

    QTRY_COMPARE_WITH_TIMEOUT(page->title(), title, Timeout);
    QVERIFY2(m_dialogs.isEmpty(), qPrintable(m_dialogs.join(QLatin1Char(','))));
}

void TestWebEnginePane::secondInstanceOnTheSameProfileKeepsItsDataInMemory()
{
    QVERIFY(m_env->isPersistent());
    QVERIFY(!m_env->profile()->isOffTheRecord());
    {
        WebEngineEnvironment second(m_engine->profile());
        QVERIFY(!second.isPersistent());
        QVERIFY(second.profile()->isOffTheRecord());
    }
    // Ending the second instance must not free the first one's folder.
    WebEngineEnvironment third(m_engine->profile());
    QVERIFY(!third.isPersistent());
    QVERIFY(m_env->isPersistent());
}

void TestWebEnginePane::addressTextBecomesUrl_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QUrl>("url");

    QTest::newRow("empty") << QString() << QUrl(QStringLiteral("about:blank"));
    QTest::newRow("blanks only") << QStringLiteral("   ") << QUrl(QStringLiteral("about:blank"));
    QTest::newRow("bare host name") << QStringLiteral("www.borsa.example")
                                    << QUrl(QStringLiteral("http://www.borsa.example"));
    QTest::newRow("host and path") << QStringLiteral("borsa.example/q?t=ENI")
                                   << QUrl(QStringLiteral("http://borsa.example/q?t=ENI"));
    QTest::newRow("full address") << QStringLiteral("https://borsa.example/")
                                  << QUrl(QStringLiteral("https://borsa.example/"));
    QTest::newRow("relative existing file") << QStringLiteral("upper.htm") << QUrl();
    QTest::newRow("absolute file") << QStringLiteral("<pages>/second.htm") << QUrl();
}

void TestWebEnginePane::addressTextBecomesUrl()
{
    QFETCH(QString, address);
    QFETCH(QUrl, url);
    // Relative names are resolved against the window's folder, never the current one.
    const QString folder = QFileInfo(m_engine->path(QStringLiteral("upper.htm"))).path();
    QVERIFY(QDir::setCurrent(QDir::rootPath()));
    const auto back = qScopeGuard([folder] { QDir::setCurrent(folder); });
    address.replace(QStringLiteral("<pages>"), folder);
    if (url.isEmpty())
        url = QUrl::fromLocalFile(QDir(folder).absoluteFilePath(address));

    QCOMPARE(WebEnginePane::addressToUrl(address, folder), url);
}

void TestWebEnginePane::fieldMenuOffersTheEngineEditActionsAndEditKeysWork()
{
    WebEnginePane *pane = makePane();
    load(pane, page("field.htm"));
    if (QTest::currentTestFailed())
        return;
    WebEngineWait::painted(pane->page());
    QWidget *input = pane->view()->focusProxy();
    auto field = [pane] { return evaluate(pane->page(), QStringLiteral("document.getElementById('f').value")).toString(); };
    QGuiApplication::clipboard()->setText(QStringLiteral("IT0003132476"));
    evaluate(pane->page(), QStringLiteral("document.getElementById('f').select()"));

    QTest::mouseClick(input, Qt::RightButton, {}, {100, 15});
    QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<QMenu *>(QApplication::activePopupWidget()), Timeout);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QStringList items;
    for (QAction *action : menu->actions())
        items << action->text() + (action->isEnabled() ? QString() : QStringLiteral(" (off)"));
    QCOMPARE(items, QStringList({"Annulla (off)", "Ripeti (off)", "Taglia", "Copia", "Incolla", "Seleziona tutto"}));
    menu->actions().at(4)->trigger();
    menu->close();
    QTRY_COMPARE_WITH_TIMEOUT(field(), QStringLiteral("IT0003132476"), Timeout);

    // Cut takes the place of this in the clipboard.
    QGuiApplication::clipboard()->setText(QStringLiteral("1.500,00"));
    for (const Qt::Key key : {Qt::Key_A, Qt::Key_X, Qt::Key_V, Qt::Key_V, Qt::Key_A, Qt::Key_C})
        QTest::keyClick(input, key, Qt::ControlModifier);
    QTRY_COMPARE_WITH_TIMEOUT(field(), QStringLiteral("IT0003132476IT0003132476"), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(QGuiApplication::clipboard()->text(), field(), Timeout);
}

QTEST_MAIN(TestWebEnginePane)
#include "tst_webenginepane.moc"
