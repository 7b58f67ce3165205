#include "panes/HighlightSwitch.h"

#include <QAction>

#include "panes/BrowserPane.h"

HighlightSwitch::HighlightSwitch(BrowserPane &pane, ProgramSettings::Pane which, QObject *parent)
    : QObject(parent)
    , m_action(new QAction(QStringLiteral("Evidenzia le variazioni"), this))
{
    m_action->setObjectName(QStringLiteral("highlightChanges"));
    m_action->setCheckable(true);
    m_action->setChecked(ProgramSettings::highlightChanges(which));
    pane.setHighlightChanges(m_action->isChecked());
    pane.addMenuAction(m_action);
    connect(m_action, &QAction::toggled, this, [&pane, which](bool on) {
        pane.setHighlightChanges(on);
        ProgramSettings::setHighlightChanges(which, on);
    });
}
