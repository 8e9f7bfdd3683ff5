// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The boarding clock tick: whole runs in fake time, the edge cases of each
// state, and the mends that keep a run from stalling.
#include "app/MainLayout.h"
#include "common/Clock.h"
#include "common/DateTime.h"
#include "support/Runner.h"

#include <QAction>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QTimeZone>
#include <QtTest>

namespace {

const QDateTime kStart = Harness::At(10, 0);

// Sets up a run: booked passengers, the typed time, the switches.
struct Setup {
    bool countdown = true;
    bool depart = true;
    QString sounds = QStringLiteral("bgp");  // the sound switches on: boarding, gate, briefing
    QString typed = QStringLiteral("0021");
    QString total = QStringLiteral("150");
};

void prepare(Harness& h, const Setup& s)
{
    frmMain& w = *h.window;
    h.setOption(w.mnuOptionsCountdown, s.countdown);
    h.setOption(w.mnuOptionsDepart, s.depart);
    h.setOption(w.mnuOptionsBoarding, s.sounds.contains(u'b'));
    h.setOption(w.mnuOptionsGate, s.sounds.contains(u'g'));
    h.setOption(w.mnuOptionsBriefing, s.sounds.contains(u'p'));
    h.typeTime(s.typed);
    h.setTotal(s.total);
}

QMap<QString, int> soundLengths()
{
    return {{"Ding.wav", 2000}, {"BoardComplete.wav", 4000}, {"Gndbrief.wav", 6000}, {"Pretaxbr.wav", 5000}};
}

QString hms(const QDateTime& t)
{
    return t.time().toString(QStringLiteral("HH:mm:ss"));
}

// A moment given in UTC, on a clock in Berlin (a wall-clock time that comes
// twice would be ambiguous).
QDateTime berlin(QDate day, int h, int m, int s = 0)
{
    return QDateTime(day, QTime(h, m, s), Qt::UTC).toTimeZone(QTimeZone("Europe/Berlin"));
}

}  // namespace

class TestTick : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::system()); }
    void fullRun_data();
    void fullRun();
    void arrivalsAtOrAboveRemaining_data();
    void arrivalsAtOrAboveRemaining();
    void completingTickShowsTotalAsTyped();
    void lateBoardingDepartsAtFirstWaitingTick_data();
    void lateBoardingDepartsAtFirstWaitingTick();
    void optionSwitchedDuringRun();
    void unreadableTotalChangesNothing();
    void noTickWhileErrorBoxIsOpen();
    void gateClosedRunNeverTicksAgain();
    void wallClockChanges_data();
    void wallClockChanges();
};

void TestTick::fullRun_data()
{
    QTest::addColumn<bool>("countdown");
    QTest::addColumn<bool>("depart");
    QTest::addColumn<QString>("sounds");
    QTest::addColumn<QStringList>("expectedSounds");  // "name@hh:mm:ss"
    QTest::addColumn<QStringList>("expectedStatuses");
    QTest::addColumn<QString>("completeAt");
    QTest::addColumn<QString>("departAt");
    QTest::addColumn<QString>("stopAt");

    // 150 booked, departure 10:20:00, every draw 0.9f: one passenger a tick
    // from 10:00:05 (the gate is open) to 10:09:55, then eight a tick (the
    // float 0.9f times ten is just below nine); boarding completes on the
    // tick of 10:10:15.
    for (const bool countdown : {true, false}) {
        const char* mode = countdown ? "countdown" : "clock";
        QTest::addRow("%s, depart on clock, sounds", mode)
            << countdown << true << "bgp"
            << QStringList{"Ding.wav@10:00:05", "BoardComplete.wav@10:10:15", "Ding.wav@10:15:00",
                           "Gndbrief.wav@10:20:00", "Pretaxbr.wav@10:20:36"}
            << QStringList{"Go to gate", "Final call", "Gate closed"} << "10:10:15"
            << "10:20:00"
            << "10:20:36";
        QTest::addRow("%s, depart on clock, quiet", mode)
            << countdown << true << "" << QStringList{"Ding.wav@10:00:05", "Ding.wav@10:15:00"}
            << QStringList{"Go to gate", "Final call", "Gate closed"} << "10:10:15"
            << "10:20:00"
            << "10:20:30";
        QTest::addRow("%s, depart when boarded, sounds", mode)
            << countdown << false << "bgp"
            << QStringList{"Ding.wav@10:00:05", "BoardComplete.wav@10:10:15", "Gndbrief.wav@10:10:20",
                           "Pretaxbr.wav@10:10:56"}
            << QStringList{"Go to gate", "Gate closed"} << "10:10:15"
            << "10:10:20"
            << "10:10:56";
        QTest::addRow("%s, depart when boarded, quiet", mode)
            << countdown << false << "" << QStringList{"Ding.wav@10:00:05"}
            << QStringList{"Go to gate", "Gate closed"} << "10:10:15"
            << "10:10:16"
            << "10:10:46";
    }
    // Each sound follows its own switch.
    QTest::newRow("clock, depart when boarded, only the gate sound")
        << false << false << "g" << QStringList{"Ding.wav@10:00:05", "Gndbrief.wav@10:10:16"}
        << QStringList{"Go to gate", "Gate closed"} << "10:10:15"
        << "10:10:16"
        << "10:10:52";
}

void TestTick::fullRun()
{
    QFETCH(bool, countdown);
    QFETCH(bool, depart);
    QFETCH(QString, sounds);
    QFETCH(QStringList, expectedSounds);
    QFETCH(QStringList, expectedStatuses);
    QFETCH(QString, completeAt);
    QFETCH(QString, departAt);
    QFETCH(QString, stopAt);

    ScriptedRandom rnd;
    rnd.fallback = 0.9f;
    Harness h(kStart);
    h.random = std::ref(rnd);
    Setup s;
    s.countdown = countdown;
    s.depart = depart;
    s.sounds = sounds;
    s.typed = countdown ? QStringLiteral("0020") : QStringLiteral("1020");
    prepare(h, s);
    Runner run(h);
    run.lengths = soundLengths();
    h.start();
    QVERIFY(run.runToStop(3600 * 1000));

    QStringList heard;
    for (int i = 0; i < run.sounds.size(); ++i)
        heard << run.sounds[i] + u'@' + hms(run.soundTimes[i]);
    QCOMPARE(heard, expectedSounds);
    QCOMPARE(run.statuses, expectedStatuses);

    QString completed, departed;
    qint32 lastState = 0;
    int booked = 150;
    for (const TickRecord& r : run.ticks) {
        const QString at = hms(r.at);
        if (lastState == 0 && r.state == 1)
            completed = at;
        if (lastState == 1 && r.state == 2)
            departed = at;
        // The timer after every tick, phase by phase.
        if (!r.running) {
            QCOMPARE(r.interval, -1);
            QVERIFY(!r.enabled);
            QVERIFY(!r.barVisible);
            QCOMPARE(r.remaining, QString());
            QCOMPARE(r.status, QStringLiteral("Gate closed"));
        } else if (r.state == 0) {
            QCOMPARE(r.interval, 5000);
            QVERIFY(r.enabled);
            QVERIFY(r.barVisible);
            QCOMPARE(r.remaining.toInt() + r.aboard.toInt(), booked);
            QCOMPARE(r.barValue, r.aboard.toInt());
        } else if (r.state == 1) {
            QCOMPARE(r.interval, sounds.contains(u'b') && at == completeAt ? -1 : 1000);
            QCOMPARE(r.remaining, QStringLiteral("0"));
            QCOMPARE(r.aboard, QStringLiteral("150"));
            QVERIFY(!r.barVisible);
        } else {
            QCOMPARE(r.interval, sounds.contains(u'g') ? -1 : 30000);
        }
        lastState = r.state;
    }
    QCOMPARE(completed, completeAt);
    QCOMPARE(departed, departAt);
    QCOMPARE(hms(run.ticks.last().at), stopAt);
    QVERIFY(!run.ticks.last().running);
    // The first tick came five seconds after the start.
    QCOMPARE(hms(run.ticks.first().at), QStringLiteral("10:00:05"));

    // Stopped for good: the fields are free again and nothing ticks.
    QVERIFY(h.window->txtTime->isEnabled());
    QVERIFY(h.window->txtTotal->isEnabled());
    const int ticks = run.ticks.size();
    h.player->finish();
    h.clock.advance(3600 * 1000);
    QCOMPARE(run.ticks.size(), ticks);
}

void TestTick::arrivalsAtOrAboveRemaining_data()
{
    QTest::addColumn<QString>("total");
    // Within ten minutes, draws 0.9 then 0.95 bring nine passengers.
    QTest::newRow("equal") << "9";
    QTest::newRow("above") << "5";
    QTest::newRow("one left") << "10";
}

void TestTick::arrivalsAtOrAboveRemaining()
{
    QFETCH(QString, total);
    ScriptedRandom rnd;
    rnd.values = {0.9f, 0.95f};
    Harness h(kStart);
    h.random = std::ref(rnd);
    Setup s;
    s.typed = "0005";
    s.total = total;
    prepare(h, s);
    h.start();
    h.clock.advance(5000);
    frmMain& w = *h.window;
    if (total == "10") {
        QCOMPARE(h.tickInterval(), 5000);
        QCOMPARE(w.lblPAX[0]->text(), QStringLiteral("1"));
        QCOMPARE(w.lblPAX[1]->text(), QStringLiteral("9"));
        QCOMPARE(w.pgbInAC->value(), 9);
        return;
    }
    QCOMPARE(w.lblPAX[0]->text(), QStringLiteral("0"));
    QCOMPARE(w.lblPAX[1]->text(), total);
    QVERIFY(!w.pgbInAC->isVisibleTo(&w));
}

void TestTick::completingTickShowsTotalAsTyped()
{
    ScriptedRandom rnd;
    rnd.values = {0.0f, 0.95f, 0.95f};  // nobody at the first tick, nine at the second
    Harness h(kStart);
    h.random = std::ref(rnd);
    Setup s;
    s.typed = "0010";
    s.total = "2.0";
    prepare(h, s);
    h.start();
    frmMain& w = *h.window;
    QCOMPARE(w.lblPAX[0]->text(), QStringLiteral("2.0"));
    h.clock.advance(5000);
    // "2.0" reads as the count 2 on the ticks that go on.
    QCOMPARE(w.lblPAX[0]->text(), QStringLiteral("2"));
    QCOMPARE(w.lblPAX[1]->text(), QStringLiteral("0"));
    QCOMPARE(w.stsStatusInfo->text(), QStringLiteral("Go to gate"));
    h.clock.advance(5000);
    QCOMPARE(w.lblPAX[0]->text(), QStringLiteral("0"));
    QCOMPARE(w.lblPAX[1]->text(), QStringLiteral("2.0"));
    // The status panel is left from the tick before; the bar, hidden, still
    // gets the count as its value.
    QCOMPARE(w.stsStatusInfo->text(), QStringLiteral("Go to gate"));
    QVERIFY(!w.pgbInAC->isVisibleTo(&w));
    QCOMPARE(w.pgbInAC->value(), 2);
}

void TestTick::lateBoardingDepartsAtFirstWaitingTick_data()
{
    QTest::addColumn<bool>("countdown");
    QTest::newRow("countdown") << true;
    QTest::newRow("clock") << false;
}

void TestTick::lateBoardingDepartsAtFirstWaitingTick()
{
    QFETCH(bool, countdown);
    ScriptedRandom rnd;
    rnd.fallback = 0.9f;
    Harness h(kStart);
    h.random = std::ref(rnd);
    Setup s;
    s.countdown = countdown;
    s.sounds.clear();
    s.typed = countdown ? "0002" : "1002";
    s.total = "300";  // eight a tick: 38 ticks, well past the departure
    prepare(h, s);
    Runner run(h);
    h.start();
    QVERIFY(run.runToStop(3600 * 1000));
    int completeIdx = -1;
    for (int i = 0; i < run.ticks.size(); ++i)
        if (run.ticks[i].state == 1) {
            completeIdx = i;
            break;
        }
    QVERIFY(completeIdx > 0);
    const TickRecord& done = run.ticks[completeIdx];
    QCOMPARE(hms(done.at), QStringLiteral("10:03:10"));
    // The final call holds past the departure minute while passengers wait.
    QCOMPARE(run.ticks[completeIdx - 1].status, QStringLiteral("Final call"));
    const TickRecord& next = run.ticks[completeIdx + 1];
    QCOMPARE(next.state, 2);
    QCOMPARE(hms(next.at), QStringLiteral("10:03:11"));
    QCOMPARE(next.status, QStringLiteral("Gate closed"));
    QCOMPARE(hms(run.ticks.last().at), QStringLiteral("10:03:41"));
}

void TestTick::optionSwitchedDuringRun()
{
    ScriptedRandom rnd;
    rnd.fallback = 0.9f;
    Harness h(kStart);
    h.random = std::ref(rnd);
    Setup s;
    s.typed = "0010";
    s.total = "16";  // two ticks of eight
    prepare(h, s);
    Runner run(h);
    run.lengths = soundLengths();
    frmMain& w = *h.window;
    h.start();
    h.clock.advance(5000);
    QCOMPARE(w.lblPAX[0]->text(), QStringLiteral("8"));
    w.mnuOptionsBoarding->trigger();  // off before the completing tick
    h.clock.advance(5000);
    QCOMPARE(run.ticks.last().state, 1);
    QVERIFY(!run.sounds.contains("BoardComplete.wav"));
    QCOMPARE(h.tickInterval(), 1000);
    w.mnuOptionsDepart->trigger();  // depart as soon as boarded, next tick
    h.clock.advance(1000);
    QCOMPARE(run.ticks.last().state, 2);
    QCOMPARE(run.sounds.last(), QStringLiteral("Gndbrief.wav"));
}

// "150,0" is 150 in German and no number in English: a locale changed
// during a run leaves the booked total unreadable for a while.
void TestTick::unreadableTotalChangesNothing()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    Harness h(kStart);
    Setup s;
    s.total = "150,0";
    prepare(h, s);
    h.start();
    h.clock.advance(5000);
    frmMain& w = *h.window;
    const QString remaining = w.lblPAX[0]->text();
    const QString aboard = w.lblPAX[1]->text();
    const int bar = w.pgbInAC->value();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    h.clock.advance(5000);
    QCOMPARE(h.messages.shown.size(), 1);
    QCOMPARE(h.messages.shown[0].icon, QMessageBox::Critical);
    QCOMPARE(h.messages.shown[0].title, QStringLiteral("Tarmalo"));
    QCOMPARE(h.messages.shown[0].text, QStringLiteral("Type mismatch"));
    QCOMPARE(w.lblPAX[0]->text(), remaining);
    QCOMPARE(w.lblPAX[1]->text(), aboard);
    QCOMPARE(w.pgbInAC->value(), bar);
    QVERIFY(w.pgbInAC->isVisibleTo(&w));
    // The timer kept its state; the same test is tried at the next tick.
    QCOMPARE(h.tickInterval(), 5000);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    h.clock.advance(5000);
    QCOMPARE(h.messages.shown.size(), 1);
    QCOMPARE(w.lblPAX[0]->text().toInt() + w.lblPAX[1]->text().toInt(), 150);
}

void TestTick::noTickWhileErrorBoxIsOpen()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    Harness h(kStart);
    Setup s;
    s.total = "150,0";
    prepare(h, s);
    Runner run(h);
    h.start();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    int ticksWhileOpen = -1;
    h.messages.whileOpen = [&] {
        // The pilot leaves the box open for a minute.
        const int before = run.ticks.size();
        h.clock.advance(60 * 1000);
        ticksWhileOpen = run.ticks.size() - before;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    };
    h.clock.advance(5000);
    QCOMPARE(h.messages.shown.size(), 1);
    QCOMPARE(ticksWhileOpen, 0);
    // After the box the run goes on from where it was.
    QCOMPARE(h.tickInterval(), 5000);
    const int before = run.ticks.size();
    h.clock.advance(5000);
    QCOMPARE(run.ticks.size(), before + 1);
    QCOMPARE(h.messages.shown.size(), 1);
}

void TestTick::gateClosedRunNeverTicksAgain()
{
    Harness h(kStart);
    Setup s;
    s.depart = false;
    s.typed = "0010";
    s.total = "0";
    prepare(h, s);
    Runner run(h);
    run.lengths = soundLengths();
    h.start();
    QVERIFY(run.runToStop(3600 * 1000));
    QCOMPARE(run.sounds.last(), QStringLiteral("Pretaxbr.wav"));
    // The briefing's end enables a timer whose interval is 0: still no tick.
    const int ticks = run.ticks.size();
    h.player->finish();
    h.clock.advance(3600 * 1000);
    QCOMPARE(run.ticks.size(), ticks);
    QCOMPARE(h.tickInterval(), -1);
}

void TestTick::wallClockChanges_data()
{
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<bool>("countdown");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("jumpAt");  // seconds of real time after the start
    QTest::addColumn<int>("jumpDays");  // the clock is set by this many days
    QTest::addColumn<int>("backAfter");  // seconds later it is set back; 0 never
    QTest::addColumn<QStringList>("expectedStatuses");
    QTest::addColumn<int>("departsAfter");  // real seconds from the start; -1 unchecked
    QTest::addColumn<int>("dings");

    const QStringList goFinalClosed{"Go to gate", "Final call", "Gate closed"};
    const QDate autumn(2026, 10, 25), spring(2026, 3, 29), december(2026, 12, 7);
    // A duration counts real minutes across the change of offset.
    QTest::newRow("10 min over the autumn change")  // from 02:59:20 summer time
        << berlin(autumn, 0, 59, 20) << true << "0010" << 0 << 0 << 0 << goFinalClosed << 600 << 2;
    QTest::newRow("10 min over the spring change")  // from 01:59:20 winter time
        << berlin(spring, 0, 59, 20) << true << "0010" << 0 << 0 << 0 << goFinalClosed << 600 << 2;
    // A clock time is the next moment the clock shows it, or jumps past it.
    QTest::newRow("02:05 at 02:50 summer time is in 15 min")
        << berlin(autumn, 0, 50) << false << "0205" << 0 << 0 << 0 << goFinalClosed << 900 << 2;
    QTest::newRow("02:30 skipped in spring is the jump")  // from 01:50
        << berlin(spring, 0, 50) << false << "0230" << 0 << 0 << 0 << goFinalClosed << 600 << 2;
    QTest::newRow("03:10 after the spring jump is in 15 min")  // from 01:55
        << berlin(spring, 0, 55) << false << "0310" << 0 << 0 << 0 << goFinalClosed << 900 << 2;
    // A clock set weeks away: far ahead nobody comes, long past everybody
    // boards and the aircraft leaves; never a box. From 10:39, 10:20, 10:44.
    QTest::newRow("30 days on at the open gate") << berlin(december, 9, 39) << false << "1050" << 30 << 30
                                                 << 0 << QStringList{"Go to gate", "Gate closed"} << -1 << 1;
    QTest::newRow("30 days back at the open gate, then right")
        << berlin(december, 9, 39) << false << "1050" << 30 << -30 << 60
        << QStringList{"Go to gate", "Gate closed", "Go to gate", "Final call", "Gate closed"} << 660 << 3;
    QTest::newRow("30 days back before the gate opens, then right")
        << berlin(december, 9, 20) << false << "1050" << 30 << -30 << 60
        << QStringList{"Gate closed", "Go to gate", "Final call", "Gate closed"} << 1800 << 2;
    QTest::newRow("30 days on at the final call")
        << berlin(december, 9, 44) << true << "0006" << 70 << 30 << 0 << goFinalClosed << -1 << 2;
}

void TestTick::wallClockChanges()
{
    QFETCH(QDateTime, start);
    QFETCH(bool, countdown);
    QFETCH(QString, typed);
    QFETCH(int, jumpAt);
    QFETCH(int, jumpDays);
    QFETCH(int, backAfter);
    QFETCH(QStringList, expectedStatuses);
    QFETCH(int, departsAfter);
    QFETCH(int, dings);

    QCOMPARE(start.timeZone().id(), QByteArray("Europe/Berlin"));
    ScriptedRandom rnd;
    rnd.fallback = 0.9f;  // one a tick from 20 minutes, eight from 10
    Harness h(start);
    h.random = std::ref(rnd);
    Setup s;
    s.countdown = countdown;
    s.typed = typed;
    prepare(h, s);
    Runner run(h);
    frmMain& w = *h.window;

    qint64 shifted = 0;  // how far the clock was set, in ms
    auto elapsed = [&] { return h.clock.now().toMSecsSinceEpoch() - start.toMSecsSinceEpoch() - shifted; };
    QList<std::pair<qint64, int>> jumps;
    if (jumpDays != 0)
        jumps.append({jumpAt * 1000LL, jumpDays});
    if (backAfter > 0)
        jumps.append({(jumpAt + backAfter) * 1000LL, -jumpDays});

    qint64 departedAt = -1;
    qint32 lastState = 0;
    QString wrong;
    run.afterTick = [&](const TickRecord& r) {
        if (lastState == 1 && r.state == 2)
            departedAt = elapsed();
        lastState = r.state;
        // The clock panel follows a clock that was set at the next tick.
        if (wrong.isEmpty() && w.stsStatusClock->text() != r.at.time().toString(QStringLiteral("HH:mm")))
            wrong = QStringLiteral("clock panel %1 at %2").arg(w.stsStatusClock->text(), hms(r.at));
        if (wrong.isEmpty() && r.running && r.state == 0 && r.remaining.toInt() + r.aboard.toInt() != 150)
            wrong = QStringLiteral("counts %1 + %2 at %3").arg(r.remaining, r.aboard, hms(r.at));
    };

    h.start();
    const qint64 limit = 3 * 3600 * 1000LL;
    while (elapsed() < limit && (w.mnuFileStart->isChecked() || run.soundPlaying())) {
        if (!jumps.isEmpty() && elapsed() >= jumps.first().first) {
            const QDateTime before = h.clock.now();
            h.clock.set(before.addDays(jumps.first().second));
            shifted += h.clock.now().toMSecsSinceEpoch() - before.toMSecsSinceEpoch();
            jumps.removeFirst();
            // A real timer runs on a monotonic clock: setting the wall clock
            // does not move its next tick a month.
            if (h.tickInterval() > 0)
                w.tmrTimer().setInterval(h.tickInterval());
            h.clock.advance(0);  // the fake clock's overdue wakes come now
            continue;
        }
        qint64 next = limit - elapsed();
        if (!jumps.isEmpty())
            next = std::min(next, jumps.first().first - elapsed());
        const bool stepped = run.step(next);
        if (!stepped)
            h.clock.advance(next);
    }

    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    QCOMPARE(h.messages.shown.size(), 0);
    QVERIFY2(!w.mnuFileStart->isChecked(), "the run did not stop by itself");
    QCOMPARE(run.statuses, expectedStatuses);
    if (departsAfter >= 0)
        QCOMPARE(departedAt, departsAfter * 1000LL);
    QCOMPARE(run.sounds.count(QStringLiteral("Ding.wav")), dings);
}

QTEST_MAIN(TestTick)
#include "test_tick.moc"
