#include <QTest>

#include "panes/LoadOutcome.h"

using Info = QWebEngineLoadingInfo;

// What a pane makes of a finished load, as each engine version reports it.
class TestLoadOutcome : public QObject
{
    Q_OBJECT
private slots:
    void errorStatusIsNoPageWhicheverWayTheEngineSaysIt_data();
    void errorStatusIsNoPageWhicheverWayTheEngineSaysIt();
};

void TestLoadOutcome::errorStatusIsNoPageWhicheverWayTheEngineSaysIt_data()
{
    QTest::addColumn<Info::LoadStatus>("status");
    QTest::addColumn<Info::ErrorDomain>("domain");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("engineText");
    QTest::addColumn<bool>("ends");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("reason");

    QTest::newRow("web page, 200") << Info::LoadSucceededStatus << Info::HttpStatusCodeDomain << 200 << QString() << true
                                   << true << QString();
    QTest::newRow("web page, 399") << Info::LoadSucceededStatus << Info::HttpStatusCodeDomain << 399 << QString() << true
                                   << true << QString();
    QTest::newRow("local page") << Info::LoadSucceededStatus << Info::NoErrorDomain << 0 << QString() << true << true
                                << QString();
    QTest::newRow("503 with a page, reported as succeeded")
        << Info::LoadSucceededStatus << Info::HttpStatusCodeDomain << 503 << QString() << true << false
        << QStringLiteral("HTTP 503");
    QTest::newRow("400 with a page, reported as succeeded")
        << Info::LoadSucceededStatus << Info::HttpStatusCodeDomain << 400 << QString() << true << false
        << QStringLiteral("HTTP 400");
    QTest::newRow("Qt 6.4: 401 with a page, reported as failed")
        << Info::LoadFailedStatus << Info::HttpStatusCodeDomain << 401 << QStringLiteral("Unauthorized") << true << false
        << QStringLiteral("HTTP 401");
    QTest::newRow("Qt 6.4: 503 without a page, reported as failed")
        << Info::LoadFailedStatus << Info::HttpStatusCodeDomain << 503 << QString() << true << false
        << QStringLiteral("HTTP 503");
    QTest::newRow("connection refused") << Info::LoadFailedStatus << Info::ConnectionErrorDomain << -102
                                        << QStringLiteral("net::ERR_CONNECTION_REFUSED") << true << false
                                        << QStringLiteral("connessione rifiutata");
    QTest::newRow("rare network error: the engine's words without markup")
        << Info::LoadFailedStatus << Info::InternalErrorDomain << -501 << QStringLiteral("<b>Insecure</b>\n response")
        << true << false << QStringLiteral("Insecure response (errore -501)");
    QTest::newRow("rare network error without words") << Info::LoadFailedStatus << Info::InternalErrorDomain << -501
                                                      << QString() << true << false << QStringLiteral("errore -501");
    QTest::newRow("started") << Info::LoadStartedStatus << Info::NoErrorDomain << 0 << QString() << false << false
                             << QString();
    QTest::newRow("stopped") << Info::LoadStoppedStatus << Info::InternalErrorDomain << -3 << QString() << false << false
                             << QString();
}

void TestLoadOutcome::errorStatusIsNoPageWhicheverWayTheEngineSaysIt()
{
    QFETCH(Info::LoadStatus, status);
    QFETCH(Info::ErrorDomain, domain);
    QFETCH(int, code);
    QFETCH(QString, engineText);
    QFETCH(bool, ends);
    QFETCH(bool, ok);
    QFETCH(QString, reason);

    const std::optional<LoadOutcome> outcome = LoadOutcome::of(status, domain, code, engineText);
    QCOMPARE(outcome.has_value(), ends);
    if (ends)
        QCOMPARE(*outcome, (LoadOutcome{ok, reason}));
}

QTEST_APPLESS_MAIN(TestLoadOutcome)
#include "tst_loadoutcome.moc"
