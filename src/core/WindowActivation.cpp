#include "core/WindowActivation.h"

#include <cstdlib>
#include <algorithm>
#include <cstring>

#include <QGuiApplication>
#include <QWidget>
#include <xcb/xcb.h>

namespace {

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t found = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return found;
}

xcb_connection_t *x11Connection()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// The window manager reads the identifier when the window is mapped, so it is set before.
void markStartup(xcb_connection_t *connection, QWidget *window, const QByteArray &token)
{
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(window->winId()),
                        atom(connection, "_NET_STARTUP_ID"), atom(connection, "UTF8_STRING"), 8,
                        uint32_t(token.size()), token.constData());
}

// The freedesktop.org startup notification's "remove" message, which ends the launcher's busy
// cursor: the text with its final NUL in pieces of 20 bytes sent to the root window, the
// first of type _NET_STARTUP_INFO_BEGIN.
void endStartup(xcb_connection_t *connection, QWidget *window, const QByteArray &token)
{
    const QByteArray message = "remove: ID=\"" + token + "\"";
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const xcb_atom_t begin = atom(connection, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = atom(connection, "_NET_STARTUP_INFO");
    const qsizetype length = message.size() + 1;
    for (qsizetype sent = 0; sent < length; sent += 20) {
        xcb_client_message_event_t event;
        std::memset(&event, 0, sizeof event);
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 8;
        event.type = sent == 0 ? begin : more;
        event.window = xcb_window_t(window->winId());
        std::memcpy(event.data.data8, message.constData() + sent, size_t(std::min<qsizetype>(20, length - sent)));
        xcb_send_event(connection, 0, root, XCB_EVENT_MASK_PROPERTY_CHANGE, reinterpret_cast<const char *>(&event));
    }
    xcb_flush(connection);
}

} // namespace

void WindowActivation::show(QWidget *window, const QByteArray &token)
{
    const bool wayland = QGuiApplication::platformName() == QLatin1String("wayland");
    xcb_connection_t *x11 = token.isEmpty() ? nullptr : x11Connection();
    // Qt 6.4 to 6.8 hand this variable to the compositor when the window is activated (6.8
    // already when it is shown) and then remove it.
    if (wayland && !token.isEmpty())
        qputenv("XDG_ACTIVATION_TOKEN", token);
    if (x11)
        markStartup(x11, window, token);
    window->show();
    window->raise();
    window->activateWindow();
    if (x11)
        endStartup(x11, window, token);
    // Qt leaves it where the compositor has no xdg-activation; no later window or program
    // started from here may take a token given for this one.
    if (wayland && !token.isEmpty())
        qunsetenv("XDG_ACTIVATION_TOKEN");
}
