// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The About box: its texts and layout, closing it, and starting the System
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
#include "info/ProgramIcon.h"
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
    void loadSetsTheTexts()
    {
        Fakes fakes;
        frmAbout box(fakes.locate(), &fakes.messages);
        QCOMPARE(box.windowTitle(), QStringLiteral("About Tarmalo"));
        QCOMPARE(box.lblTitle->text(), QStringLiteral("Tarmalo"));
        // "Version 1.0": the revision only when it is above 0.
        QCOMPARE(box.lblVersion->text(),
                 kVersionRevision > 0
                     ? QStringLiteral("Version %1").arg(QLatin1String(kVersionText))
                     : QStringLiteral("Version %1.%2").arg(kVersionMajor).arg(kVersionMinor));
        QVERIFY(box.lblVersion->text().startsWith(QStringLiteral("Version ")));
        QCOMPARE(box.cmdOK->text(), QStringLiteral("OK"));
        QCOMPARE(box.cmdSysInfo->text(), QStringLiteral("&System Info..."));
    }

    void versionRecordIsTheProjects()
    {
        // The numbers come from the build's project version, one place only.
        QCOMPARE(QStringLiteral("%1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision),
                 QString::fromLatin1(kVersionText));
    }

    void disclaimerPieces()
    {
        Fakes fakes;
        const frmAbout box(fakes.locate(), &fakes.messages);
        const QString text = box.lblDisclaimer->text();
        QVERIFY(!text.endsWith(QLatin1Char('\n')));
        QVERIFY(!text.contains(QLatin1Char('\r')));
        const QStringList lines = text.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines[0], QString());  // the free-use notice, empty
        const QString credit = lines[1];
        const qsizetype gnd = credit.indexOf(QStringLiteral("Gndbrief.wav"));
        const qsizetype pre = credit.indexOf(QStringLiteral("Pretaxbr.wav"));
        const qsizetype ding = credit.indexOf(QStringLiteral("Ding.wav"));
        QVERIFY(gnd >= 0 && pre > gnd && ding > pre);
        QVERIFY(credit.contains(QStringLiteral("BoardComplete.wav")));
        QCOMPARE(lines[2], QString());  // an empty line after the credit line
        QVERIFY(lines[3].contains(QRegularExpression(QStringLiteral("^Copyright \u00A9 20\\d\\d \\S"))));
        QVERIFY(lines[4].contains(QRegularExpression(QStringLiteral("^[\\w.+-]+@[\\w-]+(\\.[\\w-]+)+$"))));
    }

    void layout_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("rect");  // twips / 15
        QTest::newRow("cmdOK") << "cmdOK" << QRect(283, 88, 84, 23);
        QTest::newRow("cmdSysInfo") << "cmdSysInfo" << QRect(284, 117, 83, 23);
        QTest::newRow("lblTitle") << "lblTitle" << QRect(70, 16, 259, 32);
        QTest::newRow("lblVersion") << "lblVersion" << QRect(70, 52, 259, 15);
        QTest::newRow("lblDisclaimer") << "lblDisclaimer" << QRect(12, 88, 263, 121);
        // Grey from x 90 to 5654 at y 1125; white from x 105, one pixel lower, 2 thick.
        QTest::newRow("Line1 index 1") << "Line1_1" << QRect(6, 75, 371, 1);
        QTest::newRow("Line1 index 0") << "Line1_0" << QRect(7, 76, 370, 2);
    }
    void layout()
    {
        QFETCH(QString, name);
        QFETCH(QRect, rect);
        Fakes fakes;
        frmAbout box(fakes.locate(), &fakes.messages);
        auto* control = box.findChild<QWidget*>(name);
        QVERIFY(control);
        QCOMPARE(control->parentWidget(), &box);
        QCOMPARE(control->geometry(), rect);
    }

    void separatorColours()
    {
        Fakes fakes;
        frmAbout box(fakes.locate(), &fakes.messages);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const QImage image = box.grab().toImage();
        QCOMPARE(QColor(image.pixel(6, 75)), QColor(128, 128, 128));
        QCOMPARE(QColor(image.pixel(376, 75)), QColor(128, 128, 128));
        QCOMPARE(QColor(image.pixel(7, 76)), QColor(Qt::white));
        QCOMPARE(QColor(image.pixel(376, 77)), QColor(Qt::white));
        QVERIFY(QColor(image.pixel(6, 76)) != QColor(Qt::white));  // the white starts one further in
        QVERIFY(QColor(image.pixel(200, 74)) != QColor(128, 128, 128));
        QVERIFY(QColor(image.pixel(200, 78)) != QColor(Qt::white));
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

    void windowProperties()
    {
        Fakes fakes;
        frmAbout box(fakes.locate(), &fakes.messages);
        QCOMPARE(box.parentWidget(), nullptr);
        QCOMPARE(box.windowType(), Qt::Dialog);
        const Qt::WindowFlags flags = box.windowFlags();
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(!(flags & Qt::WindowContextHelpButtonHint));
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QCOMPARE(box.minimumSize(), QSize(382, 213));
        QCOMPARE(box.maximumSize(), QSize(382, 213));
        QVERIFY(!box.isSizeGripEnabled());

        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        // The client area from the screen's corner: 2340, 1935 twips.
        QCOMPARE(box.geometry(), QRect(156, 129, 382, 213));
    }

    void titleFont()
    {
        Fakes fakes;
        frmAbout box(fakes.locate(), &fakes.messages);
        const QFont font = box.lblTitle->font();
        QCOMPARE(font.pointSize(), 18);
        QCOMPARE(font.weight(), QFont::Normal);
        QVERIFY(!font.italic());
        QCOMPARE(font.styleHint(), QFont::SansSerif);
        QCOMPARE(QFontInfo(font).pointSize(), 18);
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

    void pictureShowsTheProgramIcon()
    {
        Fakes fakes;
        frmAbout box(fakes.locate(), &fakes.messages);
        QCOMPARE(box.picIcon->pos(), QPoint(16, 16));
        QCOMPARE(box.picIcon->frameShadow(), QFrame::Sunken);
        QVERIFY(box.picIcon->frameShape() != QFrame::NoFrame);
        if (!QFile::exists(QStringLiteral(":/tarmalo/tarmalo-32.png")))
            QSKIP("the program icon resource is not linked into this build");
        QCOMPARE(box.picIcon->pixmap().deviceIndependentSize().toSize(), QSize(32, 32));
        // Sized to the picture and its border: 540 twips.
        QCOMPARE(box.picIcon->size(), QSize(36, 36));
        // At 1.5x and 2x the picture drawn for that size, not the 32 enlarged.
        for (const int pixels : {48, 64}) {
            QImage shown = ProgramIcon().pixmap(QSize(32, 32), pixels / 32.0).toImage();
            shown.setDevicePixelRatio(1);
            const QImage drawn(QStringLiteral(":/tarmalo/hicolor/%1/tarmalo.png").arg(pixels));
            QCOMPARE(shown.size(), QSize(pixels, pixels));
            QCOMPARE(shown.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                     drawn.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        }
    }

    void okHasTheFocusAndIsDefault()
    {
        Fakes fakes;
        frmAbout box(fakes.locate(), &fakes.messages);
        QVERIFY(box.cmdOK->isDefault());  // by itself, not only for having the focus
        QVERIFY(!box.cmdSysInfo->isDefault());
        box.show();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        QCOMPARE(QApplication::focusWidget(), box.cmdOK);
        QVERIFY(box.cmdOK->isDefault());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), box.cmdSysInfo);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), box.cmdOK);
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

    void secondChoiceShowsAFreshBox()
    {
        Fakes fakes;
        QString firstTitle;
        const ModalRun first = RunModal(fakes, [&](frmAbout* box) {
            firstTitle = box->lblTitle->text();
            box->lblTitle->setText(QStringLiteral("changed"));
            box->setWindowTitle(QStringLiteral("changed"));
            QTest::keyClick(box, Qt::Key_Escape);
        });
        QVERIFY(first.wasModal && !first.hung);
        QVERIFY(first.box.isNull());
        QStringList secondTexts;
        const ModalRun second = RunModal(fakes, [&](frmAbout* box) {
            secondTexts << box->windowTitle() << box->lblTitle->text() << box->lblVersion->text()
                        << box->lblDisclaimer->text();
            QTest::keyClick(box, Qt::Key_Escape);
        });
        QVERIFY(second.wasModal && !second.hung);
        QCOMPARE(firstTitle, QStringLiteral("Tarmalo"));
        Fakes other;
        frmAbout reference(other.locate(), &other.messages);
        QCOMPARE(secondTexts, QStringList({reference.windowTitle(), reference.lblTitle->text(),
                                           reference.lblVersion->text(), reference.lblDisclaimer->text()}));
    }

    void timersKeepTickingWhileOpen()
    {
        Fakes fakes;
        int ticks = 0;
        QTimer timer;
        timer.setInterval(20);
        connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
        timer.start();
        int ticksAtOpen = -1;
        int ticksBeforeClose = -1;
        const ModalRun run = RunModal(fakes, [&](frmAbout* box) {
            ticksAtOpen = ticks;
            QTest::qWait(300);
            ticksBeforeClose = ticks;
            QTest::keyClick(box, Qt::Key_Escape);
        });
        QVERIFY(run.wasModal && !run.hung);
        QVERIFY2(ticksBeforeClose - ticksAtOpen >= 5,
                 qPrintable(QStringLiteral("%1 ticks").arg(ticksBeforeClose - ticksAtOpen)));
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

    void failedPressesEachShowTheMessage()
    {
        Fakes fakes;
        frmAbout box(fakes.locate(), &fakes.messages);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QTest::mouseClick(box.cmdSysInfo, Qt::LeftButton);
        QTest::mouseClick(box.cmdSysInfo, Qt::LeftButton);
        QCOMPARE(fakes.messages.shown.size(), 2);
        QVERIFY(box.isVisible());
    }
};

QTEST_MAIN(TestAbout)
#include "test_about.moc"
