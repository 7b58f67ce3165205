#include <memory>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "common/Maker.h"
#include "core/SettingsEditor.h"
#include "support/MessageCapture.h"
#include "support/RecordedWindow.h"
#include "support/ScratchFolder.h"

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

const char *const SiteButtonNames[6] = {"Command3", "Command6", "Command14", "Command16", "Command17", "Command13"};

QByteArray crLfLines(const QStringList &values)
{
    QByteArray bytes;
    for (const QString &value : values)
        bytes += value.toUtf8() + "\r\n";
    return bytes;
}

QStringList variables(const MainWindow &w)
{
    return w.settings().toLines();
}

QStringList addressVariables(const MainWindow &w)
{
    QStringList result;
    for (const SiteSettings::Site &site : w.settings().sites)
        result << site.address;
    return result << w.settings().startPage;
}

QStringList captions(const MainWindow &w)
{
    QStringList result;
    for (const char *name : SiteButtonNames)
        result << w.findChild<QPushButton *>(QLatin1String(name))->text();
    return result;
}

QStringList evenValues(const QStringList &values)
{
    QStringList result;
    for (int i = 0; i < 12; i += 2)
        result << values.at(i);
    return result;
}

QLineEdit *box(SettingsEditor *editor, int index)
{
    return editor->findChild<QLineEdit *>(QStringLiteral("Text1(%1)").arg(index));
}

QStringList boxes(SettingsEditor *editor)
{
    QStringList result;
    for (int i = 0; i < 13; ++i)
        result << box(editor, i)->text();
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
    void initTestCase();
    void init();
    void cleanup();

    void upperPaneOpensArgumentOrStartPageAndLowerPaneTheInfoPage_data();
    void upperPaneOpensArgumentOrStartPageAndLowerPaneTheInfoPage();
    void startupFillsButtonsBoxesAndVariablesFromTheFile_data();
    void startupFillsButtonsBoxesAndVariablesFromTheFile();
    void siteButtonOnlyPutsItsAddressIntoTheAddressBox_data();
    void siteButtonOnlyPutsItsAddressIntoTheAddressBox();
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
    MainWindow &start(const QStringList &arguments = {});
    RecordingPane *pane(int index) const { return index == 0 ? m_window->upper() : m_window->lower(); }
    template<typename T>
    T *mainControl(const char *name) const { return m_window->find<T>(name); }
    void clickMain(const char *name);
    void clickEditor(const char *name);
    static void writeSettings(const QByteArray &bytes);
    static QByteArray settingsBytes();

    std::unique_ptr<ScratchFolder> m_dir;
    std::unique_ptr<RecordedWindow> m_window;
    MessageCapture m_messages;
};

void TestStartup::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestStartup::init()
{
    // The settings file is a relative name: each test gets a working directory of its own.
    m_dir = std::make_unique<ScratchFolder>();
    QVERIFY(m_dir->isValid());
    QVERIFY(m_dir->isCurrent());
    m_messages.clear();
}

void TestStartup::cleanup()
{
    m_window.reset();
    m_dir.reset();
}

MainWindow &TestStartup::start(const QStringList &arguments)
{
    m_window.reset();
    m_window = std::make_unique<RecordedWindow>(arguments);
    m_window->window().show();
    return m_window->window();
}

void TestStartup::clickMain(const char *name)
{
    auto *button = mainControl<QPushButton>(name);
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);
}

void TestStartup::clickEditor(const char *name)
{
    QVERIFY(m_window->window().settingsEditor());
    auto *button = m_window->window().settingsEditor()->findChild<QPushButton *>(QLatin1String(name));
    QVERIFY(button);
    QVERIFY(button->isVisible());
    QTest::mouseClick(button, Qt::LeftButton);
}

void TestStartup::writeSettings(const QByteArray &bytes)
{
    QFile file(QStringLiteral("base2.cfg"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray TestStartup::settingsBytes()
{
    QFile file(QStringLiteral("base2.cfg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
    QTest::newRow("spaces and quotes kept")
        << true
        << QStringList{QStringLiteral("\"C:\\Le mie pagine\\q.htm\""), QStringLiteral("a  b"), QStringLiteral("'x'")}
        << QStringLiteral("\"C:\\Le mie pagine\\q.htm\" a  b 'x'");
}

void TestStartup::upperPaneOpensArgumentOrStartPageAndLowerPaneTheInfoPage()
{
    QFETCH(bool, withFile);
    QFETCH(QStringList, arguments);
    QFETCH(QString, upperTarget);
    if (withFile)
        writeSettings(crLfLines(Sample));

    MainWindow &w = start(arguments);

    QCOMPARE(pane(0)->navigations(), QStringList{upperTarget});
    QCOMPARE(pane(1)->navigations(), QStringList{Maker::infoPage()});
    for (RecordingPane *p : {pane(0), pane(1)}) {
        const qsizetype silent = p->calls.indexOf(QStringLiteral("Silent:1"));
        QVERIFY2(silent >= 0 && silent < p->calls.indexOf(QStringLiteral("Navigate:") + p->navigations().value(0)),
                 qPrintable(p->calls.join(QLatin1Char('|'))));
    }
    QCOMPARE(w.settingsEditor() != nullptr, withFile);
    // The start page is loaded even when the argument wins; "Home" uses it later.
    QCOMPARE(w.settings().startPage, withFile ? Sample.at(12) : QString());
    QCOMPARE(QDir(w.workingFolder()).canonicalPath(), QDir(m_dir->path()).canonicalPath());
    QCOMPARE(mainControl<QLineEdit>("Text1")->text(), QStringLiteral("http://"));
    QVERIFY(m_messages.isEmpty());
}

void TestStartup::startupFillsButtonsBoxesAndVariablesFromTheFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("values");

    QTest::newRow("thirteen lines") << crLfLines(Sample) << Sample;
    QStringList three = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
    QByteArray threeBytes = crLfLines(three);
    while (three.size() < 13)
        three << QString();
    QTest::newRow("three lines") << threeBytes << three;
    QTest::newRow("empty file") << QByteArray() << QStringList(13, QString());
    QTest::newRow("last line without line end") << crLfLines(Sample).chopped(2) << Sample;
    QTest::newRow("fifteen lines") << crLfLines(Sample + QStringList{QStringLiteral("x"), QStringLiteral("y")})
                                   << Sample;
}

void TestStartup::startupFillsButtonsBoxesAndVariablesFromTheFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, values);
    writeSettings(bytes);

    MainWindow &w = start();

    QCOMPARE(variables(w), values);
    QCOMPARE(captions(w), evenValues(values));
    SettingsEditor *editor = w.settingsEditor();
    QVERIFY(editor);
    QVERIFY(!editor->isVisible());
    QCOMPARE(boxes(editor), values);
}

void TestStartup::siteButtonOnlyPutsItsAddressIntoTheAddressBox_data()
{
    QTest::addColumn<bool>("withFile");
    QTest::addColumn<int>("site");
    QTest::addColumn<QString>("address");

    for (int site = 1; site <= 6; ++site)
        QTest::addRow("site %d", site) << true << site << Sample.at(2 * site - 1);
    QTest::newRow("no file empties the box") << false << 1 << QString();
}

void TestStartup::siteButtonOnlyPutsItsAddressIntoTheAddressBox()
{
    QFETCH(bool, withFile);
    QFETCH(int, site);
    QFETCH(QString, address);
    if (withFile)
        writeSettings(crLfLines(Sample));
    start();
    const QStringList upperCalls = pane(0)->calls;
    const QStringList lowerCalls = pane(1)->calls;

    clickMain(SiteButtonNames[site - 1]);

    QCOMPARE(mainControl<QLineEdit>("Text1")->text(), address);
    QCOMPARE(pane(0)->calls, upperCalls);
    QCOMPARE(pane(1)->calls, lowerCalls);
}

void TestStartup::configuraShowsThenHidesTheEditorFilledAtStartup()
{
    writeSettings(crLfLines(Sample));
    MainWindow &w = start();
    const QPointer<SettingsEditor> editor = w.settingsEditor();
    QVERIFY(editor);
    // Start-up filled the boxes; opening the editor must not read the file again.
    writeSettings(crLfLines(QStringList(13, QStringLiteral("changed on disk"))));

    clickMain("Command4");
    QCOMPARE(w.settingsEditor(), editor.data());
    QVERIFY(editor->isVisible());
    QCOMPARE(boxes(editor), Sample);
    QVERIFY(w.isVisible());

    clickMain("Command4");
    QVERIFY(editor);
    QCOMPARE(w.settingsEditor(), editor.data());
    QVERIFY(!editor->isVisible());
}

void TestStartup::savingWritesFileAppliesToWindowAndHidesEditor()
{
    writeSettings(crLfLines(Sample));
    MainWindow &w = start();
    clickMain("Command4");
    const QStringList upperCalls = pane(0)->calls;
    const QStringList lowerCalls = pane(1)->calls;

    QStringList edited;
    for (int i = 0; i < 13; ++i) {
        edited << QStringLiteral(" nuovo %1 è ").arg(i);
        retype(box(w.settingsEditor(), i), edited.last());
    }
    clickEditor("Command2");

    QVERIFY(m_messages.isEmpty());
    QCOMPARE(settingsBytes(), crLfLines(edited));
    QCOMPARE(captions(w), evenValues(edited));
    QCOMPARE(addressVariables(w),
             (QStringList{edited[1], edited[3], edited[5], edited[7], edited[9], edited[11], edited[12]}));
    QVERIFY(!w.settingsEditor()->isVisible());
    // A saved start page opens nothing now.
    QCOMPARE(pane(0)->calls, upperCalls);
    QCOMPARE(pane(1)->calls, lowerCalls);

    clickMain("Command14");
    QCOMPARE(mainControl<QLineEdit>("Text1")->text(), edited[5]);
}

void TestStartup::withoutFileFirstConfiguraOpensEmptyEditorAndSaveSurvivesRestart()
{
    MainWindow &w = start();
    QVERIFY(!w.settingsEditor());
    QCOMPARE(captions(w), QStringList(6, QString()));

    clickMain("Command4");
    QVERIFY(w.settingsEditor());
    QVERIFY(w.settingsEditor()->isVisible());
    QCOMPARE(boxes(w.settingsEditor()), QStringList(13, QString()));

    for (int i = 0; i < 13; ++i)
        retype(box(w.settingsEditor(), i), Sample.at(i));
    clickEditor("Command2");
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(settingsBytes(), crLfLines(Sample));

    MainWindow &again = start();
    QCOMPARE(variables(again), Sample);
    QCOMPARE(captions(again), evenValues(Sample));
    QCOMPARE(boxes(again.settingsEditor()), Sample);
}

void TestStartup::cancelKeepsFileAndWindowAndReopeningKeepsUnsavedEdits()
{
    writeSettings(crLfLines(Sample));
    MainWindow &w = start();
    clickMain("Command4");
    retype(box(w.settingsEditor(), 0), QStringLiteral("Nuovo"));
    retype(box(w.settingsEditor(), 1), QStringLiteral("nuovo.example"));

    clickEditor("Command1");
    QVERIFY(!w.settingsEditor()->isVisible());
    QCOMPARE(settingsBytes(), crLfLines(Sample));
    QCOMPARE(captions(w), evenValues(Sample));
    QCOMPARE(variables(w), Sample);

    clickMain("Command4");
    QVERIFY(w.settingsEditor()->isVisible());
    QCOMPARE(box(w.settingsEditor(), 0)->text(), QStringLiteral("Nuovo"));
    QCOMPARE(box(w.settingsEditor(), 1)->text(), QStringLiteral("nuovo.example"));

    clickEditor("Command2");
    QStringList expected = Sample;
    expected[0] = QStringLiteral("Nuovo");
    expected[1] = QStringLiteral("nuovo.example");
    QCOMPARE(settingsBytes(), crLfLines(expected));
    QCOMPARE(mainControl<QPushButton>("Command3")->text(), QStringLiteral("Nuovo"));
    QCOMPARE(w.settings().sites[0].address, QStringLiteral("nuovo.example"));
}

void TestStartup::closingEditorFromTitleBarOnlyHidesIt()
{
    writeSettings(crLfLines(Sample));
    MainWindow &w = start();
    clickMain("Command4");
    const QPointer<SettingsEditor> editor = w.settingsEditor();
    retype(box(editor, 12), QStringLiteral("modificato.example"));

    QVERIFY(editor->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(editor);
    QVERIFY(!editor->isVisible());
    QCOMPARE(settingsBytes(), crLfLines(Sample));
    QCOMPARE(w.settings().startPage, Sample.at(12));

    clickMain("Command4");
    QCOMPARE(w.settingsEditor(), editor.data());
    QVERIFY(editor->isVisible());
    QCOMPARE(box(editor, 12)->text(), QStringLiteral("modificato.example"));
}

void TestStartup::failedSaveReportsInItalianAndChangesNothing()
{
    writeSettings(crLfLines(Sample));
    MainWindow &w = start();
    clickMain("Command4");
    QStringList edited = Sample;
    for (int i : {0, 1, 12}) {
        edited[i] = QStringLiteral("nuovo %1").arg(i);
        retype(box(w.settingsEditor(), i), edited[i]);
    }
    // Root writes through any permission bits; a folder in the file's place stops it.
    QVERIFY(QFile::remove(QStringLiteral("base2.cfg")));
    QVERIFY(QDir().mkdir(QStringLiteral("base2.cfg")));

    clickEditor("Command2");

    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.at(0).icon, QMessageBox::Warning);
    QCOMPARE(m_messages.at(0).title, QStringLiteral("Configurazione"));
    QVERIFY2(m_messages.at(0).text.startsWith(QStringLiteral("Impossibile salvare le impostazioni")),
             qPrintable(m_messages.at(0).text));
    QVERIFY(m_messages.at(0).text.contains(QStringLiteral("base2.cfg")));
    QVERIFY(QFileInfo(QStringLiteral("base2.cfg")).isDir());
    QCOMPARE(variables(w), Sample);
    QCOMPARE(captions(w), evenValues(Sample));
    QVERIFY(w.settingsEditor()->isVisible());
    QCOMPARE(boxes(w.settingsEditor()), edited);

    // The edits kept in the editor can be saved once the way is clear.
    QVERIFY(QDir().rmdir(QStringLiteral("base2.cfg")));
    clickEditor("Command2");
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(settingsBytes(), crLfLines(edited));
    QCOMPARE(mainControl<QPushButton>("Command3")->text(), edited[0]);
    QVERIFY(!w.settingsEditor()->isVisible());
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
        writeSettings(crLfLines(Sample));
    MainWindow &w = start();
    for (int i = 0; i < configuraClicks; ++i)
        clickMain("Command4");
    const QPointer<SettingsEditor> editor = w.settingsEditor();

    QVERIFY(w.close());

    QVERIFY(!editor || !editor->isVisible());
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows)
        QVERIFY2(!window->isVisible(), qPrintable(window->objectName()));
    QVERIFY(m_messages.isEmpty());
}

void TestStartup::instructionTextKeepsDoubledBlanksAndEndsWithMakersSite()
{
    MainWindow &w = start();
    clickMain("Command4");
    SettingsEditor *editor = w.settingsEditor();
    QCOMPARE(editor->windowTitle(), QStringLiteral("Configurazione"));
    const QString text = editor->findChild<QLabel *>(QStringLiteral("Label4"))->text();

    QVERIFY(text.startsWith(QStringLiteral("Inserire nella prima colonna il nome del sito come lo si vuole "
                                           "visualizzare sul tasto 8 caratteri Max. ")));
    QVERIFY(text.contains(QStringLiteral("seconda finestra Browser.  L'indirizzo di default  della  prima  "
                                         "finestra Browser non si può cambiare ed è \"")));
    QVERIFY(text.endsWith(QStringLiteral("ed è \"") + Maker::webSite() + QLatin1Char('"')));
    QCOMPARE(editor->findChild<QLabel *>(QStringLiteral("Label3"))->text(), QStringLiteral("Indirizzo pagina iniziale "));
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
