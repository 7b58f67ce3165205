#include <QTest>
#include <QWidget>

#include "panes/webengine/NewWindowRule.h"
#include "panes/webengine/RecentInput.h"

// The engine's request for a new window cannot be made outside the engine, and the engine
// itself spends a click on each request a page makes from it, so the program's own limit is
// tested here, on the decision alone.
class TestNewWindowRule : public QObject
{
    Q_OBJECT
private slots:
    void oneClickOpensOneWindowOfAnAddress();
};

void TestNewWindowRule::oneClickOpensOneWindowOfAnAddress()
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

QTEST_MAIN(TestNewWindowRule)
#include "tst_newwindowrule.moc"
