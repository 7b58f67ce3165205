#include "panes/webengine/PaneKeys.h"

#include <array>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWheelEvent>
#include <QWidget>

namespace {

constexpr std::array ZoomSteps{25, 33, 50, 67, 75, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300, 400, 500};

} // namespace

PaneKeys::PaneKeys(QWidget &frame)
    : QObject(&frame)
    , m_frame(frame)
{
    // Seen before the page: the engine takes every key for the page first and hands back only
    // some of those it leaves, so a shortcut of the toolkit's would not always fire, and a
    // page could keep the user's keys for itself. The page's widgets also come and go with
    // every refresh; watching the application follows them.
    qApp->installEventFilter(this);
}

bool PaneKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::Wheel)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || !(widget == &m_frame || m_frame.isAncestorOf(widget)))
        return false;
    if (event->type() == QEvent::KeyPress)
        return act(*static_cast<QKeyEvent *>(event));
    // The engine zooms with Ctrl and the wheel by itself, unseen by the pane's label; the
    // pane does it instead, in the same steps as the keys.
    const auto *wheel = static_cast<QWheelEvent *>(event);
    if (!(wheel->modifiers() & Qt::ControlModifier) || wheel->angleDelta().y() == 0)
        return false;
    emit zoomAsked(wheel->angleDelta().y() > 0 ? 1 : -1);
    return true;
}

bool PaneKeys::act(const QKeyEvent &key)
{
    // Shift comes with "+" on keyboards where it shares a key with "="; the keypad's keys
    // count as the others.
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    const bool control = modifiers == Qt::ControlModifier;
    const bool alt = modifiers == Qt::AltModifier;
    switch (key.key()) {
    case Qt::Key_F5:
        if (modifiers != Qt::NoModifier)
            return false;
        emit reloadAsked();
        return true;
    case Qt::Key_R:
        if (!control)
            return false;
        emit reloadAsked();
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (!alt)
            return false;
        if (key.key() == Qt::Key_Left)
            emit backAsked();
        else
            emit forwardAsked();
        return true;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
    case Qt::Key_Minus:
        if (!control)
            return false;
        emit zoomAsked(key.key() == Qt::Key_Minus ? -1 : 1);
        return true;
    case Qt::Key_0:
        if (!control)
            return false;
        emit zoomAsked(0);
        return true;
    default:
        return false;
    }
}

int PaneKeys::nextZoom(int percent, int direction)
{
    if (direction > 0) {
        for (const int step : ZoomSteps) {
            if (step > percent)
                return step;
        }
        return ZoomSteps.back();
    }
    for (auto step = ZoomSteps.rbegin(); step != ZoomSteps.rend(); ++step) {
        if (*step < percent)
            return *step;
    }
    return ZoomSteps.front();
}
