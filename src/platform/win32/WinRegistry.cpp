// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/win32/WinRegistry.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace plat::win32 {

namespace {

// A predefined root is a 32-bit number that Windows sign-extends into a
// handle: HKEY_LOCAL_MACHINE is 0xFFFFFFFF80000002 in a 64-bit program.
HKEY RootHandle(std::uint32_t root)
{
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}

HKEY KeyHandle(reg::Handle key)
{
    return reinterpret_cast<HKEY>(key);
}

}  // namespace

long WinRegistry::OpenKey(std::uint32_t root, const std::string& keyName, std::uint32_t access,
                          reg::Handle& key)
{
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExA(RootHandle(root), keyName.c_str(), 0, access, &opened);
    if (status == ERROR_SUCCESS)
        key = reinterpret_cast<reg::Handle>(opened);
    return status;
}

long WinRegistry::QueryValue(reg::Handle key, const std::string& valueName, std::uint32_t& type, char* data,
                             std::uint32_t& size)
{
    DWORD valueType = 0;
    DWORD valueSize = size;
    const LONG status = RegQueryValueExA(KeyHandle(key), valueName.c_str(), nullptr, &valueType,
                                         reinterpret_cast<BYTE*>(data), &valueSize);
    type = valueType;
    size = valueSize;
    return status;
}

void WinRegistry::CloseKey(reg::Handle key)
{
    RegCloseKey(KeyHandle(key));
}

}  // namespace plat::win32
