// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// What the program takes from the desktop and tells it, which each
// platform does its own way.
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

// Tells an installer, for as long as the program runs, that it is running.
void MarkRunning();

// Ends the event loop when the system asks the program to end (SIGTERM,
// SIGHUP or SIGINT on Linux), as File > Exit does, so that choices still
// being saved can land. Call once, with the application made.
void EndOnRequest();

}  // namespace plat
