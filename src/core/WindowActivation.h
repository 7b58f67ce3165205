#pragma once

#include <QByteArray>

class QWidget;

// Shows a window in front. A window opened for another start of the program carries the token
// the desktop gave that start, without which a desktop that prevents focus stealing leaves the
// new window behind the one in use: on Wayland it is the xdg-activation token, on X11 the
// startup identifier (which also ends the launcher's busy cursor).
class WindowActivation final
{
    Q_DISABLE_COPY_MOVE(WindowActivation)
public:
    WindowActivation() = delete;

    // token empty: as any window the program opens itself.
    static void show(QWidget *window, const QByteArray &token);
};
