#include "core/MainWindows.h"

#include <QGuiApplication>
#include <QWindow>

#include "core/MainWindow.h"
#include "core/WindowActivation.h"

MainWindows::MainWindows(PaneFactory &panes, ProcessStarter &starter, Markets markets, QObject *parent)
    : QObject(parent)
    , m_panes(panes)
    , m_starter(starter)
    , m_markets(std::move(markets))
{
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow *focus) {
        for (qsizetype i = 0; i < m_windows.size(); ++i) {
            if (m_windows.at(i) && m_windows.at(i)->windowHandle() == focus) {
                m_windows.move(i, m_windows.size() - 1);
                return;
            }
        }
    });
}

MainWindows::~MainWindows()
{
    const QList<MainWindow *> left = windows();
    m_windows.clear();
    qDeleteAll(left);
}

QString MainWindows::addressFrom(const QStringList &arguments)
{
    return arguments.join(QLatin1Char(' '));
}

MainWindow *MainWindows::open(const QString &address, const QString &folder)
{
    return openForStart(address, folder, QByteArray());
}

MainWindow *MainWindows::openForStart(const QString &address, const QString &folder, const QByteArray &token)
{
    auto *window = new MainWindow(m_panes, m_starter, address, folder, m_markets);
    // Closing a window ends only it; the application ends with the last one.
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(window, &MainWindow::newWindowAsked, this, &MainWindows::open);
    connect(window, &QObject::destroyed, this, [this] { m_windows.removeAll(nullptr); });
    // The first window of a run opens where the last one closed; the others where the
    // desktop puts them, rather than over it.
    window->restoreLayout(m_windows.isEmpty());
    m_windows.append(window);
    for (BrowserPane *pane : {window->upperPane(), window->lowerPane()})
        emit paneOpened(pane);
    WindowActivation::show(window, token);
    return window;
}

QList<MainWindow *> MainWindows::windows() const
{
    QList<MainWindow *> open;
    for (const QPointer<MainWindow> &window : m_windows) {
        if (window)
            open.append(window.data());
    }
    return open;
}

void MainWindows::bringForward()
{
    const QList<MainWindow *> open = windows();
    if (open.isEmpty())
        return;
    MainWindow *last = open.constLast();
    if (last->isMinimized())
        last->showNormal();
    WindowActivation::show(last, QByteArray());
}

bool MainWindows::closeAll()
{
    for (MainWindow *window : windows()) {
        if (!window->close())
            return false;
    }
    return true;
}
