#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>

#include "panes/webengine/PageScripts.h"
#include "support/NumberSpellings.h"
#include "support/WebEngineWait.h"

// How the program's scripts read a page (pagetext.js), in the engine that runs them: numbers on
// the table of spellings the level dialog's test reads too, as an Italian page, an English one
// and one that names no language; the keys of table rows.
class TestPageText : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void numbersAreReadAsTheLevelDialogReadsThem_data();
    void numbersAreReadAsTheLevelDialogReadsThem();
    void rowIsKnownByItsFirstCellAsShown();

private:
    // Runs the script's body with pageText in scope.
    QVariant evaluate(const QString &body)
    {
        return WebEngineWait::evaluate(&*m_page, QStringLiteral("(function () { var pageText = (%1);\n%2 })()")
                                                     .arg(PageScripts::source(QStringLiteral("pagetext.js")), body));
    }

    std::optional<QWebEnginePage> m_page;
};

void TestPageText::initTestCase()
{
    m_page.emplace();
    QSignalSpy loaded(&*m_page, &QWebEnginePage::loadFinished);
    m_page->setHtml(QStringLiteral("<!DOCTYPE html><html><body></body></html>"));
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty(), WebEngineWait::Timeout);
    QVERIFY(loaded.first().at(0).toBool());
    QVERIFY(!PageScripts::source(QStringLiteral("pagetext.js")).isEmpty());
}

void TestPageText::numbersAreReadAsTheLevelDialogReadsThem_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<double>>("numbers"); // Italian, English, unnamed; NaN: null
    for (const NumberSpellings::Spelling &row : NumberSpellings::Table)
        QTest::newRow(row.name) << QString::fromUtf16(row.text) << QList<double>{row.italian, row.english, row.unnamed};
}

void TestPageText::numbersAreReadAsTheLevelDialogReadsThem()
{
    QFETCH(QString, text);
    QFETCH(QList<double>, numbers);
    const QString quoted = QString::fromUtf8(QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact));
    const QVariantList read = evaluate(QStringLiteral("return ['it', 'en', ''].map(function (lang) { document.documentElement.lang "
                                                      "= lang; return pageText(document).number(%1[0]); });").arg(quoted)).toList();
    QCOMPARE(read.size(), numbers.size());
    for (qsizetype i = 0; i < numbers.size(); ++i) {
        const QString which = QStringList{"it", "en", "none"}.at(i);
        if (qIsNaN(numbers.at(i)))
            QVERIFY2(read.at(i).isNull(), qPrintable(which + QLatin1String(": ") + read.at(i).toString()));
        else
            QCOMPARE(read.at(i).toDouble(), numbers.at(i));
    }
}

void TestPageText::rowIsKnownByItsFirstCellAsShown()
{
    const QString keys = evaluate(QStringLiteral(
        "document.body.innerHTML = '<table><tr><td>\\n  Eni\\n  S.p.A. </td></tr><tr><td>' + 'x'.repeat(200) + '</td></tr></table>';"
        "var text = pageText(document);"
        "return Array.from(document.querySelectorAll('td'), function (td) { return text.placeOf(td)[0]; }).join(' | ');")).toString();
    QCOMPARE(keys, QStringLiteral("/TABLE:0/TBODY:0/TR#Eni S.p.A. | /TABLE:0/TBODY:0/TR#") + QString(60, QLatin1Char('x')));
}

QTEST_MAIN(TestPageText)
#include "tst_pagetext.moc"
