// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The options on Linux: ~/.config/Tarmalo/Tarmalo.conf (wherever
// XDG_CONFIG_HOME puts it), guarded by Tarmalo.conf.lock as QSettings does.
#include "platform/SettingsBackend.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace plat::options {

namespace {

// The same place QSettings' own native store for Tarmalo would use.
QString OptionsFile()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return config.isEmpty() ? QString() : config + QStringLiteral("/Tarmalo/Tarmalo.conf");
}

// Only a regular file, or nothing yet, is Tarmalo's to open: a FIFO would
// hold the reading thread for good, and a device node, a folder or a link to
// one is the pilot's own business (QSettings would replace a node by a file
// for root, or write into it and call it stored).
bool IsOurs(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QByteArray native = QFile::encodeName(path);
    struct stat info { };
    if (::stat(native.constData(), &info) == 0)
        return S_ISREG(info.st_mode);
    // A dangling link is left alone too.
    return errno == ENOENT && ::lstat(native.constData(), &info) != 0 && errno == ENOENT;
}

}  // namespace

std::unique_ptr<QSettings> Open()
{
    const QString path = OptionsFile();
    if (!IsOurs(path))
        return nullptr;
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
}

Turn WriteTurn()
{
    const QString path = OptionsFile();
    if (!IsOurs(path))
        return Turn::Never;
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return Turn::Never;
    // Mostly there is no lock, and a slow disk is spared taking one twice.
    const QString lockPath = path + QStringLiteral(".lock");
    if (!QFileInfo::exists(lockPath))
        return Turn::Now;
    // Taken and let go at once: QSettings takes it again for the write. A
    // lock left by a program that has ended is cleared here.
    QLockFile lock(lockPath);
    if (lock.tryLock(0))
        return Turn::Now;
    // Held by a running program: its write ends soon. A lock in a folder
    // that cannot be written would never come free.
    if (lock.error() == QLockFile::LockFailedError
        && ::access(QFile::encodeName(folder).constData(), W_OK) == 0)
        return Turn::Later;
    return Turn::Never;
}

}  // namespace plat::options
