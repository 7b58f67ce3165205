#include <cstdio>
#include <memory>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>

#include "common/QtTranslations.h"
#include "panes/SilentPage.h"
#include "support/Clicks.h"
#include "support/EngineWindows.h"
#include "support/PageServer.h"
#include "support/WebEngineWait.h"

using WebEngineWait::evaluate;
using WebEngineWait::Timeout;

namespace {
QString logged;
} // namespace

// Pages that fight back, in the real window: one that freezes, one that floods its console,
// one behind a login, one that asks questions; and what the user has at hand against them,
// the keys and the context menu.
class TestHostilePages : public QObject
{
    Q_OBJECT
public:
    static void initMain() { WebEngineEnvironment::prepareProcess(); }

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void frozenPageIsEndedAndComesBack();
    void consoleFloodWritesNothing();
    void keysReloadGoBackAndZoom();
    void loginIsAskedOnGoButNeverOnARefresh();
    void questionsShowOnlyAfterTheUsersClick_data();
    void questionsShowOnlyAfterTheUsersClick();
    void contextMenuHoldsOnlyWhatFitsAndTheProgramsOwn();

private:
    QString title() const { return m_upper->page()->title(); }
    QLabel *state() const { return m_upper->widget()->findChild<QLabel *>(QStringLiteral("paneState")); }
    QWidget *pageInput() const { return m_upper->view()->focusProxy(); }
    void go(const QString &path);

    std::unique_ptr<PageServer> m_server;
    std::unique_ptr<EngineWindows> m_engine;
    MainWindow *m_window = nullptr;
    WebEnginePane *m_upper = nullptr;
    bool m_freeze = false;
    int m_version = 0;
    // Dialogs run an event loop of their own: only a timer reaches them.
    QTimer m_dialogWatch;
    // What each dialog was, written down while it showed: it is gone once answered.
    struct Seen
    {
        QString title;
        bool fileChooser;
        bool overWindow;
    };
    QList<Seen> m_dialogs;
    std::function<void(QDialog *)> m_answer;
};

void TestHostilePages::initTestCase()
{
    m_server = std::make_unique<PageServer>([this](const QString &path) -> QByteArray {
        if (path == QLatin1String("/flood"))
            return "<title>flood</title><script>for(var i=0;i<3000;i++){console.warn('FLOOD '+i);console.error('FLOOD');}"
                   "document.title='done';</script>";
        if (path == QLatin1String("/ask"))
            return "<title>ask</title><style>button,input{display:block;width:200px;height:60px}</style><body style='margin:0'>"
                   "<button onclick=\"document.title='confirm='+confirm('Eliminare?')\">c</button>"
                   "<button onclick=\"document.title='prompt='+prompt('Quanti?','1')\">p</button>"
                   "<input type=file>"
                   "<script>setTimeout(function(){document.title='self='+confirm('Da sola?')},0)</script></body>";
        return "<!DOCTYPE html><html><body><p>versione " + QByteArray::number(++m_version)
            + "</p><a href='/second' style='position:fixed;left:0;top:0;padding:20px'>link</a>" + (m_freeze ? "<script>for(;;){}</script>" : "")
            + "</body></html>";
    });
    QVERIFY(m_server->listen());
    m_engine = std::make_unique<EngineWindows>();
    connect(&m_dialogWatch, &QTimer::timeout, this, [this] {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            auto *dialog = qobject_cast<QDialog *>(window);
            if (!dialog || !dialog->isVisible() || dialog->property("seen").toBool())
                continue;
            dialog->setProperty("seen", true);
            m_dialogs << Seen{dialog->windowTitle(), qobject_cast<QFileDialog *>(dialog) != nullptr,
                              dialog->parentWidget() == m_window};
            m_answer ? m_answer(dialog) : dialog->reject();
        }
    });
    m_dialogWatch.start(50);
}

void TestHostilePages::init()
{
    m_freeze = false;
    m_server->login.clear();
    const EngineWindows::Main main = m_engine->showMainWindow({m_server->url(QStringLiteral("/quote"))});
    m_window = main.window;
    m_upper = main.upper;
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    QTRY_VERIFY_WITH_TIMEOUT(state()->text().startsWith(QLatin1String("Aggiornata")), Timeout);
}

void TestHostilePages::cleanup()
{
    m_engine->closeWindows();
    m_dialogs.clear();
    m_answer = nullptr;
}

void TestHostilePages::go(const QString &path)
{
    m_window->findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(m_server->url(path));
    clickChild(m_window, "Command11");
}

void TestHostilePages::frozenPageIsEndedAndComesBack()
{
    // A refresh is prepared in a page of its own, which the engine may give a process of its
    // own; "GO" to the same site stays in the frozen one, and so did every refresh after it.
    m_freeze = true;
    m_upper->setFreezeTimeout(2000);
    go(QStringLiteral("/frozen"));
    QTRY_VERIFY_WITH_TIMEOUT(m_upper->page()->url().path() == QLatin1String("/frozen"), Timeout);
    clickChild(m_window, "Command21");
    QTRY_VERIFY_WITH_TIMEOUT(m_upper->isCrashed(), Timeout);
    QCOMPARE(state()->text(), QStringLiteral("Pagina non caricata"));
    QVERIFY2(state()->toolTip().contains(QLatin1String("non rispondeva")), qPrintable(state()->toolTip()));

    m_freeze = false;
    clickChild(m_window, "Command9");
    QTRY_VERIFY_WITH_TIMEOUT(state()->text().startsWith(QLatin1String("Aggiornata")), Timeout);
    QVERIFY(m_upper->locationUrl().endsWith(QLatin1String("/frozen")));
    QVERIFY(evaluate(m_upper->page(), QStringLiteral("document.body.innerText")).toString().contains(QLatin1String("versione")));
}

void TestHostilePages::consoleFloodWritesNothing()
{
    // Qt's messages and the engine's own log, which goes to file descriptor 2 directly.
    QTemporaryFile captured;
    QVERIFY(captured.open());
    std::fflush(stderr);
    const int saved = ::dup(2);
    ::dup2(captured.handle(), 2);
    const QtMessageHandler testsHandler = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &, const QString &message) { logged += message; });
    go(QStringLiteral("/flood"));
    QTRY_COMPARE_WITH_TIMEOUT(title(), QStringLiteral("done"), Timeout);
    evaluate(m_upper->page(), QStringLiteral("1"));
    qInstallMessageHandler(testsHandler);
    std::fflush(stderr);
    ::dup2(saved, 2);
    ::close(saved);
    QVERIFY2(!captured.readAll().contains("FLOOD") && !logged.contains(QLatin1String("FLOOD")),
             "the page's console reached the error output");
}

void TestHostilePages::keysReloadGoBackAndZoom()
{
    go(QStringLiteral("/second"));
    QTRY_VERIFY_WITH_TIMEOUT(m_upper->locationUrl().endsWith(QLatin1String("/second")), Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(state()->text().startsWith(QLatin1String("Aggiornata")), Timeout);
    QTest::mouseClick(pageInput(), Qt::LeftButton, {}, QPoint(300, 200));
    for (const QKeyCombination key : {QKeyCombination(Qt::Key_F5), Qt::CTRL | Qt::Key_R}) {
        const qsizetype asked = m_server->requests.size();
        QTest::keyClick(pageInput(), key.key(), key.keyboardModifiers());
        QTRY_VERIFY_WITH_TIMEOUT(m_server->requests.size() > asked && !m_upper->isRefreshing(), Timeout);
    }
    QTest::keyClick(pageInput(), Qt::Key_Plus, Qt::ControlModifier);
    QTest::keyClick(pageInput(), Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(m_upper->zoomPercent(), 125);
    QVERIFY2(state()->text().endsWith(QLatin1String("zoom 125 %")), qPrintable(state()->text()));
    // A refresh keeps the zoom.
    clickChild(m_window, "Command21");
    QTRY_VERIFY_WITH_TIMEOUT(!m_upper->isRefreshing(), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(evaluate(m_upper->page(), QStringLiteral("window.devicePixelRatio")).toDouble(), 1.25, Timeout);
    QTest::mouseClick(pageInput(), Qt::LeftButton, {}, QPoint(300, 200));
    QTest::keyClick(pageInput(), Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(m_upper->zoomPercent(), 110);
    QTest::keyClick(pageInput(), Qt::Key_0, Qt::ControlModifier);
    QVERIFY(!state()->text().contains(QLatin1Char('%')));

    QTest::keyClick(pageInput(), Qt::Key_Left, Qt::AltModifier);
    QTRY_VERIFY_WITH_TIMEOUT(m_upper->locationUrl().endsWith(QLatin1String("/quote")), Timeout);
    QTest::keyClick(pageInput(), Qt::Key_Right, Qt::AltModifier);
    QTRY_VERIFY_WITH_TIMEOUT(m_upper->locationUrl().endsWith(QLatin1String("/second")), Timeout);
}

void TestHostilePages::loginIsAskedOnGoButNeverOnARefresh()
{
    m_server->login = "mario:segreto";
    m_answer = [](QDialog *dialog) {
        dialog->findChild<QLineEdit *>(QStringLiteral("loginUser"))->setText(QStringLiteral("mario"));
        dialog->findChild<QLineEdit *>(QStringLiteral("loginPassword"))->setText(QStringLiteral("segreto"));
        dialog->accept();
    };
    go(QStringLiteral("/conto"));
    QTRY_VERIFY_WITH_TIMEOUT(m_upper->locationUrl().endsWith(QLatin1String("/conto")), Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(state()->text().startsWith(QLatin1String("Aggiornata")) && !m_upper->page()->isLoading(), Timeout);
    QCOMPARE(m_dialogs.size(), 1);
    QVERIFY(m_dialogs.first().title.startsWith(QLatin1String("Accesso a")));
    QVERIFY(m_dialogs.first().overWindow);

    // The site now refuses the password the engine keeps: the refresh fails, nobody is asked.
    m_server->login = "mario:cambiata";
    QTest::mouseClick(pageInput(), Qt::LeftButton, {}, QPoint(300, 200));
    clickChild(m_window, "Command21");
    QTRY_VERIFY_WITH_TIMEOUT(state()->text().startsWith(QLatin1String("Non aggiornata")), Timeout);
    QVERIFY(state()->toolTip().contains(QLatin1String("HTTP 401")));
    QCOMPARE(m_dialogs.size(), 1);
}

void TestHostilePages::questionsShowOnlyAfterTheUsersClick_data()
{
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QString>("answer");
    QTest::newRow("confirm") << QPoint(100, 30) << "confirm=true";
    QTest::newRow("prompt") << QPoint(100, 90) << "prompt=42";
    QTest::newRow("file chooser") << QPoint(100, 150) << "";
}

void TestHostilePages::questionsShowOnlyAfterTheUsersClick()
{
    QFETCH(QPoint, at);
    QFETCH(QString, answer);
    go(QStringLiteral("/ask"));
    // The page's own question on loading was answered "no" without a dialog.
    QTRY_COMPARE_WITH_TIMEOUT(title(), QStringLiteral("self=false"), Timeout);
    QVERIFY(m_dialogs.isEmpty());

    m_answer = [](QDialog *dialog) {
        if (auto *field = dialog->findChild<QLineEdit *>(QStringLiteral("pageAnswer")))
            field->setText(QStringLiteral("42"));
        qobject_cast<QFileDialog *>(dialog) ? dialog->reject() : dialog->accept();
    };
    QTest::mouseClick(pageInput(), Qt::LeftButton, {}, at);
    QTRY_COMPARE_WITH_TIMEOUT(m_dialogs.size(), 1, Timeout);
    QVERIFY(m_dialogs.first().overWindow);
    QCOMPARE(m_dialogs.first().fileChooser, answer.isEmpty());
    if (!answer.isEmpty())
        QTRY_COMPARE_WITH_TIMEOUT(title(), answer, Timeout);
}

void TestHostilePages::contextMenuHoldsOnlyWhatFitsAndTheProgramsOwn()
{
    QAction own(QStringLiteral("Evidenzia"));
    m_upper->addMenuAction(&own);
    QTest::mouseClick(pageInput(), Qt::RightButton, {}, QPoint(30, 30));
    QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<QMenu *>(QApplication::activePopupWidget()), Timeout);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QStringList texts;
    for (QAction *action : menu->actions())
        texts << action->text();
    QCOMPARE(texts, QStringList({"Indietro", "Avanti", "Ricarica", "", "Copia", "Copia indirizzo del link", "", "Evidenzia"}));
    const qsizetype asked = m_server->requests.size();
    menu->actions().at(2)->trigger();
    menu->close();
    QTRY_VERIFY_WITH_TIMEOUT(m_server->requests.size() > asked, Timeout);

    QCOMPARE(QtTranslations::installItalian(*qApp, QLocale(QLocale::English)), 0);
    QCOMPARE(QtTranslations::installItalian(*qApp, QLocale(QLocale::Italian, QLocale::Italy)) > 0, true);
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Annulla"));
}

QTEST_MAIN(TestHostilePages)
#include "tst_hostile_pages.moc"
