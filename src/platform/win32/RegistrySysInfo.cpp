#include "platform/win32/RegistrySysInfo.h"

#include <QFileInfo>
#include <QStringList>

namespace plat::win32 {

QString QtFileLookup::Dir(const QString& path)
{
    if (path.isEmpty())
        return QString();
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile() || info.isHidden())
        return QString();
    return info.fileName();
}

RegistrySysInfo::RegistrySysInfo(reg::Registry& registry, FileLookup& files)
    : m_registry(registry), m_files(files)
{ }

QString RegistrySysInfo::Locate()
{
    QString SysInfoPath;
    if (GetKeyValue(reg::kHkeyLocalMachine, QLatin1String(reg::kSysInfoKey), QLatin1String(reg::kSysInfoValue),
                    SysInfoPath))
        return SysInfoPath;
    if (!GetKeyValue(reg::kHkeyLocalMachine, QLatin1String(reg::kSysInfoLocationKey),
                     QLatin1String(reg::kSysInfoLocationValue), SysInfoPath))
        return QString();
    // Only here is the file checked: the first value is trusted as it is.
    const QString file = SysInfoPath + QLatin1String(reg::kSysInfoFile);
    return m_files.Dir(file).isEmpty() ? QString() : file;
}

bool RegistrySysInfo::GetKeyValue(std::uint32_t KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                                  QString& KeyVal)
{
    const QByteArray before = KeyVal.toLocal8Bit();
    std::string value = before.toStdString();
    const bool read = reg::GetKeyValue(m_registry, KeyRoot, KeyName.toLocal8Bit().toStdString(),
                                       SubKeyRef.toLocal8Bit().toStdString(), value);
    // Untouched bytes leave the caller's text exactly as it was. Windows'
    // code page conversion stops at a NUL, so each piece between NULs is
    // converted on its own and the NULs kept.
    if (QByteArray::fromStdString(value) != before) {
        QStringList pieces;
        for (const QByteArray& piece : QByteArray::fromStdString(value).split('\0'))
            pieces << QString::fromLocal8Bit(piece);
        KeyVal = pieces.join(QChar(u'\0'));
    }
    return read;
}

}  // namespace plat::win32
