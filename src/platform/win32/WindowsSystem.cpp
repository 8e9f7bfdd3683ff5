// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// What Windows gives the program: System Information from the registry.
// The sound output is in WaveOutOutput.cpp.
#include "platform/Desktop.h"
#include "platform/win32/RegistrySysInfo.h"
#include "platform/win32/WinRegistry.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace plat {

QString SysInfoTool()
{
    win32::WinRegistry registry;
    return win32::LocateSysInfo(registry);
}

// The setup and the uninstaller refuse to touch the program while this mark
// exists: files in use would be left half-removed. Held until the process
// ends; the Global name reaches a setup run from another session.
void MarkRunning()
{
    CreateMutexW(nullptr, FALSE, L"Tarmalo.Running");
    CreateMutexW(nullptr, FALSE, L"Global\\Tarmalo.Running");
}

// Windows asks a window program to end through its windows' messages, which
// Qt answers; there is no signal to catch.
void EndOnRequest() { }

}  // namespace plat
