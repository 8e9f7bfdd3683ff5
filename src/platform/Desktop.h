#pragma once
// What the About box takes from the desktop, which each platform gives its
// own way.
#include <QString>

class QWidget;

namespace plat {

// The desktop's System Information program: its full path, or an empty text
// when there is none (the registry on Windows, the PATH elsewhere; see
// docs/sysinfo.md). May throw, which also counts as none.
QString SysInfoTool();

// Keeps `window` out of the taskbar (and the pager, where there is one). Call
// while the native window exists but is not yet shown (from showEvent).
void KeepOffTaskbar(QWidget* window);

}  // namespace plat
