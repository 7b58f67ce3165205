#pragma once

#include <array>

#include <QLineEdit>
#include <QPushButton>
#include <QStringList>

#include "core/MainWindow.h"
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
        : m_window(m_panes, m_starter, arguments)
    {
    }

    MainWindow &window() { return m_window; }
    RecordingPane *upper() const { return m_panes.panes.at(0); }
    RecordingPane *lower() const { return m_panes.panes.at(1); }
    RecordingProcessStarter &starter() { return m_starter; }

    template<typename T>
    T *find(const char *name) const { return m_window.findChild<T *>(QLatin1String(name)); }
    void click(const char *name) { clickChild(&m_window, name); }
    QString address() const { return find<QLineEdit>("Text1")->text(); }

    // The buttons' names are not in site order.
    static constexpr std::array<const char *, 6> SiteButtons = {"Command3",  "Command6",  "Command14",
                                                                "Command16", "Command17", "Command13"};
    QStringList siteCaptions() const
    {
        QStringList captions;
        for (const char *name : SiteButtons)
            captions << find<QPushButton>(name)->text();
        return captions;
    }
    QStringList editorBoxes() const
    {
        QStringList texts;
        for (int i = 0; i < SettingsEditor::BoxCount; ++i)
            texts << m_window.settingsEditor()->box(i)->text();
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
