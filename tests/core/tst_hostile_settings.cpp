#include <memory>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include "core/SettingsEditor.h"
#include "core/SettingsFile.h"
#include "support/Files.h"
#include "support/WindowScene.h"

// Settings files the program did not write: whatever is in them, reading gives the values
// the line rule yields, start-up completes with them, reading changes no byte of the file,
// and a save from the editor writes the same values back.

namespace {

constexpr qsizetype TenMegabytes = 10 * 1024 * 1024;

QStringList thirteen(QStringList values)
{
    while (values.size() < SiteSettings::LineCount)
        values << QString();
    return values;
}

// Compared by size and a few positions first: QCOMPARE on two 10 MB strings would print
// them both on failure.
bool sameValues(const QStringList &actual, const QStringList &expected, QString *why)
{
    if (actual.size() != expected.size()) {
        *why = QStringLiteral("%1 values instead of %2").arg(actual.size()).arg(expected.size());
        return false;
    }
    for (qsizetype i = 0; i < actual.size(); ++i) {
        if (actual.at(i) != expected.at(i)) {
            *why = QStringLiteral("value %1: %2 characters \"%3\" instead of %4 characters \"%5\"")
                       .arg(i + 1)
                       .arg(actual.at(i).size())
                       .arg(actual.at(i).left(40))
                       .arg(expected.at(i).size())
                       .arg(expected.at(i).left(40));
            return false;
        }
    }
    return true;
}

#define COMPARE_VALUES(actual, expected)                          \
    do {                                                          \
        QString why;                                              \
        QVERIFY2(sameValues(actual, expected, &why), qPrintable(why)); \
    } while (false)

} // namespace

class TestHostileSettings : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void readingGivesTheLineRuleValuesAndChangesNothing_data();
    void readingGivesTheLineRuleValuesAndChangesNothing();
    void startupCompletesAndEditorSavesTheSameValuesBack_data();
    void startupCompletesAndEditorSavesTheSameValuesBack();

private:
    void writeBackDated(const QByteArray &bytes);
    QString path() const { return m_scene->folder.filePath(SettingsFile::fileName()); }

    std::unique_ptr<WindowScene> m_scene;
};

void TestHostileSettings::init()
{
    m_scene = std::make_unique<WindowScene>();
    QVERIFY(m_scene->folder.isCurrent());
}

void TestHostileSettings::cleanup()
{
    m_scene.reset();
}

void TestHostileSettings::writeBackDated(const QByteArray &bytes)
{
    QVERIFY(writeFile(path(), bytes));
    QFile file(path());
    // Back-dated, so that a rewrite within the same second would still show.
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
}

void TestHostileSettings::readingGivesTheLineRuleValuesAndChangesNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("values");

    QTest::newRow("NUL bytes are letters like any other")
        << QByteArray("Bor\0sa\r\n\0\r\nwww\0.example\r\n", 24)
        << thirteen({QStringLiteral("Bor") + QChar(0) + QStringLiteral("sa"), QString(QChar(0)),
                     QStringLiteral("www") + QChar(0) + QStringLiteral(".example")});
    {
        const QByteArray line(TenMegabytes, 'x');
        QTest::newRow("10 MB line is one value, the next line still read")
            << line + "\r\nsecondo\r\n" << thirteen({QString::fromLatin1(line), QStringLiteral("secondo")});
    }
    {
        QByteArray bytes;
        QStringList first;
        for (int i = 1; i <= 100000; ++i) {
            bytes += "riga " + QByteArray::number(i) + "\r\n";
            if (i <= SiteSettings::LineCount)
                first << QStringLiteral("riga %1").arg(i);
        }
        QTest::newRow("100,000 lines: the first thirteen") << bytes << first;
    }
    // One bad byte decides for all thirteen values, not only for its own line.
    QTest::newRow("invalid UTF-8 is read as Windows-1252")
        << QByteArray("abc\r\nCaff\xe8\r\n\xff\xfe\r\n\xc3\x28\r\n\x80 5\r\n\x93x\x94\r\n")
        << thirteen({QStringLiteral("abc"), QStringLiteral("Caffè"), QStringLiteral("ÿþ"), QStringLiteral("Ã("),
                     QStringLiteral("€ 5"), QStringLiteral("“x”")});
    QTest::newRow("valid UTF-8 stays as it is")
        << QByteArray("Citt\xc3\xa0\r\n\xe2\x82\xac\r\n") << thirteen({QStringLiteral("Città"), QStringLiteral("€")});
    QTest::newRow("empty file") << QByteArray() << thirteen({});
    QTest::newRow("only CRs: thirteen empty values") << QByteArray(1000, '\r') << thirteen({});
    QTest::newRow("only LFs: one value of LFs")
        << QByteArray(1000, '\n') << thirteen({QString(1000, QLatin1Char('\n'))});

    // Found by fuzzing: reading from disk stops after the thirteenth line, parsing did not,
    // and a stray byte after it turned the letters of every value into Windows-1252 ones.
    {
        QByteArray bytes;
        QStringList values;
        for (int i = 1; i <= SiteSettings::LineCount; ++i) {
            bytes += "Più " + QByteArray::number(i) + "\r\n";
            values << QStringLiteral("Più %1").arg(i);
        }
        QTest::newRow("invalid byte after line 13 changes no letter") << bytes + "\xe8\xf3\xf1\r\n" << values;
    }
    // Found by fuzzing: a skipped byte-order mark made a first value that begins with one
    // lose it at the next save.
    QTest::newRow("byte-order marks kept as letters")
        << QByteArray("\xef\xbb\xbf\xef\xbb\xbfx\r\n")
        << thirteen({QString(2, QChar(0xFEFF)) + QLatin1Char('x')});
}

void TestHostileSettings::readingGivesTheLineRuleValuesAndChangesNothing()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, values);
    writeBackDated(bytes);
    const QDateTime modified = QFileInfo(path()).lastModified();

    COMPARE_VALUES(SettingsFile::read(path()), values);
    COMPARE_VALUES(SettingsFile::parse(bytes), values);
    QVERIFY(readFile(path()) == bytes);
    QCOMPARE(QFileInfo(path()).lastModified(), modified);
    // What the editor would save reads back as the same values.
    COMPARE_VALUES(SettingsFile::parse(SettingsFile::serialize(values)), values);
}

void TestHostileSettings::startupCompletesAndEditorSavesTheSameValuesBack_data()
{
    readingGivesTheLineRuleValuesAndChangesNothing_data();
}

void TestHostileSettings::startupCompletesAndEditorSavesTheSameValuesBack()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, values);
    writeBackDated(bytes);
    const QDateTime modified = QFileInfo(path()).lastModified();

    RecordedWindow &recorded = m_scene->start();

    COMPARE_VALUES(recorded.window().settings().toLines(), values);
    SettingsEditor *editor = recorded.window().settingsEditor();
    QVERIFY(editor);
    QVERIFY(!editor->isVisible());
    // A button shows the start of a caption however long it is; the value itself is kept.
    QStringList captions;
    for (int site = 0; site < 6; ++site)
        captions << values.at(2 * site).left(256);
    COMPARE_VALUES(recorded.siteCaptions(), captions);
    QCOMPARE(recorded.upper()->navigations().size(), 1);
    QVERIFY(recorded.upper()->navigations().constFirst() == values.at(12));
    QVERIFY(readFile(path()) == bytes);
    QCOMPARE(QFileInfo(path()).lastModified(), modified);
    QVERIFY(m_scene->messages.isEmpty());
    COMPARE_VALUES(recorded.editorBoxes(), values);

    editor->saveAndHide();
    QVERIFY(m_scene->messages.isEmpty());
    QVERIFY(readFile(path()) == SettingsFile::serialize(values, SettingsFile::encodingOf(bytes)));
    COMPARE_VALUES(SettingsFile::read(path()), values);
}

QTEST_MAIN(TestHostileSettings)
#include "tst_hostile_settings.moc"
