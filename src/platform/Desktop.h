// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// What the program takes from the desktop and tells it, which each
// platform does its own way.
#include <QString>

#include <functional>

class QObject;
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

// Picks the window system the fixed layout needs, unless the pilot named one:
// X11 on a Wayland desktop that also offers an X display, as only a window
// manager keeps the window's size, place and title bar. Call before the
// application object exists; true when it picked one.
bool ChooseWindowSystem();

// Tells screen readers that a label now says `text`, beside the notification
// every platform gets, where the platform reads only this aloud.
void SayTextChanged(QWidget* label, const QString& text);

// Calls `jumped` through the event loop, for as long as `owner` lives,
// whenever the wall clock jumps: set by hand, or woken from sleep, when
// timers counting real time are late by the whole sleep.
void WatchClockJumps(QObject* owner, std::function<void()> jumped);

// Ends the event loop when the system asks the program to end (SIGTERM,
// SIGHUP or SIGINT on Linux), as File > Exit does, so that choices still
// being saved can land. Call once, with the application made.
void EndOnRequest();

}  // namespace plat
