#pragma once

#include <QObject>

#include "aids/ScrollHold.h"

class BrowserPane;
class QCheckBox;
class QScrollBar;

// The hold box and position bar beside one pane, and the hold they drive. The box's colour
// shows the suspension: red once the pane took the focus, light grey while engaged.
class PaneHold final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PaneHold)
public:
    PaneHold(QCheckBox &box, QScrollBar &bar, BrowserPane &pane, QObject *parent = nullptr);

    const ScrollHold &hold() const { return m_hold; }

    // Puts a held page back at the bar's offset; run on every tick of the scroll check.
    void applyHeldOffset();
    // "Aggiorna" re-engages the hold just before it reloads the pane.
    void reengage();

private:
    void showSuspension();
    void thumbDragged();

    QCheckBox &m_box;
    QScrollBar &m_bar;
    BrowserPane &m_pane;
    ScrollHold m_hold;
};
