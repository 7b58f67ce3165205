#include <csignal>
#include <memory>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include "favorites/FavoritesFile.h"
#include "support/Files.h"
#include "support/WindowScene.h"

// "+P" where the favorites file cannot take the line: a folder in its place, a read-only
// file or folder, a full disk. Each press leaves the file exactly as it was (never half a
// line), shows nothing, and the next press after the cause is gone adds one whole line.
//
// Root ignores permission bits, so as root the read-only cases use a read-only bind mount
// and the full disk a 16 KiB tmpfs, in a mount namespace private to this process. Without
// that privilege the permission bits do the read-only cases, and a file size limit
// (RLIMIT_FSIZE) stands in for the full disk.

namespace {

const QString PageAddress = QStringLiteral("http://quote.example/titoli?id=1");
const QString PageTitle = QStringLiteral("Quotazioni in tempo reale");

// Own mount namespace, so that nothing mounted here is seen outside this process, and
// mounts vanish with it even if the test dies.
bool enterPrivateMountNamespace(QString *why)
{
    if (::geteuid() != 0) {
        *why = QStringLiteral("not root");
        return false;
    }
    if (::unshare(CLONE_NEWNS) != 0) {
        *why = QStringLiteral("unshare(CLONE_NEWNS): %1").arg(qt_error_string(errno));
        return false;
    }
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        *why = QStringLiteral("making mounts private: %1").arg(qt_error_string(errno));
        return false;
    }
    return true;
}

} // namespace

class TestHostileFavorites : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void folderInThePlaceOfTheFile();
    void readOnlyFileOrFolder_data();
    void readOnlyFileOrFolder();
    void fullDiskTakesNoPartOfTheLine();
    void fileSizeLimitTakesNoPartOfTheLine();

private:
    // Starts the window in work(), with the upper pane showing the page.
    void start();
    void pressPlusP() { leftClick(m_scene->recorded->controls().upper.favorite); }
    QString work() const { return m_scene->folder.filePath(QStringLiteral("work")); }
    QString favorites() const { return QDir(work()).filePath(FavoritesFile::fileName()); }
    QByteArray line() const { return FavoritesFile::line(PageAddress, PageTitle); }
    bool mountReadOnly(QString *why);
    void unmountWork();

    bool m_canMount = false;
    QString m_whyNoMount;
    bool m_mounted = false;
    std::unique_ptr<WindowScene> m_scene;
};

void TestHostileFavorites::initTestCase()
{
    m_canMount = enterPrivateMountNamespace(&m_whyNoMount);
}

void TestHostileFavorites::init()
{
    m_scene = std::make_unique<WindowScene>();
    QVERIFY(QDir(m_scene->folder.path()).mkdir(QStringLiteral("work")));
}

void TestHostileFavorites::cleanup()
{
    m_scene->recorded.reset();
    unmountWork();
    QFile::setPermissions(work(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_scene.reset();
}

void TestHostileFavorites::start()
{
    // The favorites file is a relative name, resolved in the working directory.
    QVERIFY(QDir::setCurrent(work()));
    m_scene->start().upper()->setLocation(PageAddress, PageTitle);
}

bool TestHostileFavorites::mountReadOnly(QString *why)
{
    const QByteArray target = QFile::encodeName(work());
    if (::mount(target.constData(), target.constData(), nullptr, MS_BIND, nullptr) != 0) {
        *why = QStringLiteral("bind mount: %1").arg(qt_error_string(errno));
        return false;
    }
    m_mounted = true;
    if (::mount(nullptr, target.constData(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
        *why = QStringLiteral("read-only remount: %1").arg(qt_error_string(errno));
        return false;
    }
    return true;
}

void TestHostileFavorites::unmountWork()
{
    if (m_mounted && m_scene) {
        // A working directory inside the mount keeps the mount alive after a lazy unmount:
        // step out, unmount, and come back to the folder underneath.
        const bool wasInside = QDir::currentPath() == work();
        QDir::setCurrent(m_scene->folder.path());
        ::umount2(QFile::encodeName(work()).constData(), MNT_DETACH);
        if (wasInside)
            QDir::setCurrent(work());
    }
    m_mounted = false;
}

void TestHostileFavorites::folderInThePlaceOfTheFile()
{
    QVERIFY(QDir(work()).mkdir(FavoritesFile::fileName()));
    QVERIFY(writeFile(favorites() + QStringLiteral("/inside.htm"), "kept"));
    start();

    pressPlusP();
    pressPlusP();

    QVERIFY(QFileInfo(favorites()).isDir());
    QCOMPARE(QDir(favorites()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("inside.htm")});
    QCOMPARE(readFile(favorites() + QStringLiteral("/inside.htm")), QByteArray("kept"));
    QVERIFY(m_scene->messages.isEmpty());

    QVERIFY(QDir(favorites()).removeRecursively());
    pressPlusP();
    QCOMPARE(readFile(favorites()), line());
}

void TestHostileFavorites::readOnlyFileOrFolder_data()
{
    QTest::addColumn<bool>("fileExists");
    QTest::newRow("read-only file") << true;
    QTest::newRow("read-only folder") << false;
}

void TestHostileFavorites::readOnlyFileOrFolder()
{
    QFETCH(bool, fileExists);
    const QByteArray old = fileExists ? QByteArray("<html><body>mie pagine\r\n") : QByteArray();
    if (fileExists)
        QVERIFY(writeFile(favorites(), old));
    const QString readOnly = fileExists ? favorites() : work();
    if (::geteuid() == 0) {
        if (!m_canMount)
            QSKIP(qPrintable(QStringLiteral("no read-only mount as root: ") + m_whyNoMount));
        QString why;
        QVERIFY2(mountReadOnly(&why), qPrintable(why));
    } else {
        QVERIFY(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ExeOwner));
    }
    start();

    pressPlusP();

    if (fileExists)
        QCOMPARE(readFile(favorites()), old);
    else
        QVERIFY(!QFileInfo::exists(favorites()));
    QVERIFY(m_scene->messages.isEmpty());

    unmountWork();
    QVERIFY(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    pressPlusP();
    QCOMPARE(readFile(favorites()), old + line());
}

void TestHostileFavorites::fullDiskTakesNoPartOfTheLine()
{
    if (!m_canMount)
        QSKIP(qPrintable(QStringLiteral("no tmpfs can be mounted: ") + m_whyNoMount));
    const QByteArray target = QFile::encodeName(work());
    QVERIFY2(::mount("tmpfs", target.constData(), "tmpfs", 0, "size=16k") == 0, qPrintable(qt_error_string(errno)));
    m_mounted = true;

    // The file ends 20 bytes before a page boundary, so the line needs a new page of the
    // file system: its first 20 bytes fit, the rest does not.
    const qint64 page = ::sysconf(_SC_PAGESIZE);
    QByteArray old = "<html><body>\r\n";
    old += QByteArray(page - 20 - old.size(), 'p');
    QVERIFY(writeFile(favorites(), old));
    QVERIFY(line().size() > 20);
    {
        // Fill every page left.
        QFile filler(QDir(work()).filePath(QStringLiteral("filler")));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(page, 'f');
        int blocks = 0;
        while (filler.write(block) == block.size() && ++blocks < 64) {
        }
        QVERIFY2(blocks < 64, "the tmpfs never filled up");
    }
    start();

    pressPlusP();

    QCOMPARE(readFile(favorites()).size(), old.size());
    QCOMPARE(readFile(favorites()), old);
    QVERIFY(m_scene->messages.isEmpty());

    QVERIFY(QFile::remove(QDir(work()).filePath(QStringLiteral("filler"))));
    pressPlusP();
    QCOMPARE(readFile(favorites()), old + line());
}

void TestHostileFavorites::fileSizeLimitTakesNoPartOfTheLine()
{
    const QByteArray old = "<html><body>\r\n<a href=x>x</a></font></p>\r\n";
    QVERIFY(writeFile(favorites(), old));
    start();

    rlimit saved{};
    QVERIFY(::getrlimit(RLIMIT_FSIZE, &saved) == 0);
    if (saved.rlim_max != RLIM_INFINITY && saved.rlim_max < rlim_t(old.size() + 20))
        QSKIP("the hard file size limit is already below the test file");
    // Past the limit a write is cut short and then fails with EFBIG instead of raising
    // SIGXFSZ, which would end the process.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = rlim_t(old.size() + 20);
    QVERIFY(::setrlimit(RLIMIT_FSIZE, &limited) == 0);

    pressPlusP();

    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    QCOMPARE(readFile(favorites()), old);
    QVERIFY(m_scene->messages.isEmpty());

    pressPlusP();
    QCOMPARE(readFile(favorites()), old + line());
}

QTEST_MAIN(TestHostileFavorites)
#include "tst_hostile_favorites.moc"
