#include <memory>

#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "calculator/Calculator.h"
#include "common/Controls.h"
#include "common/Maker.h"
#include "favorites/FavoritesFile.h"
#include "favorites/Launchers.h"
#include "favorites/ProcessStarter.h"
#include "support/MessageCapture.h"
#include "support/RecordedWindow.h"
#include "support/ScratchFolder.h"

// "+P", the launchers, the calculator icon and the About message in the window, with a
// recording process starter and programs put on a PATH the test controls.
class TestLaunchersWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void plusPWritesEachPanesOwnPageInPressOrder();
    void plusPWithAFolderAsFavoritesFileIsSilent();
    void editGetsTheAddressBoxAsOneArgument_data();
    void editGetsTheAddressBoxAsOneArgument();
    void missingProgramsAreSilent();
    void nuovaStartsThisProgramOnTheUpperPage();
    void clockLabelStartsTheSiblingToolBesideOrOnPath();
    void aboutHasFiveLinesSeparatedByCarriageReturns();
    void calculatorIconOpensOneCalculatorWithAShortBorder();
    void closingTheMainWindowClosesTheCalculator();

private:
    template<typename T>
    T *find(const char *name) const { return m_recorded->find<T>(name); }
    void putOnPath(const QString &program);
    QByteArray favorites() const;

    std::unique_ptr<ScratchFolder> m_dir;
    std::unique_ptr<QTemporaryDir> m_bin;
    QByteArray m_oldPath;
    std::unique_ptr<RecordingProcessStarter> m_starter;
    std::unique_ptr<RecordedWindow> m_recorded;
    Form1 *m_window = nullptr;
    MessageCapture m_boxes;
};

void TestLaunchersWindow::init()
{
    m_bin = std::make_unique<QTemporaryDir>();
    m_oldPath = qgetenv("PATH");
    qputenv("PATH", m_bin->path().toLocal8Bit());
    m_dir = std::make_unique<ScratchFolder>();
    m_starter = std::make_unique<RecordingProcessStarter>();
    m_recorded = std::make_unique<RecordedWindow>();
    m_window = &m_recorded->window();
    m_window->setProcessStarter(m_starter.get());
    m_boxes.clear();
}

void TestLaunchersWindow::cleanup()
{
    m_recorded.reset();
    m_starter.reset();
    m_dir.reset();
    qputenv("PATH", m_oldPath);
    m_bin.reset();
}

void TestLaunchersWindow::putOnPath(const QString &program)
{
    QFile file(QDir(m_bin->path()).filePath(program));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\nexit 0\n");
    file.close();
    QVERIFY(file.setPermissions(file.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser));
}

QByteArray TestLaunchersWindow::favorites() const
{
    QFile file(FavoritesFile::fileName());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestLaunchersWindow::plusPWritesEachPanesOwnPageInPressOrder()
{
    m_recorded->upper()->setLocation(QStringLiteral("http://upper.example/"), QStringLiteral("Upper"));
    m_recorded->lower()->setLocation(QStringLiteral("http://lower.example/"), QStringLiteral("Lower <b>"));
    QTest::mouseClick(find<QPushButton>("Command15"), Qt::LeftButton);
    QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton);
    QCOMPARE(favorites(), QByteArray("<a href=http://lower.example/>Lower &lt;b&gt;</a></font></p>\r\n"
                                     "<a href=http://upper.example/>Upper</a></font></p>\r\n"));
    QVERIFY(m_boxes.isEmpty());
}

void TestLaunchersWindow::plusPWithAFolderAsFavoritesFileIsSilent()
{
    QVERIFY(QDir().mkdir(FavoritesFile::fileName()));
    QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton);
    QVERIFY(QFileInfo(FavoritesFile::fileName()).isDir());
    QVERIFY(m_boxes.isEmpty());
}

void TestLaunchersWindow::editGetsTheAddressBoxAsOneArgument_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("favorites path") << QDir::toNativeSeparators(QStringLiteral("/home/u/Preferiti.htm"));
    QTest::newRow("web address") << "http://borsa.example/";
    QTest::newRow("shell syntax") << "a b \"c\" 'd'; $(touch pwned) `id` & | >x";
}

void TestLaunchersWindow::editGetsTheAddressBoxAsOneArgument()
{
    QFETCH(QString, text);
    putOnPath(QStringLiteral("mousepad"));
    find<QLineEdit>("Text1")->setText(text);
    QTest::mouseClick(find<QPushButton>("Command25"), Qt::LeftButton);
    QCOMPARE(m_starter->starts.size(), 1);
    QCOMPARE(QFileInfo(m_starter->starts.at(0).program).fileName(), QStringLiteral("mousepad"));
    QCOMPARE(m_starter->starts.at(0).arguments, QStringList{text});
    QVERIFY(!QFile::exists(QStringLiteral("pwned")));
}

void TestLaunchersWindow::missingProgramsAreSilent()
{
    QTest::mouseClick(find<QPushButton>("Command25"), Qt::LeftButton);
    QTest::mouseClick(find<ClickLabel>("Label1"), Qt::LeftButton);
    QVERIFY(m_starter->starts.isEmpty());
    QVERIFY(m_boxes.isEmpty());

    // A program that is found but fails to start is just as quiet.
    m_starter->succeed = false;
    QTest::mouseClick(find<QPushButton>("Command12"), Qt::LeftButton);
    QCOMPARE(m_starter->starts.size(), 1);
    QVERIFY(m_boxes.isEmpty());
}

void TestLaunchersWindow::nuovaStartsThisProgramOnTheUpperPage()
{
    const QString address = QStringLiteral("http://q.example/a b?x=\"1\"&y=$(id)");
    m_recorded->upper()->setLocation(address, QStringLiteral("t"));
    QTest::mouseClick(find<QPushButton>("Command12"), Qt::LeftButton);
    QCOMPARE(m_window->Nuovo, address);
    QCOMPARE(m_starter->starts.size(), 1);
    QCOMPARE(m_starter->starts.at(0).program, QCoreApplication::applicationFilePath());
    QCOMPARE(m_starter->starts.at(0).arguments, QStringList{address});
    QCOMPARE(m_starter->starts.at(0).workingDirectory, QDir::currentPath());
}

void TestLaunchersWindow::clockLabelStartsTheSiblingToolBesideOrOnPath()
{
    putOnPath(QStringLiteral("varitool"));
    QTest::mouseClick(find<ClickLabel>("Label1"), Qt::LeftButton);
    QCOMPARE(m_starter->starts.size(), 1);
    QCOMPARE(QFileInfo(m_starter->starts.at(0).program).fileName(), QStringLiteral("varitool"));
    QVERIFY(m_starter->starts.at(0).arguments.isEmpty());
}

void TestLaunchersWindow::aboutHasFiveLinesSeparatedByCarriageReturns()
{
    const QString text = Launchers::aboutText();
    QVERIFY(!text.contains(QLatin1Char('\n')));
    const QStringList lines = text.split(QLatin1Char('\r'));
    QCOMPARE(lines.size(), 5);
    QVERIFY(lines.at(2).isEmpty());
    QCOMPARE(lines.at(3), QStringLiteral("E-Mail = ") + Maker::email());
    QCOMPARE(lines.at(4), Maker::webSite());

    QTest::mouseClick(find<ClickLabel>("Image5"), Qt::LeftButton);
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes.at(0).title, QStringLiteral("Quovadex"));
    QCOMPARE(m_boxes.at(0).icon, QMessageBox::Question);
    QCOMPARE(m_boxes.at(0).text.split(QLatin1Char('\n')).size(), 5);
}

void TestLaunchersWindow::calculatorIconOpensOneCalculatorWithAShortBorder()
{
    auto *icon = find<ClickLabel>("Image6");
    QCOMPARE(icon->toolTip(), QStringLiteral("Euro Calcolatore"));
    QVERIFY(!m_window->calculator());
    QTest::mouseClick(icon, Qt::LeftButton);
    QCOMPARE(icon->borderStyle(), 1);
    Calculator *first = m_window->calculator();
    QVERIFY(first && first->isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(icon->borderStyle(), 0, 5000);
    QVERIFY(!m_window->findChild<QTimer *>(QStringLiteral("Timer4"))->isActive());

    QTest::mouseClick(first->findChild<QPushButton *>(QStringLiteral("Number(7)")), Qt::LeftButton);
    QTest::mouseClick(icon, Qt::LeftButton);
    QCOMPARE(m_window->calculator(), first);
    QVERIFY(first->engine().readout().startsWith(QLatin1Char('7')));

    // Its picture opens the maker's site in the user's browser.
    QTest::mouseClick(first->findChild<QWidget *>(QStringLiteral("Image1")), Qt::LeftButton);
    QCOMPARE(m_starter->openedUrls, QList<QUrl>{QUrl(Maker::webSite())});
}

void TestLaunchersWindow::closingTheMainWindowClosesTheCalculator()
{
    m_window->show();
    m_window->Image6_Click();
    QVERIFY(m_window->calculator()->isVisible());
    m_window->close();
    QVERIFY(!m_window->calculator());
}

QTEST_MAIN(TestLaunchersWindow)
#include "tst_launchers_window.moc"
