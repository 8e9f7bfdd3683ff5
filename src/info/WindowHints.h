#pragma once
#include <QIcon>

class QWidget;

// Asks the window manager to leave `window` out of the taskbar and the pager.
// Qt has no flag for it short of a tool window; this sets the EWMH state on
// X11 and does nothing elsewhere. Call while the native window exists but is
// not yet mapped (from showEvent).
void KeepOffTaskbar(QWidget* window);

// Removes the window's own icon, so a title bar that can do without one
// shows none (rather than the application's icon).
void DropWindowIcon(QWidget* window);

// The program's icon with every size it is drawn in: the 16- and 32-pixel
// pictures for their sizes, 48 and 64 for the 32 at 1.5x and 2x. Qt picks
// the size for the place and the screen.
QIcon ProgramIcon();
