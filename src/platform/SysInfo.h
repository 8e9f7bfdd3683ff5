#pragma once
// What the About box needs to find and start the System Information tool:
// the registry, a file lookup, a program launcher and message boxes, each
// replaceable by a fake in tests.
#include <QHash>
#include <QString>
#include <QStringList>

#include <map>
#include <optional>

#include "platform/Registry.h"

namespace plat {

class MessageBoxes;

// Window style of the old Shell call: normal size and place, with the focus.
inline constexpr int vbNormalFocus = 1;

class FileLookup {
public:
    virtual ~FileLookup() = default;
    // The name of the ordinary file at `path`, or an empty text when there is
    // none (missing, a folder, hidden).
    virtual QString Dir(const QString& path) = 0;
};

class Launcher {
public:
    virtual ~Launcher() = default;
    // Starts the program at `pathName` without waiting for it and returns its
    // process id; throws RuntimeError when it cannot be started.
    virtual qint64 Shell(const QString& pathName, int windowStyle) = 0;
};

// Both accept Windows-style paths: a backslash counts as a folder separator
// (as it does on Windows), so "folder\MSINFO32.EXE" works on every system.
class QtFileLookup final : public FileLookup {
public:
    QString Dir(const QString& path) override;
};

class QtLauncher final : public Launcher {
public:
    // The window style is left to the window manager outside Windows: a newly
    // started program normally gets the focus there anyway.
    qint64 Shell(const QString& pathName, int windowStyle) override;
};

// "a\b/c" -> "a/b/c" outside Windows; unchanged on Windows.
QString NativeToolPath(const QString& path);

// The registry outside Windows (see docs/sysinfo.md). Keys and values come
// from a read-only configuration file in the layout of a .reg export:
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Shared Tools\MSINFO]
//   PATH=/usr/bin/hardinfo
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Shared Tools Location]
//   MSINFO=/opt/sysinfo
//
// Where the file does not set the tool's PATH, that value is the full path of
// the first system-information program found among the tool folders. Names
// are matched without regard to case, as the Windows registry does. The file
// is read afresh at every OpenKey; nothing is ever written.
class ConfigRegistry final : public reg::Registry {
public:
    // toolDirs: the folders searched for the programs; unset means the PATH.
    explicit ConfigRegistry(QString configFile = DefaultConfigFile(),
                            std::optional<QStringList> toolDirs = std::nullopt);

    static QString DefaultConfigFile();
    // The programs looked for, most wanted first.
    static QStringList ToolNames();

    long OpenKey(std::uint32_t root, const std::string& keyName, std::uint32_t access,
                 reg::Handle& key) override;
    long QueryValue(reg::Handle key, const std::string& valueName, std::uint32_t& type, char* data,
                    std::uint32_t& size) override;
    void CloseKey(reg::Handle key) override;

private:
    struct Value {
        std::uint32_t type;
        QByteArray data;
    };
    using Values = QHash<QString, Value>;  // by lower-case value name

    // Sections of the file by lower-case key path (without the root's name).
    QHash<QString, Values> ReadConfig() const;
    QString FindTool() const;

    QString m_configFile;
    std::optional<QStringList> m_toolDirs;
    std::map<reg::Handle, Values> m_open;
    reg::Handle m_nextHandle = 1;
};

// The services the About box is given; System() are the real ones.
struct SysInfoServices {
    reg::Registry* registry = nullptr;
    FileLookup* files = nullptr;
    Launcher* launcher = nullptr;
    MessageBoxes* messages = nullptr;

    static SysInfoServices System();
};

}  // namespace plat
