#include <memory>

#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include "support/WindowScene.h"

// Text the user or another program hands to the window: an address box holding far more
// than any address, and command lines with quotes, blanks, line breaks and letters outside
// ASCII. The panes get it exactly, the history keeps it, nothing is shown or lost.

namespace {

// Every kind of character an address box can be pasted: quotes, blanks, markup, letters
// outside ASCII, a character outside the Basic Multilingual Plane.
QString longAddress(qsizetype length)
{
    const QString piece = QStringLiteral("a b\"c'd<e>f&g%20èà€\U0001F4C8/");
    QString text = QStringLiteral("http://quote.example/?q=");
    while (text.size() < length)
        text += piece;
    text.truncate(length);
    // Never cut between the two halves of a surrogate pair.
    if (text.back().isHighSurrogate())
        text.back() = QLatin1Char('x');
    return text;
}

} // namespace

class TestHostileInput : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void hugeAddressGoesToThePaneAndHistoryUnchanged_data();
    void hugeAddressGoesToThePaneAndHistoryUnchanged();
    void argumentsReachTheUpperPaneJoinedBySingleSpaces_data();
    void argumentsReachTheUpperPaneJoinedBySingleSpaces();

private:
    // No settings file: an empty working directory of the test's own.
    std::unique_ptr<WindowScene> m_scene;
};

void TestHostileInput::init()
{
    m_scene = std::make_unique<WindowScene>();
    QVERIFY(m_scene->folder.isCurrent());
}

void TestHostileInput::cleanup()
{
    m_scene.reset();
}

void TestHostileInput::hugeAddressGoesToThePaneAndHistoryUnchanged_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("pane");
    QTest::newRow("upper GO") << QStringLiteral("GO") << 0;
    QTest::newRow("lower GO") << QStringLiteral("GO") << 1;
    QTest::newRow("Enter in the address box") << QStringLiteral("Enter") << 0;
}

void TestHostileInput::hugeAddressGoesToThePaneAndHistoryUnchanged()
{
    QFETCH(QString, how);
    QFETCH(int, pane);
    RecordedWindow &window = m_scene->start();
    const QString address = longAddress(100000);
    QLineEdit *box = window.controls().address;
    box->setText(address);
    window.clearCalls();

    if (how == QLatin1String("Enter"))
        QTest::keyClick(box, Qt::Key_Return);
    else
        leftClick(pane == 0 ? window.controls().upper.go : window.controls().lower.go);

    const QStringList navigations = (pane == 0 ? window.upper() : window.lower())->navigations();
    QCOMPARE(navigations.size(), 1);
    QCOMPARE((pane == 0 ? window.lower() : window.upper())->navigations().size(), 0);
    QListWidget *history = window.controls().historyList;
    QCOMPARE(history->count(), 1);
    QVERIFY(m_scene->messages.isEmpty());

    QCOMPARE(navigations.constFirst().size(), address.size());
    QVERIFY(navigations.constFirst() == address);
    QVERIFY(history->item(0)->text() == address);
}

void TestHostileInput::argumentsReachTheUpperPaneJoinedBySingleSpaces_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("target");

    QTest::newRow("quotes kept") << QStringList{QStringLiteral("\"C:\\Le mie pagine\\q.htm\""), QStringLiteral("'x'")}
                                 << QStringLiteral("\"C:\\Le mie pagine\\q.htm\" 'x'");
    QTest::newRow("blanks inside an argument kept")
        << QStringList{QStringLiteral("  a  "), QStringLiteral("b\tc")} << QStringLiteral("  a   b\tc");
    QTest::newRow("empty argument gives a doubled space")
        << QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")} << QStringLiteral("a  b");
    QTest::newRow("line breaks kept") << QStringList{QStringLiteral("riga 1\nriga 2"), QStringLiteral("\r\n")}
                                      << QStringLiteral("riga 1\nriga 2 \r\n");
    QTest::newRow("letters outside ASCII")
        << QStringList{QStringLiteral("città.example/€"), QStringLiteral("Ελληνικά"), QStringLiteral("日本"),
                       QStringLiteral("\U0001F4C8")}
        << QStringLiteral("città.example/€ Ελληνικά 日本 \U0001F4C8");
    QTest::newRow("one argument of 100,000 characters")
        << QStringList{longAddress(100000)} << longAddress(100000);
    QTest::newRow("10,000 arguments") << QStringList(10000, QStringLiteral("x")) << QStringList(10000, QStringLiteral("x")).join(QLatin1Char(' '));
}

void TestHostileInput::argumentsReachTheUpperPaneJoinedBySingleSpaces()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, target);

    RecordedWindow &window = m_scene->start(arguments);

    const QStringList navigations = window.upper()->navigations();
    QCOMPARE(navigations.size(), 1);
    QVERIFY2(navigations.constFirst() == target, qPrintable(navigations.constFirst().left(80)));
    // Start-up neither fills the address box nor adds to the history.
    QCOMPARE(window.address(), QStringLiteral("http://"));
    QCOMPARE(window.controls().historyList->count(), 0);
    QVERIFY(m_scene->messages.isEmpty());
}

QTEST_MAIN(TestHostileInput)
#include "tst_hostile_input.moc"
