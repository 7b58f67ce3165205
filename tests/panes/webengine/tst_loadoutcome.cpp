#include <QTest>

#include "panes/webengine/LoadOutcome.h"

using Info = QWebEngineLoadingInfo;

class TestLoadOutcome : public QObject
{
    Q_OBJECT
private slots:
    void errorStatusIsNoPageWhicheverWayTheEngineSaysIt();
};

void TestLoadOutcome::errorStatusIsNoPageWhicheverWayTheEngineSaysIt()
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

QTEST_APPLESS_MAIN(TestLoadOutcome)
#include "tst_loadoutcome.moc"
