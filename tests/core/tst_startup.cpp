#include <memory>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "common/Maker.h"
#include "core/SettingsEditor.h"
#include "core/SettingsFile.h"
#include "support/Files.h"
#include "support/WindowScene.h"

namespace {

// Blanks, a caption longer than eight characters, an empty caption and non-ASCII letters.
const QStringList Sample = {
    QStringLiteral("Borsa"),       QStringLiteral("www.borsa.example"),
    QStringLiteral(" Milano "),    QStringLiteral("  http://milano.example/q?x=1&y=2 "),
    QStringLiteral("Più di otto"), QStringLiteral("pagina.htm"),
    QString(),                     QStringLiteral("quarto.example"),
    QStringLiteral("Quinto"),      QStringLiteral("città.example/€"),
    QStringLiteral("Sesto"),       QStringLiteral("sesto.example/p"),
    QStringLiteral(" start.example/home "),
};

QByteArray crLfLines(const QStringList &values)
{
    QByteArray bytes;
    for (const QString &value : values)
        bytes += value.toUtf8() + "\r\n";
    return bytes;
}

QStringList evenValues(const QStringList &values)
{
    QStringList result;
    for (int i = 0; i < 12; i += 2)
        result << values.at(i);
    return result;
}

void retype(QLineEdit *edit, const QString &text)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    // keyClicks only knows ASCII; other letters arrive as text, as an input method sends them.
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(edit, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void upperPaneOpensArgumentOrStartPageAndLowerPaneTheInfoPage_data();
    void upperPaneOpensArgumentOrStartPageAndLowerPaneTheInfoPage();
    void configuraShowsThenHidesTheEditorFilledAtStartup();
    void savingWritesFileAppliesToWindowAndHidesEditor();
    void withoutFileFirstConfiguraOpensEmptyEditorAndSaveSurvivesRestart();
    void cancelKeepsFileAndWindowAndReopeningKeepsUnsavedEdits();
    void closingEditorFromTitleBarOnlyHidesIt();
    void failedSaveReportsInItalianAndChangesNothing();
    void closingMainWindowClosesEditor_data();
    void closingMainWindowClosesEditor();
    void instructionTextKeepsDoubledBlanksAndEndsWithMakersSite();

private:
    MainWindow &start(const QStringList &arguments = {}) { return m_scene->start(arguments).window(); }
    RecordedWindow &recorded() const { return *m_scene->recorded; }
    RecordingPane *pane(int index) const { return index == 0 ? recorded().upper() : recorded().lower(); }
    SettingsEditor *editor() const { return recorded().window().settingsEditor(); }
    QLineEdit *box(int index) const { return editor()->controls().boxes.at(index); }
    const MainControls &controls() const { return recorded().controls(); }
    void clickEditor(QPushButton *SettingsEditor::Controls::*button);

    // The settings file is a relative name: each test gets a working directory of its own.
    std::unique_ptr<WindowScene> m_scene;
};

void TestStartup::init()
{
    m_scene = std::make_unique<WindowScene>();
    QVERIFY(m_scene->folder.isCurrent());
}

void TestStartup::cleanup()
{
    m_scene.reset();
}

void TestStartup::clickEditor(QPushButton *SettingsEditor::Controls::*button)
{
    QVERIFY(editor() && editor()->isVisible());
    leftClick(editor()->controls().*button);
}

void TestStartup::upperPaneOpensArgumentOrStartPageAndLowerPaneTheInfoPage_data()
{
    QTest::addColumn<bool>("withFile");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("upperTarget");

    QTest::newRow("no file, no argument") << false << QStringList() << QString();
    QTest::newRow("no file, argument") << false << QStringList{QStringLiteral("http://www.quote.example/")}
                                       << QStringLiteral("http://www.quote.example/");
    QTest::newRow("file, no argument") << true << QStringList() << Sample.at(12);
    QTest::newRow("argument wins over start page") << true << QStringList{QStringLiteral("quote.example")}
                                                   << QStringLiteral("quote.example");
}

void TestStartup::upperPaneOpensArgumentOrStartPageAndLowerPaneTheInfoPage()
{
    QFETCH(bool, withFile);
    QFETCH(QStringList, arguments);
    QFETCH(QString, upperTarget);
    if (withFile)
        QVERIFY(writeFile(SettingsFile::fileName(), crLfLines(Sample)));

    MainWindow &w = start(arguments);

    QCOMPARE(pane(0)->navigations(), QStringList{upperTarget});
    QCOMPARE(pane(1)->navigations(), QStringList{Maker::infoPage()});
    QCOMPARE(w.settingsEditor() != nullptr, withFile);
    // The start page is loaded even when the argument wins; "Home" uses it later.
    QCOMPARE(w.settings().startPage, withFile ? Sample.at(12) : QString());
    QCOMPARE(QDir(w.workingFolder()).canonicalPath(), QDir(m_scene->folder.path()).canonicalPath());
    QCOMPARE(recorded().address(), QStringLiteral("http://"));
    QVERIFY(m_scene->messages.isEmpty());
}

void TestStartup::configuraShowsThenHidesTheEditorFilledAtStartup()
{
    QVERIFY(writeFile(SettingsFile::fileName(), crLfLines(Sample)));
    MainWindow &w = start();
    const QPointer<SettingsEditor> shown = editor();
    QVERIFY(shown);
    QVERIFY(!shown->isVisible());
    // Start-up filled the boxes; opening the editor must not read the file again.
    QVERIFY(writeFile(SettingsFile::fileName(), crLfLines(QStringList(13, QStringLiteral("changed on disk")))));

    leftClick(controls().configure);
    QCOMPARE(editor(), shown.data());
    QVERIFY(shown->isVisible());
    QCOMPARE(recorded().editorBoxes(), Sample);
    QVERIFY(w.isVisible());

    leftClick(controls().configure);
    QVERIFY(shown);
    QCOMPARE(editor(), shown.data());
    QVERIFY(!shown->isVisible());
}

void TestStartup::savingWritesFileAppliesToWindowAndHidesEditor()
{
    QVERIFY(writeFile(SettingsFile::fileName(), crLfLines(Sample)));
    MainWindow &w = start();
    leftClick(controls().configure);
    const QStringList upperCalls = pane(0)->calls;
    const QStringList lowerCalls = pane(1)->calls;

    QStringList edited;
    for (int i = 0; i < 13; ++i) {
        edited << QStringLiteral(" nuovo %1 è ").arg(i);
        retype(box(i), edited.last());
    }
    clickEditor(&SettingsEditor::Controls::save);

    QVERIFY(m_scene->messages.isEmpty());
    QCOMPARE(readFile(SettingsFile::fileName()), crLfLines(edited));
    QCOMPARE(recorded().siteCaptions(), evenValues(edited));
    QCOMPARE(w.settings().toLines(), edited);
    QVERIFY(!editor()->isVisible());

    // Each site button only puts its new address into the box; a saved start page opens
    // nothing now.
    for (int site = 0; site < 6; ++site) {
        leftClick(controls().sites[site]);
        QCOMPARE(recorded().address(), edited[2 * site + 1]);
    }
    QCOMPARE(pane(0)->calls, upperCalls);
    QCOMPARE(pane(1)->calls, lowerCalls);
}

void TestStartup::withoutFileFirstConfiguraOpensEmptyEditorAndSaveSurvivesRestart()
{
    MainWindow &w = start();
    QVERIFY(!w.settingsEditor());
    QCOMPARE(recorded().siteCaptions(), QStringList(6, QString()));
    leftClick(controls().sites[0]);
    QCOMPARE(recorded().address(), QString());

    leftClick(controls().configure);
    QVERIFY(editor());
    QVERIFY(editor()->isVisible());
    QCOMPARE(recorded().editorBoxes(), QStringList(13, QString()));

    for (int i = 0; i < 13; ++i)
        retype(box(i), Sample.at(i));
    clickEditor(&SettingsEditor::Controls::save);
    QVERIFY(m_scene->messages.isEmpty());
    QCOMPARE(readFile(SettingsFile::fileName()), crLfLines(Sample));

    MainWindow &again = start();
    QCOMPARE(again.settings().toLines(), Sample);
    QCOMPARE(recorded().siteCaptions(), evenValues(Sample));
    QCOMPARE(recorded().editorBoxes(), Sample);
}

void TestStartup::cancelKeepsFileAndWindowAndReopeningKeepsUnsavedEdits()
{
    QVERIFY(writeFile(SettingsFile::fileName(), crLfLines(Sample)));
    MainWindow &w = start();
    leftClick(controls().configure);
    retype(box(0), QStringLiteral("Nuovo"));
    retype(box(1), QStringLiteral("nuovo.example"));

    clickEditor(&SettingsEditor::Controls::cancel);
    QVERIFY(!editor()->isVisible());
    QCOMPARE(readFile(SettingsFile::fileName()), crLfLines(Sample));
    QCOMPARE(recorded().siteCaptions(), evenValues(Sample));
    QCOMPARE(w.settings().toLines(), Sample);

    leftClick(controls().configure);
    QVERIFY(editor()->isVisible());
    QCOMPARE(box(0)->text(), QStringLiteral("Nuovo"));
    QCOMPARE(box(1)->text(), QStringLiteral("nuovo.example"));

    clickEditor(&SettingsEditor::Controls::save);
    QStringList expected = Sample;
    expected[0] = QStringLiteral("Nuovo");
    expected[1] = QStringLiteral("nuovo.example");
    QCOMPARE(readFile(SettingsFile::fileName()), crLfLines(expected));
    QCOMPARE(recorded().siteCaptions().at(0), QStringLiteral("Nuovo"));
    QCOMPARE(w.settings().sites[0].address, QStringLiteral("nuovo.example"));
}

void TestStartup::closingEditorFromTitleBarOnlyHidesIt()
{
    QVERIFY(writeFile(SettingsFile::fileName(), crLfLines(Sample)));
    MainWindow &w = start();
    leftClick(controls().configure);
    const QPointer<SettingsEditor> shown = editor();
    retype(box(12), QStringLiteral("modificato.example"));

    QVERIFY(shown->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(shown);
    QVERIFY(!shown->isVisible());
    QCOMPARE(readFile(SettingsFile::fileName()), crLfLines(Sample));
    QCOMPARE(w.settings().startPage, Sample.at(12));

    leftClick(controls().configure);
    QCOMPARE(editor(), shown.data());
    QVERIFY(shown->isVisible());
    QCOMPARE(box(12)->text(), QStringLiteral("modificato.example"));
}

void TestStartup::failedSaveReportsInItalianAndChangesNothing()
{
    QVERIFY(writeFile(SettingsFile::fileName(), crLfLines(Sample)));
    MainWindow &w = start();
    leftClick(controls().configure);
    QStringList edited = Sample;
    for (int i : {0, 1, 12}) {
        edited[i] = QStringLiteral("nuovo %1").arg(i);
        retype(box(i), edited[i]);
    }
    // Root writes through any permission bits; a folder in the file's place stops it.
    QVERIFY(QFile::remove(SettingsFile::fileName()));
    QVERIFY(QDir().mkdir(SettingsFile::fileName()));

    clickEditor(&SettingsEditor::Controls::save);

    const MessageCapture &messages = m_scene->messages;
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.at(0).icon, QMessageBox::Warning);
    QCOMPARE(messages.at(0).title, QStringLiteral("Configurazione"));
    QVERIFY2(messages.at(0).text.startsWith(QStringLiteral("Impossibile salvare le impostazioni")),
             qPrintable(messages.at(0).text));
    QVERIFY(messages.at(0).text.contains(QStringLiteral("base2.cfg")));
    QVERIFY(QFileInfo(SettingsFile::fileName()).isDir());
    QCOMPARE(w.settings().toLines(), Sample);
    QCOMPARE(recorded().siteCaptions(), evenValues(Sample));
    QVERIFY(editor()->isVisible());
    QCOMPARE(recorded().editorBoxes(), edited);

    // The edits kept in the editor can be saved once the way is clear.
    QVERIFY(QDir().rmdir(SettingsFile::fileName()));
    clickEditor(&SettingsEditor::Controls::save);
    QCOMPARE(messages.size(), 1);
    QCOMPARE(readFile(SettingsFile::fileName()), crLfLines(edited));
    QCOMPARE(recorded().siteCaptions().at(0), edited[0]);
    QVERIFY(!editor()->isVisible());
}

void TestStartup::closingMainWindowClosesEditor_data()
{
    QTest::addColumn<bool>("withFile");
    QTest::addColumn<int>("configuraClicks");

    QTest::newRow("editor open") << true << 1;
    QTest::newRow("editor hidden") << true << 2;
    QTest::newRow("editor never made") << false << 0;
}

void TestStartup::closingMainWindowClosesEditor()
{
    QFETCH(bool, withFile);
    QFETCH(int, configuraClicks);
    if (withFile)
        QVERIFY(writeFile(SettingsFile::fileName(), crLfLines(Sample)));
    MainWindow &w = start();
    for (int i = 0; i < configuraClicks; ++i)
        leftClick(controls().configure);
    const QPointer<SettingsEditor> shown = editor();

    QVERIFY(w.close());

    QVERIFY(!shown || !shown->isVisible());
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows)
        QVERIFY2(!window->isVisible(), qPrintable(window->objectName()));
    QVERIFY(m_scene->messages.isEmpty());
}

void TestStartup::instructionTextKeepsDoubledBlanksAndEndsWithMakersSite()
{
    start();
    leftClick(controls().configure);
    QCOMPARE(editor()->windowTitle(), QStringLiteral("Configurazione"));
    const QString text = editor()->controls().instructions->text();

    QVERIFY(text.startsWith(QStringLiteral("Inserire nella prima colonna il nome del sito come lo si vuole "
                                           "visualizzare sul tasto 8 caratteri Max. ")));
    QVERIFY(text.contains(QStringLiteral("seconda finestra Browser.  L'indirizzo di default  della  prima  "
                                         "finestra Browser non si può cambiare ed è \"")));
    QVERIFY(text.endsWith(QStringLiteral("ed è \"") + Maker::webSite() + QLatin1Char('"')));
    QCOMPARE(editor()->controls().startPageCaption->text(), QStringLiteral("Indirizzo pagina iniziale "));
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
