#pragma once

#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

#include <QDir>
#include <QStringList>
#include <QUrl>
#include <QWidget>

#include "common/ProcessStarter.h"
#include "core/MainWindow.h"
#include "core/MainWindows.h"
#include "panes/webengine/WebEngineEnvironment.h"
#include "panes/webengine/WebEnginePane.h"
#include "support/Files.h"
#include "support/ScratchFolder.h"

// The real engine on a profile of its own, the windows that show its pages, and a working
// folder for the pages a test writes, which also holds the profile. The windows are closed
// before the profile goes: the engine expects every page to go before the profile it uses.
class EngineWindows final
{
    Q_DISABLE_COPY_MOVE(EngineWindows)
public:
    EngineWindows()
        : m_environment(profile())
    {
    }
    ~EngineWindows() { closeWindows(); }

    WebEngineEnvironment &environment() { return m_environment; }
    bool isCurrent() const { return m_folder.isCurrent(); }
    QString profile() const { return m_folder.filePath(QStringLiteral("profile")); }
    QString path(const QString &name) const { return m_folder.filePath(name); }
    QString url(const QString &name) const { return QUrl::fromLocalFile(path(name)).toString(); }

    bool writePages(std::initializer_list<std::pair<const char *, QByteArray>> pages) const
    {
        for (const auto &[name, content] : pages) {
            if (!writeFile(path(QLatin1String(name)), content))
                return false;
        }
        return true;
    }

    // A shown 400 by 300 window holding one pane, silent as the main window's panes are.
    WebEnginePane *makePane()
    {
        auto host = std::make_unique<QWidget>();
        host->resize(400, 300);
        auto *pane = qobject_cast<WebEnginePane *>(m_environment.createPane(host.get()));
        pane->widget()->setGeometry(0, 0, 400, 300);
        pane->setWorkingFolder(m_folder.path());
        host->show();
        keep(std::move(host));
        return pane;
    }

    // The main window on real panes, shown; null panes mean the window made others.
    struct Main
    {
        MainWindow *window;
        WebEnginePane *upper;
        WebEnginePane *lower;
    };
    Main showMainWindow(const QStringList &arguments = {})
    {
        auto *window = keep(std::make_unique<MainWindow>(m_environment, m_starter, MainWindows::addressFrom(arguments),
                                                              QDir::currentPath()));
        window->show();
        return {window, qobject_cast<WebEnginePane *>(window->upperPane()),
                qobject_cast<WebEnginePane *>(window->lowerPane())};
    }

    void closeWindows() { m_windows.clear(); }

private:
    template<typename Window>
    Window *keep(std::unique_ptr<Window> window)
    {
        Window *kept = window.get();
        m_windows.push_back(std::move(window));
        return kept;
    }

    // Declared first: made before the profile in it, removed after.
    ScratchFolder m_folder;
    WebEngineEnvironment m_environment;
    SystemProcessStarter m_starter;
    std::vector<std::unique_ptr<QWidget>> m_windows;
};
