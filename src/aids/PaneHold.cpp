#include "aids/PaneHold.h"

#include <QCheckBox>
#include <QScrollBar>

#include "common/Colors.h"
#include "panes/BrowserPane.h"

PaneHold::PaneHold(QCheckBox &box, QScrollBar &bar, BrowserPane &pane, QObject *parent)
    : QObject(parent)
    , m_box(box)
    , m_bar(bar)
    , m_pane(pane)
{
    // A fresh hold is suspended, so the box starts red though nothing is held yet.
    Colors::setBackColor(&m_box, Colors::Red);
    Colors::setForeColor(&m_box, Colors::HoldTick);
    // One bar unit is one pixel of the page's offset.
    m_bar.setRange(0, 1000);
    m_bar.setSingleStep(1);
    m_bar.setPageStep(1);

    // clicked is raised only by the user's toggling, never by a programmatic change.
    connect(&m_box, &QCheckBox::clicked, this, [this](bool ticked) {
        m_hold.boxClicked(ticked);
        showSuspension();
    });
    connect(&m_pane, &BrowserPane::gotFocus, this, [this] {
        m_hold.paneFocused();
        showSuspension();
    });
    // An arrow or track click only moves the value; a thumb drag is the bar's Scroll event.
    connect(&m_bar, &QScrollBar::valueChanged, this, [this](int value) { m_hold.setValue(value); });
    connect(&m_bar, &QScrollBar::sliderMoved, this, &PaneHold::thumbDragged);
}

void PaneHold::applyHeldOffset()
{
    if (m_hold.isHeld())
        m_pane.setScrollTop(m_hold.value());
}

void PaneHold::reengage()
{
    m_hold.refreshing();
    showSuspension();
}

void PaneHold::showSuspension()
{
    const quint32 colour = m_hold.isSuspended() ? Colors::Red : Colors::LightGrey;
    // Setting the same palette again would repaint the box for nothing.
    if (Colors::backColor(&m_box) != colour)
        Colors::setBackColor(&m_box, colour);
}

void PaneHold::thumbDragged()
{
    if (m_hold.thumbDragged(m_bar.sliderPosition())) {
        showSuspension();
        m_pane.setScrollTop(m_hold.value());
    }
}
