// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QString>

#include <cstdint>

#include "platform/win32/Registry.h"

namespace plat::win32 {

// The System Information tool where Windows registers it (see
// docs/sysinfo.md): first the tool's own path, failing that MSINFO32.EXE in
// the shared tools folder. Either counts only when an ordinary file is
// there, so a value with a quote or anything else after the program's name
// names no program. Empty when there is none.
QString LocateSysInfo(reg::Registry& registry);

// Reads one registry value as text into KeyVal; see reg::GetKeyValue.
bool GetKeyValue(reg::Registry& registry, std::uint32_t KeyRoot, const QString& KeyName,
                 const QString& SubKeyRef, QString& KeyVal);

}  // namespace plat::win32
