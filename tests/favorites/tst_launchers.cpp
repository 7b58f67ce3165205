#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "calculator/Calculator.h"
#include "common/Controls.h"
#include "common/Maker.h"
#include "favorites/CalculatorLauncher.h"
#include "favorites/FavoritesButton.h"
#include "favorites/FavoritesFile.h"
#include "favorites/Launchers.h"
#include "favorites/ProgramLaunchers.h"
#include "support/Clicks.h"
#include "support/Files.h"
#include "support/MessageCapture.h"
#include "support/PartHost.h"
#include "support/RecordingProcessStarter.h"

namespace {

// The launchers on bare controls, with a recording process starter, programs put on a PATH
// the test controls, and every message box written down.
struct Launch
{
    QTemporaryDir bin;
    const QByteArray oldPath = qgetenv("PATH");
    const bool pathSet = qputenv("PATH", bin.path().toLocal8Bit());
    QTemporaryDir folder;
    RecordingProcessStarter starter;
    MessageCapture boxes;
    PartHost host;
    RecordingPane &upper = host.addPane();
    QPushButton &edit = host.add<QPushButton>("Edit");
    QPushButton &newWindow = host.add<QPushButton>("Nuova");
    ClickLabel &clock = host.add<ClickLabel>();
    ProgramLaunchers launchers{{&edit, &newWindow, &clock}, upper, starter, folder.path()};

    ~Launch() { qputenv("PATH", oldPath); }
    QString favoritesPath() const { return QDir(folder.path()).filePath(FavoritesFile::fileName()); }
    void putOnPath(const QString &program)
    {
        const QString path = QDir(bin.path()).filePath(program);
        QVERIFY(writeFile(path, "#!/bin/sh\nexit 0\n"));
        QVERIFY(QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner | QFileDevice::ExeUser));
    }
};

} // namespace

class TestLaunchers : public QObject
{
    Q_OBJECT
private slots:
    void plusPWritesEachPanesOwnPageInPressOrder();
    void editGetsTheAddressBoxAsOneArgument_data();
    void editGetsTheAddressBoxAsOneArgument();
    void missingProgramsAreSilent();
    void nuovaAsksForAWindowOnTheUpperPageAndStartsNothing();
    void clockLabelStartsTheSiblingToolBesideOrOnPath();
    void aboutHasFiveLinesSeparatedByCarriageReturns();
    void calculatorIconOpensOneCalculatorWithAShortBorderUntilClosed();
};

void TestLaunchers::plusPWritesEachPanesOwnPageInPressOrder()
{
    Launch launch;
    RecordingPane &lower = launch.host.addPane();
    launch.upper.setLocation(QStringLiteral("http://upper.example/"), QStringLiteral("Upper"));
    lower.setLocation(QStringLiteral("http://lower.example/"), QStringLiteral("Lower <b>"));
    auto &upperPlus = launch.host.add<QPushButton>("+P");
    auto &lowerPlus = launch.host.add<QPushButton>("+P");
    FavoritesButton upperFavorite(upperPlus, launch.upper, launch.folder.path());
    FavoritesButton lowerFavorite(lowerPlus, lower, launch.folder.path());
    QTest::mouseClick(&lowerPlus, Qt::LeftButton);
    QTest::mouseClick(&upperPlus, Qt::LeftButton);
    QCOMPARE(readFile(launch.favoritesPath()), QByteArray("<a href=http://lower.example/>Lower &lt;b&gt;</a></font></p>\r\n"
                                        "<a href=http://upper.example/>Upper</a></font></p>\r\n"));
    QVERIFY(launch.boxes.isEmpty());
}

void TestLaunchers::editGetsTheAddressBoxAsOneArgument_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("favorites path") << QDir::toNativeSeparators(QStringLiteral("/home/u/Preferiti.htm"));
    QTest::newRow("web address") << "http://borsa.example/";
    QTest::newRow("shell syntax") << "a b \"c\" 'd'; $(touch pwned) `id` & | >x";
}

void TestLaunchers::editGetsTheAddressBoxAsOneArgument()
{
    QFETCH(QString, text);
    Launch launch;
    launch.putOnPath(QStringLiteral("mousepad"));
    launch.launchers.setAddress(text);
    QTest::mouseClick(&launch.edit, Qt::LeftButton);
    QCOMPARE(launch.starter.starts.size(), 1);
    QCOMPARE(QFileInfo(launch.starter.starts.at(0).program).fileName(), QStringLiteral("mousepad"));
    QCOMPARE(launch.starter.starts.at(0).arguments, QStringList{text});
    QVERIFY(!QFile::exists(QDir(launch.folder.path()).filePath(QStringLiteral("pwned"))));
}

void TestLaunchers::missingProgramsAreSilent()
{
    Launch launch;
    QTest::mouseClick(&launch.edit, Qt::LeftButton);
    QTest::mouseClick(&launch.clock, Qt::LeftButton);
    QVERIFY(launch.starter.starts.isEmpty());
    QVERIFY(launch.boxes.isEmpty());

    // A program that is found but fails to start is just as quiet.
    launch.putOnPath(QStringLiteral("varitool"));
    launch.starter.succeed = false;
    QTest::mouseClick(&launch.clock, Qt::LeftButton);
    QCOMPARE(launch.starter.starts.size(), 1);
    QVERIFY(launch.boxes.isEmpty());
}

void TestLaunchers::nuovaAsksForAWindowOnTheUpperPageAndStartsNothing()
{
    Launch launch;
    const QString address = QStringLiteral("http://q.example/a b?x=\"1\"&y=$(id)");
    launch.upper.setLocation(address, QStringLiteral("t"));
    QSignalSpy asked(&launch.launchers, &ProgramLaunchers::newWindowAsked);
    QTest::mouseClick(&launch.newWindow, Qt::LeftButton);
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked.at(0).at(0).toString(), address);
    QVERIFY(launch.starter.starts.isEmpty());
}

void TestLaunchers::clockLabelStartsTheSiblingToolBesideOrOnPath()
{
    Launch launch;
    launch.putOnPath(QStringLiteral("varitool"));
    QTest::mouseClick(&launch.clock, Qt::LeftButton);
    QCOMPARE(launch.starter.starts.size(), 1);
    QCOMPARE(QFileInfo(launch.starter.starts.at(0).program).fileName(), QStringLiteral("varitool"));
    QVERIFY(launch.starter.starts.at(0).arguments.isEmpty());
}

void TestLaunchers::aboutHasFiveLinesSeparatedByCarriageReturns()
{
    Launch launch;
    const QString text = Launchers::aboutText();
    QVERIFY(!text.contains(QLatin1Char('\n')));
    const QStringList lines = text.split(QLatin1Char('\r'));
    QCOMPARE(lines.size(), 5);
    QVERIFY(lines.at(2).isEmpty());
    QCOMPARE(lines.at(3), QStringLiteral("E-Mail = ") + Maker::email());
    QCOMPARE(lines.at(4), Maker::webSite());

    Launchers::showAbout(&launch.host.window());
    QCOMPARE(launch.boxes.size(), 1);
    QCOMPARE(launch.boxes.at(0).title, QStringLiteral("Quovadex"));
    QCOMPARE(launch.boxes.at(0).icon, QMessageBox::Question);
    QCOMPARE(launch.boxes.at(0).text.split(QLatin1Char('\n')).size(), 5);
}

void TestLaunchers::calculatorIconOpensOneCalculatorWithAShortBorderUntilClosed()
{
    Launch launch;
    auto &icon = launch.host.add<ClickLabel>();
    CalculatorLauncher launcher(icon, launch.starter);
    QVERIFY(!launcher.calculator());
    QTest::mouseClick(&icon, Qt::LeftButton);
    QCOMPARE(icon.borderStyle(), 1);
    QPointer<Calculator> first = launcher.calculator();
    QVERIFY(first && first->isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(icon.borderStyle(), 0, 5000);
    QVERIFY(!launcher.calculatorTimer().isActive());

    QTest::mouseClick(namedChild<QPushButton>(first, QStringLiteral("Number(7)")), Qt::LeftButton);
    QTest::mouseClick(&icon, Qt::LeftButton);
    QCOMPARE(launcher.calculator(), first.data());
    QVERIFY(first->engine().readout().startsWith(QLatin1Char('7')));

    // Its picture opens the maker's site in the user's browser.
    QTest::mouseClick(first->controls().picture, Qt::LeftButton);
    QCOMPARE(launch.starter.openedUrls, QList<QUrl>{QUrl(Maker::webSite())});

    launcher.close();
    QVERIFY(!launcher.calculator());
    QVERIFY(first.isNull());
}

QTEST_MAIN(TestLaunchers)
#include "tst_launchers.moc"
