#include "panes/webengine/RecentInput.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

RecentInput::RecentInput(QWidget &root, QObject *parent)
    : QObject(parent)
    , m_root(root)
{
    // The web engine gives the page's input to a widget of its own that it replaces when the
    // page's process changes; watching the application follows it wherever it is.
    qApp->installEventFilter(this);
}

bool RecentInput::within(int ms) const
{
    return m_sincePress.isValid() && m_sincePress.elapsed() <= ms;
}

bool RecentInput::keyWithin(int ms) const
{
    return m_sinceKey.isValid() && m_sinceKey.elapsed() <= ms;
}

void RecentInput::forget()
{
    m_sincePress.invalidate();
}

bool RecentInput::allows(Policy policy, int times)
{
    if (!within(policy) || m_spent >= times)
        return false;
    ++m_spent;
    return true;
}

bool RecentInput::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::TouchBegin:
        break;
    default:
        return false;
    }
    auto *widget = qobject_cast<QWidget *>(watched);
    if (widget && (widget == &m_root || m_root.isAncestorOf(widget))) {
        m_sincePress.start();
        m_spent = 0;
        if (event->type() == QEvent::KeyPress)
            m_sinceKey.start();
    }
    return false;
}
