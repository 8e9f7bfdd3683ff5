// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/win32/RegistrySysInfo.h"

#include <QFileInfo>
#include <QStringList>

namespace plat::win32 {

namespace {

// An ordinary file, not hidden. Windows allows no quote in a file name, so a
// value carrying arguments after a quoted program never passes.
bool IsProgramFile(const QString& path)
{
    const QFileInfo info(path);
    return !path.isEmpty() && info.isFile() && !info.isHidden();
}

}  // namespace

QString LocateSysInfo(reg::Registry& registry)
{
    QString SysInfoPath;
    if (!GetKeyValue(registry, reg::kHkeyLocalMachine, QLatin1String(reg::kSysInfoKey),
                     QLatin1String(reg::kSysInfoValue), SysInfoPath)) {
        if (!GetKeyValue(registry, reg::kHkeyLocalMachine, QLatin1String(reg::kSysInfoLocationKey),
                         QLatin1String(reg::kSysInfoLocationValue), SysInfoPath))
            return QString();
        SysInfoPath += QLatin1String(reg::kSysInfoFile);
    }
    return IsProgramFile(SysInfoPath) ? SysInfoPath : QString();
}

bool GetKeyValue(reg::Registry& registry, std::uint32_t KeyRoot, const QString& KeyName,
                 const QString& SubKeyRef, QString& KeyVal)
{
    const QByteArray before = KeyVal.toLocal8Bit();
    std::string value = before.toStdString();
    const bool read = reg::GetKeyValue(registry, KeyRoot, KeyName.toLocal8Bit().toStdString(),
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
