// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Off the taskbar on X11: the EWMH state, which Qt has no flag for short of a
// tool window. Does nothing on other Linux platforms (offscreen, Wayland).
#include "platform/Desktop.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace {

xcb_atom_t Atom(xcb_connection_t* c, const char* name)
{
    const auto cookie = xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
}

}  // namespace

namespace plat {

void KeepOffTaskbar(QWidget* window)
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection || !window || !window->windowHandle())
        return;  // another platform (offscreen, Wayland) or no native window yet
    const xcb_atom_t state = Atom(connection, "_NET_WM_STATE");
    const xcb_atom_t skip[] = {Atom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
                               Atom(connection, "_NET_WM_STATE_SKIP_PAGER")};
    // Appended: Qt merges what it finds here with its own states on mapping.
    if (state != XCB_ATOM_NONE && skip[0] != XCB_ATOM_NONE && skip[1] != XCB_ATOM_NONE) {
        xcb_change_property(connection, XCB_PROP_MODE_APPEND, xcb_window_t(window->winId()), state,
                            XCB_ATOM_ATOM, 32, 2, skip);
        xcb_flush(connection);
    }
}

}  // namespace plat
