// System Info on the real system: with a system-information program
// installed the button starts it detached; with none, the message. The first
// case needs hardinfo and an X display (tests/sysinfo/run.sh provides both);
// elsewhere it is skipped, unless TARMALO_REQUIRE_SYSINFO is set.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <optional>

#include "info/frmAbout.h"
#include "platform/MessageBox.h"
#include "platform/SysInfo.h"
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

bool Required()
{
    return !qEnvironmentVariableIsEmpty("TARMALO_REQUIRE_SYSINFO");
}

}  // namespace

class TestSysInfoLaunch : public QObject {
    Q_OBJECT
private slots:
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
        QVERIFY2(!QFile::exists(ConfigRegistry::DefaultConfigFile()),
                 "a system configuration would decide which tool starts");

        const SysInfoServices system = SysInfoServices::System();
        PidKeepingLauncher launcher;
        RecordingMessageBoxes messages;
        frmAbout box(SysInfoServices{system.registry, system.files, &launcher, &messages});
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

    // Nothing configured and none of the programs on the PATH.
    void noToolShowsTheMessage()
    {
        QTemporaryDir emptyDir;
        QVERIFY(emptyDir.isValid());
        const QByteArray savedPath = qgetenv("PATH");
        qputenv("PATH", emptyDir.path().toLocal8Bit());
        ConfigRegistry registry(emptyDir.filePath(QStringLiteral("registry.ini")));
        QtFileLookup files;
        PidKeepingLauncher launcher;
        RecordingMessageBoxes messages;
        frmAbout box(SysInfoServices{&registry, &files, &launcher, &messages});
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
