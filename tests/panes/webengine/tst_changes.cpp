#include <memory>

#include <QHash>
#include <QSignalSpy>
#include <QTest>

#include "panes/webengine/ChangeHighlight.h"
#include "panes/webengine/SilentPage.h"
#include "panes/webengine/WebEngineEnvironment.h"
#include "panes/webengine/WebEnginePane.h"
#include "support/EngineWindows.h"
#include "support/MessageCapture.h"
#include "support/PageServer.h"
#include "support/QuotePage.h"
#include "support/WebEngineWait.h"

using WebEngineWait::evaluate;
using WebEngineWait::Timeout;

// What a refresh highlights on a real page: which cells, in which colour, and what it must
// leave alone.
class TestChanges : public QObject
{
    Q_OBJECT
public:
    static void initMain() { WebEngineEnvironment::prepareProcess(); }

private slots:
    void initTestCase();
    void cleanupTestCase() { m_engine.reset(); }

    void refreshHighlightsRisesFallsAndOtherText_data();
    void refreshHighlightsRisesFallsAndOtherText();
    void rowAddedAboveLightsOnlyTheCellThatChanged();
    void otherAddressAndBrokenPagesLightNothing();

private:
    // The page at path: rows of cells, first cell the row's name, each cell an id of its own.
    void serve(const QString &path, const QString &lang, const QList<QStringList> &rows, const QByteArray &extra = {});
    void open(const QString &path);
    void refresh();
    // Cell id and kind of every highlight shown now: "up", "down" or "other".
    QStringList highlights();

    std::unique_ptr<PageServer> m_server;
    std::unique_ptr<EngineWindows> m_engine;
    WebEnginePane *m_pane = nullptr;
    QHash<QString, QByteArray> m_pages;
};

void TestChanges::initTestCase()
{
    m_server = std::make_unique<PageServer>([this](const QString &path) { return m_pages.value(path); });
    QVERIFY(m_server->listen());
    m_engine = std::make_unique<EngineWindows>();
    m_pane = m_engine->makePane();
}

void TestChanges::serve(const QString &path, const QString &lang, const QList<QStringList> &rows, const QByteArray &extra)
{
    m_pages[path] = QuotePage::html(lang, rows, extra);
}

void TestChanges::open(const QString &path)
{
    WebEngineWait::load(m_pane, m_server->url(path));
    // The first snapshot is taken after the load; a refresh before it has nothing to compare.
    QTRY_VERIFY_WITH_TIMEOUT(m_pane->changeHighlight().keptSize() > 0, Timeout);
}

void TestChanges::refresh()
{
    QSignalSpy loaded(m_pane, &BrowserPane::loaded);
    m_pane->refresh();
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty(), Timeout);
}

QStringList TestChanges::highlights()
{
    const QString script = QStringLiteral(
        "document.getAnimations().map(function(a){var c=a.effect.getKeyframes()[0].backgroundColor;"
        "return a.effect.target.id+':'+(c.indexOf('150, 235')>0?'up':c.indexOf('255, 160')>0?'down':'other');})"
        ".sort().join(' ')");
    const QString found = evaluate(m_pane->page(), script).toString();
    return found.isEmpty() ? QStringList() : found.split(QLatin1Char(' '));
}

void TestChanges::refreshHighlightsRisesFallsAndOtherText_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QStringList>("expected");
    const QStringList italian{"Titolo", "1.234,56", "+0,35%", "Aperto", "7"};
    QTest::newRow("italian") << QStringLiteral("it") << italian
                             << QStringList{"Titolo", "1.240,00", "-1,20%", "Chiuso", "7"}
                             << QStringList{"Titolo1:up", "Titolo2:down", "Titolo3:other"};
    // Written differently, the same number has not changed.
    QTest::newRow("english") << QStringLiteral("en") << QStringList{"Titolo", "1,234.56", "-1.2 %", "12.345", "7"}
                             << QStringList{"Titolo", "1,230.00", "+0.4 %", "12.3450", "7"}
                             << QStringList{"Titolo1:down", "Titolo2:up"};
    // "12.345" may be twelve thousand or twelve: compared as text.
    QTest::newRow("unclear writing") << QString() << QStringList{"Titolo", "12.345"}
                                     << QStringList{"Titolo", "12.346"} << QStringList{"Titolo1:other"};
}

void TestChanges::refreshHighlightsRisesFallsAndOtherText()
{
    QFETCH(QString, lang);
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    QFETCH(QStringList, expected);
    const QString path = QStringLiteral("/quotes-%1").arg(lang.isEmpty() ? QStringLiteral("unclear") : lang);
    serve(path, lang, {before});
    open(path);
    QCOMPARE(highlights(), QStringList());
    serve(path, lang, {after});
    refresh();
    QCOMPARE(highlights(), expected);
}

void TestChanges::rowAddedAboveLightsOnlyTheCellThatChanged()
{
    serve(QStringLiteral("/rows"), QStringLiteral("it"), {{"ENI", "14,20"}, {"FIAT", "12,10"}, {"TIM", "0,25"}});
    open(QStringLiteral("/rows"));
    serve(QStringLiteral("/rows"), QStringLiteral("it"),
          {{"A2A", "1,90"}, {"ENI", "14,20"}, {"FIAT", "12,05"}, {"TIM", "0,25"}});
    refresh();
    QCOMPARE(highlights(), QStringList{QStringLiteral("FIAT1:down")});
}

void TestChanges::otherAddressAndBrokenPagesLightNothing()
{
    // A page whose own scripts throw is compared all the same: the comparison runs apart. Its
    // question as it loads out of sight is answered "no" unasked, as on a silent pane.
    MessageCapture questions;
    const QByteArray throwing = "<script>document.title=confirm('Aggiornare?');window.onerror=null;"
                                "throw new Error('rotto');</script>";
    serve(QStringLiteral("/a"), QStringLiteral("it"), {{"ENI", "14,20"}}, throwing);
    open(QStringLiteral("/a"));
    serve(QStringLiteral("/a"), QStringLiteral("it"), {{"ENI", "14,30"}}, throwing);
    refresh();
    QCOMPARE(highlights(), QStringList{QStringLiteral("ENI1:up")});
    QVERIFY(questions.isEmpty());
    QCOMPARE(m_pane->page()->title(), QStringLiteral("false"));

    serve(QStringLiteral("/b"), QStringLiteral("it"), {{"ENI", "99,00"}});
    QSignalSpy compared(&m_pane->changeHighlight(), &ChangeHighlight::compared);
    WebEngineWait::load(m_pane, m_server->url(QStringLiteral("/b")));
    QTRY_VERIFY_WITH_TIMEOUT(!compared.isEmpty(), Timeout);
    QCOMPARE(highlights(), QStringList());

    // No body: nothing to compare, nothing kept, and the refresh still shows the page.
    m_pages[QStringLiteral("/c.svg")] = "<svg xmlns='http://www.w3.org/2000/svg'><text y='20'>ENI 14,20</text></svg>";
    WebEngineWait::load(m_pane, m_server->url(QStringLiteral("/c.svg")));
    QTRY_COMPARE_WITH_TIMEOUT(m_pane->changeHighlight().keptSize(), 0, Timeout);
    refresh();
    QCOMPARE(m_pane->locationUrl(), m_server->url(QStringLiteral("/c.svg")));
}

QTEST_MAIN(TestChanges)
#include "tst_changes.moc"
