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
        follow();
    });
    // The release must reach the pane before the click that took the focus opens a new page,
    // or that page would open at the offset of a hold the user just stepped out of.
    connect(&m_pane, &BrowserPane::gotFocus, this, [this] {
        m_hold.paneFocused();
        showSuspension();
        follow();
    });
    connect(&m_pane, &BrowserPane::refreshStarting, this, [this](BrowserPane::Refresh kind) {
        if (kind != BrowserPane::Refresh::ByHand)
            reengage();
    });
    // An arrow or track click only moves the value; a thumb drag is the bar's Scroll event.
    connect(&m_bar, &QScrollBar::valueChanged, this, [this](int value) {
        m_hold.setValue(value);
        follow();
    });
    connect(&m_bar, &QScrollBar::sliderMoved, this, &PaneHold::thumbDragged);
}

void PaneHold::applyHeldOffset()
{
    if (!m_hold.isHeld())
        return;
    m_applied = m_hold.value();
    m_pane.holdScrollTop(m_applied);
}

void PaneHold::reengage()
{
    m_hold.refreshing();
    showSuspension();
    follow();
}

void PaneHold::follow()
{
    const int wanted = m_hold.isHeld() ? m_hold.value() : -1;
    if (wanted == m_applied)
        return;
    m_applied = wanted;
    if (wanted < 0)
        m_pane.releaseScrollTop();
    else
        m_pane.holdScrollTop(wanted);
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
    // A drag to where the hold already stands still puts a page back that the user moved.
    if (m_hold.thumbDragged(m_bar.sliderPosition())) {
        showSuspension();
        applyHeldOffset();
    }
}
