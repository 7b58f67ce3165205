#include "aids/ScrollHold.h"

ScrollHold::State ScrollHold::state() const
{
    if (!m_ticked)
        return State::Off;
    return m_suspended ? State::Suspended : State::Held;
}

void ScrollHold::boxClicked(bool ticked)
{
    m_ticked = ticked;
    m_suspended = false;
}

void ScrollHold::paneFocused()
{
    m_suspended = true;
}

void ScrollHold::setValue(int value)
{
    m_value = value;
}

bool ScrollHold::thumbDragged(int value)
{
    m_value = value;
    if (!m_ticked)
        return false;
    m_suspended = false;
    return true;
}

void ScrollHold::refreshing()
{
    m_suspended = false;
}
