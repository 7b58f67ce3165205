#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>

#include "panes/webengine/PageScripts.h"
#include "support/NumberSpellings.h"
#include "support/WebEngineWait.h"

// The page's reading of numbers (pagetext.js) in the engine that runs it, on the table of
// spellings the level dialog's test reads too, as an Italian page, an English one and one that
// names no language.
class TestPageNumbers : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void numbersAreReadAsTheLevelDialogReadsThem_data();
    void numbersAreReadAsTheLevelDialogReadsThem();

private:
    std::optional<QWebEnginePage> m_page;
};

void TestPageNumbers::initTestCase()
{
    m_page.emplace();
    QSignalSpy loaded(&*m_page, &QWebEnginePage::loadFinished);
    m_page->setHtml(QStringLiteral("<!DOCTYPE html><html><body></body></html>"));
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty(), WebEngineWait::Timeout);
    QVERIFY(loaded.first().at(0).toBool());
    QVERIFY(!PageScripts::source(QStringLiteral("pagetext.js")).isEmpty());
}

void TestPageNumbers::numbersAreReadAsTheLevelDialogReadsThem_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<double>>("numbers"); // Italian, English, unnamed; NaN: null
    for (const NumberSpellings::Spelling &row : NumberSpellings::Table)
        QTest::newRow(row.name) << QString::fromUtf16(row.text) << QList<double>{row.italian, row.english, row.unnamed};
}

void TestPageNumbers::numbersAreReadAsTheLevelDialogReadsThem()
{
    QFETCH(QString, text);
    QFETCH(QList<double>, numbers);
    const QString quoted = QString::fromUtf8(QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact));
    const QVariantList read = WebEngineWait::evaluate(&*m_page, QStringLiteral(
        "(function () { var pageText = (%1); return ['it', 'en', ''].map(function (lang) {"
        " document.documentElement.lang = lang; return pageText(document).number(%2[0]); }); })()")
        .arg(PageScripts::source(QStringLiteral("pagetext.js")), quoted)).toList();
    QCOMPARE(read.size(), numbers.size());
    for (qsizetype i = 0; i < numbers.size(); ++i) {
        const QString which = QStringList{"it", "en", "none"}.at(i);
        if (qIsNaN(numbers.at(i)))
            QVERIFY2(read.at(i).isNull(), qPrintable(which + QLatin1String(": ") + read.at(i).toString()));
        else
            QCOMPARE(read.at(i).toDouble(), numbers.at(i));
    }
}

QTEST_MAIN(TestPageNumbers)
#include "tst_pagenumbers.moc"
