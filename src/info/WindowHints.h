#pragma once
class QWidget;

// Asks the window manager to leave `window` out of the taskbar and the pager.
// Qt has no flag for it short of a tool window; this sets the EWMH state on
// X11 and does nothing elsewhere. Call while the native window exists but is
// not yet mapped (from showEvent).
void KeepOffTaskbar(QWidget* window);

// Removes the window's own icon, so a title bar that can do without one
// shows none (rather than the application's icon).
void DropWindowIcon(QWidget* window);
