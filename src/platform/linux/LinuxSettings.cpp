// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The options on Linux: $XDG_CONFIG_HOME/Tarmalo/Tarmalo.conf (~/.config by
// default) in QSettings' own form and under its lock file, replaced whole.
#include "platform/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QLockFile>
#include <QSaveFile>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat::options {

namespace {

// A relative XDG_CONFIG_HOME is no place, and without HOME there is none.
QString OptionsFile()
{
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME"), home = qEnvironmentVariable("HOME");
    const QString config = QDir::isAbsolutePath(xdg)    ? xdg
                           : QDir::isAbsolutePath(home) ? home + "/.config"
                                                        : "";
    return config.isEmpty() ? config : QStringLiteral("%1/%2/%2.conf").arg(config, qApp->applicationName());
}

// The regular file the options are in, or will be. Root follows no link
// that another user planted on a file not theirs.
std::optional<QString> Target(const QString& path)
{
    struct stat link {
    }, file{};
    if (::lstat(QFile::encodeName(path).constData(), &link) != 0)
        return errno == ENOENT && !path.isEmpty() ? std::optional(path) : std::nullopt;
    if (!S_ISLNK(link.st_mode))
        return S_ISREG(link.st_mode) ? std::optional(path) : std::nullopt;
    const bool theirs = ::stat(QFile::encodeName(path).constData(), &file) == 0 && S_ISREG(file.st_mode)
                        && (link.st_uid == ::geteuid() || link.st_uid == file.st_uid);
    return theirs ? std::optional(QFileInfo(path).canonicalFilePath()) : std::nullopt;
}

// Opened without blocking and looked at before it is read: a FIFO or a
// device swapped in after the look at the path is never read.
std::optional<Texts> Contents(const std::optional<QString>& path)
{
    const int fd =
        path ? ::open(QFile::encodeName(*path).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC)
             : -1;
    QFile file;
    struct stat info { };
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle) || ::fstat(fd, &info) != 0
        || !S_ISREG(info.st_mode))
        return path && fd < 0 && errno == ENOENT ? std::optional(Texts()) : std::nullopt;
    Texts texts;
    bool ours = false;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QByteArray line = raw.trimmed();
        const qsizetype equals = line.indexOf('=');
        if (line.startsWith('['))
            ours = line == "[Setting]";
        else if (ours && equals > 0)
            texts.insert(QString::fromUtf8(line.first(equals).trimmed()),
                         QString::fromUtf8(line.sliced(equals + 1).trimmed()));
    }
    return file.error() == QFileDevice::NoError ? std::optional(texts) : std::nullopt;
}

}  // namespace

std::optional<Texts> Read()
{
    return Contents(Target(OptionsFile()));
}

bool Write(const Texts& texts, const std::function<bool()>& over)
{
    const QString path = OptionsFile(), folder = QFileInfo(path).path();
    if (path.isEmpty() || !(QFileInfo::exists(folder) || QDir().mkpath(folder)))
        return false;
    QLockFile lock(path + QStringLiteral(".lock"));
    // Another program's lock comes free soon, unless it lies where it cannot be removed.
    while (!lock.tryLock(0) && lock.error() == QLockFile::LockFailedError
           && ::access(QFile::encodeName(folder).constData(), W_OK) == 0 && !over())
        QThread::msleep(150);
    const std::optional<QString> target = lock.isLocked() ? Target(path) : std::nullopt;
    std::optional<Texts> all = Contents(target);
    if (!all || over())
        return false;
    all->insert(texts);
    QByteArray bytes = "[Setting]\n";
    for (auto it = all->cbegin(); it != all->cend(); ++it)
        bytes += it.key().toUtf8() + '=' + it.value().toUtf8() + '\n';
    QSaveFile file(*target);
    return !over() && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && !over()
           && file.commit();
}

}  // namespace plat::options
