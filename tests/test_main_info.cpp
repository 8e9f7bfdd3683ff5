// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Help and About reached from the main window while a boarding runs.
#include "common/Timer.h"
#include "info/frmHelp.h"
#include "support/Runner.h"

#include <QAction>
#include <QtTest>

class TestMainInfo : public QObject {
    Q_OBJECT
private slots:
    void helpOpensWhileBoardingKeepsTicking();
    void aboutFromMenu();
};

namespace {
QList<frmHelp*> helpWindows()
{
    QList<frmHelp*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* h = qobject_cast<frmHelp*>(w); h && h->isVisible())
            found << h;
    return found;
}
}  // namespace

void TestMainInfo::helpOpensWhileBoardingKeepsTicking()
{
    Harness h(Harness::At(10, 0));
    frmMain& w = *h.window;
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    h.typeTime(QStringLiteral("1015"));
    h.setTotal(QStringLiteral("100"));
    h.start();
    Runner run(h);
    h.clock.advance(5000);
    QCOMPARE(run.ticks.size(), 1);

    // F1 from the passenger field: a Help window of its own, no owner.
    QTest::keyClick(&w, Qt::Key_F1);
    QTRY_COMPARE(helpWindows().size(), 1);
    frmHelp* help = helpWindows().first();
    QVERIFY(help->parentWidget() == nullptr);
    QVERIFY(!help->isModal());
    QApplication::setActiveWindow(&w);
    w.mnuHelpHelp->trigger();
    QTRY_COMPARE(helpWindows().size(), 2);

    // The boarding goes on underneath.
    h.clock.advance(60 * 1000);
    QCOMPARE(run.ticks.size(), 13);
    QVERIFY(w.mnuFileStart->isChecked());
    QCOMPARE(w.stsStatusInfo->text(), QStringLiteral("Go to gate"));

    for (frmHelp* f : helpWindows())
        f->close();
    QTRY_COMPARE(helpWindows().size(), 0);
}

void TestMainInfo::aboutFromMenu()
{
    Harness h;
    h.window->mnuHelpAbout->trigger();
    h.window->mnuHelpAbout->trigger();
    QCOMPARE(h.abouts, 2);
}

QTEST_MAIN(TestMainInfo)
#include "test_main_info.moc"
