#pragma once

#include <QStringList>

#include "core/MainWindow.h"
#include "support/RecordingPane.h"
#include "support/RecordingProcessStarter.h"

// The main window on panes that only write down what they are asked and a starter that only
// writes down what it would start, so that a window test starts no web engine and no program.
// The window makes the upper pane first.
class RecordedWindow final
{
    Q_DISABLE_COPY_MOVE(RecordedWindow)
public:
    explicit RecordedWindow(const QStringList &arguments = {})
        : m_window(m_panes, m_starter, arguments)
    {
    }

    MainWindow &window() { return m_window; }
    RecordingPane *upper() const { return m_panes.panes.at(0); }
    RecordingPane *lower() const { return m_panes.panes.at(1); }
    RecordingProcessStarter &starter() { return m_starter; }

    template<typename T>
    T *find(const char *name) const { return m_window.findChild<T *>(QLatin1String(name)); }

    // What the window asked while starting, so that a test sees only what it caused.
    void clearCalls()
    {
        for (RecordingPane *pane : m_panes.panes)
            pane->clearCalls();
    }

private:
    // Declared first: the panes' factory and the starter outlive the window that uses them.
    RecordingPaneFactory m_panes;
    RecordingProcessStarter m_starter;
    MainWindow m_window;
};
