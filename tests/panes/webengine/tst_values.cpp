#include <memory>

#include <QApplication>
#include <QHash>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>

#include "panes/webengine/SilentPage.h"
#include "panes/webengine/WebEngineEnvironment.h"
#include "panes/webengine/WebEnginePane.h"
#include "panes/webengine/ValueReader.h"
#include "support/EngineWindows.h"
#include "support/PageServer.h"
#include "support/QuotePage.h"
#include "support/WebEngineWait.h"

using WebEngineWait::evaluate;
using WebEngineWait::Timeout;

// Followed values read from real pages: picked with the pointer, then read at every load and
// refresh by the keys the change highlight uses, never by position alone.
class TestValues : public QObject
{
    Q_OBJECT
public:
    static void initMain() { WebEngineEnvironment::prepareProcess(); }

private slots:
    void initTestCase();
    void cleanupTestCase() { m_engine.reset(); }
    void init()
    {
        m_server->setFault(PageServer::Fault::None);
        m_server->holding.clear();
    }

    void risingQuotesAreReadAtEveryRefresh_data();
    void risingQuotesAreReadAtEveryRefresh();
    void rowAddedAboveRowGoneAndNotANumber();
    void errorPagesAndFailedRefreshesReadNothing();
    void pageTooBusyToAnswerIsShownItsValuesNotRead();
    void pageChangingItsOwnNumbersIsReadAtMostOnceASecond();
    void valueMenuOffersWhatThePlaceAllows_data();
    void valueMenuOffersWhatThePlaceAllows();

private:
    void serve(const QString &lang, const QList<QStringList> &rows, const QByteArray &extra = {});
    // The middle of the cell with that id, in CSS pixels; nullopt where there is none.
    std::optional<QPointF> middleOf(const QString &cellId);
    // The pick under the cell with that id, as the pane's menu gets it.
    std::optional<ValuePick> pick(const QString &cellId);
    // Follows the cell and waits for the reading the load gives.
    void follow(const QString &cellId);
    // Refreshes and returns what the refresh read; fails the test where it read nothing.
    ValueReading refreshed();

    std::unique_ptr<PageServer> m_server;
    std::unique_ptr<EngineWindows> m_engine;
    WebEnginePane *m_pane = nullptr;
    QByteArray m_page;
    const QString m_path = QStringLiteral("/borsa");
};

void TestValues::initTestCase()
{
    m_server = std::make_unique<PageServer>([this](const QString &) { return m_page; });
    QVERIFY(m_server->listen());
    m_engine = std::make_unique<EngineWindows>();
    m_pane = m_engine->makePane();
}

void TestValues::serve(const QString &lang, const QList<QStringList> &rows, const QByteArray &extra)
{
    m_page = QuotePage::html(lang, rows, extra);
}

std::optional<QPointF> TestValues::middleOf(const QString &cellId)
{
    const QVariantList box = evaluate(m_pane->page(), QStringLiteral("(function(){var r=document.getElementById('%1')"
                                                                     ".getBoundingClientRect();return [r.x+r.width/2,r.y+r.height/2];})()")
                                                          .arg(cellId)).toList();
    return box.size() == 2 ? std::optional(QPointF(box.at(0).toDouble(), box.at(1).toDouble())) : std::nullopt;
}

std::optional<ValuePick> TestValues::pick(const QString &cellId)
{
    const std::optional<QPointF> middle = middleOf(cellId);
    if (!middle)
        return std::nullopt;
    auto answer = std::make_shared<std::optional<std::optional<ValuePick>>>();
    m_pane->valueReader().pick(m_pane->page(), *middle, [answer](const std::optional<ValuePick> &p) { *answer = p; });
    if (!QTest::qWaitFor([&answer] { return answer->has_value(); }, Timeout))
        return std::nullopt;
    return **answer;
}

void TestValues::follow(const QString &cellId)
{
    WebEngineWait::load(m_pane, m_server->url(m_path));
    const std::optional<ValuePick> picked = pick(cellId);
    QVERIFY(picked);
    QCOMPARE(picked->followable, ValuePick::Followable::Yes);
    QSignalSpy read(m_pane, &BrowserPane::valuesRead);
    m_pane->setFollowedPlaces({picked->place});
    // Followed places are read at the next load.
    WebEngineWait::load(m_pane, m_server->url(m_path));
    QTRY_VERIFY_WITH_TIMEOUT(!read.isEmpty(), Timeout);
}

ValueReading TestValues::refreshed()
{
    QSignalSpy read(m_pane, &BrowserPane::valuesRead);
    QSignalSpy loaded(m_pane, &BrowserPane::loaded);
    m_pane->refresh();
    if (!QTest::qWaitFor([&] { return !read.isEmpty(); }, Timeout))
        return {};
    const auto readings = read.last().at(0).value<QList<ValueReading>>();
    return readings.size() == 1 ? readings.first() : ValueReading{};
}

void TestValues::risingQuotesAreReadAtEveryRefresh_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QStringList>("prices");
    QTest::addColumn<QList<double>>("numbers");
    QTest::newRow("italian") << "it" << QStringList{"1.234,50", "1.240,75", "12.345"} << QList<double>{1234.5, 1240.75, 12345};
    QTest::newRow("english") << "en" << QStringList{"1,234.50", "1,240.75", "12.345"} << QList<double>{1234.5, 1240.75, 12.345};
}

void TestValues::risingQuotesAreReadAtEveryRefresh()
{
    QFETCH(QString, lang);
    QFETCH(QStringList, prices);
    QFETCH(QList<double>, numbers);
    serve(lang, {{"ENI", "14,20"}, {"FTSE MIB", prices.first()}});
    follow(QStringLiteral("FTSE MIB1"));
    const std::optional<ValuePick> picked = pick(QStringLiteral("FTSE MIB1"));
    QVERIFY(picked);
    QCOMPARE(picked->name, QStringLiteral("FTSE MIB"));
    QCOMPARE(picked->number, std::optional(numbers.first()));
    for (qsizetype i = 1; i < prices.size(); ++i) {
        serve(lang, {{"ENI", "14,20"}, {"FTSE MIB", prices.at(i)}});
        const ValueReading reading = refreshed();
        QCOMPARE(reading.place, picked->place);
        QCOMPARE(reading.number, std::optional(numbers.at(i)));
        QCOMPARE(reading.text, prices.at(i));
    }
}

void TestValues::rowAddedAboveRowGoneAndNotANumber()
{
    serve(QStringLiteral("it"), {{"ENI", "14,20"}, {"ENEL", "6,10"}});
    follow(QStringLiteral("ENI1"));
    serve(QStringLiteral("it"), {{"A2A", "1,90"}, {"ENEL", "6,15"}, {"ENI", "14,30"}});
    QCOMPARE(refreshed().number, std::optional(14.3));

    serve(QStringLiteral("it"), {{"A2A", "1,90"}, {"ENI", "n.d."}});
    ValueReading reading = refreshed();
    QVERIFY(!reading.number);
    QVERIFY2(reading.reason.contains(QStringLiteral("n.d.")), qPrintable(reading.reason));
    // A page naming no language: "14.300" is a number, only an unclear one, and says so.
    serve(QString(), {{"A2A", "1,90"}, {"ENI", "14.300"}});
    reading = refreshed();
    QVERIFY(!reading.number);
    QVERIFY2(reading.reason.contains(QStringLiteral("migliaia o decimali")), qPrintable(reading.reason));
    // Each reading names its column's heading, by which a column added before it shows.
    m_page = "<!DOCTYPE html><html lang='it'><body><table><tr><th>Titolo</th><th>Prezzo</th></tr>"
             "<tr><td>ENI</td><td>14,40</td></tr></table></body></html>";
    QCOMPARE(refreshed().heading, QStringLiteral("Prezzo"));
    m_page = "<!DOCTYPE html><html lang='it'><body><table><tr><th>Titolo</th><th>Apertura</th><th>Prezzo</th>"
             "</tr><tr><td>ENI</td><td>14,10</td><td>14,40</td></tr></table></body></html>";
    QCOMPARE(refreshed().heading, QStringLiteral("Apertura"));

    // ENEL now stands where ENI stood: its price is not ENI's.
    serve(QStringLiteral("it"), {{"ENEL", "6,20"}, {"A2A", "1,90"}});
    reading = refreshed();
    QVERIFY(!reading.number);
    QVERIFY(!reading.reason.isEmpty());
    QVERIFY(reading.text.isEmpty());

    // A page asking to sign in again is told from one that changed: a visible password field
    // and no table of numbers.
    const QString gone = QStringLiteral("non c'\u00e8 pi\u00f9 nella pagina");
    const QList<std::pair<QByteArray, QString>> pages{
        {"<input name=u><input type=password name=p>", QStringLiteral("accesso richiesto")},
        {"<input type=password style='display:none'>", gone},
        {"<input type=password><table><tr><td>ENEL</td><td>6,20</td></tr></table>", gone},
    };
    for (const auto &[body, reason] : pages) {
        m_page = "<!DOCTYPE html><html lang='it'><body><form>" + body + "</form></body></html>";
        QCOMPARE(refreshed().reason, reason);
    }
}

void TestValues::errorPagesAndFailedRefreshesReadNothing()
{
    serve(QStringLiteral("it"), {{"ENI", "14,20"}});
    follow(QStringLiteral("ENI1"));
    m_server->setFault(PageServer::Fault::Unavailable);
    ValueReading reading = refreshed();
    QVERIFY(!reading.number);
    QVERIFY2(reading.reason.contains(QStringLiteral("503")), qPrintable(reading.reason));
    // A login page in the quotes' place: the row is missing.
    m_server->setFault(PageServer::Fault::None);
    m_page = "<!DOCTYPE html><html lang='it'><body><form>Utente <input name=u> <input type=password></form></body></html>";
    reading = refreshed();
    QVERIFY(!reading.number);
    QVERIFY(!reading.reason.isEmpty());
}

void TestValues::pageTooBusyToAnswerIsShownItsValuesNotRead()
{
    serve(QStringLiteral("it"), {{"ENI", "14,20"}});
    follow(QStringLiteral("ENI1"));
    // Busy for seconds right after its load: the reading gets no answer in time.
    serve(QStringLiteral("it"), {{"ENI", "14,30"}},
          "<script>addEventListener('load',function(){setTimeout(function(){var t=Date.now();"
          "while(Date.now()-t<6000){}},0);});</script>");
    // A site that answered in time is not failed by the waits after its load.
    m_pane->setRefreshTimeout(3000);
    QSignalSpy loaded(m_pane, &BrowserPane::loaded);
    const ValueReading reading = refreshed();
    m_pane->setRefreshTimeout(30000);
    QVERIFY(!reading.number);
    QVERIFY2(reading.reason.contains(QStringLiteral("non ha risposto")), qPrintable(reading.reason));
    QCOMPARE(loaded.size(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(evaluate(m_pane->page(), QStringLiteral("document.getElementById('ENI1').textContent")),
                              QVariant(QStringLiteral("14,30")), Timeout);
}

void TestValues::pageChangingItsOwnNumbersIsReadAtMostOnceASecond()
{
    // The page raises the price by itself every 100 ms, as a streaming quote page does.
    const QByteArray ticker = "<script>var p=1400;setInterval(function(){if(window.quiet)return;p+=1;"
                              "var c=document.getElementById('ENI1');if(c)c.textContent=(p/100).toFixed(2).replace('.',',');},100);"
                              "setInterval(function(){console.log('cambio');},100);</script>";
    serve(QStringLiteral("it"), {{"ENI", "14,00"}}, ticker);
    follow(QStringLiteral("ENI1"));
    QSignalSpy read(m_pane, &BrowserPane::valuesRead);
    QTRY_VERIFY_WITH_TIMEOUT(read.size() >= 3, Timeout);
    double last = 0;
    QDateTime then;
    for (const QList<QVariant> &signal : std::as_const(read)) {
        const ValueReading reading = signal.at(0).value<QList<ValueReading>>().first();
        QVERIFY(reading.number);
        QVERIFY(*reading.number > last);
        if (then.isValid())
            QVERIFY2(then.msecsTo(reading.time) >= 850, qPrintable(QString::number(then.msecsTo(reading.time))));
        last = *reading.number;
        then = reading.time;
    }
    // Its numbers still, the page's own talk on the console reads nothing: at most the change
    // already on its way, then the one change the page makes two seconds later.
    const auto numbers = [&read](qsizetype from) {
        QList<double> seen;
        for (qsizetype i = from; i < read.size(); ++i)
            seen << read.at(i).at(0).value<QList<ValueReading>>().first().number.value_or(-1);
        return seen;
    };
    const double still = evaluate(m_pane->page(), QStringLiteral("window.quiet = true; setTimeout(function(){"
                                                                 "document.getElementById('ENI1').textContent='99,99';},2000); p")).toDouble() / 100;
    qsizetype from = read.size();
    QTRY_VERIFY_WITH_TIMEOUT(numbers(from).contains(99.99), Timeout);
    QVERIFY2(numbers(from).count(still) <= 1 && numbers(from).size() - numbers(from).count(still) == 1,
             qPrintable(QString::number(numbers(from).size())));
    // Nothing followed on the page: nothing read, whatever it changes, until it is followed again.
    const std::optional<ValuePick> picked = pick(QStringLiteral("ENI1"));
    QVERIFY(picked);
    m_pane->setFollowedPlaces({});
    from = read.size();
    const double unfollowed = evaluate(m_pane->page(), QStringLiteral("p=20000; window.quiet = false; p")).toDouble() / 100;
    QTRY_VERIFY_WITH_TIMEOUT(evaluate(m_pane->page(), QStringLiteral("p")).toDouble() / 100 > unfollowed + 0.15, Timeout);
    const double refollowed = evaluate(m_pane->page(), QStringLiteral("p")).toDouble() / 100;
    m_pane->setFollowedPlaces({picked->place});
    QTRY_VERIFY_WITH_TIMEOUT(!numbers(from).isEmpty() && numbers(from).last() > refollowed, Timeout);
    for (const double number : numbers(from))
        QVERIFY2(number <= unfollowed || number > refollowed, qPrintable(QString::number(number)));
}

void TestValues::valueMenuOffersWhatThePlaceAllows_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<ValuePick::Followable>("followable");
    QTest::addColumn<QString>("name");
    // The menu's items about the value, apart by "|", with " (off)" where greyed.
    QTest::addColumn<QString>("item");
    QTest::addColumn<bool>("followed");
    using F = ValuePick::Followable;
    const QString follow = QStringLiteral("Segui questo valore");
    const QString changes = follow + QStringLiteral(" (la prima cella della riga cambia) (off)");
    const auto quotes = [](const QList<QStringList> &rows) { return QuotePage::html(QStringLiteral("it"), rows); };
    QTest::newRow("named row") << quotes({{"ENI", "14,20"}}) << "ENI1" << F::Yes << "ENI" << follow << false;
    QTest::newRow("two rows of one name") << quotes({{"Azione", "14,20"}, {"Azione", "6,10"}}) << "Azione1" << F::NoUniqueName << "Azione"
                                          << follow + " (la riga non ha un nome unico) (off)" << false;
    QTest::newRow("time") << quotes({{"17:35:02", "14,20"}}) << "17:35:021" << F::NameChanges << "17:35:02" << changes << false;
    QTest::newRow("date") << quotes({{"12/03/2024", "14,20"}}) << "12/03/20241" << F::NameChanges << "12/03/2024" << changes << false;
    QTest::newRow("number") << quotes({{"1", "14,20"}, {"2", "6,10"}}) << "11" << F::NameChanges << "1" << changes << false;
    // Quotes in a layout table whose first cell is a clock the page ticks after the load.
    QTest::newRow("clock") << QByteArray("<!DOCTYPE html><html lang='it'><body><table><tr><td id='ora'>Ore</td><td><table>"
                                         "<tr><td>ENI</td><td id='eni'>14,20</td></tr></table></td></tr></table><script>"
                                         "var ticks = 0; onload = () => setInterval(() => { ora.textContent = 'Ore ' + ++ticks; }, 50);"
                                         "</script></body></html>")
                           << "eni" << F::NameChanges << "ENI" << changes << false;
    QTest::newRow("label outside a table")
        << QByteArray("<!DOCTYPE html><html lang='it'><body><div><span>Spread BTP-Bund</span> <b id='s'>142,5</b></div></body></html>")
        << "s" << F::Yes << "Spread BTP-Bund" << follow << false;
    QTest::newRow("followed already") << quotes({{"ENI", "14,20"}}) << "ENI1" << F::Yes << "ENI"
                                      << QStringLiteral("Avvisami sopra\u2026|Avvisami sotto\u2026|Avvisami se varia del\u2026|"
                                                        "Avvisa anche sul telefono\u2026 (spuntato)|Non seguire pi\u00f9\u2026|"
                                                        "Borsa Italiana|Borsa USA (spuntato)|Sempre aperto")
                                      << true;
}

void TestValues::valueMenuOffersWhatThePlaceAllows()
{
    QFETCH(QByteArray, page);
    QFETCH(QString, cell);
    QFETCH(ValuePick::Followable, followable);
    QFETCH(QString, name);
    QFETCH(QString, item);
    QFETCH(bool, followed);
    m_pane->setFollowedPlaces({});
    m_page = page;
    WebEngineWait::load(m_pane, m_server->url(m_path));
    QTRY_VERIFY_WITH_TIMEOUT(evaluate(m_pane->page(), QStringLiteral("window.ticks === undefined || ticks > 2")).toBool(), Timeout);
    const std::optional<ValuePick> picked = pick(cell);
    QVERIFY(picked);
    QCOMPARE(picked->followable, followable);
    QCOMPARE(picked->name, name);
    QVERIFY(picked->number);
    if (followed) {
        m_pane->setFollowedPlaces({picked->place});
        m_pane->setPhonePlaces({picked->place});
        m_pane->setMarketChoices({QStringLiteral("Borsa Italiana"), QStringLiteral("Borsa USA"), QStringLiteral("Sempre aperto")},
                                 {{picked->place, 1}});
    }
    QSignalSpy chosen(m_pane, &BrowserPane::marketChosen);
    emit m_pane->view()->customContextMenuRequested(middleOf(cell)->toPoint());
    QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<QMenu *>(QApplication::activePopupWidget()), Timeout);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    const auto *markets = menu->findChild<QMenu *>(QStringLiteral("marketMenu"));
    QStringList items;
    for (const QAction *action : menu->actions() + (markets ? markets->actions() : QList<QAction *>())) {
        if (action->text().startsWith(QLatin1String("Segui")) || action->text().startsWith(QLatin1String("Avvisa"))
            || action->text().startsWith(QLatin1String("Non seguire")) || action->actionGroup())
            items << action->text() + (action->isEnabled() ? QString() : QStringLiteral(" (off)"))
                         + (action->isChecked() ? QStringLiteral(" (spuntato)") : QString());
    }
    if (markets)
        markets->actions().constLast()->trigger();
    menu->close();
    QCOMPARE(items.join(QLatin1Char('|')), item);
    QCOMPARE(chosen.size(), followed ? 1 : 0);
    if (followed) {
        QVERIFY(chosen.first().at(0).value<ValuePlace>() == picked->place);
        QCOMPARE(chosen.first().at(1).toInt(), 2);
    }
}

QTEST_MAIN(TestValues)
#include "tst_values.moc"
