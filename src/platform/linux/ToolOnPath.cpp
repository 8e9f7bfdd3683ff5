#include "platform/linux/ToolOnPath.h"

#include <QStandardPaths>

namespace plat {

ToolOnPath::ToolOnPath(std::optional<QStringList> toolDirs) : m_toolDirs(std::move(toolDirs)) { }

QStringList ToolOnPath::ToolNames()
{
    return {QStringLiteral("hardinfo"), QStringLiteral("hardinfo2"), QStringLiteral("kinfocenter")};
}

QString ToolOnPath::Locate()
{
    if (m_toolDirs && m_toolDirs->isEmpty())
        return QString();  // an empty list would otherwise mean the PATH
    for (const QString& name : ToolNames()) {
        const QString found = QStandardPaths::findExecutable(name, m_toolDirs.value_or(QStringList()));
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

}  // namespace plat
