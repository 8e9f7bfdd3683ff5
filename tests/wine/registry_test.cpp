// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The Windows registry backend against a real registry (Wine's). The values
// written with `reg add` come from run.sh; the ones whose exact stored size
// matters are written here with RegSetValueExA.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/win32/Registry.h"
#include "platform/win32/WinRegistry.h"

namespace {

using plat::reg::kHkeyLocalMachine;

const char kTestKey[] = "SOFTWARE\\TarmaloTest";

int passed = 0;
int failed = 0;

void Check(bool ok, const std::string& name, const std::string& detail = std::string())
{
    if (ok) {
        ++passed;
        std::printf("ok   - %s\n", name.c_str());
    } else {
        ++failed;
        std::printf("FAIL - %s%s%s\n", name.c_str(), detail.empty() ? "" : ": ", detail.c_str());
    }
}

// For messages: NULs made visible, long texts cut.
std::string Shown(const std::string& text)
{
    std::string visible;
    for (char c : text.substr(0, 40))
        visible += c == '\0' ? std::string("\\0") : std::string(1, c);
    if (text.size() > 40)
        visible += "... (" + std::to_string(text.size()) + " bytes)";
    return "\"" + visible + "\"";
}

struct Read {
    bool result;
    std::string value;
};

Read Get(const std::string& key, const std::string& value, const std::string& before = "before")
{
    plat::win32::WinRegistry registry;
    std::string keyVal = before;
    const bool result = plat::reg::GetKeyValue(registry, kHkeyLocalMachine, key, value, keyVal);
    return {result, keyVal};
}

void Expect(const std::string& name, const std::string& key, const std::string& value, bool result,
            const std::string& expected, const std::string& before = "before")
{
    const Read got = Get(key, value, before);
    Check(got.result == result && got.value == expected, name,
          "got " + std::string(got.result ? "true " : "false ") + Shown(got.value) + ", wanted "
              + (result ? "true " : "false ") + Shown(expected));
}

// Writes a value with exactly the bytes given. A string is followed by a
// non-NUL byte in memory: RegSetValueExA counts a NUL found right after the
// data into the value, as Windows does for callers that forgot it.
bool SetExact(const char* name, DWORD type, std::string data, DWORD size)
{
    data.resize(size);
    data += 'X';
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kTestKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr)
        != ERROR_SUCCESS)
        return false;
    const LONG status = RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()), size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

// The raw size RegQueryValueExA reports, to show what the trimming works on.
DWORD StoredSize(const char* name)
{
    plat::win32::WinRegistry registry;
    plat::reg::Handle key = 0;
    if (registry.OpenKey(kHkeyLocalMachine, kTestKey, plat::reg::kKeyRead, key) != 0)
        return DWORD(-1);
    char buffer[plat::reg::kValueBufferSize] = {};
    std::uint32_t type = 0, size = sizeof buffer;
    const long status = registry.QueryValue(key, name, type, buffer, size);
    registry.CloseKey(key);
    return status == 0 ? size : DWORD(-1);
}

}  // namespace

int main()
{
    // Values from `reg add`, which stores strings with their NUL.
    Expect("string stored with its NUL", kTestKey, "WithNul", true, "C:\\Tools\\sysinfo.exe");
    Check(StoredSize("WithNul") == 21, "  ... its stored size counts the NUL",
          "size " + std::to_string(StoredSize("WithNul")));
    Expect("1023 characters and the NUL fill the buffer", kTestKey, "Fits", true, std::string(1023, 'f'));
    Expect("a string over 1024 bytes counts as missing", kTestKey, "Long", false, "");
    Expect("an empty string", kTestKey, "Empty", true, "", "before");
    Expect("a REG_DWORD reads as its decimal number", kTestKey, "Number", true, "42");
    Expect("a larger REG_DWORD", kTestKey, "Big", true, "305419896");
    Expect("a missing value", kTestKey, "NoSuchValue", false, "");
    Expect("a missing key", "SOFTWARE\\TarmaloTest\\NoSuchKey", "WithNul", false, "");
    Expect("value names ignore case", kTestKey, "withnul", true, "C:\\Tools\\sysinfo.exe");

    // Values whose stored bytes are set exactly.
    Check(SetExact("NoNul", REG_SZ, "abc", 3), "write a string without its NUL");
    Check(StoredSize("NoNul") == 3, "  ... stored as 3 bytes", "size " + std::to_string(StoredSize("NoNul")));
    Expect("string stored without its NUL keeps every character", kTestKey, "NoNul", true, "abc");
    Check(SetExact("FullNoNul", REG_SZ, std::string(1024, 'n'), 1024), "write 1024 characters without a NUL");
    Expect("1024 characters without NUL fill the buffer", kTestKey, "FullNoNul", true,
           std::string(1024, 'n'));
    Check(SetExact("Binary", REG_BINARY, "\x01\x02\x03", 3), "write a binary value");
    Expect("another type leaves the text as it was", kTestKey, "Binary", true, "kept", "kept");

    Check(SetExact("Nothing", REG_SZ, "", 0), "write a string with nothing stored");
    bool threw = false;
    try {
        Get(kTestKey, "Nothing");
    } catch (const plat::reg::EmptyRegistryValue&) {
        threw = true;
    }
    Check(threw, "nothing stored is a runtime error");

    // The System Information tool's own entry, under its real key.
    Expect("the tool's PATH value", plat::reg::kSysInfoKey, plat::reg::kSysInfoValue, true,
           "C:\\windows\\system32\\msinfo32.exe");
    Expect("the tool's folder value", plat::reg::kSysInfoLocationKey, plat::reg::kSysInfoLocationValue, true,
           "C:\\windows\\system32");

    // Handles come back usable and get closed.
    plat::win32::WinRegistry registry;
    plat::reg::Handle key = 0;
    Check(registry.OpenKey(kHkeyLocalMachine, kTestKey, plat::reg::kKeyRead, key) == 0 && key != 0,
          "open for reading");
    char buffer[16] = {};
    std::uint32_t type = 0, size = sizeof buffer;
    Check(registry.QueryValue(key, "Long", type, buffer, size) == ERROR_MORE_DATA && size > 1024,
          "a short buffer reports the size needed", "size " + std::to_string(size));
    registry.CloseKey(key);
    size = sizeof buffer;
    Check(registry.QueryValue(key, "WithNul", type, buffer, size) != 0, "a closed key reads nothing");

    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
