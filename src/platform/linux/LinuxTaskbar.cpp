// Off the taskbar on X11: the EWMH state, which Qt has no flag for short of a
// tool window. Does nothing on other Linux platforms (offscreen, Wayland).
#include "platform/Taskbar.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#if QT_CONFIG(xcb) && __has_include(<xcb/xcb.h>)
#define TARMALO_X11_HINTS 1
#include <QtGui/qguiapplication_platform.h>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <xcb/xcb.h>
#endif

#ifdef TARMALO_X11_HINTS
namespace {

// libxcb is already loaded by Qt's xcb plugin; it is looked up at run time so
// that the program needs no link to it of its own.
struct Xcb {
    decltype(&xcb_intern_atom) intern_atom = nullptr;
    decltype(&xcb_intern_atom_reply) intern_atom_reply = nullptr;
    decltype(&xcb_change_property) change_property = nullptr;
    decltype(&xcb_flush) flush = nullptr;

    explicit operator bool() const { return intern_atom && intern_atom_reply && change_property && flush; }
};

template <typename F>
void Resolve(void* lib, const char* name, F& fn)
{
    fn = reinterpret_cast<F>(dlsym(lib, name));
}

xcb_atom_t Atom(const Xcb& xcb, xcb_connection_t* c, const char* name)
{
    const auto cookie = xcb.intern_atom(c, 0, uint16_t(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb.intern_atom_reply(c, cookie, nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
}

}  // namespace
#endif

namespace plat {

void KeepOffTaskbar(QWidget* window)
{
#ifdef TARMALO_X11_HINTS
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !window || !window->windowHandle())
        return;  // another platform (offscreen, Wayland) or no native window yet
    xcb_connection_t* connection = x11->connection();
    void* lib = dlopen("libxcb.so.1", RTLD_LAZY | RTLD_NOLOAD);
    if (!connection || !lib)
        return;
    Xcb xcb;
    Resolve(lib, "xcb_intern_atom", xcb.intern_atom);
    Resolve(lib, "xcb_intern_atom_reply", xcb.intern_atom_reply);
    Resolve(lib, "xcb_change_property", xcb.change_property);
    Resolve(lib, "xcb_flush", xcb.flush);
    if (xcb) {
        const xcb_atom_t state = Atom(xcb, connection, "_NET_WM_STATE");
        const xcb_atom_t skip[] = {Atom(xcb, connection, "_NET_WM_STATE_SKIP_TASKBAR"),
                                   Atom(xcb, connection, "_NET_WM_STATE_SKIP_PAGER")};
        // Appended: Qt merges what it finds here with its own states on mapping.
        if (state != XCB_ATOM_NONE && skip[0] != XCB_ATOM_NONE && skip[1] != XCB_ATOM_NONE) {
            xcb.change_property(connection, XCB_PROP_MODE_APPEND, xcb_window_t(window->winId()), state,
                                XCB_ATOM_ATOM, 32, 2, skip);
            xcb.flush(connection);
        }
    }
    dlclose(lib);
#else
    (void)window;
#endif
}

}  // namespace plat
