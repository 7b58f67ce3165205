#pragma once

#include <utility>

#include <QWidget>

#include "support/RecordingPane.h"

// A plain shown window for testing one part of the main window on its own: the test adds the
// bare controls the part drives, and recording panes.
class PartHost final
{
    Q_DISABLE_COPY_MOVE(PartHost)
public:
    PartHost() { m_window.resize(800, 600); }

    template<typename T, typename... Args>
    T &add(Args &&...args)
    {
        return *new T(std::forward<Args>(args)..., &m_window);
    }

    RecordingPane &addPane() { return *new RecordingPane(&m_window); }

    QWidget &window() { return m_window; }

private:
    QWidget m_window;
};
