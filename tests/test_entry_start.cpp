// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The two entry fields and File > Start: enabling Start, selecting on entry,
// refusing a start that cannot run, starting and stopping a run.
#include "app/MainLayout.h"
#include "support/Harness.h"

#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QtTest>

class TestEntryStart : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void totalEnablesStart_data();
    void totalEnablesStart();
    void pasteRunsChangeAtMostTwice();
    void thousandsUnderCommaLocale();
    void deletingLastCharacterDisables();
    void focusSelectsWholeText();
    void otherScriptsDigits_data();
    void otherScriptsDigits();
    void startCountdown_data();
    void startCountdown();
    void startClockMode_data();
    void startClockMode();
    void startWithCtrlS();
    void secondStartStops();
    void stopThenStartChimesAgain();
    void refusedStartLeavesWindowAlone_data();
    void refusedStartLeavesWindowAlone();
    void ferryFlight();
};

void TestEntryStart::totalEnablesStart_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("shown");
    QTest::newRow("120") << "120" << true << "120";
    QTest::newRow("padded") << "  120  " << true << "120";
    QTest::newRow("12a") << "12a" << false << "12a";
    QTest::newRow("spaces") << "   " << false << "   ";
    QTest::newRow("2.5") << "2.5" << true << "2.5";
    QTest::newRow("-5") << "-5" << true << "-5";
    QTest::newRow("empty") << "" << false << "";
    // A spreadsheet cell pasted with its line break boards as the number.
    QTest::newRow("pasted cell") << "\t12\r\n" << true << "12";
    QTest::newRow("tab") << "\t12a" << false << "\t12a";
    QTest::newRow("spaces around junk") << " 12a " << false << " 12a ";
}

void TestEntryStart::totalEnablesStart()
{
    QFETCH(QString, typed);
    QFETCH(bool, enabled);
    QFETCH(QString, shown);
    Harness h;
    h.setTotal(QStringLiteral("1"));  // a change even for the empty row
    h.setTotal(typed);
    QCOMPARE(h.window->mnuFileStart->isEnabled(), enabled);
    QCOMPARE(h.window->txtTotal->text(), shown);
}

void TestEntryStart::pasteRunsChangeAtMostTwice()
{
    Harness h;
    QSignalSpy changes(h.window->txtTotal, &QLineEdit::textChanged);
    h.window->txtTotal->setFocus();
    h.window->txtTotal->insert(QStringLiteral("  120  "));  // a paste goes through insert
    QCOMPARE(h.window->txtTotal->text(), QStringLiteral("120"));
    QVERIFY(h.window->mnuFileStart->isEnabled());
    QCOMPARE(changes.count(), 2);
    // A text that needs no trimming changes once.
    h.window->txtTotal->insert(QStringLiteral("5"));
    QCOMPARE(changes.count(), 3);
}

void TestEntryStart::thousandsUnderCommaLocale()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    Harness h;
    h.setTotal(QStringLiteral("1,000"));
    QVERIFY(h.window->mnuFileStart->isEnabled());
    // ... and a run starts with a thousand booked.
    h.typeTime(QStringLiteral("0130"));
    h.window->mnuOptionsCountdown->trigger();
    h.start();
    QVERIFY(h.window->mnuFileStart->isChecked());
    QCOMPARE(h.window->pgbInAC->maximum(), 1000);
}

void TestEntryStart::deletingLastCharacterDisables()
{
    Harness h;
    h.window->txtTotal->setFocus();
    QTest::keyClicks(h.window->txtTotal, QStringLiteral("120"));
    QVERIFY(h.window->mnuFileStart->isEnabled());
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(h.window->txtTotal, Qt::Key_Backspace);
    QCOMPARE(h.window->txtTotal->text(), QString());
    QVERIFY(!h.window->mnuFileStart->isEnabled());
}

void TestEntryStart::focusSelectsWholeText()
{
    Harness h;
    frmMain& w = *h.window;
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    h.typeTime(QStringLiteral("12"));
    w.txtTotal->setText(QStringLiteral("150"));

    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        QLineEdit* target;
    };
    const Step steps[] = {{Qt::Key_Tab, Qt::NoModifier, w.txtTotal},
                          {Qt::Key_D, Qt::AltModifier, w.txtTime},
                          {Qt::Key_T, Qt::AltModifier, w.txtTotal},
                          {Qt::Key_Tab, Qt::NoModifier, w.txtTime}};
    for (const Step& s : steps) {
        QTest::keyClick(QApplication::focusWidget(), s.key, s.mods);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(s.target));
        QCOMPARE(s.target->selectionStart(), 0);
        QCOMPARE(s.target->selectedText().size(), s.target->displayText().size());
    }
    // The time field selects all five places, the colon and blanks included.
    QCOMPARE(w.txtTime->displayText(), QStringLiteral("12:__"));
    QCOMPARE(w.txtTime->selectedText().size(), 5);
}

void TestEntryStart::otherScriptsDigits_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("total");
    QTest::addColumn<int>("booked");  // -1: refused
    // Both fields take any script's digits and read them as 0-9; in the time
    // field a number that is no digit is a blank.
    QTest::newRow("arabic-indic") << QString::fromUtf8("\u0660\u0669\u0663\u0660") << "09:30"
                                  << QString::fromUtf8("\u0664\u0660") << 40;
    QTest::newRow("full width") << QString::fromUtf8("\uFF11\uFF12\uFF14\uFF15") << "12:45"
                                << QString::fromUtf8("\uFF11\uFF10") << 10;
    QTest::newRow("devanagari") << QString::fromUtf8("\u0967\u0966\u0969\u0966") << "10:30"
                                << QString::fromUtf8("\u096A\u0966") << 40;
    QTest::newRow("vulgar fraction") << QString::fromUtf8("1\u00BC30") << "1_:30"
                                     << "10" << -1;
    // A paste of any length is kept whole and read by the same rules.
    QTest::newRow("long paste") << "0930"
                                << "09:30" << QString(40000, u'0') + "150" << 150;
}

void TestEntryStart::otherScriptsDigits()
{
    QFETCH(QString, typed);
    QFETCH(QString, text);
    QFETCH(QString, total);
    QFETCH(int, booked);
    Harness h(Harness::At(9, 0));
    h.typeTime(typed);
    QCOMPARE(h.window->txtTime->Text(), text);
    h.setTotal(total);
    h.start();
    QCOMPARE(h.window->mnuFileStart->isChecked(), booked >= 0);
    QCOMPARE(h.messages.shown.size(), booked >= 0 ? 0 : 1);
    if (booked >= 0)
        QCOMPARE(h.window->pgbInAC->maximum(), booked);
}

void TestEntryStart::startCountdown_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("schedule");  // the status panel's tooltip
    QTest::newRow("afternoon") << Harness::At(14, 5, 30) << "0110"
                               << "Departure 15:15\nGate opens 14:55\nFinal call 15:10";
    QTest::newRow("past midnight")
        << Harness::At(23, 30) << "0110"
        << "Departure 00:40 tomorrow\nGate opens 00:20 tomorrow\nFinal call 00:35 tomorrow";
    QTest::newRow("zero") << Harness::At(9, 0, 10) << "0000"
                          << "Departure 09:00\nGate opens 08:40\nFinal call 08:55";
    QTest::newRow("longest") << Harness::At(0, 0) << "2359"
                             << "Departure 23:59\nGate opens 23:39\nFinal call 23:54";
}

void TestEntryStart::startCountdown()
{
    QFETCH(QDateTime, now);
    QFETCH(QString, typed);
    QFETCH(QString, schedule);
    Harness h(now);
    frmMain& w = *h.window;
    QCOMPARE(w.stsStatusInfo->toolTip(), QString());
    w.mnuOptionsCountdown->trigger();
    h.typeTime(typed);
    h.setTotal(QStringLiteral("150"));
    h.start();

    QVERIFY(w.mnuFileStart->isChecked());
    QVERIFY(w.mnuFileStart->isEnabled());
    QVERIFY(!w.txtTotal->isEnabled());
    QVERIFY(!w.txtTime->isEnabled());
    QVERIFY(!w.mnuOptionsCountdown->isEnabled());
    QVERIFY(w.mnuOptionsDepart->isEnabled());
    QVERIFY(w.mnuOptionsBoarding->isEnabled());
    QCOMPARE(w.lblPAX[0]->text(), QStringLiteral("150"));
    QCOMPARE(w.lblPAX[1]->text(), QStringLiteral("0"));
    QVERIFY(w.pgbInAC->isVisibleTo(&w));
    QCOMPARE(w.pgbInAC->maximum(), 150);
    QCOMPARE(w.pgbInAC->value(), 0);
    QVERIFY(w.tmrTimer().Enabled());
    QCOMPARE(w.stsStatusInfo->text(), QString());  // the first tick writes it
    QCOMPARE(w.stsStatusInfo->toolTip(), schedule);
    QVERIFY(h.messages.shown.isEmpty());
    // The first tick comes five seconds after the start.
    QCOMPARE(h.clock.msToNextTick() <= 5000, true);
}

void TestEntryStart::startClockMode_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("schedule");  // the status panel's tooltip
    QTest::newRow("later today") << Harness::At(10, 0, 30) << "1030"
                                 << "Departure 10:30\nGate opens 10:10\nFinal call 10:25";
    QTest::newRow("the present minute is today") << Harness::At(10, 0, 59) << "1000"
                                                 << "Departure 10:00\nGate opens 09:40\nFinal call 09:55";
    QTest::newRow("a minute ago is tomorrow")
        << Harness::At(10, 0, 0) << "0959"
        << "Departure 09:59 tomorrow\nGate opens 09:39 tomorrow\nFinal call 09:54 tomorrow";
    QTest::newRow("just after midnight")
        << Harness::At(23, 50) << "0010"
        << "Departure 00:10 tomorrow\nGate opens 23:50\nFinal call 00:05 tomorrow";
}

void TestEntryStart::startClockMode()
{
    QFETCH(QDateTime, now);
    QFETCH(QString, typed);
    QFETCH(QString, schedule);
    Harness h(now);
    QVERIFY(!h.window->mnuOptionsCountdown->isChecked());
    h.typeTime(typed);
    h.setTotal(QStringLiteral("20"));
    h.start();
    QVERIFY(h.window->mnuFileStart->isChecked());
    QCOMPARE(h.window->stsStatusInfo->toolTip(), schedule);
}

void TestEntryStart::startWithCtrlS()
{
    Harness h;
    frmMain& w = *h.window;
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClicks(w.txtTime, QStringLiteral("1030"));
    QTest::keyClick(&w, Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
    QVERIFY(!w.mnuFileStart->isChecked());  // still disabled
    QTest::keyClicks(w.txtTotal, QStringLiteral("80"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
    QVERIFY(w.mnuFileStart->isChecked());
    QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(!w.mnuFileStart->isChecked());
    // Keys typed after a stop, and after a run that ends by itself, reach the
    // field that had them at Start.
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.txtTotal));
    for (QAction* sound : {w.mnuOptionsDepart, w.mnuOptionsBoarding, w.mnuOptionsGate, w.mnuOptionsBriefing})
        h.setOption(sound, false);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("0"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
    QVERIFY(w.mnuFileStart->isChecked());
    h.clock.advance(36 * 1000);  // all aboard, departed, closed
    QVERIFY(!w.mnuFileStart->isChecked());
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("12"));
    QCOMPARE(w.txtTotal->text(), QStringLiteral("12"));
}

void TestEntryStart::secondStartStops()
{
    Harness h;
    frmMain& w = *h.window;
    h.typeTime(QStringLiteral("1015"));
    h.setTotal(QStringLiteral("150"));
    h.start();
    // Let it run into the open gate, then stop it by hand.
    h.clock.advance(6 * 60 * 1000);
    QCOMPARE(w.stsStatusInfo->text(), QStringLiteral("Go to gate"));
    // Assistive software writing into the locked fields changes neither: the
    // next tick shows no error, and the run still stops.
    for (QWidget* field : {static_cast<QWidget*>(w.txtTotal), static_cast<QWidget*>(w.txtTime)}) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(field);
        a->setText(QAccessible::Value, QStringLiteral("abc"));
        a->editableTextInterface()->replaceText(0, 2, QStringLiteral("x"));
    }
    h.clock.advance(5000);
    QVERIFY(h.messages.shown.isEmpty());
    QVERIFY(w.mnuFileStart->isEnabled());
    h.start();
    QVERIFY(!w.mnuFileStart->isChecked());
    QVERIFY(w.mnuFileStart->isEnabled());
    QVERIFY(!w.tmrTimer().Enabled());
    QVERIFY(w.txtTotal->isEnabled());
    QVERIFY(w.txtTime->isEnabled());
    QVERIFY(w.mnuOptionsCountdown->isEnabled());
    QCOMPARE(w.lblPAX[0]->text(), QString());
    QCOMPARE(w.lblPAX[1]->text(), QString());
    QVERIFY(!w.pgbInAC->isVisibleTo(&w));
    QCOMPARE(w.stsStatusInfo->text(), QStringLiteral("Go to gate"));
    QCOMPARE(w.stsStatusInfo->toolTip(), QString());  // "when?" ends with the run
    QCOMPARE(w.txtTotal->text(), QStringLiteral("150"));
    QCOMPARE(w.txtTime->Text(), QStringLiteral("10:15"));
    // No tick after the stop.
    const int plays = h.player->playCalls;
    h.clock.advance(3600 * 1000);
    QCOMPARE(h.player->playCalls, plays);
    QCOMPARE(w.lblPAX[0]->text(), QString());
}

void TestEntryStart::stopThenStartChimesAgain()
{
    Harness h(Harness::At(10, 0));
    h.typeTime(QStringLiteral("1010"));  // the gate is open from the start
    h.setTotal(QStringLiteral("300"));
    h.start();
    h.clock.advance(5000);
    QCOMPARE(h.player->played, QStringList{"/opt/tarmalo/Ding.wav"});
    h.clock.advance(5000);
    QCOMPARE(h.player->played.size(), 1);  // the same status chimes once
    h.start();
    h.start();
    h.clock.advance(5000);
    QCOMPARE(h.player->played.size(), 2);
}

void TestEntryStart::refusedStartLeavesWindowAlone_data()
{
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("total");
    QTest::addColumn<bool>("countdown");
    QTest::addColumn<QString>("faultField");
    QTest::newRow("clock, empty time") << ""
                                       << "150" << false << "txtTime";
    QTest::newRow("countdown, empty time") << ""
                                           << "150" << true << "txtTime";
    QTest::newRow("countdown, half a time") << "12"
                                            << "150" << true << "txtTime";
    QTest::newRow("negative total") << "1030"
                                    << "-1" << false << "txtTotal";
    QTest::newRow("over 16 bits") << "1030"
                                  << "32768" << false << "txtTotal";
    QTest::newRow("half a passenger") << "1030"
                                      << "2.5" << true << "txtTotal";
    QTest::newRow("both wrong: time first") << "99"
                                            << "-1" << false << "txtTime";
}

void TestEntryStart::refusedStartLeavesWindowAlone()
{
    QFETCH(QString, time);
    QFETCH(QString, total);
    QFETCH(bool, countdown);
    QFETCH(QString, faultField);
    Harness h;
    frmMain& w = *h.window;
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    h.setOption(w.mnuOptionsCountdown, countdown);
    h.typeTime(time);
    h.setTotal(total);
    w.stsStatusInfo->setText(QStringLiteral("Final call"));
    const QString timeBefore = w.txtTime->Text();
    QVERIFY(w.mnuFileStart->isEnabled());

    h.start();

    QCOMPARE(h.messages.shown.size(), 1);
    QCOMPARE(h.messages.shown[0].title, QStringLiteral("Tarmalo"));
    const QString told =
        faultField == "txtTotal"
            ? QStringLiteral("Type the number of booked passengers, a whole number from 0 to 32767.")
        : countdown ? QStringLiteral("Type the time to departure as hh:mm, from 00:00 to 23:59.")
                    : QStringLiteral("Type the departure time as hh:mm, from 00:00 to 23:59.");
    QCOMPARE(h.messages.shown[0].text, told);
    QVERIFY(!w.mnuFileStart->isChecked());
    QVERIFY(w.mnuFileStart->isEnabled());
    QVERIFY(w.txtTime->isEnabled());
    QVERIFY(w.txtTotal->isEnabled());
    QVERIFY(w.mnuOptionsCountdown->isEnabled());
    QCOMPARE(w.lblPAX[0]->text(), QString());
    QCOMPARE(w.lblPAX[1]->text(), QString());
    QCOMPARE(w.pgbInAC->value(), 0);
    QVERIFY(!w.tmrTimer().Enabled());
    QCOMPARE(w.stsStatusInfo->text(), QStringLiteral("Final call"));
    QCOMPARE(w.txtTime->Text(), timeBefore);
    QCOMPARE(w.txtTotal->text(), total);
    QLineEdit* field = faultField == "txtTime" ? static_cast<QLineEdit*>(w.txtTime) : w.txtTotal;
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(field));
    QCOMPARE(field->selectedText().size(), field->displayText().size());
    h.clock.advance(60 * 1000);
    QCOMPARE(h.player->playCalls, 0);
}

void TestEntryStart::ferryFlight()
{
    Harness h(Harness::At(10, 0));
    frmMain& w = *h.window;
    h.typeTime(QStringLiteral("1030"));
    h.setTotal(QStringLiteral("0"));
    h.start();
    QVERIFY(w.mnuFileStart->isChecked());
    // An empty bar, never Qt's busy indicator (which a 0..0 range gives).
    QVERIFY(w.pgbInAC->maximum() > w.pgbInAC->minimum());
    QCOMPARE(w.pgbInAC->value(), 0);
    QCOMPARE(w.lblPAX[0]->text(), QStringLiteral("0"));
    h.clock.advance(5000);
    QCOMPARE(w.lblPAX[0]->text(), QStringLiteral("0"));
    QCOMPARE(w.lblPAX[1]->text(), QStringLiteral("0"));
    QCOMPARE(h.player->played, QStringList{"/opt/tarmalo/BoardComplete.wav"});
    // All aboard at once, the gate still opens 20 minutes before departure.
    h.player->finish();
    h.clock.advance(1000);
    QCOMPARE(w.stsStatusInfo->text(), QStringLiteral("Gate closed"));
    h.clock.advance(10 * 60 * 1000);  // 10:10:06
    QCOMPARE(w.stsStatusInfo->text(), QStringLiteral("Go to gate"));
    QCOMPARE(h.player->played.last(), QStringLiteral("/opt/tarmalo/Ding.wav"));
}

QTEST_MAIN(TestEntryStart)
#include "test_entry_start.moc"
