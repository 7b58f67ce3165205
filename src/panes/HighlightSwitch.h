#pragma once

#include <QObject>

#include "common/ProgramSettings.h"

class BrowserPane;
class QAction;

// "Evidenzia le variazioni" in one pane's context menu. The choice is the program's own
// setting, kept between runs.
class HighlightSwitch final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HighlightSwitch)
public:
    HighlightSwitch(BrowserPane &pane, ProgramSettings::Pane which, QObject *parent = nullptr);

    QAction *action() const { return m_action; }

private:
    QAction *m_action;
};
