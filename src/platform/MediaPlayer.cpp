#include "platform/MediaPlayer.h"

#include <QDir>

namespace plat {

QString BuildPath(const QString& folder, const QString& name)
{
    if (folder.isEmpty())
        return name;
    const QChar last = folder.back();
    if (last == u'/' || last == QDir::separator())
        return folder + name;
    return folder + u'/' + name;
}

}  // namespace plat
