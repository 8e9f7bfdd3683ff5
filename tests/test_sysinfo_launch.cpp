// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Which System Information program is found on the PATH, in the desktop's
// order of preference.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "platform/Desktop.h"

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
        const QString located = plat::SysInfoTool();
        qputenv("PATH", savedPath);
        qputenv("DISPLAY", savedDisplay);
        QCOMPARE(located, found.isEmpty() ? QString() : dir.filePath(found));
    }
};

QTEST_MAIN(TestSysInfoLaunch)
#include "test_sysinfo_launch.moc"
