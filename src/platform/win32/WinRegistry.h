// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// The registry of Windows itself, through advapi32's ANSI calls. Free of Qt
// and of <windows.h>, so including it drags in neither.
#include "platform/win32/Registry.h"

namespace plat::win32 {

class WinRegistry final : public reg::Registry {
public:
    long OpenKey(std::uint32_t root, const std::string& keyName, std::uint32_t access,
                 reg::Handle& key) override;
    long QueryValue(reg::Handle key, const std::string& valueName, std::uint32_t& type, char* data,
                    std::uint32_t& size) override;
    void CloseKey(reg::Handle key) override;
};

}  // namespace plat::win32
