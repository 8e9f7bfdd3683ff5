// What Linux gives the program: options in ~/.config/Tarmalo/Tarmalo.conf,
// System Information from the PATH. The sound output is in PulseOutput.cpp.
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "platform/SysInfo.h"
#include "platform/linux/ToolOnPath.h"

namespace plat {

SettingsStore& UserSettings()
{
    static QSettingsStore store;
    return store;
}

SysInfoServices SysInfoServices::System()
{
    static ToolOnPath locator;
    static QtLauncher launcher;
    static QtMessageBoxes messages;
    return SysInfoServices{&locator, &launcher, &messages};
}

// Nothing on Linux needs to know that the program runs.
void MarkRunning() {}

}  // namespace plat
