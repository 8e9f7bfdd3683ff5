#pragma once
#include <QStringList>

#include <optional>

#include "platform/SysInfo.h"

namespace plat {

// Outside Windows the System Information tool is the first of the desktop's
// system-information programs found among the tool folders.
class ToolOnPath final : public SysInfoLocator {
public:
    // toolDirs: the folders searched; unset means the PATH.
    explicit ToolOnPath(std::optional<QStringList> toolDirs = std::nullopt);
    QString Locate() override;

private:
    std::optional<QStringList> m_toolDirs;
};

}  // namespace plat
