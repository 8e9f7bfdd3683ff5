// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/win32/Registry.h"

#include <vector>

namespace plat::reg {

namespace {

// Closes the key on every way out, the error of the trimming included, so
// that no press of System Info leaves a handle behind.
class OpenedKey {
public:
    OpenedKey(Registry& registry, Handle key) : m_registry(registry), m_key(key) { }
    ~OpenedKey() { m_registry.CloseKey(m_key); }
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;

private:
    Registry& m_registry;
    Handle m_key;
};

// A number is stored little-endian; a short one counts its missing high bytes
// as zero rather than reading what the buffer held before.
std::string DwordText(const std::vector<char>& buffer, std::uint32_t size)
{
    std::uint32_t value = 0;
    for (std::uint32_t i = 0; i < size && i < 4; ++i)
        value |= std::uint32_t(static_cast<unsigned char>(buffer[i])) << (8 * i);
    return std::to_string(value);
}

}  // namespace

bool GetKeyValue(Registry& registry, std::uint32_t KeyRoot, const std::string& KeyName,
                 const std::string& SubKeyRef, std::string& KeyVal)
{
    Handle hKey = 0;
    if (registry.OpenKey(KeyRoot, KeyName, kKeyRead, hKey) != kErrorSuccess) {
        KeyVal.clear();
        return false;
    }
    OpenedKey closer(registry, hKey);

    std::vector<char> buffer(kValueBufferSize, '\0');
    std::uint32_t KeyValSize = kValueBufferSize;
    std::uint32_t KeyValType = 0;
    if (registry.QueryValue(hKey, SubKeyRef, KeyValType, buffer.data(), KeyValSize) != kErrorSuccess) {
        KeyVal.clear();
        return false;
    }
    // A backend claiming more than the buffer holds would have overrun it.
    if (KeyValSize > kValueBufferSize) {
        KeyVal.clear();
        return false;
    }

    // Take off the terminating NUL when the value was stored with one; the
    // last stored character sits at position KeyValSize counting from 1,
    // which does not exist when nothing was stored.
    if (KeyValSize == 0)
        throw EmptyRegistryValue();
    const std::size_t kept = buffer[KeyValSize - 1] == '\0' ? KeyValSize - 1 : KeyValSize;
    std::string trimmed(buffer.data(), kept);

    switch (KeyValType) {
    case kRegSz: KeyVal = trimmed; break;
    case kRegDword: KeyVal = DwordText(buffer, KeyValSize); break;
    default: break;
    }
    return true;
}

}  // namespace plat::reg
