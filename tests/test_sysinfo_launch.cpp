// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// System Info on the real system: which program is found on the PATH, the
// button starting it detached, and hardinfo started so (with none, the
// message). That case needs hardinfo and an X display (tests/sysinfo/run.sh
// provides both); elsewhere it is skipped, unless TARMALO_REQUIRE_SYSINFO is
// set.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <QElapsedTimer>

#include <csignal>
#include <optional>

#include "common/MessageBox.h"
#include "info/frmAbout.h"
#include "platform/Desktop.h"
#include "support/FakeServices.h"

using namespace common;
using namespace plat;

namespace {

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

// The processes running `program` now.
QSet<qint64> Running(const QString& program)
{
    QSet<qint64> pids;
    const QString wanted = QFileInfo(program).canonicalFilePath();
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        const qint64 pid = entry.toLongLong();
        if (pid > 0 && Alive(pid)
            && QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).canonicalFilePath() == wanted)
            pids.insert(pid);
    }
    return pids;
}

// The parent of a process, from /proc; 0 when it is gone.
qint64 ParentOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2).split(' ').value(1).toLongLong();
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
    void sysInfoTool_data()
    {
        QTest::addColumn<QStringList>("executables");
        QTest::addColumn<QStringList>("plainFiles");
        QTest::addColumn<QString>("found");
        QTest::addColumn<bool>("x");  // an X display offered
        QTest::newRow("hardinfo first")
            << QStringList{"kinfocenter", "hardinfo"} << QStringList() << "hardinfo" << true;
        QTest::newRow("hardinfo2 before kinfocenter")
            << QStringList{"hardinfo2", "kinfocenter"} << QStringList() << "hardinfo2" << true;
        QTest::newRow("kinfocenter") << QStringList{"kinfocenter"} << QStringList() << "kinfocenter" << true;
        QTest::newRow("not executable: passed over")
            << QStringList{"kinfocenter"} << QStringList{"hardinfo"} << "kinfocenter" << true;
        QTest::newRow("none") << QStringList() << QStringList{"hardinfo"} << "" << true;
        // Without an X display hardinfo shows no window: the message instead.
        QTest::newRow("hardinfo alone without X") << QStringList{"hardinfo"} << QStringList() << "" << false;
    }
    void sysInfoTool()
    {
        QFETCH(QStringList, executables);
        QFETCH(QStringList, plainFiles);
        QFETCH(QString, found);
        QFETCH(bool, x);
        QTemporaryDir dir;
        for (const QString& name : executables)
            WriteFile(dir.filePath(name), "#!/bin/sh\n", true);
        for (const QString& name : plainFiles)
            WriteFile(dir.filePath(name), "#!/bin/sh\n", false);
        const QByteArray savedPath = qgetenv("PATH");
        const QByteArray savedDisplay = qgetenv("DISPLAY");
        qputenv("PATH", dir.path().toLocal8Bit());
        qputenv("DISPLAY", x ? ":0" : "");
        const QString located = SysInfoTool();
        qputenv("PATH", savedPath);
        qputenv("DISPLAY", savedDisplay);
        QCOMPARE(located, found.isEmpty() ? QString() : dir.filePath(found));
    }

    void buttonStartsWithoutWaiting()
    {
        QTemporaryDir dir;
        const QString marker = dir.filePath(QStringLiteral("started.pid"));
        // The tool lingers a while: the press must come back before it ends.
        WriteFile(dir.filePath(QStringLiteral("tool")),
                  "#!/bin/sh\necho $$ > '" + marker.toLocal8Bit() + "'.part\nmv '" + marker.toLocal8Bit()
                      + "'.part '" + marker.toLocal8Bit() + "'\nsleep 3\n",
                  true);
        RecordingMessageBoxes messages;
        frmAbout box([&] { return dir.filePath(QStringLiteral("tool")); }, &messages);
        QElapsedTimer timer;
        timer.start();
        box.StartSysInfo();
        QVERIFY(timer.elapsed() < 2500);
        QVERIFY(messages.shown.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 20000);
        QFile file(marker);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const qint64 pid = file.readAll().trimmed().toLongLong();
        QVERIFY(pid > 0);
        // Detached: not a child of the program, so nothing waits for it.
        QVERIFY(Alive(pid));
        QVERIFY(ParentOf(pid) != QCoreApplication::applicationPid());
        ::kill(pid_t(pid), SIGTERM);
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
        RecordingMessageBoxes messages;
        frmAbout box(SysInfoTool, &messages);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const QSet<qint64> before = Running(tool);
        QTest::mouseClick(box.cmdSysInfo, Qt::LeftButton);

        QVERIFY2(messages.shown.isEmpty(), "the message was shown");
        QSet<qint64> started;
        QTRY_VERIFY_WITH_TIMEOUT(!(started = Running(tool) - before).isEmpty(), 20000);
        QCOMPARE(started.size(), 1);
        const qint64 pid = *started.begin();
        QVERIFY(ParentOf(pid) != QCoreApplication::applicationPid());
        // Still running a moment later: it came up rather than failing at once.
        QTest::qWait(1500);
        QVERIFY2(Alive(pid), "hardinfo ended by itself");
        QVERIFY(box.isVisible());

        ::kill(pid_t(pid), SIGTERM);
        QTRY_VERIFY_WITH_TIMEOUT(!Alive(pid), 5000);
    }
};

QTEST_MAIN(TestSysInfoLaunch)
#include "test_sysinfo_launch.moc"
