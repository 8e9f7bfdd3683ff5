#pragma once
#include <cstdint>

#include "platform/SysInfo.h"
#include "platform/win32/Registry.h"

namespace plat::win32 {

class FileLookup {
public:
    virtual ~FileLookup() = default;
    // The name of the ordinary file at `path`, or an empty text when there is
    // none (missing, a folder, hidden).
    virtual QString Dir(const QString& path) = 0;
};

class QtFileLookup final : public FileLookup {
public:
    QString Dir(const QString& path) override;
};

// The System Information tool where Windows registers it (see
// docs/sysinfo.md): first the tool's own path, trusted as it is; failing
// that, MSINFO32.EXE in the shared tools folder, if the file is there.
class RegistrySysInfo final : public SysInfoLocator {
public:
    RegistrySysInfo(reg::Registry& registry, FileLookup& files);
    QString Locate() override;
    // Reads one registry value as text into KeyVal; see reg::GetKeyValue.
    bool GetKeyValue(std::uint32_t KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                     QString& KeyVal);

private:
    reg::Registry& m_registry;
    FileLookup& m_files;
};

}  // namespace plat::win32
