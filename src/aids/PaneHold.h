#pragma once

#include <QObject>

#include "aids/ScrollHold.h"

class BrowserPane;
class QCheckBox;
class QScrollBar;

// The hold box and position bar beside one pane, and the hold they drive. The box's colour
// shows the suspension: red once the pane took the focus, light grey while engaged.
//
// The pane is told only when what it holds changes: it keeps a held page in place by itself,
// so an idle window with both holds engaged does no work at all.
class PaneHold final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PaneHold)
public:
    PaneHold(QCheckBox &box, QScrollBar &bar, BrowserPane &pane, QObject *parent = nullptr);

    const ScrollHold &hold() const { return m_hold; }

    // Puts a held page back at the bar's offset at once ("Controllo Scroll").
    void applyHeldOffset();

private:
    // "Aggiorna" and the cycle re-engage the hold as the pane's refresh starts; a refresh
    // put off leaves it alone.
    void reengage();
    void showSuspension();
    void thumbDragged();
    // Tells the pane what to hold after any change of the state or the offset.
    void follow();

    QCheckBox &m_box;
    QScrollBar &m_bar;
    BrowserPane &m_pane;
    ScrollHold m_hold;
    // The offset the pane was last asked to hold; -1 while it holds nothing.
    int m_applied = -1;
};
