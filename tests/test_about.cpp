// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The About box: its version line and colours, and starting the System
// Information tool that a fake lookup names: a harmless script that leaves
// a mark each time it runs.
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <stdexcept>

#include "common/MessageBox.h"
#include "info/frmAbout.h"
#include "support/FakeServices.h"

using namespace common;
using namespace plat;

namespace {

// Where the System Information tool is, as the fake lookup says.
struct Fakes {
    QString path;
    bool fails = false;
    int calls = 0;
    RecordingMessageBoxes messages;
    std::function<QString()> locate()
    {
        return [this] {
            ++calls;
            if (fails)
                throw std::runtime_error("the lookup failed");
            return path;
        };
    }
};

// A tool in `dir` that adds a line to `dir`/marks each time it runs.
QString MarkingTool(const QTemporaryDir& dir)
{
    QFile tool(dir.filePath(QStringLiteral("tool")));
    if (!tool.open(QIODevice::WriteOnly))
        return QString();
    tool.write("#!/bin/sh\necho started >> '" + dir.filePath(QStringLiteral("marks")).toLocal8Bit() + "'\n");
    tool.setPermissions(tool.permissions() | QFile::ExeOwner);
    return tool.fileName();
}

int Marks(const QTemporaryDir& dir)
{
    QFile marks(dir.filePath(QStringLiteral("marks")));
    return marks.open(QIODevice::ReadOnly) ? int(marks.readAll().count('\n')) : 0;
}

}  // namespace

class TestAbout : public QObject {
    Q_OBJECT
private slots:
    // The box is shown without main(), which names the program.
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("Tarmalo")); }

    void versionLabel_data()
    {
        QTest::addColumn<QList<int>>("version");
        QTest::addColumn<QString>("label");
        QTest::newRow("1.0.0") << QList<int>{1, 0, 0} << "Version 1.0";
        QTest::newRow("2.5.0") << QList<int>{2, 5, 0} << "Version 2.5";
        QTest::newRow("2.5.3") << QList<int>{2, 5, 3} << "Version 2.5.3";
        QTest::newRow("10.2.7") << QList<int>{10, 2, 7} << "Version 10.2.7";
    }
    void versionLabel()
    {
        QFETCH(QList<int>, version);
        QFETCH(QString, label);
        QCOMPARE(VersionLabel(version[0], version[1], version[2]), label);
    }

    // Black stays black on a light window; on a dark one the palette's own
    // text colour, and an etched line in its shades rather than a white bar.
    void darkWindow()
    {
        const QPalette before = QApplication::palette();
        const QPalette dark(QColor(53, 53, 53));
        QApplication::setPalette(dark);
        const auto restore = qScopeGuard([&] { QApplication::setPalette(before); });
        Fakes fakes;
        frmAbout box(fakes.locate(), fakes.messages);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QCOMPARE(box.lblTitle->palette().color(QPalette::WindowText), dark.color(QPalette::WindowText));
        QCOMPARE(box.lblDisclaimer->palette().color(QPalette::WindowText), dark.color(QPalette::WindowText));
        const QImage image = box.grab().toImage();
        // Sampled in the middle of each logical pixel, at any scale.
        const auto grey = [&](int x, int y) {
            const qreal dpr = image.devicePixelRatio();
            return qGray(image.pixel(int((x + 0.5) * dpr), int((y + 0.5) * dpr)));
        };
        const int window = grey(200, 72);
        QVERIFY(grey(200, 75) < window);
        QVERIFY(grey(200, 76) > window);
        QVERIFY(grey(200, 76) < window + 64);
    }

    // The texts must fit their labels with the fonts this system gives them.
    void textsFitTheirLabels_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("lblTitle") << "lblTitle";
        QTest::newRow("lblVersion") << "lblVersion";
        QTest::newRow("lblDisclaimer") << "lblDisclaimer";
    }
    void textsFitTheirLabels()
    {
        QFETCH(QString, name);
        Fakes fakes;
        frmAbout box(fakes.locate(), fakes.messages);
        auto* label = box.findChild<QLabel*>(name);
        QVERIFY(label);
        QVERIFY(label->wordWrap());
        const int needed = label->heightForWidth(label->width());
        QVERIFY2(needed <= label->height(),
                 qPrintable(QStringLiteral("needs %1 px, has %2").arg(needed).arg(label->height())));
    }

    // StartSysInfo: what starts, and when the message shows.
    void startSysInfo_data()
    {
        QTest::addColumn<QString>("located");  // "tool": the marking tool
        QTest::addColumn<bool>("lookupFails");
        QTest::addColumn<bool>("starts");
        QTest::newRow("found and started") << "tool" << false << true;
        QTest::newRow("found but not there") << "missing" << false << false;
        QTest::newRow("a folder") << "." << false << false;
        QTest::newRow("none found") << "" << false << false;
        QTest::newRow("the lookup fails") << "tool" << true << false;
        QTest::newRow("arguments after a quote are no program") << "tool\" marks" << false << false;
    }
    void startSysInfo()
    {
        QFETCH(QString, located);
        QFETCH(bool, lookupFails);
        QFETCH(bool, starts);

        QTemporaryDir dir;
        QVERIFY(!MarkingTool(dir).isEmpty());
        Fakes fakes;
        fakes.path = located.isEmpty() ? QString() : dir.filePath(located);
        fakes.fails = lookupFails;
        frmAbout box(fakes.locate(), fakes.messages);
        box.StartSysInfo();

        if (starts) {
            QCOMPARE(fakes.messages.shown.size(), 0);
            QTRY_COMPARE_WITH_TIMEOUT(Marks(dir), 1, 20000);
        } else {
            QCOMPARE(fakes.messages.shown.size(), 1);
            QCOMPARE(fakes.messages.shown[0].text,
                     QStringLiteral("System Information Is Unavailable At This Time"));
            QCOMPARE(fakes.messages.shown[0].icon, QMessageBox::NoIcon);
            QCOMPARE(fakes.messages.shown[0].title, QStringLiteral("Tarmalo"));
            QTest::qWait(300);
            QCOMPARE(Marks(dir), 0);
        }
    }

    void systemInfoButtonStartsEachTime_data()
    {
        QTest::addColumn<bool>("byKey");
        QTest::newRow("clicked") << false;
        QTest::newRow("Alt+S") << true;
    }
    void systemInfoButtonStartsEachTime()
    {
        QFETCH(bool, byKey);
        QTemporaryDir dir;
        Fakes fakes;
        fakes.path = MarkingTool(dir);
        frmAbout box(fakes.locate(), fakes.messages);
        box.show();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        for (int press = 1; press <= 2; ++press) {
            if (byKey)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::AltModifier);
            else
                QTest::mouseClick(box.cmdSysInfo, Qt::LeftButton);
            // An access key presses the button with a short animation.
            QTRY_COMPARE(fakes.calls, press);
        }
        // Each start runs on its own time; a busy machine may be slow.
        QTRY_COMPARE_WITH_TIMEOUT(Marks(dir), 2, 20000);
        QVERIFY(box.isVisible());  // the box stays open
        QVERIFY(fakes.messages.shown.isEmpty());
    }
};

QTEST_MAIN(TestAbout)
#include "test_about.moc"
