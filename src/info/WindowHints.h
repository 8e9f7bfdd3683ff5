#pragma once
#include <QIcon>

class QWidget;

// Removes the window's own icon, so a title bar that can do without one
// shows none (rather than the application's icon).
void DropWindowIcon(QWidget* window);

// The program's icon with every size it is drawn in: the 16- and 32-pixel
// pictures for their sizes, 48 and 64 for the 32 at 1.5x and 2x. Qt picks
// the size for the place and the screen.
QIcon ProgramIcon();
