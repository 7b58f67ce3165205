#include <memory>

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "core/SettingsFile.h"
#include "support/Files.h"

namespace {

QStringList thirteen(const QStringList &first)
{
    QStringList values = first;
    while (values.size() < SiteSettings::LineCount)
        values << QString();
    return values;
}

} // namespace

class TestSettingsFile : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void saveThenReadRestoresEveryValueVerbatim()
    {
        const QStringList values = {
            QStringLiteral("  Borsa "), QStringLiteral(" http://www.borsa.example/quote?a=1&b=2  "),
            QStringLiteral("Caffè"), QStringLiteral("https://città.example/€"),
            QStringLiteral("\tTab"), QString(),
            QStringLiteral("Più di otto caratteri"), QStringLiteral("C:\\Quote\\pagina.htm"),
            QStringLiteral("\"q\""), QStringLiteral("naïve ß ø"),
            QStringLiteral(" "), QStringLiteral("x"),
            QStringLiteral("  start.example  "),
        };

        QString error;
        QVERIFY2(SettingsFile::write(path(), values, &error), qPrintable(error));
        QCOMPARE(SettingsFile::read(path()), values);
    }

    void saveAlwaysWritesThirteenCrLfLines_data()
    {
        QTest::addColumn<QByteArray>("old");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QByteArray>("bytes");

        const QByteArray plain(500, 'o');
        QTest::newRow("all empty") << plain << QStringList() << QByteArray("\r\n").repeated(13);
        QTest::newRow("two given, rest empty")
            << plain << QStringList{QStringLiteral("a"), QStringLiteral(" b ")} << QByteArray("a\r\n b \r\n" + QByteArray("\r\n").repeated(11));
        QStringList fifteen;
        for (int i = 1; i <= 15; ++i)
            fifteen << QString::number(i);
        QByteArray first13;
        for (int i = 1; i <= 13; ++i)
            first13 += QByteArray::number(i) + "\r\n";
        QTest::newRow("extra values dropped") << plain << fifteen << first13;
        // The tests run in a UTF-8 locale.
        const QByteArray rest = QByteArray("\r\n").repeated(11);
        const QStringList accented{QStringLiteral("Caffè"), QStringLiteral("“€ 5”")};
        QTest::newRow("locale encoding") << plain << accented << QByteArray("Caff\xc3\xa8\r\n\xe2\x80\x9c\xe2\x82\xac 5\xe2\x80\x9d\r\n" + rest);
        QTest::newRow("new file") << QByteArray() << accented << QByteArray("Caff\xc3\xa8\r\n\xe2\x80\x9c\xe2\x82\xac 5\xe2\x80\x9d\r\n" + rest);
        QTest::newRow("Windows-1252 file stays Windows-1252")
            << QByteArray("Citt\xe0\r\nx\r\n") << accented << QByteArray("Caff\xe8\r\n\x93\x80 5\x94\r\n" + rest);
        QTest::newRow("Windows-1252 file, letters at the edges of its ranges")
            << QByteArray("Citt\xe0\r\n") << QStringList{QStringLiteral("\u007f\u00a0"), QStringLiteral("\u00ff")}
            << QByteArray("\x7f\xa0\r\n\xff\r\n" + rest);
        QTest::newRow("Windows-1252 file given a letter it lacks")
            << QByteArray("Citt\xe0\r\n") << QStringList{QStringLiteral("Caffè"), QStringLiteral("Ωmega")}
            << QByteArray("Caff\xc3\xa8\r\n\xce\xa9mega\r\n" + rest);
    }

    void saveAlwaysWritesThirteenCrLfLines()
    {
        QFETCH(QByteArray, old);
        QFETCH(QStringList, values);
        QFETCH(QByteArray, bytes);
        if (!old.isEmpty())
            QVERIFY(writeFile(path(), old));

        QVERIFY(SettingsFile::write(path(), values));
        QCOMPARE(readFile(path()), bytes);
    }

    void linesEndAtCrAndOnlyOneFollowingLfIsSkipped_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("values");

        QTest::newRow("LF only is one line") << QByteArray("a\nb\nc\n") << thirteen({QStringLiteral("a\nb\nc\n")});
        QTest::newRow("lone LF inside a line") << QByteArray("a\nb\r\nc") << thirteen({QStringLiteral("a\nb"), QStringLiteral("c")});
        QTest::newRow("CR only") << QByteArray("a\rb\r") << thirteen({QStringLiteral("a"), QStringLiteral("b")});
        QTest::newRow("second LF is data") << QByteArray("a\r\n\nb\r\n") << thirteen({QStringLiteral("a"), QStringLiteral("\nb")});
        QTest::newRow("CR CR LF is an empty line") << QByteArray("a\r\r\nb") << thirteen({QStringLiteral("a"), QString(), QStringLiteral("b")});
        QTest::newRow("empty lines keep their place") << QByteArray("\r\n\r\nx\r\n") << thirteen({QString(), QString(), QStringLiteral("x")});
        QTest::newRow("blanks kept") << QByteArray("  a \r\n\t\r\n") << thirteen({QStringLiteral("  a "), QStringLiteral("\t")});

        QStringList numbers;
        QByteArray withEnd;
        for (int i = 1; i <= 13; ++i) {
            numbers << QString::number(i);
            withEnd += QByteArray::number(i) + "\r\n";
        }
        QTest::newRow("last line without line end") << withEnd.chopped(2) << numbers;
        QTest::newRow("lines after the thirteenth ignored") << withEnd + "14\r\n15\r\n" << numbers;
    }
    void linesEndAtCrAndOnlyOneFollowingLfIsSkipped()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, values);
        QVERIFY(writeFile(path(), bytes));

        QCOMPARE(SettingsFile::read(path()), values);
    }

    void fileThatCannotBeReadGivesThirteenEmptyValues_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing") << QStringLiteral("missing");
        QTest::newRow("folder in its place") << QStringLiteral("folder");
    }
    void fileThatCannotBeReadGivesThirteenEmptyValues()
    {
        QFETCH(QString, kind);
        if (kind == QLatin1String("folder")) {
            QVERIFY(QDir(m_dir->path()).mkdir(SettingsFile::fileName()));
            QVERIFY(writeFile(path() + QStringLiteral("/inside"), "a\r\nb\r\n"));
        }

        QCOMPARE(SettingsFile::read(path()), thirteen({}));
    }

    void longFileIsCutAfterThirteenLinesEvenAcrossReadChunks()
    {
        // Lines longer than any read buffer, so line ends fall in later chunks.
        QStringList expected;
        QByteArray bytes;
        for (int i = 0; i < 20; ++i) {
            const QByteArray line = QByteArray(10000 + i, char('a' + i));
            if (i < 13)
                expected << QString::fromLatin1(line);
            bytes += line + "\r\n";
        }
        QVERIFY(writeFile(path(), bytes));

        QCOMPARE(SettingsFile::read(path()), expected);
    }

    void existenceTestFindsOnlyAnOrdinaryFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("found");

        QTest::newRow("ordinary file") << QStringLiteral("file") << QStringLiteral("base2.cfg");
        QTest::newRow("none") << QStringLiteral("none") << QString();
        QTest::newRow("folder named like it") << QStringLiteral("folder") << QString();
    }
    void existenceTestFindsOnlyAnOrdinaryFile()
    {
        QFETCH(QString, kind);
        QFETCH(QString, found);
        if (kind == QLatin1String("file"))
            QVERIFY(writeFile(path(), "a\r\n"));
        else if (kind == QLatin1String("folder"))
            QVERIFY(QDir(m_dir->path()).mkdir(SettingsFile::fileName()));

        QCOMPARE(SettingsFile::existenceTest(m_dir->path()), found);
    }

    void failedSaveLeavesOldFileByteForByte_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("folderInItsPlace");

        QTest::newRow("folder where the file must go") << SettingsFile::fileName() << true;
        // Root ignores permission bits, but not the length limit of a name: the old file fits,
        // the new file written beside it under a longer name does not.
        QTest::newRow("no room for the file written beside it") << QString(250, QLatin1Char('n')) << false;
    }
    void failedSaveLeavesOldFileByteForByte()
    {
        QFETCH(QString, fileName);
        QFETCH(bool, folderInItsPlace);
        const QString path = m_dir->filePath(fileName);
        const QDir dir(m_dir->path());
        // Not in the form the program writes, so any rewrite would show.
        const QByteArray old("old 1\nold 2\r\n\xe8\r");
        QString oldPath = path;
        if (folderInItsPlace) {
            QVERIFY(dir.mkdir(fileName));
            oldPath = path + QStringLiteral("/kept");
        }
        QVERIFY(writeFile(oldPath, old));
        const QStringList before = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);

        QString error;
        QVERIFY(!SettingsFile::write(path, thirteen({QStringLiteral("new")}), &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(readFile(oldPath), old);
        QCOMPARE(dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot), before);
    }

    void folderThatTakesNoNewFileIsSavedInPlace()
    {
        // A shared folder the user may not add to, with a settings file they may change. Root
        // may add anywhere, so root saves as nobody here.
        const QStringList values(13, QStringLiteral("nuovo"));
        QVERIFY(SettingsFile::write(path(), QStringList(13, QStringLiteral("vecchio"))));
        const auto readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
            | QFile::ReadOther | QFile::ExeOther;
        const auto everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup
            | QFile::ReadOther | QFile::WriteOther;
        QVERIFY(QFile::setPermissions(path(), everyone));
        QVERIFY(QFile::setPermissions(m_dir->path(), readOnly | (::geteuid() == 0 ? QFile::WriteOwner : QFile::Permissions())));
        // Real and effective user both, since permission checks ask for the real one; the
        // saved one stays root to come back.
        const bool asNobody = ::geteuid() == 0 && ::setresuid(65534, 65534, 0) == 0;
        QString error;
        const bool saved = SettingsFile::write(path(), values, &error);
        if (asNobody)
            QVERIFY(::setresuid(0, 0, 0) == 0);
        QVERIFY(QFile::setPermissions(m_dir->path(), readOnly | QFile::WriteOwner));
        QVERIFY2(saved, qPrintable(error));
        QCOMPARE(SettingsFile::read(path()), values);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{SettingsFile::fileName()});
    }

private:
    QString path() const { return m_dir->filePath(SettingsFile::fileName()); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_APPLESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
