#pragma once

#include <QScrollBar>

// Moves the bar the way a user dragging its thumb does: pressed, moved, released. The window
// tells a drag, which re-engages a ticked hold, from an arrow or track click, which only
// moves the value.
inline void dragThumb(QScrollBar *bar, int position)
{
    bar->setSliderDown(true);
    bar->setSliderPosition(position);
    bar->setSliderDown(false);
}
