// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The About box: its texts and colours, closing it, and starting the System
// Information tool that a fake lookup names: a harmless script that leaves
// a mark each time it runs.
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <stdexcept>

#include "Version.h"
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

// Runs the box the way Help > About does, with `inside` acting while it is
// open; a box that does not close within 5 s is closed here and reported.
struct ModalRun {
    QPointer<frmAbout> box;
    bool wasModal = false;
    bool hung = false;
};
ModalRun RunModal(Fakes& fakes, const std::function<void(frmAbout*)>& inside)
{
    auto run = std::make_shared<ModalRun>();
    QTimer::singleShot(50, [run, inside] {
        run->box = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
        if (!run->box)
            return;
        run->wasModal = run->box->isModal() && run->box->isVisible();
        inside(run->box);
    });
    QTimer::singleShot(5000, [run] {
        if (run->box) {
            run->hung = true;
            run->box->done(0);
        }
    });
    frmAbout::ShowModal(fakes.locate(), &fakes.messages);
    return *run;
}

}  // namespace

class TestAbout : public QObject {
    Q_OBJECT
private slots:
    // The texts the pilot reads; the revision shows only when above 0.
    void texts()
    {
        Fakes fakes;
        frmAbout box(fakes.locate(), &fakes.messages);
        QCOMPARE(box.windowTitle(), QStringLiteral("About Tarmalo"));
        QCOMPARE(box.lblTitle->text(), QStringLiteral("Tarmalo"));
        QCOMPARE(box.lblVersion->text(),
                 kVersionRevision > 0
                     ? QStringLiteral("Version %1").arg(QLatin1String(kVersionText))
                     : QStringLiteral("Version %1.%2").arg(kVersionMajor).arg(kVersionMinor));
        const QString text = box.lblDisclaimer->text();
        for (const char* sound : {"Gndbrief.wav", "Pretaxbr.wav", "Ding.wav", "BoardComplete.wav"})
            QVERIFY2(text.contains(QLatin1String(sound)), sound);
        QVERIFY(text.contains(QStringLiteral("Copyright \u00A9 2026 The Tarmalo developers")));
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
        frmAbout box(fakes.locate(), &fakes.messages);
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

    void blackTextOnALightWindow()
    {
        Fakes fakes;
        frmAbout box(fakes.locate(), &fakes.messages);
        if (box.palette().color(QPalette::Window).lightness() < 128)
            QSKIP("the desktop's palette is dark");
        QCOMPARE(box.lblTitle->palette().color(QPalette::WindowText), QColor(Qt::black));
        QCOMPARE(box.lblDisclaimer->palette().color(QPalette::WindowText), QColor(Qt::black));
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
        frmAbout box(fakes.locate(), &fakes.messages);
        auto* label = box.findChild<QLabel*>(name);
        QVERIFY(label);
        QVERIFY(label->wordWrap());
        const int needed = label->heightForWidth(label->width());
        QVERIFY2(needed <= label->height(),
                 qPrintable(QStringLiteral("needs %1 px, has %2").arg(needed).arg(label->height())));
    }

    void closing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Enter") << "enter";
        QTest::newRow("Return") << "return";
        QTest::newRow("Esc") << "escape";
        QTest::newRow("OK clicked") << "ok";
        QTest::newRow("close box") << "close";
    }
    void closing()
    {
        QFETCH(QString, how);
        Fakes fakes;
        const ModalRun run = RunModal(fakes, [how](frmAbout* box) {
            if (how == "enter")
                QTest::keyClick(box, Qt::Key_Enter);
            else if (how == "return")
                QTest::keyClick(box, Qt::Key_Return);
            else if (how == "escape")
                QTest::keyClick(box, Qt::Key_Escape);
            else if (how == "ok")
                QTest::mouseClick(box->cmdOK, Qt::LeftButton);
            else if (how == "close")
                box->close();
        });
        QVERIFY2(run.wasModal, "no modal About box was open");
        QVERIFY2(!run.hung, "the box did not close");
        QVERIFY2(run.box.isNull(), "the box outlived its showing");
        QCOMPARE(fakes.calls, 0);
        QVERIFY(fakes.messages.shown.isEmpty());
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
        frmAbout box(fakes.locate(), &fakes.messages);
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
        frmAbout box(fakes.locate(), &fakes.messages);
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
