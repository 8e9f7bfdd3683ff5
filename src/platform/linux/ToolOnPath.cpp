#include "platform/linux/ToolOnPath.h"

#include <QStandardPaths>

namespace plat {

ToolOnPath::ToolOnPath(std::optional<QStringList> toolDirs) : m_toolDirs(std::move(toolDirs)) { }

QString ToolOnPath::Locate()
{
    if (m_toolDirs && m_toolDirs->isEmpty())
        return QString();  // an empty list would otherwise mean the PATH
    // The desktops' system-information programs, most wanted first.
    for (const QString& name :
         {QStringLiteral("hardinfo"), QStringLiteral("hardinfo2"), QStringLiteral("kinfocenter")}) {
        const QString found = QStandardPaths::findExecutable(name, m_toolDirs.value_or(QStringList()));
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

}  // namespace plat
