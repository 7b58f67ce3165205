#include "panes/PaneControls.h"

#include <QAbstractButton>

#include "common/Controls.h"
#include "panes/BrowserPane.h"

PaneControls::PaneControls(BrowserPane &pane, const Buttons &buttons, QObject *parent)
    : QObject(parent)
    , m_pane(pane)
{
    connect(buttons.back, &QAbstractButton::clicked, this, [this] { m_pane.goBack(); });
    connect(buttons.forward, &QAbstractButton::clicked, this, [this] { m_pane.goForward(); });
    connect(buttons.go, &QAbstractButton::clicked, this, &PaneControls::sendAddress);
    connect(buttons.home, &ClickLabel::clicked, this, &PaneControls::goHome);
    connect(buttons.stop, &QAbstractButton::clicked, this, [this] { m_pane.stop(); });
    connect(buttons.reload, &QAbstractButton::clicked, this, [this] { m_pane.refresh(); });
}

void PaneControls::sendAddress()
{
    // The address is read twice, for the navigation and for the history entry, as it always
    // was: a change of the box while the pane navigates reaches the history.
    m_pane.navigate(m_address);
    emit addressSent(m_address);
}

void PaneControls::goHome()
{
    m_pane.navigate(m_home);
}
