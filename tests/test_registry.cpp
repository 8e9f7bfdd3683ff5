// The registry outside Windows (a configuration file and the tools on the
// PATH), the file lookup and the launcher, and the About box's System Info
// button running on them for real.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include "info/frmAbout.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"
#include "platform/SysInfo.h"
#include "support/FakeServices.h"

using namespace plat;

namespace {

void WriteFile(const QString& path, const QByteArray& content, bool executable)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    file.write(content);
    file.close();
    QFile::Permissions perms = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    if (executable)
        perms |= QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    QVERIFY(file.setPermissions(perms));
}

// A stand-in tool: records its process id in `marker` and ends.
QByteArray ToolScript(const QString& marker)
{
    return "#!/bin/sh\necho $$ > '" + marker.toLocal8Bit() + "'\n";
}

// Reads one value through the About box's GetKeyValue.
struct Reader {
    explicit Reader(reg::Registry& registry) : box(SysInfoServices{&registry, &files, &launcher, &messages})
    { }
    QtFileLookup files;
    QtLauncher launcher;
    RecordingMessageBoxes messages;
    frmAbout box;
};

}  // namespace

class TestRegistry : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        for (const QString& entry :
             QDir(m_dir.path())
                 .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)) {
            QFileInfo info(path(entry));
            if (info.isDir() && !info.isSymLink())
                QDir(path(entry)).removeRecursively();
            else
                QFile::remove(path(entry));
        }
    }

    // --- the file lookup ---------------------------------------------------

    void fileLookup_data()
    {
        QTest::addColumn<QString>("asked");  // relative to the temp folder; "" = the empty text
        QTest::addColumn<QString>("expected");
        QTest::newRow("ordinary file") << "dir/MSINFO32.EXE"
                                       << "MSINFO32.EXE";
        QTest::newRow("Windows separator") << "dir\\MSINFO32.EXE"
                                           << "MSINFO32.EXE";
        QTest::newRow("case matters here") << "dir/msinfo32.exe"
                                           << "";
        QTest::newRow("missing file") << "dir/NOTHERE.EXE"
                                      << "";
        QTest::newRow("a folder") << "dir"
                                  << "";
        QTest::newRow("hidden file") << "dir/.hidden"
                                     << "";
        QTest::newRow("link to a file") << "dir/link.exe"
                                        << "link.exe";
        QTest::newRow("broken link") << "dir/broken.exe"
                                     << "";
        QTest::newRow("empty text") << ""
                                    << "";
    }
    void fileLookup()
    {
        QFETCH(QString, asked);
        QFETCH(QString, expected);
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("dir")));
        WriteFile(path(QStringLiteral("dir/MSINFO32.EXE")), "x", false);
        WriteFile(path(QStringLiteral("dir/.hidden")), "x", false);
        QVERIFY(QFile::link(path(QStringLiteral("dir/MSINFO32.EXE")), path(QStringLiteral("dir/link.exe"))));
        QVERIFY(QFile::link(path(QStringLiteral("dir/gone")), path(QStringLiteral("dir/broken.exe"))));
        QtFileLookup lookup;
        const QString full = asked.isEmpty() ? QString() : m_dir.path() + QLatin1Char('/') + asked;
        QCOMPARE(lookup.Dir(full), expected);
    }

    // --- the launcher --------------------------------------------------------

    void launcherStartsWithoutWaiting()
    {
        const QString marker = path(QStringLiteral("started.pid"));
        // The tool lingers a while: Shell must come back before it ends.
        WriteFile(path(QStringLiteral("tool")),
                  "#!/bin/sh\necho $$ > '" + marker.toLocal8Bit() + "'\nsleep 3\n", true);
        QtLauncher launcher;
        QElapsedTimer timer;
        timer.start();
        const qint64 pid = launcher.Shell(path(QStringLiteral("tool")), vbNormalFocus);
        QVERIFY(timer.elapsed() < 2500);
        QVERIFY(pid > 0);
        QTRY_VERIFY(QFile::exists(marker) && QFileInfo(marker).size() > 0);
        QFile file(marker);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().trimmed().toLongLong(), pid);
        ::kill(pid_t(pid), SIGTERM);
    }

    void launcherTakesAWindowsSeparator()
    {
        const QString marker = path(QStringLiteral("started.pid"));
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("folder")));
        WriteFile(path(QStringLiteral("folder/MSINFO32.EXE")), ToolScript(marker), true);
        QtLauncher launcher;
        launcher.Shell(m_dir.path() + QStringLiteral("/folder\\MSINFO32.EXE"), vbNormalFocus);
        QTRY_VERIFY(QFile::exists(marker));
    }

    void launcherFails_data()
    {
        QTest::addColumn<QString>("what");
        QTest::newRow("missing") << "missing";
        QTest::newRow("not executable") << "plain";
        QTest::newRow("a folder") << "folder";
        QTest::newRow("empty text") << "";
    }
    void launcherFails()
    {
        QFETCH(QString, what);
        WriteFile(path(QStringLiteral("plain")), ToolScript(path(QStringLiteral("ran"))), false);
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("folder")));
        const QString target = what.isEmpty() ? QString() : path(what);
        QtLauncher launcher;
        bool thrown = false;
        try {
            launcher.Shell(target, vbNormalFocus);
        } catch (const RuntimeError& error) {
            thrown = true;
            QCOMPARE(error.number(), ERR_FILE_NOT_FOUND);
        }
        QVERIFY(thrown);
        QTest::qWait(100);
        QVERIFY(!QFile::exists(path(QStringLiteral("ran"))));
    }

    // --- the registry from the configuration file and the PATH ---------------

    void configRegistry_data()
    {
        QTest::addColumn<QByteArray>("config");  // "" = no file
        QTest::addColumn<QStringList>("tools");  // executables placed in the tool folder
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("expected");  // %T = the tool folder

        const QString toolKey = QLatin1String(reg::kSysInfoKey);
        const QString locKey = QLatin1String(reg::kSysInfoLocationKey);
        const QByteArray both = "# Where System Info comes from\n"
                                "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\n"
                                "PATH=/opt/tools/sysinfo\n"
                                "\n"
                                "; the folder with MSINFO32.EXE\n"
                                "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location]\n"
                                "MSINFO = /opt/shared \n";

        QTest::newRow("configured path")
            << both << QStringList{"hardinfo"} << toolKey << "PATH" << true << "/opt/tools/sysinfo";
        QTest::newRow("configured folder")
            << both << QStringList() << locKey << "MSINFO" << true << "/opt/shared";
        QTest::newRow("tool found: hardinfo first") << QByteArray() << QStringList{"kinfocenter", "hardinfo"}
                                                    << toolKey << "PATH" << true << "%T/hardinfo";
        QTest::newRow("tool found: kinfocenter")
            << QByteArray() << QStringList{"kinfocenter"} << toolKey << "PATH" << true << "%T/kinfocenter";
        QTest::newRow("tool found: hardinfo2") << QByteArray() << QStringList{"hardinfo2", "kinfocenter"}
                                               << toolKey << "PATH" << true << "%T/hardinfo2";
        QTest::newRow("no tool") << QByteArray() << QStringList() << toolKey << "PATH" << false << "";
        QTest::newRow("folder not configured")
            << QByteArray() << QStringList{"hardinfo"} << locKey << "MSINFO" << false << "";
        QTest::newRow("config without path still finds the tool")
            << QByteArray("[HKLM\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\nOther=1\n")
            << QStringList{"hardinfo"} << toolKey << "PATH" << true << "%T/hardinfo";
        QTest::newRow("names ignore case")
            << QByteArray("[hkey_local_machine\\software\\microsoft\\shared tools location]\nmsinfo=/x\n")
            << QStringList() << locKey << "MSINFO" << true << "/x";
        QTest::newRow("other roots are not ours")
            << QByteArray("[HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Shared Tools Location]\nMSINFO=/x\n")
            << QStringList() << locKey << "MSINFO" << false << "";
        QTest::newRow("quoted like a .reg export") << QByteArray(
            "[HKLM\\SOFTWARE\\Microsoft\\Shared Tools Location]\n\"MSINFO\"=\"C:\\\\Program Files\\\\x\"\n")
                                                   << QStringList() << locKey << "MSINFO" << true
                                                   << "C:\\Program Files\\x";
        QTest::newRow("a number") << QByteArray(
            "[HKLM\\SOFTWARE\\Microsoft\\Shared Tools Location]\nMSINFO=dword:0000002a\n")
                                  << QStringList() << locKey << "MSINFO" << true << "42";
        QTest::newRow("over 1024 bytes counts as missing")
            << QByteArray("[HKLM\\SOFTWARE\\Microsoft\\Shared Tools Location]\nMSINFO=/"
                          + QByteArray(1100, 'x') + "\n")
            << QStringList() << locKey << "MSINFO" << false << "";
        QTest::newRow("1023 bytes and the NUL fit")
            << QByteArray("[HKLM\\SOFTWARE\\Microsoft\\Shared Tools Location]\nMSINFO=/"
                          + QByteArray(1022, 'x') + "\n")
            << QStringList() << locKey << "MSINFO" << true << "/" + QString(1022, QLatin1Char('x'));
        QTest::newRow("missing value in a configured key")
            << both << QStringList() << locKey << "Other" << false << "";
        QTest::newRow("unknown key") << both << QStringList() << "SOFTWARE\\Nothing"
                                     << "PATH" << false << "";
    }
    void configRegistry()
    {
        QFETCH(QByteArray, config);
        QFETCH(QStringList, tools);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(bool, found);
        QFETCH(QString, expected);

        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("tools")));
        const QString toolDir = path(QStringLiteral("tools"));
        for (const QString& tool : tools)
            WriteFile(toolDir + QLatin1Char('/') + tool, "#!/bin/sh\n", true);
        // Not executable: never counts as the tool.
        WriteFile(path(QStringLiteral("tools/lshw")), "", false);
        const QString configFile = path(QStringLiteral("registry.ini"));
        if (!config.isEmpty())
            WriteFile(configFile, config, false);

        ConfigRegistry configured(configFile, QStringList{toolDir});
        KeyCountingRegistry registry(configured);
        Reader reader(registry);
        QString KeyVal = QStringLiteral("before");
        QCOMPARE(reader.box.GetKeyValue(reg::kHkeyLocalMachine, key, value, KeyVal), found);
        QCOMPARE(KeyVal, QString(expected).replace(QStringLiteral("%T"), toolDir));
        QCOMPARE(registry.openKeys(), 0);
    }

    void nonExecutableToolIsPassedOver()
    {
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("tools")));
        WriteFile(path(QStringLiteral("tools/hardinfo")), "#!/bin/sh\n", false);
        WriteFile(path(QStringLiteral("tools/kinfocenter")), "#!/bin/sh\n", true);
        ConfigRegistry registry(path(QStringLiteral("none.ini")), QStringList{path(QStringLiteral("tools"))});
        Reader reader(registry);
        QString KeyVal;
        QVERIFY(reader.box.GetKeyValue(reg::kHkeyLocalMachine, QLatin1String(reg::kSysInfoKey),
                                       QLatin1String(reg::kSysInfoValue), KeyVal));
        QCOMPARE(KeyVal, path(QStringLiteral("tools/kinfocenter")));
    }

    void noToolFoldersFindsNothing()
    {
        ConfigRegistry registry(path(QStringLiteral("none.ini")), QStringList());
        Reader reader(registry);
        QString KeyVal;
        QVERIFY(!reader.box.GetKeyValue(reg::kHkeyLocalMachine, QLatin1String(reg::kSysInfoKey),
                                        QLatin1String(reg::kSysInfoValue), KeyVal));
    }

    void otherRootsHaveNoKeys()
    {
        ConfigRegistry config(path(QStringLiteral("none.ini")), QStringList());
        KeyCountingRegistry registry(config);
        reg::Handle key = 0;
        QCOMPARE(registry.OpenKey(0x80000001u, reg::kSysInfoKey, reg::kKeyAccessRequested, key),
                 reg::kErrorFileNotFound);
        QCOMPARE(registry.OpenKey(reg::kHkeyLocalMachine, reg::kSysInfoKey, reg::kKeyAccessRequested, key),
                 reg::kErrorSuccess);
        registry.CloseKey(key);
        QCOMPARE(registry.openKeys(), 0);
    }

    void bufferTooSmallReportsTheSizeNeeded()
    {
        WriteFile(path(QStringLiteral("registry.ini")), "[HKLM\\SOFTWARE\\T]\nV=abcdef\n", false);
        ConfigRegistry registry(path(QStringLiteral("registry.ini")), QStringList());
        reg::Handle key = 0;
        QCOMPARE(registry.OpenKey(reg::kHkeyLocalMachine, "SOFTWARE\\T", reg::kKeyAccessRequested, key),
                 reg::kErrorSuccess);
        char buffer[4] = {};
        std::uint32_t type = 0, size = sizeof buffer;
        QCOMPARE(registry.QueryValue(key, "V", type, buffer, size), reg::kErrorMoreData);
        QCOMPARE(size, 7u);  // six characters and the NUL
        char big[16] = {};
        size = sizeof big;
        QCOMPARE(registry.QueryValue(key, "V", type, big, size), reg::kErrorSuccess);
        QCOMPARE(size, 7u);
        QCOMPARE(type, reg::kRegSz);
        QCOMPARE(QByteArray(big, 7), QByteArray("abcdef\0", 7));
        registry.CloseKey(key);
        QCOMPARE(registry.QueryValue(key, "V", type, big, size), reg::kErrorInvalidHandle);
    }

    void fileIsReadAtEveryOpen()
    {
        const QString configFile = path(QStringLiteral("registry.ini"));
        ConfigRegistry registry(configFile, QStringList());
        Reader reader(registry);
        const QString key = QLatin1String(reg::kSysInfoLocationKey);
        const QString value = QLatin1String(reg::kSysInfoLocationValue);
        QString KeyVal;
        QVERIFY(!reader.box.GetKeyValue(reg::kHkeyLocalMachine, key, value, KeyVal));
        WriteFile(configFile, "[HKLM\\" + key.toLatin1() + "]\nMSINFO=/first\n", false);
        QVERIFY(reader.box.GetKeyValue(reg::kHkeyLocalMachine, key, value, KeyVal));
        QCOMPARE(KeyVal, QStringLiteral("/first"));
        WriteFile(configFile, "[HKLM\\" + key.toLatin1() + "]\nMSINFO=/second\n", false);
        QVERIFY(reader.box.GetKeyValue(reg::kHkeyLocalMachine, key, value, KeyVal));
        QCOMPARE(KeyVal, QStringLiteral("/second"));
    }

    void defaultsAreTheSystems()
    {
        QCOMPARE(ConfigRegistry::DefaultConfigFile(), QStringLiteral("/etc/tarmalo/registry.ini"));
        QCOMPARE(ConfigRegistry::ToolNames().first(), QStringLiteral("hardinfo"));
        const SysInfoServices system = SysInfoServices::System();
        QVERIFY(system.registry && system.files && system.launcher && system.messages);
        QVERIFY(dynamic_cast<ConfigRegistry*>(system.registry));
        QCOMPARE(SysInfoServices::System().registry, system.registry);
    }

    // --- System Info pressed, with real files and processes ------------------

    void systemInfoButton_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("ran");  // the marker that must appear, "" = none
        QTest::addColumn<bool>("message");
        QTest::newRow("tool on the path") << "tool"
                                          << "tool.pid" << false;
        QTest::newRow("configured path") << "configured"
                                         << "configured.pid" << false;
        QTest::newRow("configured path, no file") << "configured-missing"
                                                  << "" << true;
        QTest::newRow("configured folder with MSINFO32.EXE") << "folder"
                                                             << "folder.pid" << false;
        QTest::newRow("configured folder without it") << "folder-empty"
                                                      << "" << true;
        QTest::newRow("nothing installed") << "nothing"
                                           << "" << true;
    }
    void systemInfoButton()
    {
        QFETCH(QString, setup);
        QFETCH(QString, ran);
        QFETCH(bool, message);

        QDir root(m_dir.path());
        QVERIFY(root.mkpath(QStringLiteral("tools")) && root.mkpath(QStringLiteral("shared")));
        const QString toolDir = path(QStringLiteral("tools"));
        const QString configFile = path(QStringLiteral("registry.ini"));
        if (setup == "tool")
            WriteFile(toolDir + QStringLiteral("/hardinfo"), ToolScript(path(QStringLiteral("tool.pid"))),
                      true);
        if (setup == "configured" || setup == "configured-missing") {
            if (setup == "configured")
                WriteFile(path(QStringLiteral("mytool")), ToolScript(path(QStringLiteral("configured.pid"))),
                          true);
            WriteFile(configFile,
                      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\nPATH="
                          + path(QStringLiteral("mytool")).toLocal8Bit() + "\n",
                      false);
        }
        if (setup == "folder" || setup == "folder-empty") {
            if (setup == "folder")
                WriteFile(path(QStringLiteral("shared/MSINFO32.EXE")),
                          ToolScript(path(QStringLiteral("folder.pid"))), true);
            WriteFile(configFile,
                      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location]\nMSINFO="
                          + path(QStringLiteral("shared")).toLocal8Bit() + "\n",
                      false);
        }

        ConfigRegistry config(configFile, QStringList{toolDir});
        KeyCountingRegistry registry(config);
        QtFileLookup files;
        QtLauncher launcher;
        RecordingMessageBoxes messages;
        frmAbout box(SysInfoServices{&registry, &files, &launcher, &messages});
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QTest::mouseClick(box.cmdSysInfo, Qt::LeftButton);

        if (!ran.isEmpty())
            QTRY_VERIFY(QFile::exists(path(ran)));
        QCOMPARE(messages.shown.size(), message ? 1 : 0);
        if (message)
            QCOMPARE(messages.shown[0].text, frmAbout::kUnavailableMessage);
        QVERIFY(box.isVisible());
        QCOMPARE(registry.openKeys(), 0);
    }
};

QTEST_MAIN(TestRegistry)
#include "test_registry.moc"
