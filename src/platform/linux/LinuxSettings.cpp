// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The options on Linux: in ~/.config/Tarmalo/Tarmalo.conf, as QSettings writes it.
#include "platform/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QLockFile>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat::options {

// A relative XDG_CONFIG_HOME is no place, and without HOME there is none.
static QString OptionsFile()
{
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME"), home = qEnvironmentVariable("HOME");
    const QString config = QDir::isAbsolutePath(xdg)    ? xdg
                           : QDir::isAbsolutePath(home) ? home + "/.config"
                                                        : "";
    return config.isEmpty() ? config : QStringLiteral("%1/%2/%2.conf").arg(config, qApp->applicationName());
}

// Opened without blocking and looked at once open: a FIFO or a device, also
// one swapped in meanwhile, is never read. Through a link only where the
// link's owner could have written the file: root follows no link another
// user planted.
std::optional<Texts> Read()
{
    const QByteArray name = QFile::encodeName(OptionsFile());
    struct stat link = {}, info = {};
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT && !name.isEmpty() && ::lstat(name.constData(), &link) != 0)
        return Texts();  // none yet, and no link that names none
    QFile file;
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle) || ::fstat(fd, &info) != 0
        || !S_ISREG(info.st_mode) || ::lstat(name.constData(), &link) != 0
        || (S_ISLNK(link.st_mode) && link.st_uid != ::geteuid() && link.st_uid != info.st_uid))
        return std::nullopt;
    Texts texts;
    QByteArray section;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('['))
            section = line;
        else if (const qsizetype equals = line.indexOf('='); section == "[Setting]" && equals > 0)
            texts.insert(QString::fromUtf8(line.first(equals).trimmed()),
                         QString::fromUtf8(line.sliced(equals + 1).trimmed()));
    }
    return file.error() == QFileDevice::NoError ? std::optional(texts) : std::nullopt;
}

bool Write(const Texts& texts, const std::function<bool()>& over)
{
    const QString path = OptionsFile(), folder = QFileInfo(path).path();
    if (path.isEmpty() || !QDir().mkpath(folder))
        return false;
    QLockFile lock(path + QStringLiteral(".lock"));
    // Another program's lock comes free soon, unless it lies where it cannot be removed.
    while (!lock.tryLock(0) && lock.error() == QLockFile::LockFailedError
           && ::access(QFile::encodeName(folder).constData(), W_OK) == 0 && !over())
        ::usleep(150000);
    std::optional<Texts> all = lock.isLocked() ? Read() : std::nullopt;
    if (!all)
        return false;
    all->insert(texts);
    QByteArray bytes = "[Setting]\n";
    for (auto it = all->cbegin(); it != all->cend(); ++it)
        bytes += it.key().toUtf8() + '=' + it.value().toUtf8() + '\n';
    QSaveFile file(path);  // through a link, to the file it names
    return !over() && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && !over()
           && file.commit();
}

}  // namespace plat::options
