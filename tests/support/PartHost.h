#pragma once

#include <utility>

#include <QWidget>

#include "support/RecordingPane.h"

// A plain shown window for testing one part of the main window on its own: the test adds the
// bare controls the part drives, under their designer names, and recording panes.
class PartHost final
{
    Q_DISABLE_COPY_MOVE(PartHost)
public:
    PartHost() { m_window.resize(800, 600); }

    template<typename T, typename... Args>
    T &add(const char *name, Args &&...args)
    {
        auto *widget = new T(std::forward<Args>(args)..., &m_window);
        widget->setObjectName(QLatin1String(name));
        return *widget;
    }

    RecordingPane &addPane() { return *new RecordingPane(&m_window); }

    QWidget &window() { return m_window; }

private:
    QWidget m_window;
};
