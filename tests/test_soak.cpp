// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// A thousand randomised boardings in fake time: options switched at random
// moments, pilots stopping at random, sounds lasting at random.
// After every tick the counts add up, nothing ticks after a stop, and every
// run either is stopped by hand or ends by itself.
#include "common/Clock.h"
#include "common/DateTime.h"
#include "support/Runner.h"
#include "support/WallClockDates.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QtTest>

class TestSoak : public QObject {
    Q_OBJECT
private slots:
    void thousandRuns();
};

namespace {

struct Outcome {
    int runs = 0, userStops = 0, selfStops = 0, departureChecks = 0, ticks = 0;
};

QString hhmm(int minutes)
{
    return QStringLiteral("%1%2")
        .arg(minutes / 60 % 24, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

void TestSoak::thousandRuns()
{
    const int runs = qEnvironmentVariableIntValue("TARMALO_SOAK_RUNS") > 0
                         ? qEnvironmentVariableIntValue("TARMALO_SOAK_RUNS")
                         : 1000;
    QRandomGenerator scenario(20261207);
    Outcome out;
    QElapsedTimer wallClock;
    wallClock.start();

    for (int n = 0; n < runs; ++n) {
        const quint64 seed = scenario.generate64();
        const QDateTime start = Harness::At(0, 0).addMSecs(scenario.bounded(86400 * 1000));
        Harness h(start);
        h.random = common::Random(seed);
        frmMain& w = *h.window;
        const bool countdown = scenario.bounded(2);
        const bool departOn = scenario.bounded(2);
        h.setOption(w.mnuOptionsCountdown, countdown);
        h.setOption(w.mnuOptionsDepart, departOn);
        for (QAction* a : {w.mnuOptionsBoarding, w.mnuOptionsGate, w.mnuOptionsBriefing})
            h.setOption(a, scenario.bounded(2));
        const int booked = scenario.bounded(2001);
        const int ahead = scenario.bounded(91);  // minutes to departure
        const int startMinute = start.time().hour() * 60 + start.time().minute();
        h.typeTime(countdown ? hhmm(ahead) : hhmm(startMinute + ahead));
        h.setTotal(QString::number(booked));

        Runner run(h);
        for (const char* f : {"Ding.wav", "BoardComplete.wav", "Gndbrief.wav", "Pretaxbr.wav"})
            run.lengths[QString::fromLatin1(f)] = scenario.bounded(20001);

        const bool userStops = scenario.bounded(5) == 0;
        const qint64 stopAfter = scenario.bounded(120 * 60 * 1000);
        const bool toggles = scenario.bounded(3) == 0;
        const qint64 toggleAfter = scenario.bounded(100 * 60 * 1000);
        bool departToggled = false;

        bool stopped = false;
        bool failed = false;
        QString why;
        run.afterTick = [&](const TickRecord& r) {
            if (failed)
                return;
            if (stopped) {
                failed = true;
                why = QStringLiteral("a tick after the stop at %1").arg(r.at.toString(Qt::ISODateWithMs));
                return;
            }
            if (!r.running)
                return;  // the tick that ended the run
            bool ok = false;
            const int remaining = r.remaining.toInt(&ok);
            if (!ok || remaining < 0) {
                failed = true;
                why = QStringLiteral("remaining %1").arg(r.remaining);
            } else if (r.state == 0 && remaining + r.aboard.toInt() != booked) {
                failed = true;
                why = QStringLiteral("%1 + %2 != %3").arg(r.remaining, r.aboard).arg(booked);
            }
        };

        h.start();
        QVERIFY(w.mnuFileStart->isChecked());
        const qint64 t0 = run.nowMs();
        const qint64 limit = t0 + 3LL * 3600 * 1000;
        bool toggled = false;
        while (run.nowMs() < limit && !failed) {
            if (!w.mnuFileStart->isChecked()) {
                stopped = true;
                break;
            }
            const qint64 elapsed = run.nowMs() - t0;
            if (userStops && elapsed >= stopAfter) {
                h.start();
                stopped = true;
                ++out.userStops;
                break;
            }
            if (toggles && !toggled && elapsed >= toggleAfter) {
                toggled = true;
                QAction* pick[] = {w.mnuOptionsDepart, w.mnuOptionsBoarding, w.mnuOptionsGate,
                                   w.mnuOptionsBriefing, w.mnuOptionsCountdown};
                QAction* a = pick[scenario.bounded(5)];
                departToggled = a == w.mnuOptionsDepart;
                a->trigger();
            }
            qint64 next = limit - run.nowMs();
            if (userStops && stopAfter > elapsed)
                next = std::min(next, stopAfter - elapsed);
            if (toggles && !toggled && toggleAfter > elapsed)
                next = std::min(next, toggleAfter - elapsed);
            if (!run.step(std::max<qint64>(next, 0)) && next > 0)
                h.clock.advance(next);
        }
        QVERIFY2(!failed, qPrintable(QStringLiteral("run %1: %2").arg(n).arg(why)));
        QVERIFY2(stopped,
                 qPrintable(QStringLiteral("run %1 (booked %2, %3 min ahead, %4) still running after 3 h")
                                .arg(n)
                                .arg(booked)
                                .arg(ahead)
                                .arg(countdown ? "countdown" : "clock")));
        if (!userStops)
            ++out.selfStops;

        // A run that boarded before its departure, departing on the clock,
        // leaves at the first waiting tick at or after the departure second
        // and stops 30 s later (plus the gate-departure sound).
        if (!userStops && departOn && !departToggled) {
            auto ms = [](const QDateTime& t) { return common::ToMillis(common::FromQDateTime(t)); };
            // A duration from the start, or the typed minute: never the day after.
            const qint64 dep = ms(start) + ahead * 60000LL - (countdown ? 0 : ms(start) % 60000);
            int firstWait = -1, departIdx = -1;
            for (int i = 0; i < run.ticks.size(); ++i) {
                if (run.ticks[i].state == 1 && firstWait < 0)
                    firstWait = i;
                if (run.ticks[i].state == 2) {
                    departIdx = i;
                    break;
                }
            }
            if (firstWait >= 0 && departIdx > firstWait && ms(run.ticks[firstWait].at) < dep) {
                const qint64 departAt = ms(run.ticks[departIdx].at);
                QVERIFY2(departAt / 1000 >= dep / 1000,
                         qPrintable(QStringLiteral("run %1 left early").arg(n)));
                QVERIFY2(ms(run.ticks[departIdx - 1].at) / 1000 < dep / 1000,
                         qPrintable(QStringLiteral("run %1 waited past its departure second").arg(n)));
                int gndbrief = 0;
                for (int i = 0; i < run.sounds.size(); ++i)
                    if (run.sounds[i] == "Gndbrief.wav" && run.soundTimes[i] == run.ticks[departIdx].at)
                        gndbrief = run.lengths.value("Gndbrief.wav");
                const qint64 stopAt = ms(run.ticks.last().at);
                QCOMPARE(stopAt - departAt, 30000 + gndbrief);
                ++out.departureChecks;
            }
        }

        // Nothing ticks after the stop, however long the window stays open.
        const int ticks = run.ticks.size();
        h.player->finish();
        h.clock.advance(2 * 3600 * 1000);
        QCOMPARE(run.ticks.size(), ticks);
        out.ticks += ticks;
        ++out.runs;
    }
    qInfo("%d runs, %d ticks: %d stopped by hand, %d ended by themselves, %d departures timed, %lld ms",
          out.runs, out.ticks, out.userStops, out.selfStops, out.departureChecks, wallClock.elapsed());
    // Most big flights board after their departure; enough still board early.
    QVERIFY(out.departureChecks > runs / 50);
    // Fake time throughout: one boarding that waited on the real clock would
    // take twenty minutes or more. The bound leaves room for a sanitized
    // build on a busy machine.
    QVERIFY(wallClock.elapsed() < 240000);
}

QTEST_MAIN(TestSoak)
#include "test_soak.moc"
