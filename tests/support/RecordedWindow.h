#pragma once

#include <QDir>
#include <QAbstractButton>
#include <QLineEdit>
#include <QStringList>

#include "core/MainWindow.h"
#include "core/MainWindows.h"
#include "core/SettingsEditor.h"
#include "support/Clicks.h"
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
        : m_window(m_panes, m_starter, MainWindows::addressFrom(arguments), QDir::currentPath())
    {
    }

    MainWindow &window() { return m_window; }
    RecordingPane *upper() const { return m_panes.panes.at(0); }
    RecordingPane *lower() const { return m_panes.panes.at(1); }
    RecordingProcessStarter &starter() { return m_starter; }

    const MainControls &controls() const { return m_window.controls(); }
    QString address() const { return controls().address->text(); }

    QStringList siteCaptions() const
    {
        QStringList captions;
        for (QAbstractButton *site : controls().sites)
            captions << site->text();
        return captions;
    }
    QStringList editorBoxes() const
    {
        QStringList texts;
        for (QLineEdit *box : m_window.settingsEditor()->controls().boxes)
            texts << box->text();
        return texts;
    }

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
