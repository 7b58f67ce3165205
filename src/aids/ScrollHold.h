#pragma once

#include <QtGlobal>

#include "common/Colors.h"

// The scroll hold of one pane: the tick of its hold box, the box's background colour as the
// suspension flag (red: suspended after the pane took the focus; any other colour: engaged),
// and the position bar's value, one unit per pixel of scroll offset. Position flows one way,
// from bar to page.
class ScrollHold final
{
public:
    enum class State { Off, Held, Suspended };

    State state() const;
    // The page is to be put at value() on this tick.
    bool isHeld() const { return state() == State::Held; }

    bool ticked() const { return m_ticked; }
    quint32 flag() const { return m_flag; }
    int value() const { return m_value; }

    // The user toggled the box: whatever the new tick, the flag is cleared.
    void boxClicked(bool ticked);
    void paneFocused();
    // An arrow or track click: the value moves, nothing else.
    void setValue(int value);
    // A thumb drag re-engages a ticked hold; returns true when the position is to be
    // applied at once.
    bool thumbDragged(int value);
    // "Aggiorna" re-engages the hold just before it refreshes the pane.
    void refreshing();

private:
    bool m_ticked = false;
    quint32 m_flag = Colors::Red;
    int m_value = 0;
};
