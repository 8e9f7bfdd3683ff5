// System Info on the real system: which program is found on the PATH, the
// launcher, and the button starting hardinfo detached (with none, the
// message). That case needs hardinfo and an X display (tests/sysinfo/run.sh
// provides both); elsewhere it is skipped, unless TARMALO_REQUIRE_SYSINFO is
// set.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <QElapsedTimer>

#include <csignal>
#include <optional>

#include "info/frmAbout.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"
#include "platform/SysInfo.h"
#include "platform/linux/ToolOnPath.h"
#include "support/FakeServices.h"

using namespace plat;

namespace {

// The real launcher, keeping the process ids it got.
class PidKeepingLauncher final : public Launcher {
public:
    QtLauncher real;
    QList<qint64> pids;
    int attempts = 0;
    qint64 Shell(const QString& pathName, int windowStyle) override
    {
        ++attempts;
        const qint64 pid = real.Shell(pathName, windowStyle);
        pids << pid;
        return pid;
    }
};

// 'R', 'S', ... from /proc; nullopt when the process is gone.
std::optional<char> ProcessState(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    if (close < 0 || close + 2 >= line.size())
        return std::nullopt;
    return line[close + 2];
}

bool Alive(qint64 pid)
{
    const auto state = ProcessState(pid);
    return state && *state != 'Z' && *state != 'X';
}

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

bool Required()
{
    return !qEnvironmentVariableIsEmpty("TARMALO_REQUIRE_SYSINFO");
}

}  // namespace

class TestSysInfoLaunch : public QObject {
    Q_OBJECT
private slots:
    // The first of the desktop's tools, in their order, that can be run.
    void toolOnPath_data()
    {
        QTest::addColumn<QStringList>("executables");
        QTest::addColumn<QStringList>("plainFiles");
        QTest::addColumn<QString>("found");
        QTest::newRow("hardinfo first") << QStringList{"kinfocenter", "hardinfo"} << QStringList() << "hardinfo";
        QTest::newRow("hardinfo2 before kinfocenter")
            << QStringList{"hardinfo2", "kinfocenter"} << QStringList() << "hardinfo2";
        QTest::newRow("kinfocenter") << QStringList{"kinfocenter"} << QStringList() << "kinfocenter";
        QTest::newRow("not executable: passed over")
            << QStringList{"kinfocenter"} << QStringList{"hardinfo"} << "kinfocenter";
        QTest::newRow("none") << QStringList() << QStringList{"hardinfo"} << "";
    }
    void toolOnPath()
    {
        QFETCH(QStringList, executables);
        QFETCH(QStringList, plainFiles);
        QFETCH(QString, found);
        QTemporaryDir dir;
        for (const QString& name : executables)
            WriteFile(dir.filePath(name), "#!/bin/sh\n", true);
        for (const QString& name : plainFiles)
            WriteFile(dir.filePath(name), "#!/bin/sh\n", false);
        ToolOnPath locator(QStringList{dir.path()});
        QCOMPARE(locator.Locate(), found.isEmpty() ? QString() : dir.filePath(found));
        QCOMPARE(ToolOnPath(QStringList()).Locate(), QString());
    }

    void launcherStartsWithoutWaiting()
    {
        QTemporaryDir dir;
        const QString marker = dir.filePath(QStringLiteral("started.pid"));
        // The tool lingers a while: Shell must come back before it ends.
        WriteFile(dir.filePath(QStringLiteral("tool")),
                  "#!/bin/sh\necho $$ > '" + marker.toLocal8Bit() + "'\nsleep 3\n", true);
        QtLauncher launcher;
        QElapsedTimer timer;
        timer.start();
        const qint64 pid = launcher.Shell(dir.filePath(QStringLiteral("tool")), vbNormalFocus);
        QVERIFY(timer.elapsed() < 2500);
        QVERIFY(pid > 0);
        QTRY_VERIFY(QFile::exists(marker) && QFileInfo(marker).size() > 0);
        QFile file(marker);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().trimmed().toLongLong(), pid);
        ::kill(pid_t(pid), SIGTERM);
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
        QTemporaryDir dir;
        WriteFile(dir.filePath(QStringLiteral("plain")),
                  "#!/bin/sh\ntouch '" + dir.filePath(QStringLiteral("ran")).toLocal8Bit() + "'\n", false);
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("folder")));
        QtLauncher launcher;
        bool thrown = false;
        try {
            launcher.Shell(what.isEmpty() ? QString() : dir.filePath(what), vbNormalFocus);
        } catch (const RuntimeError& error) {
            thrown = true;
            QCOMPARE(error.number(), ERR_FILE_NOT_FOUND);
        }
        QVERIFY(thrown);
        QTest::qWait(100);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("ran"))));
    }

    void installedToolStartsDetached()
    {
        const QString tool = QStandardPaths::findExecutable(QStringLiteral("hardinfo"));
        QString missing;
        if (tool.isEmpty())
            missing = QStringLiteral("hardinfo is not installed");
        else if (qEnvironmentVariableIsEmpty("DISPLAY"))
            missing = QStringLiteral("no X display for hardinfo");
        if (!missing.isEmpty()) {
            if (Required())
                QFAIL(qPrintable(missing));
            QSKIP(qPrintable(missing));
        }
        const SysInfoServices system = SysInfoServices::System();
        PidKeepingLauncher launcher;
        RecordingMessageBoxes messages;
        frmAbout box(SysInfoServices{system.locator, &launcher, &messages});
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QTest::mouseClick(box.cmdSysInfo, Qt::LeftButton);

        QVERIFY2(messages.shown.isEmpty(), "the message was shown");
        QCOMPARE(launcher.pids.size(), 1);
        const qint64 pid = launcher.pids.first();
        QVERIFY(pid > 0);
        QTRY_VERIFY(Alive(pid));
        QCOMPARE(QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).canonicalFilePath(),
                 QFileInfo(tool).canonicalFilePath());
        // Still running a moment later: it came up rather than failing at once.
        QTest::qWait(1500);
        QVERIFY2(Alive(pid), "hardinfo ended by itself");
        QVERIFY(box.isVisible());

        ::kill(pid_t(pid), SIGTERM);
        QTRY_VERIFY_WITH_TIMEOUT(!Alive(pid), 5000);
    }

    // None of the programs on the PATH.
    void noToolShowsTheMessage()
    {
        QTemporaryDir emptyDir;
        QVERIFY(emptyDir.isValid());
        const QByteArray savedPath = qgetenv("PATH");
        qputenv("PATH", emptyDir.path().toLocal8Bit());
        ToolOnPath locator;
        PidKeepingLauncher launcher;
        RecordingMessageBoxes messages;
        frmAbout box(SysInfoServices{&locator, &launcher, &messages});
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QTest::mouseClick(box.cmdSysInfo, Qt::LeftButton);
        qputenv("PATH", savedPath);

        QCOMPARE(launcher.attempts, 0);
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].text, QStringLiteral("System Information Is Unavailable At This Time"));
        QCOMPARE(messages.shown[0].style, vbOKOnly);
        QCOMPARE(messages.shown[0].title, QStringLiteral("Tarmalo"));
        QVERIFY(box.isVisible());
    }
};

QTEST_MAIN(TestSysInfoLaunch)
#include "test_sysinfo_launch.moc"
