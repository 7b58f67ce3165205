#include <memory>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "favorites/FavoritesFile.h"
#include "support/Files.h"

class TestFavoritesFile : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void linkLineIsExactAndEscapesMarkupAndAttributeBreakers_data();
    void linkLineIsExactAndEscapesMarkupAndAttributeBreakers();
    void missingFileIsCreatedWithOneLine();
    void additionsKeepPressOrderAndJoinAnUnfinishedLastLine();
    void folderInThePlaceOfTheFileChangesNothing();

private:
    QString path() const { return m_dir->filePath(FavoritesFile::fileName()); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestFavoritesFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestFavoritesFile::linkLineIsExactAndEscapesMarkupAndAttributeBreakers_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("web page") << "http://borsa.example/quote?id=3&x=1" << "Borsa - titoli"
                              << QByteArray("<a href=http://borsa.example/quote?id=3&x=1>Borsa - titoli</a></font></p>\r\n");
    QTest::newRow("empty title") << "file:///home/u/a.htm" << ""
                                 << QByteArray("<a href=file:///home/u/a.htm></a></font></p>\r\n");
    QTest::newRow("accented title") << "http://q.example/" << "Quotazioni \u00e8"
                                    << QByteArray("<a href=http://q.example/>Quotazioni \xc3\xa8</a></font></p>\r\n");
    QTest::newRow("script in title") << "http://evil.example/" << "<script>alert(1)</script>"
                                     << QByteArray("<a href=http://evil.example/>&lt;script&gt;alert(1)&lt;/script&gt;</a></font></p>\r\n");
    QTest::newRow("ampersand in title") << "http://a.example/" << "AT&T"
                                        << QByteArray("<a href=http://a.example/>AT&amp;T</a></font></p>\r\n");
    QTest::newRow("address ends the attribute") << "http://a.example/x onmouseover=alert(1)" << "t"
                                                << QByteArray("<a href=http://a.example/x%20onmouseover=alert(1)>t</a></font></p>\r\n");
    QTest::newRow("login in the address") << "https://mario:s3gr@to@banca.example:8443/conto?u=a@b#x" << "t"
                                          << QByteArray("<a href=https://banca.example:8443/conto?u=a@b#x>t</a></font></p>\r\n");
    QTest::newRow("address ends the tag") << "http://a.example/\"><script>x</script>`'" << "t"
                                          << QByteArray("<a href=http://a.example/%22%3E%3Cscript%3Ex%3C/script%3E%60%27>t</a></font></p>\r\n");
    QTest::newRow("control characters in the address") << "http://a.example/a\tb\rc\nd\fe" << "t"
                                                       << QByteArray("<a href=http://a.example/a%09b%0Dc%0Ad%0Ce>t</a></font></p>\r\n");
}

void TestFavoritesFile::linkLineIsExactAndEscapesMarkupAndAttributeBreakers()
{
    QFETCH(QString, address);
    QFETCH(QString, title);
    QFETCH(QByteArray, line);
    QCOMPARE(FavoritesFile::line(address, title), line);
}

void TestFavoritesFile::missingFileIsCreatedWithOneLine()
{
    QVERIFY(FavoritesFile::append(path(), FavoritesFile::line(QStringLiteral("http://a.example/"), QStringLiteral("A"))));
    QCOMPARE(readFile(path()), QByteArray("<a href=http://a.example/>A</a></font></p>\r\n"));
}

void TestFavoritesFile::additionsKeepPressOrderAndJoinAnUnfinishedLastLine()
{
    QVERIFY(writeFile(path(), "<html><body>my links"));
    QVERIFY(FavoritesFile::append(path(), FavoritesFile::line(QStringLiteral("u1"), QStringLiteral("one"))));
    QVERIFY(FavoritesFile::append(path(), FavoritesFile::line(QStringLiteral("u1"), QStringLiteral("one"))));
    QVERIFY(FavoritesFile::append(path(), FavoritesFile::line(QStringLiteral("u2"), QStringLiteral("two"))));
    QCOMPARE(readFile(path()), QByteArray("<html><body>my links<a href=u1>one</a></font></p>\r\n"
                                    "<a href=u1>one</a></font></p>\r\n"
                                    "<a href=u2>two</a></font></p>\r\n"));
}

void TestFavoritesFile::folderInThePlaceOfTheFileChangesNothing()
{
    QVERIFY(QDir().mkdir(path()));
    QVERIFY(!FavoritesFile::append(path(), FavoritesFile::line(QStringLiteral("u"), QStringLiteral("t"))));
    QVERIFY(QFileInfo(path()).isDir());
    QVERIFY(QDir(path()).isEmpty());
}

QTEST_APPLESS_MAIN(TestFavoritesFile)
#include "tst_favoritesfile.moc"
