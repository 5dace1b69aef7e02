#include "OsWindow.h"

#include <QGuiApplication>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace Zentar::App::Os
{
namespace
{

bool ActivateOwnWindow(WindowId id)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return false;
    const auto windows = QGuiApplication::allWindows();
    for (QWindow* window : windows) {
        // winId() would create a native window for one that has none yet.
        if (!window->handle() || window->winId() != id)
            continue;
        if (!window->isVisible())
            return false;
        if (window->windowStates() & Qt::WindowMinimized)
            window->setWindowStates(window->windowStates() & ~Qt::WindowMinimized);
        window->raise();
        window->requestActivate();
        return true;
    }
    return false;
}

template <class T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <class T> Reply<T> Take(T* reply)
{
    return Reply<T>(reply, &std::free);
}

xcb_atom_t Atom(xcb_connection_t* connection, const char* name)
{
    auto reply = Take(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

xcb_window_t WindowProperty(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property)
{
    auto reply = Take(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, property, XCB_ATOM_WINDOW, 0, 1), nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4)
        return XCB_WINDOW_NONE;
    return *static_cast<xcb_window_t*>(xcb_get_property_value(reply.get()));
}

// A compliant window manager announces itself on a check window that names
// itself, and lists the requests it honours.
bool WindowManagerHonours(xcb_connection_t* connection, xcb_window_t root, xcb_atom_t request)
{
    const xcb_atom_t check = Atom(connection, "_NET_SUPPORTING_WM_CHECK");
    const xcb_window_t checkWindow = WindowProperty(connection, root, check);
    if (checkWindow == XCB_WINDOW_NONE || WindowProperty(connection, checkWindow, check) != checkWindow)
        return false;
    auto reply = Take(xcb_get_property_reply(connection,
        xcb_get_property(connection, 0, root, Atom(connection, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 0, 4096),
        nullptr));
    if (!reply || reply->format != 32)
        return false;
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    for (int i = 0; i < count; ++i)
        if (atoms[i] == request)
            return true;
    return false;
}

bool ActivateX11Window(WindowId id)
{
    if (id == 0 || id > 0xFFFFFFFFu)
        return false;
    std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> connection(
        xcb_connect(nullptr, nullptr), &xcb_disconnect);
    if (xcb_connection_has_error(connection.get()))
        return false;
    xcb_connection_t* c = connection.get();
    const auto window = static_cast<xcb_window_t>(id);

    xcb_generic_error_t* error = nullptr;
    auto attributes = Take(xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), &error));
    std::free(error);
    auto geometry = Take(xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
    if (!attributes || !geometry)
        return false;
    const xcb_window_t root = geometry->root;

    const xcb_atom_t activeWindow = Atom(c, "_NET_ACTIVE_WINDOW");
    if (WindowManagerHonours(c, root, activeWindow)) {
        xcb_client_message_event_t event;
        std::memset(&event, 0, sizeof event);
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = activeWindow;
        // Source 2 speaks for the user, as a task bar does, which window
        // managers let through their focus-stealing prevention.
        event.data.data32[0] = 2;
        event.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
            reinterpret_cast<const char*>(&event));
    } else {
        if (attributes->map_state != XCB_MAP_STATE_VIEWABLE)
            xcb_map_window(c, window);
        const uint32_t above = XCB_STACK_MODE_ABOVE;
        xcb_configure_window(c, window, XCB_CONFIG_WINDOW_STACK_MODE, &above);
        xcb_set_input_focus(c, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
    }
    // A round trip, so the server has acted before the connection closes.
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    return true;
}

} // namespace

bool ActivateWindow(WindowId window)
{
    return ActivateOwnWindow(window) || ActivateX11Window(window);
}

} // namespace Zentar::App::Os
