#pragma once

#include <memory>
#include <vector>

#include <QStringList>
#include <QWidget>

#include "core/MainWindow.h"
#include "favorites/ProcessStarter.h"
#include "panes/WebEngineEnvironment.h"
#include "panes/WebEnginePane.h"

// The real engine on a profile folder of its own, and the windows that show its pages. The
// windows are closed before the profile goes: the engine expects every page to go before
// the profile it uses.
class EngineWindows final
{
    Q_DISABLE_COPY_MOVE(EngineWindows)
public:
    explicit EngineWindows(const QString &profileDirectory)
        : m_environment(profileDirectory)
    {
    }
    ~EngineWindows() { closeWindows(); }

    WebEngineEnvironment &environment() { return m_environment; }

    // A shown 400 by 300 window holding one pane, silent as the main window's panes are.
    WebEnginePane *makePane()
    {
        auto host = std::make_unique<QWidget>();
        host->resize(400, 300);
        auto *pane = qobject_cast<WebEnginePane *>(m_environment.createPane(host.get()));
        pane->widget()->setGeometry(0, 0, 400, 300);
        pane->setSilent(true);
        host->show();
        keep(std::move(host));
        return pane;
    }

    // The main window on real panes, not shown yet.
    MainWindow *makeMainWindow(const QStringList &arguments)
    {
        return keep(std::make_unique<MainWindow>(m_environment, m_starter, arguments));
    }

    // A window a test built itself, closed with the others.
    template<typename Window>
    Window *keep(std::unique_ptr<Window> window)
    {
        Window *kept = window.get();
        m_windows.push_back(std::move(window));
        return kept;
    }

    void closeWindows() { m_windows.clear(); }

private:
    WebEngineEnvironment m_environment;
    SystemProcessStarter m_starter;
    std::vector<std::unique_ptr<QWidget>> m_windows;
};
