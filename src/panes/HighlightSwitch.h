#pragma once

#include <QObject>
#include <QString>

class BrowserPane;
class QAction;

// "Evidenzia le variazioni" in one pane's context menu. The choice is the program's own
// setting, kept between runs; base2.cfg keeps its thirteen lines, since other programs read it.
class HighlightSwitch final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HighlightSwitch)
public:
    // name tells the panes apart in the settings.
    HighlightSwitch(BrowserPane &pane, const QString &name, QObject *parent = nullptr);

    QAction *action() const { return m_action; }

private:
    QAction *m_action;
};
