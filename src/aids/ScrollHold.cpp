#include "aids/ScrollHold.h"

ScrollHold::State ScrollHold::state() const
{
    if (!m_ticked)
        return State::Off;
    return m_flag == Colors::Red ? State::Suspended : State::Held;
}

void ScrollHold::boxClicked(bool ticked)
{
    m_ticked = ticked;
    m_flag = Colors::LightGrey;
}

void ScrollHold::paneFocused()
{
    m_flag = Colors::Red;
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
    m_flag = Colors::LightGrey;
    return true;
}

void ScrollHold::refreshing()
{
    m_flag = Colors::LightGrey;
}
