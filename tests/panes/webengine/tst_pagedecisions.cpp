#include <QTest>
#include <QWidget>

#include "panes/webengine/AskRule.h"
#include "panes/webengine/LoadOutcome.h"
#include "panes/webengine/NewWindowRule.h"
#include "panes/webengine/RecentInput.h"
#include "panes/webengine/RedirectRule.h"

using Info = QWebEngineLoadingInfo;
using Ask = AskRule::Ask;
using Load = AskRule::Load;

// The engine pane's decisions on what the engine reports and what a page asks, with no engine
// running: the engine's own requests cannot be made outside it, and it spends a click on each
// window a page asks for, so the program's own limit could not be reached through a page.
class TestPageDecisions : public QObject
{
    Q_OBJECT
private slots:
    void errorStatusIsNoPageWhicheverWayTheEngineSaysIt();
    void oneClickOpensOneWindowOfAnAddress();
    void pageQuestionReachesUserOnlyWhenWanted_data();
    void pageQuestionReachesUserOnlyWhenWanted();
    void pageReadOutOfSightFollowsItsSiteOnly();
};

void TestPageDecisions::errorStatusIsNoPageWhicheverWayTheEngineSaysIt()
{
    const struct
    {
        Info::LoadStatus status;
        Info::ErrorDomain domain;
        int code;
        const char *engineText;
        std::optional<LoadOutcome> outcome;
    } rows[] = {
        {Info::LoadSucceededStatus, Info::HttpStatusCodeDomain, 200, "", LoadOutcome{}},
        {Info::LoadSucceededStatus, Info::HttpStatusCodeDomain, 399, "", LoadOutcome{}},
        {Info::LoadSucceededStatus, Info::NoErrorDomain, 0, "", LoadOutcome{}},
        // Reported as a page that loaded, with the status as its error code.
        {Info::LoadSucceededStatus, Info::HttpStatusCodeDomain, 400, "", LoadOutcome{false, "HTTP 400"}},
        {Info::LoadSucceededStatus, Info::HttpStatusCodeDomain, 503, "", LoadOutcome{false, "HTTP 503"}},
        // Qt 6.4: a 401 or 503, with a page of its own or without, is a failed load.
        {Info::LoadFailedStatus, Info::HttpStatusCodeDomain, 401, "Unauthorized", LoadOutcome{false, "HTTP 401"}},
        {Info::LoadFailedStatus, Info::HttpStatusCodeDomain, 503, "", LoadOutcome{false, "HTTP 503"}},
        {Info::LoadFailedStatus, Info::ConnectionErrorDomain, -102, "x", LoadOutcome{false, "connessione rifiutata"}},
        {Info::LoadFailedStatus, Info::InternalErrorDomain, -501, "<b>Insecure</b>\n response",
         LoadOutcome{false, "Insecure response (errore -501)"}},
        {Info::LoadFailedStatus, Info::InternalErrorDomain, -501, "", LoadOutcome{false, "errore -501"}},
        {Info::LoadFailedStatus, Info::CertificateErrorDomain, -202, "x",
         LoadOutcome{false, "il certificato del sito non \u00e8 valido"}},
        {Info::LoadStartedStatus, Info::NoErrorDomain, 0, "", std::nullopt},
        {Info::LoadStoppedStatus, Info::InternalErrorDomain, -3, "", std::nullopt},
    };
    for (const auto &row : rows) {
        const auto outcome = LoadOutcome::of(row.status, row.domain, row.code, QString::fromUtf8(row.engineText));
        QVERIFY2(outcome == row.outcome, qPrintable(QStringLiteral("%1 %2").arg(row.status).arg(row.code)));
    }
}

void TestPageDecisions::oneClickOpensOneWindowOfAnAddress()
{
    QWidget pane;
    pane.show();
    RecentInput input(pane);
    const QUrl web(QStringLiteral("https://quotes.example/list"));
    const QUrl quote(QStringLiteral("https://quotes.example/eni"));
    const QUrl local = QUrl::fromLocalFile(QStringLiteral("/home/user/Preferiti.htm"));

    QVERIFY(!NewWindowRule::opens(quote, web, true, &input)); // no click yet
    QTest::mousePress(&pane, Qt::LeftButton);
    QVERIFY(!NewWindowRule::opens(quote, web, false, &input));
    // Refused without spending the click: nothing a script could fill, no local file from the web.
    for (const char *refused : {"", "about:blank", "data:text/html,<p>x", "javascript:void(0)"})
        QVERIFY2(!NewWindowRule::opens(QUrl(QLatin1String(refused)), web, true, &input), refused);
    QVERIFY(!NewWindowRule::opens(local, web, true, &input));
    QVERIFY(NewWindowRule::opens(quote, web, true, &input));
    QVERIFY(!NewWindowRule::opens(quote, web, true, &input));

    QTest::mousePress(&pane, Qt::LeftButton);
    QVERIFY(NewWindowRule::opens(local, local, true, &input));
}

void TestPageDecisions::pageQuestionReachesUserOnlyWhenWanted_data()
{
    QTest::addColumn<Ask>("ask");
    QTest::addColumn<Load>("load");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<bool>("asking");
    // -1 no RecentInput at all, 0 no press, 1 a press just now.
    QTest::addColumn<int>("press");
    QTest::addColumn<bool>("reaches");
    QTest::addColumn<bool>("again");

    QTest::newRow("message after a press, once") << Ask::Message << Load::Neither << true << false << 1 << true << false;
    QTest::newRow("file after a press") << Ask::File << Load::Neither << true << false << 1 << true << false;
    QTest::newRow("message by itself") << Ask::Message << Load::Neither << true << false << 0 << false << false;
    QTest::newRow("message in a load the user asked for")
        << Ask::Message << Load::ByUser << true << false << 0 << false << false;
    QTest::newRow("message without input") << Ask::Message << Load::ByUser << true << false << -1 << false << false;
    QTest::newRow("message over a refresh") << Ask::Message << Load::ForRefresh << true << false << 1 << false << false;
    QTest::newRow("message with no window") << Ask::Message << Load::Neither << false << false << 1 << false << false;
    QTest::newRow("message over a question") << Ask::Message << Load::Neither << true << true << 1 << false << false;
    QTest::newRow("login after a press, once") << Ask::Login << Load::Neither << true << false << 1 << true << false;
    QTest::newRow("login by itself") << Ask::Login << Load::Neither << true << false << 0 << false << false;
    // The page ends the load's claim once it asked; the rule alone keeps it.
    QTest::newRow("login in a load the user asked for")
        << Ask::Login << Load::ByUser << true << false << 0 << true << true;
    QTest::newRow("login in a user's load, no input") << Ask::Login << Load::ByUser << true << false << -1 << true << true;
    QTest::newRow("login over a refresh") << Ask::Login << Load::ForRefresh << true << false << 1 << false << false;
    for (const Ask never : {Ask::Certificate, Ask::Permission, Ask::Window, Ask::Download})
        QTest::addRow("never asked: %d", int(never)) << never << Load::ByUser << true << false << 1 << false << false;
}

void TestPageDecisions::pageQuestionReachesUserOnlyWhenWanted()
{
    QFETCH(Ask, ask);
    QFETCH(Load, load);
    QFETCH(bool, shown);
    QFETCH(bool, asking);
    QFETCH(int, press);
    QFETCH(bool, reaches);
    QFETCH(bool, again);
    QWidget pane;
    pane.show();
    RecentInput recent(pane);
    if (press > 0)
        QTest::mousePress(&pane, Qt::LeftButton);
    RecentInput *input = press < 0 ? nullptr : &recent;
    QCOMPARE(AskRule::reachesUser(ask, load, shown, asking, input), reaches);
    QCOMPARE(AskRule::reachesUser(ask, load, shown, asking, input), again);
}

void TestPageDecisions::pageReadOutOfSightFollowsItsSiteOnly()
{
    const QUrl asked(QStringLiteral("http://borsa.example/q?t=ENI"));
    const struct
    {
        const char *reached;
        const char *refusal;
    } rows[] = {
        {"https://www.borsa.example:8443/titolo/ENI?consenso=1#prezzo", ""},
        {"https://accounts.borsa.example/login", "porta a accounts.borsa.example"},
        {"http://borsa.example.evil.example/q", "porta a borsa.example.evil.example"},
        {"https://b\u00f6rse.example/q", "porta a xn--brse-5qa.example"},
        {"data:text/html,<b>x</b>", "la pagina ha mandato a un altro indirizzo"},
    };
    for (const auto &row : rows)
        QCOMPARE(RedirectRule::refusal(asked, QUrl(QString::fromUtf8(row.reached))), QString::fromUtf8(row.refusal));
    const QUrl local = QUrl::fromLocalFile(QStringLiteral("/home/utente/quote.htm"));
    QCOMPARE(RedirectRule::refusal(local, local), QString());
}

QTEST_MAIN(TestPageDecisions)
#include "tst_pagedecisions.moc"
