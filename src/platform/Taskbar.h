#pragma once

class QWidget;

namespace plat {

// Keeps `window` out of the taskbar (and the pager, where there is one), the
// way each platform does it. Call while the native window exists but is not
// yet shown (from showEvent).
void KeepOffTaskbar(QWidget* window);

}  // namespace plat
