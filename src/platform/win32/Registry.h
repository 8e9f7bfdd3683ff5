// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// The system registry as the About box reads it: open a key, query one value
// into a fixed buffer, close. Plain C++ without Qt, so the Windows backend
// (platform/win32) and its tests build with nothing but a Win32 toolchain.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace plat::reg {

// The k prefix keeps these clear of the macros <windows.h> defines.
inline constexpr std::uint32_t kHkeyLocalMachine = 0x80000002u;
// KEY_READ: query value, enumerate subkeys, notify and read control. Both
// values are only read, and Windows grants more under HKEY_LOCAL_MACHINE
// only to a program run as administrator.
inline constexpr std::uint32_t kKeyRead = 0x20019u;
inline constexpr std::uint32_t kValueBufferSize = 1024;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegDword = 4;

// The status of a Win32 call that succeeded.
inline constexpr long kErrorSuccess = 0;

// Where the System Information tool is registered.
inline constexpr char kSysInfoKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr char kSysInfoValue[] = "PATH";
inline constexpr char kSysInfoLocationKey[] = "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr char kSysInfoLocationValue[] = "MSINFO";
inline constexpr char kSysInfoFile[] = "\\MSINFO32.EXE";

using Handle = std::uintptr_t;

class Registry {
public:
    virtual ~Registry() = default;
    // kErrorSuccess and a handle in `key`, or an error status.
    virtual long OpenKey(std::uint32_t root, const std::string& keyName, std::uint32_t access,
                         Handle& key) = 0;
    // `size` holds the buffer's size on entry and the bytes stored on return
    // (the bytes needed, with ERROR_MORE_DATA, when the buffer is too small).
    virtual long QueryValue(Handle key, const std::string& valueName, std::uint32_t& type, char* data,
                            std::uint32_t& size) = 0;
    virtual void CloseKey(Handle key) = 0;
};

// A value with nothing stored has no last character to trim; the About box
// shows its message for it like for any other failed lookup.
class EmptyRegistryValue : public std::runtime_error {
public:
    EmptyRegistryValue() : std::runtime_error("The registry value holds nothing") { }
};

// Reads one value as text. False, with KeyVal emptied, when the key cannot be
// opened for reading or the value cannot be read into the 1024-byte buffer.
// A REG_SZ gives its text with one terminating NUL taken off; a REG_DWORD
// gives its number in decimal; any other type leaves KeyVal as it was and
// still counts as read. A value with nothing stored throws
// EmptyRegistryValue (the key is closed first).
bool GetKeyValue(Registry& registry, std::uint32_t KeyRoot, const std::string& KeyName,
                 const std::string& SubKeyRef, std::string& KeyVal);

}  // namespace plat::reg
