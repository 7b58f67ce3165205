#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "common/Controls.h"
#include "panes/AddressBox.h"
#include "panes/HistoryList.h"
#include "panes/LocalPageList.h"
#include "panes/PaneControls.h"
#include "support/Clicks.h"
#include "support/Files.h"
#include "support/PartHost.h"
#include "support/ScratchFolder.h"

// Each pane's column of buttons, the shared address box, the history list and the local page
// list, on bare controls and recording panes, driven with the mouse and keyboard.
class TestNavigation : public QObject
{
    Q_OBJECT
private slots:
    void goSendsTheBoxToItsOwnPaneAndReportsIt();
    void paneButtonsActOnTheirOwnPaneOnly();
    void enterPressesItsButtonAndOtherKeysOnlyEdit();

    void historyTogglesAndSelectionFillsTheBox();

    void localPagesMatchWebPagesInAnyCase();
    void fileListIsReReadAtEveryPressAndGivesTheFullPath();
};

namespace {

// Both pane columns on one shared address box, as the window has them.
struct Columns
{
    Columns()
    {
        for (PaneControls *controls : {&upperControls, &lowerControls})
            QObject::connect(&address, &AddressBox::addressChanged, controls, &PaneControls::setAddress);
        address.announce();
    }

    // One pane's buttons, in the order PaneControls takes them.
    struct Column
    {
        QPushButton &back, &forward, &go;
        ClickLabel &home;
        QPushButton &stop, &reload;
        PaneControls::Buttons buttons() { return {&back, &forward, &go, &home, &stop, &reload}; }
    };

    PartHost host;
    QLineEdit &box = host.add<QLineEdit>(QStringLiteral("http://"));
    RecordingPane &upper = host.addPane();
    RecordingPane &lower = host.addPane();
    Column upperColumn = column();
    Column lowerColumn = column();
    AddressBox address{box, upperColumn.go};
    PaneControls upperControls{upper, upperColumn.buttons()};
    PaneControls lowerControls{lower, lowerColumn.buttons()};

    Column column()
    {
        return {host.add<QPushButton>(), host.add<QPushButton>(), host.add<QPushButton>(),
                host.add<ClickLabel>(),  host.add<QPushButton>(), host.add<QPushButton>()};
    }
};

QStringList items(const QListWidget &list)
{
    QStringList names;
    for (int i = 0; i < list.count(); ++i)
        names << list.item(i)->text();
    return names;
}

} // namespace

void TestNavigation::goSendsTheBoxToItsOwnPaneAndReportsIt()
{
    Columns c;
    QSignalSpy upperSent(&c.upperControls, &PaneControls::addressSent);
    QSignalSpy lowerSent(&c.lowerControls, &PaneControls::addressSent);
    leftClick(&c.upperColumn.go);
    leftClick(&c.upperColumn.go);
    QCOMPARE(c.upper.calls, (QStringList{QStringLiteral("Navigate:http://"), QStringLiteral("Navigate:http://")}));
    QVERIFY(c.lower.calls.isEmpty());
    QCOMPARE(upperSent.size(), 2);

    c.box.setText(QStringLiteral("  quotes.example/a b  "));
    leftClick(&c.lowerColumn.go);
    QCOMPARE(c.lower.calls, QStringList{QStringLiteral("Navigate:  quotes.example/a b  ")});
    QCOMPARE(c.upper.calls.size(), 2);
    QCOMPARE(lowerSent.size(), 1);
    QCOMPARE(lowerSent.at(0).at(0).toString(), QStringLiteral("  quotes.example/a b  "));
}

void TestNavigation::paneButtonsActOnTheirOwnPaneOnly()
{
    Columns c;
    c.lowerControls.setHomeAddress(QStringLiteral("info.example"));
    leftClick(&c.upperColumn.stop);
    leftClick(&c.upperColumn.reload);
    leftClick(&c.lowerColumn.home);
    QCOMPARE(c.upper.calls, (QStringList{QStringLiteral("Stop"), QStringLiteral("Refresh")}));
    QCOMPARE(c.lower.calls, QStringList{QStringLiteral("Navigate:info.example")});
    c.upper.clearCalls();
    c.lower.clearCalls();
    leftClick(&c.lowerColumn.stop);
    leftClick(&c.lowerColumn.reload);
    leftClick(&c.lowerColumn.back);
    leftClick(&c.lowerColumn.forward);
    QCOMPARE(c.lower.calls, (QStringList{QStringLiteral("Stop"), QStringLiteral("Refresh"), QStringLiteral("GoBack"),
                                         QStringLiteral("GoForward")}));
    QVERIFY(c.upper.calls.isEmpty());

    // Home reads its address at the click: an empty start page opens a blank page.
    leftClick(&c.upperColumn.home);
    c.upperControls.setHomeAddress(QStringLiteral("borsa.example/start"));
    leftClick(&c.upperColumn.home);
    QCOMPARE(c.upper.navigations(), (QStringList{QString(), QStringLiteral("borsa.example/start")}));
}

void TestNavigation::enterPressesItsButtonAndOtherKeysOnlyEdit()
{
    PartHost host;
    auto &box = host.add<QLineEdit>();
    auto &go = host.add<QPushButton>();
    AddressBox address(box, go);
    QSignalSpy pressed(&go, &QPushButton::clicked);
    address.setAddress(QStringLiteral("borsa.example"));
    QTest::keyClick(&box, Qt::Key_Return);
    QCOMPARE(pressed.size(), 1);
    QTest::keyClick(&box, Qt::Key_A);
    QCOMPARE(pressed.size(), 1);
    QCOMPARE(box.text(), QStringLiteral("borsa.examplea"));
}

void TestNavigation::historyTogglesAndSelectionFillsTheBox()
{
    PartHost host;
    auto &list = host.add<QListWidget>();
    auto &toggle = host.add<QPushButton>();
    list.hide();
    host.window().show();
    HistoryList history(list, toggle);
    QSignalSpy chosen(&history, &HistoryList::addressChosen);

    QTest::mouseClick(&toggle, Qt::LeftButton);
    QVERIFY(list.isVisible());
    QCOMPARE(list.count(), 0);
    // Sending while shown appends and keeps the list shown.
    history.add(QStringLiteral("first.example"));
    history.add(QStringLiteral("second.example"));
    QVERIFY(list.isVisible());
    QTest::mouseClick(&toggle, Qt::LeftButton);
    QVERIFY(list.isHidden());

    QTest::mouseClick(&toggle, Qt::LeftButton);
    clickItem(list, 0);
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(chosen.at(0).at(0).toString(), QStringLiteral("first.example"));
    QVERIFY(list.isHidden());

    // The same address sent again is kept twice.
    history.add(QStringLiteral("first.example"));
    QCOMPARE(items(list), (QStringList{QStringLiteral("first.example"), QStringLiteral("second.example"),
                                       QStringLiteral("first.example")}));
}

void TestNavigation::localPagesMatchWebPagesInAnyCase()
{
    ScratchFolder dir;
    for (const char *name : {"a.htm", "B.HTM", "c.html", "d.Html", "e.txt", "f.htmx", "g.htm.bak"})
        QVERIFY(writeFile(dir.filePath(QString::fromUtf8(name)), "<html></html>"));
    QDir(dir.path()).mkdir(QStringLiteral("folder.htm"));
    QCOMPARE(LocalPageList::pagesIn(dir.path()),
             (QStringList{QStringLiteral("a.htm"), QStringLiteral("B.HTM"), QStringLiteral("c.html"),
                          QStringLiteral("d.Html")}));
}

void TestNavigation::fileListIsReReadAtEveryPressAndGivesTheFullPath()
{
    ScratchFolder dir;
    PartHost host;
    auto &list = host.add<QListWidget>();
    auto &toggle = host.add<QPushButton>();
    list.hide();
    host.window().show();
    LocalPageList pages(list, toggle, dir.path());
    QSignalSpy chosen(&pages, &LocalPageList::addressChosen);

    QTest::mouseClick(&toggle, Qt::LeftButton);
    QVERIFY(list.isVisible());
    QCOMPARE(list.count(), 0);
    QVERIFY(writeFile(dir.filePath(QStringLiteral("quote del giorno \u00e8.htm")), "<html></html>"));
    QTest::mouseClick(&toggle, Qt::LeftButton);
    QVERIFY(list.isHidden());
    QCOMPARE(items(list), QStringList{QStringLiteral("quote del giorno \u00e8.htm")});
    QVERIFY(writeFile(dir.filePath(QStringLiteral("Preferiti.htm")), "<html></html>"));
    QTest::mouseClick(&toggle, Qt::LeftButton);
    QVERIFY(list.isVisible());
    QCOMPARE(items(list), (QStringList{QStringLiteral("Preferiti.htm"), QStringLiteral("quote del giorno \u00e8.htm")}));

    clickItem(list, 1);
    QVERIFY(list.isHidden());
    QCOMPARE(chosen.size(), 1);
    const QString path = chosen.at(0).at(0).toString();
    QCOMPARE(path, QDir::toNativeSeparators(dir.path() + QStringLiteral("/quote del giorno \u00e8.htm")));
    QVERIFY(QFile::exists(path));
}

QTEST_MAIN(TestNavigation)
#include "tst_navigation.moc"
