#include "platform/SysInfo.h"

#include <QProcess>

#include "platform/RuntimeError.h"

namespace plat {

qint64 QtLauncher::Shell(const QString& pathName, int /*windowStyle*/)
{
    qint64 pid = 0;
    if (pathName.isEmpty() || !QProcess::startDetached(pathName, {}, QString(), &pid))
        throw RuntimeError(ERR_FILE_NOT_FOUND, QStringLiteral("File not found"));
    return pid;
}

}  // namespace plat
