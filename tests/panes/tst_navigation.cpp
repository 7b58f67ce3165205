#include <memory>

#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QCheckBox>
#include <QTest>

#include "common/Controls.h"
#include "common/Maker.h"
#include "common/Twips.h"
#include "core/Form1.h"
#include "core/Form3.h"
#include "support/RecordedWindow.h"
#include "support/ScratchFolder.h"

// The controls of both pane columns, the history list and the local page list, driven with
// the mouse and keyboard against recording panes.
class TestNavigation : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void goSendsTheBoxToItsOwnPaneAndRemembersIt();
    void enterReachesOnlyTheUpperPane();
    void paneButtonsActOnTheirOwnPaneOnly();
    void backAndForwardWithoutHistoryDoNothing();
    void upperHomeFollowsASavedStartPageWithoutRestart();

    void historyTogglesAndSelectionFillsTheBox();
    void goWhileHistoryShownAppendsAndKeepsItShown();

    void localPagesMatchWebPagesInAnyCase();
    void fileListIsReReadAtEveryPress();
    void fileSelectionPutsTheFullPathInTheBox();
    void emptyFolderShowsAnEmptyList();

    void resizeMovesLowerPaneColumnAndBars();
    void minimiseAndRestoreKeepTheLayout();

private:
    template<typename T>
    T *find(const char *name) const { return m_recorded->find<T>(name); }
    void click(const char *name) { QTest::mouseClick(find<QWidget>(name), Qt::LeftButton); }
    void touch(const QString &name);
    QStringList fileListItems() const;

    std::unique_ptr<ScratchFolder> m_dir;
    std::unique_ptr<RecordedWindow> m_recorded;
    Form1 *m_window = nullptr;
    RecordingPane *m_wb1 = nullptr;
    RecordingPane *m_wb3 = nullptr;
};

void TestNavigation::init()
{
    m_dir = std::make_unique<ScratchFolder>();
    m_recorded = std::make_unique<RecordedWindow>();
    m_window = &m_recorded->window();
    m_wb1 = m_recorded->upper();
    m_wb3 = m_recorded->lower();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    m_recorded->clearCalls();
}

void TestNavigation::cleanup()
{
    m_recorded.reset();
    m_dir.reset();
}

void TestNavigation::touch(const QString &name)
{
    QFile file(QDir(m_dir->path()).filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<html></html>");
}

QStringList TestNavigation::fileListItems() const
{
    QStringList names;
    auto *list = find<QListWidget>("File1");
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

void TestNavigation::goSendsTheBoxToItsOwnPaneAndRemembersIt()
{
    auto *box = find<QLineEdit>("Text1");
    QCOMPARE(box->text(), QStringLiteral("http://"));
    click("Command11");
    click("Command11");
    QCOMPARE(m_wb1->calls, (QStringList{QStringLiteral("Navigate:http://"), QStringLiteral("Navigate:http://")}));
    QVERIFY(m_wb3->calls.isEmpty());

    box->setText(QStringLiteral("  quotes.example/a b  "));
    click("Command20");
    QCOMPARE(m_wb3->calls, QStringList{QStringLiteral("Navigate:  quotes.example/a b  ")});
    QCOMPARE(m_wb1->calls.size(), 2);

    auto *history = find<QListWidget>("List1");
    QCOMPARE(history->count(), 3);
    QCOMPARE(history->item(0)->text(), QStringLiteral("http://"));
    QCOMPARE(history->item(1)->text(), QStringLiteral("http://"));
    QCOMPARE(history->item(2)->text(), QStringLiteral("  quotes.example/a b  "));
}

void TestNavigation::enterReachesOnlyTheUpperPane()
{
    auto *box = find<QLineEdit>("Text1");
    box->setText(QStringLiteral("borsa.example"));
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(m_wb1->calls, QStringList{QStringLiteral("Navigate:borsa.example")});
    QVERIFY(m_wb3->calls.isEmpty());
    QCOMPARE(find<QListWidget>("List1")->count(), 1);
    // Other keys only edit.
    QTest::keyClick(box, Qt::Key_A);
    QCOMPARE(m_wb1->calls.size(), 1);
}

void TestNavigation::paneButtonsActOnTheirOwnPaneOnly()
{
    click("Command22");
    click("Command21");
    click("Image2");
    QCOMPARE(m_wb1->calls, (QStringList{QStringLiteral("Stop"), QStringLiteral("Refresh")}));
    QCOMPARE(m_wb3->calls, QStringList{QStringLiteral("Navigate:") + Maker::infoPage()});
    m_wb1->clearCalls();
    m_wb3->clearCalls();
    click("Command23");
    click("Command24");
    QCOMPARE(m_wb3->calls, (QStringList{QStringLiteral("Stop"), QStringLiteral("Refresh")}));
    QVERIFY(m_wb1->calls.isEmpty());
    QCOMPARE(find<QWidget>("Command22")->toolTip(), QStringLiteral("Stop"));
    QCOMPARE(find<QWidget>("Image1")->toolTip(), QStringLiteral("Home"));
    QCOMPARE(find<QWidget>("Command21")->toolTip(), QStringLiteral("Aggiorna la pagina"));
}

void TestNavigation::backAndForwardWithoutHistoryDoNothing()
{
    click("Command5");
    click("Command7");
    click("Command18");
    click("Command19");
    QCOMPARE(m_wb1->calls, (QStringList{QStringLiteral("GoBack"), QStringLiteral("GoForward")}));
    QCOMPARE(m_wb3->calls, (QStringList{QStringLiteral("GoBack"), QStringLiteral("GoForward")}));
    QVERIFY(m_wb1->navigations().isEmpty());
}

void TestNavigation::upperHomeFollowsASavedStartPageWithoutRestart()
{
    click("Image1");
    QCOMPARE(m_wb1->calls, QStringList{QStringLiteral("Navigate:")});
    m_window->Command4_Click();
    Form3 *editor = m_window->form3();
    QVERIFY(editor);
    editor->box(12)->setText(QStringLiteral("borsa.example/start"));
    editor->Command2_Click();
    QCOMPARE(m_wb1->calls.size(), 1);
    click("Image1");
    QCOMPARE(m_wb1->calls.last(), QStringLiteral("Navigate:borsa.example/start"));
}

void TestNavigation::historyTogglesAndSelectionFillsTheBox()
{
    auto *history = find<QListWidget>("List1");
    QVERIFY(history->isHidden());
    click("Command8");
    QVERIFY(history->isVisible());
    QCOMPARE(history->count(), 0);
    click("Command8");
    QVERIFY(history->isHidden());

    auto *box = find<QLineEdit>("Text1");
    box->setText(QStringLiteral("first.example"));
    click("Command11");
    box->setText(QStringLiteral("second.example"));
    click("Command20");
    click("Command8");
    QTest::mouseClick(history->viewport(), Qt::LeftButton, {}, history->visualItemRect(history->item(0)).center());
    QCOMPARE(box->text(), QStringLiteral("first.example"));
    QVERIFY(history->isHidden());
    QVERIFY(m_wb1->navigations().size() == 1 && m_wb3->navigations().size() == 1);

    // Sending the chosen entry again adds it once more at the end.
    click("Command20");
    QCOMPARE(history->count(), 3);
    QCOMPARE(history->item(2)->text(), QStringLiteral("first.example"));
}

void TestNavigation::goWhileHistoryShownAppendsAndKeepsItShown()
{
    click("Command8");
    click("Command11");
    auto *history = find<QListWidget>("List1");
    QVERIFY(history->isVisible());
    QCOMPARE(history->count(), 1);
}

void TestNavigation::localPagesMatchWebPagesInAnyCase()
{
    for (const char *name : {"a.htm", "B.HTM", "c.html", "d.Html", "e.txt", "f.htmx", "g.htm.bak"})
        touch(QString::fromUtf8(name));
    QDir(m_dir->path()).mkdir(QStringLiteral("folder.htm"));
    QCOMPARE(Form1::localPages(m_dir->path()),
             (QStringList{QStringLiteral("a.htm"), QStringLiteral("B.HTM"), QStringLiteral("c.html"),
                          QStringLiteral("d.Html")}));
}

void TestNavigation::fileListIsReReadAtEveryPress()
{
    auto *list = find<QListWidget>("File1");
    QVERIFY(list->isHidden());
    touch(QStringLiteral("one.htm"));
    click("Command2");
    QVERIFY(list->isVisible());
    QCOMPARE(fileListItems(), QStringList{QStringLiteral("one.htm")});
    touch(QStringLiteral("Preferiti.htm"));
    click("Command2");
    QVERIFY(list->isHidden());
    QCOMPARE(fileListItems(), (QStringList{QStringLiteral("one.htm"), QStringLiteral("Preferiti.htm")}));
}

void TestNavigation::fileSelectionPutsTheFullPathInTheBox()
{
    touch(QStringLiteral("quote del giorno \u00e8.htm"));
    click("Command2");
    auto *list = find<QListWidget>("File1");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    QVERIFY(list->isHidden());
    const QString expected = QDir::toNativeSeparators(QDir::currentPath() + QStringLiteral("/quote del giorno \u00e8.htm"));
    QCOMPARE(find<QLineEdit>("Text1")->text(), expected);
    QVERIFY(QFile::exists(find<QLineEdit>("Text1")->text()));
    QVERIFY(m_wb1->calls.isEmpty());
}

void TestNavigation::emptyFolderShowsAnEmptyList()
{
    click("Command2");
    QVERIFY(find<QListWidget>("File1")->isVisible());
    QCOMPARE(find<QListWidget>("File1")->count(), 0);
    QCOMPARE(find<QLineEdit>("Text1")->text(), QStringLiteral("http://"));
}

void TestNavigation::resizeMovesLowerPaneColumnAndBars()
{
    m_window->resize(900, 700);
    QTRY_COMPARE(m_window->height(), 700);
    const double dpiY = Twips::dpiY(m_window);
    const double outerH = Twips::fromPixels(m_window->frameGeometry().height(), dpiY);
    const double wb1Height = m_wb1->height();
    QVERIFY(qAbs(wb1Height - outerH / 2.4) <= 15);
    QVERIFY(qAbs(m_wb3->top() - (wb1Height + m_wb1->top() + 100)) <= 15);
    auto *lowerBack = find<QWidget>("Command18");
    QCOMPARE(lowerBack->y(), m_wb3->widget()->y());
    auto *bar1 = find<QScrollBar>("VScroll1");
    QCOMPARE(bar1->x(), m_wb1->widget()->x() + m_wb1->widget()->width());
    QCOMPARE(find<QWidget>("Check2")->y(), m_wb3->widget()->y());
    QCOMPARE(find<QWidget>("Check1")->y(), Twips::toPixels(765, dpiY));
}

void TestNavigation::minimiseAndRestoreKeepTheLayout()
{
    m_window->resize(880, 640);
    QTRY_COMPARE(m_window->width(), 880);
    auto snapshot = [this] {
        QList<QRect> rects;
        for (QWidget *w : m_window->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
            rects << w->geometry();
        return rects;
    };
    const QList<QRect> before = snapshot();
    m_window->showMinimized();
    QTest::qWait(50);
    m_window->showNormal();
    QTest::qWait(50);
    QCOMPARE(snapshot(), before);
}

QTEST_MAIN(TestNavigation)
#include "tst_navigation.moc"
