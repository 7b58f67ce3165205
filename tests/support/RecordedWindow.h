#pragma once

#include <QStringList>

#include "core/Form1.h"
#include "panes/RecordingPane.h"

// The main window on panes that only write down what they are asked, so that a window test
// starts no web engine. The window makes the upper pane first.
class RecordedWindow final
{
    Q_DISABLE_COPY_MOVE(RecordedWindow)
public:
    explicit RecordedWindow(const QStringList &arguments = {})
        : m_window(m_panes, arguments)
    {
    }

    Form1 &window() { return m_window; }
    RecordingPane *upper() const { return m_panes.panes.at(0); }
    RecordingPane *lower() const { return m_panes.panes.at(1); }

    template<typename T>
    T *find(const char *name) const { return m_window.findChild<T *>(QLatin1String(name)); }

    // What the window asked while starting, so that a test sees only what it caused.
    void clearCalls()
    {
        for (RecordingPane *pane : m_panes.panes)
            pane->clearCalls();
    }

private:
    // Declared first: the panes' factory outlives the window that asked it for them.
    RecordingPaneFactory m_panes;
    Form1 m_window;
};
