#include "panes/HighlightSwitch.h"

#include <QAction>
#include <QSettings>

#include "panes/BrowserPane.h"

HighlightSwitch::HighlightSwitch(BrowserPane &pane, const QString &name, QObject *parent)
    : QObject(parent)
    , m_action(new QAction(QStringLiteral("Evidenzia le variazioni"), this))
{
    const QString key = QStringLiteral("evidenziaVariazioni/") + name;
    m_action->setObjectName(QStringLiteral("highlightChanges"));
    m_action->setCheckable(true);
    m_action->setChecked(QSettings().value(key, true).toBool());
    pane.setHighlightChanges(m_action->isChecked());
    pane.addMenuAction(m_action);
    connect(m_action, &QAction::toggled, this, [&pane, key](bool on) {
        pane.setHighlightChanges(on);
        QSettings().setValue(key, on);
    });
}
