// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Off the taskbar on Windows: an owned window has no taskbar button, so the
// window is given a hidden owner of its own (Qt makes a top-level dialog
// without a parent an unowned application window).
#include "platform/Desktop.h"

#include <QWidget>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace plat {

namespace {

HWND HiddenOwner()
{
    static const HWND owner = CreateWindowExW(0, L"STATIC", L"Tarmalo", WS_POPUP, 0, 0, 0, 0, nullptr,
                                              nullptr, GetModuleHandleW(nullptr), nullptr);
    return owner;
}

}  // namespace

void KeepOffTaskbar(QWidget* window)
{
    if (!window || !window->windowHandle())
        return;
    const HWND hwnd = reinterpret_cast<HWND>(window->winId());
    if (!hwnd)
        return;
    // An application window keeps its button even when owned.
    SetWindowLongPtrW(hwnd, GWL_EXSTYLE, GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & ~LONG_PTR(WS_EX_APPWINDOW));
    const HWND owner = HiddenOwner();
    if (owner && !GetWindow(hwnd, GW_OWNER))
        SetWindowLongPtrW(hwnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
}

}  // namespace plat
