#pragma once

// The scroll hold of one pane: whether its hold box is ticked, whether the hold is
// suspended (the pane took the focus), and the position bar's value, one unit per pixel of
// scroll offset. Position flows one way, from bar to page.
//
// The suspension is kept even while the box is clear, because the box shows it by its colour
// whatever its tick; ticking the box clears it.
class ScrollHold final
{
public:
    enum class State { Off, Held, Suspended };

    State state() const;
    // The page is to be put at value() on this tick.
    bool isHeld() const { return state() == State::Held; }

    bool ticked() const { return m_ticked; }
    bool isSuspended() const { return m_suspended; }
    int value() const { return m_value; }

    // The user toggled the box: whatever the new tick, the suspension is cleared.
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
    bool m_suspended = true;
    int m_value = 0;
};
