#pragma once

#include <memory>

#include <QApplication>

#include "support/MessageCapture.h"
#include "support/RecordedWindow.h"
#include "support/ScratchFolder.h"

// What a test of the whole window stands in: an empty working folder of its own, where the
// program looks for its files, every message box written down, and the window on recording
// doubles. The window goes first, the folder last.
struct WindowScene
{
    WindowScene() { QApplication::setQuitOnLastWindowClosed(false); }

    // A window already running goes first, as when the program is started again.
    RecordedWindow &start(const QStringList &arguments = {})
    {
        recorded.reset();
        recorded = std::make_unique<RecordedWindow>(arguments);
        recorded->window().show();
        return *recorded;
    }

    ScratchFolder folder;
    MessageCapture messages;
    std::unique_ptr<RecordedWindow> recorded;
};
