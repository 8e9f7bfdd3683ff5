#include "platform/SysInfo.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>

#include <cstring>

#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"

#ifdef _WIN32
#include "platform/win32/WinRegistry.h"
#endif

namespace plat {

QString NativeToolPath(const QString& path)
{
#ifdef _WIN32
    return path;
#else
    QString native = path;
    native.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return native;
#endif
}

QString QtFileLookup::Dir(const QString& path)
{
    if (path.isEmpty())
        return QString();
    const QFileInfo info(NativeToolPath(path));
    if (!info.exists() || !info.isFile() || info.isHidden())
        return QString();
    return info.fileName();
}

qint64 QtLauncher::Shell(const QString& pathName, int /*windowStyle*/)
{
    const QString program = NativeToolPath(pathName);
    qint64 pid = 0;
    if (program.isEmpty() || !QProcess::startDetached(program, {}, QString(), &pid))
        throw RuntimeError(ERR_FILE_NOT_FOUND, QStringLiteral("File not found"));
    return pid;
}

// --- ConfigRegistry -------------------------------------------------------

namespace {

const QString kRootName = QStringLiteral("HKEY_LOCAL_MACHINE\\");
const QString kRootShortName = QStringLiteral("HKLM\\");

QString KeyId(const QString& keyName)
{
    return keyName.trimmed().toLower();
}

QByteArray StringData(const QString& text)
{
    QByteArray data = text.toLocal8Bit();
    data.append('\0');  // stored with its terminator, as Windows' tools store it
    return data;
}

// A quoted text in a .reg export escapes backslash and quote.
QString Unquote(const QString& text)
{
    if (text.size() < 2 || !text.startsWith(QLatin1Char('"')) || !text.endsWith(QLatin1Char('"')))
        return text;
    QString out;
    const QString inner = text.mid(1, text.size() - 2);
    for (qsizetype i = 0; i < inner.size(); ++i) {
        if (inner[i] == QLatin1Char('\\') && i + 1 < inner.size())
            ++i;
        out += inner[i];
    }
    return out;
}

}  // namespace

ConfigRegistry::ConfigRegistry(QString configFile, std::optional<QStringList> toolDirs)
    : m_configFile(std::move(configFile)), m_toolDirs(std::move(toolDirs))
{ }

QString ConfigRegistry::DefaultConfigFile()
{
    return QStringLiteral("/etc/tarmalo/registry.ini");
}

QStringList ConfigRegistry::ToolNames()
{
    return {QStringLiteral("hardinfo"), QStringLiteral("hardinfo2"), QStringLiteral("kinfocenter")};
}

QHash<QString, ConfigRegistry::Values> ConfigRegistry::ReadConfig() const
{
    QHash<QString, Values> keys;
    QFile file(m_configFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return keys;

    QTextStream in(&file);
    Values* current = nullptr;  // null inside a section of another root
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            const QString path = line.mid(1, line.size() - 2).trimmed();
            current = nullptr;
            for (const QString& root : {kRootName, kRootShortName}) {
                if (path.startsWith(root, Qt::CaseInsensitive)) {
                    current = &keys[KeyId(path.mid(root.size()))];
                    break;
                }
            }
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (current == nullptr || eq <= 0)
            continue;
        const QString name = Unquote(line.left(eq).trimmed()).toLower();
        const QString text = line.mid(eq + 1).trimmed();
        if (text.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
            bool ok = false;
            const quint32 number = text.mid(6).toUInt(&ok, 16);
            if (!ok)
                continue;
            QByteArray data(4, '\0');
            for (int i = 0; i < 4; ++i)
                data[i] = char((number >> (8 * i)) & 0xFF);
            current->insert(name, Value{reg::kRegDword, data});
        } else {
            current->insert(name, Value{reg::kRegSz, StringData(Unquote(text))});
        }
    }
    return keys;
}

QString ConfigRegistry::FindTool() const
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

long ConfigRegistry::OpenKey(std::uint32_t root, const std::string& keyName, std::uint32_t /*access*/,
                             reg::Handle& key)
{
    // Nothing here is ever written, so no access right needs refusing.
    if (root != reg::kHkeyLocalMachine)
        return reg::kErrorFileNotFound;

    const QString id = KeyId(QString::fromLocal8Bit(keyName));
    const QHash<QString, Values> keys = ReadConfig();
    const bool isToolKey = id == KeyId(QLatin1String(reg::kSysInfoKey));
    if (!keys.contains(id) && !isToolKey)
        return reg::kErrorFileNotFound;

    Values values = keys.value(id);
    const QString pathName = QString::fromLatin1(reg::kSysInfoValue).toLower();
    if (isToolKey && !values.contains(pathName)) {
        const QString tool = FindTool();
        if (!tool.isEmpty())
            values.insert(pathName, Value{reg::kRegSz, StringData(tool)});
    }
    key = m_nextHandle++;
    m_open.emplace(key, std::move(values));
    return reg::kErrorSuccess;
}

long ConfigRegistry::QueryValue(reg::Handle key, const std::string& valueName, std::uint32_t& type,
                                char* data, std::uint32_t& size)
{
    const auto open = m_open.find(key);
    if (open == m_open.end())
        return reg::kErrorInvalidHandle;
    const auto found = open->second.constFind(QString::fromLocal8Bit(valueName).toLower());
    if (found == open->second.constEnd())
        return reg::kErrorFileNotFound;

    const std::uint32_t needed = std::uint32_t(found->data.size());
    type = found->type;
    if (needed > size) {
        size = needed;
        return reg::kErrorMoreData;
    }
    if (needed > 0)
        std::memcpy(data, found->data.constData(), needed);
    size = needed;
    return reg::kErrorSuccess;
}

void ConfigRegistry::CloseKey(reg::Handle key)
{
    m_open.erase(key);
}

// --- the real services ------------------------------------------------------

SysInfoServices SysInfoServices::System()
{
#ifdef _WIN32
    static win32::WinRegistry registry;
#else
    static ConfigRegistry registry;
#endif
    static QtFileLookup files;
    static QtLauncher launcher;
    static QtMessageBoxes messages;
    return SysInfoServices{&registry, &files, &launcher, &messages};
}

}  // namespace plat
