// What Windows gives the program: options where Windows programs of its kind
// keep theirs (HKEY_CURRENT_USER\Software\VB and VBA Program Settings),
// System Information from the registry. The sound output is in
// WaveOutOutput.cpp.
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "platform/SysInfo.h"
#include "platform/win32/RegistrySysInfo.h"
#include "platform/win32/WinRegistry.h"

namespace plat {

SettingsStore& UserSettings()
{
    static QSettingsStore store(QStringLiteral("VB and VBA Program Settings"));
    return store;
}

SysInfoServices SysInfoServices::System()
{
    static win32::WinRegistry registry;
    static win32::QtFileLookup files;
    static win32::RegistrySysInfo locator(registry, files);
    static QtLauncher launcher;
    static QtMessageBoxes messages;
    return SysInfoServices{&locator, &launcher, &messages};
}

}  // namespace plat
