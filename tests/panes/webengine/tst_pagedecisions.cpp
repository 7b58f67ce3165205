#include <QTest>
#include <QWidget>

#include "panes/webengine/LoadOutcome.h"
#include "panes/webengine/NewWindowRule.h"
#include "panes/webengine/RecentInput.h"

using Info = QWebEngineLoadingInfo;

// The engine pane's decisions on what the engine reports and what a page asks, with no engine
// running: the engine's own requests cannot be made outside it, and it spends a click on each
// window a page asks for, so the program's own limit could not be reached through a page.
class TestPageDecisions : public QObject
{
    Q_OBJECT
private slots:
    void errorStatusIsNoPageWhicheverWayTheEngineSaysIt();
    void oneClickOpensOneWindowOfAnAddress();
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

QTEST_MAIN(TestPageDecisions)
#include "tst_pagedecisions.moc"
