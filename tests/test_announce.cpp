// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The announcement handlers on a silent player: the chime, the play-state
// notification, and a stopped run staying stopped.
#include "boarding/MediaPlayer.h"
#include "common/Clock.h"
#include "support/Runner.h"

#include <QAction>
#include <QtTest>

class TestAnnounce : public QObject {
    Q_OBJECT
private slots:
    void chimeOnOpenGateAndFinalCall();
    void playStateResumesPausedTimer_data();
    void playStateResumesPausedTimer();
    void chimeEndingWakesNothing();
    void stoppedRunStaysStopped_data();
    void stoppedRunStaysStopped();
};

void TestAnnounce::chimeOnOpenGateAndFinalCall()
{
    ScriptedRandom rnd;  // nobody arrives: the run stays at the gate
    Harness h(Harness::At(10, 0));
    h.random = std::ref(rnd);
    frmMain& w = *h.window;
    for (QAction* a : {w.mnuOptionsBoarding, w.mnuOptionsGate, w.mnuOptionsBriefing})
        a->trigger();
    w.mnuOptionsCountdown->trigger();
    h.typeTime(QStringLiteral("0021"));
    h.setTotal(QStringLiteral("40"));
    h.start();
    Runner run(h);
    // 10:00:05 closed (21 min), 10:01 opens, 10:16 final call, 10:26 closed.
    h.clock.advance(5000);
    QCOMPARE(w.stsStatusInfo->text(), QStringLiteral("Gate closed"));
    QCOMPARE(h.player->played.size(), 0);
    h.clock.advance(50000);  // to the tick of 10:00:55, still closed
    QCOMPARE(w.stsStatusInfo->text(), QStringLiteral("Gate closed"));
    QCOMPARE(h.player->played.size(), 0);
    h.clock.advance(5000);  // the tick of 10:01:00
    QCOMPARE(w.stsStatusInfo->text(), QStringLiteral("Go to gate"));
    QCOMPARE(h.player->played, QStringList{"/opt/tarmalo/Ding.wav"});
    h.clock.advance(14 * 60 * 1000 + 55 * 1000);  // to 10:15:55, still open
    QCOMPARE(h.player->played.size(), 1);
    h.clock.advance(5000);
    QCOMPARE(w.stsStatusInfo->text(), QStringLiteral("Final call"));
    QCOMPARE(h.player->played.size(), 2);
    h.clock.advance(10 * 60 * 1000);
    QCOMPARE(w.stsStatusInfo->text(), QStringLiteral("Gate closed"));
    QCOMPARE(h.player->played.size(), 2);  // closing never chimes
    // The chime never paused the boarding.
    QVERIFY(w.tmrTimer().Enabled());
}

void TestAnnounce::playStateResumesPausedTimer_data()
{
    QTest::addColumn<int>("newState");
    QTest::addColumn<bool>("resumes");
    QTest::newRow("playing") << int(PlayState::Playing) << false;
    QTest::newRow("stopped") << int(PlayState::Stopped) << true;
}

void TestAnnounce::playStateResumesPausedTimer()
{
    QFETCH(int, newState);
    QFETCH(bool, resumes);
    ScriptedRandom rnd;
    rnd.fallback = 0.95f;
    Harness h(Harness::At(10, 0));
    h.random = std::ref(rnd);
    frmMain& w = *h.window;
    w.mnuOptionsCountdown->trigger();
    h.typeTime(QStringLiteral("0005"));
    h.setTotal(QStringLiteral("5"));
    h.start();
    h.clock.advance(5000);  // boarded: "BoardComplete.wav" plays, the tick waits
    QCOMPARE(h.player->played.last(), QStringLiteral("/opt/tarmalo/BoardComplete.wav"));
    QCOMPARE(h.tickInterval(), -1);
    h.player->report(PlayState(newState));
    QCOMPARE(h.tickInterval(), resumes ? 1000 : -1);
    if (!resumes) {
        h.player->finish();
        QCOMPARE(h.tickInterval(), 1000);
    }
}

void TestAnnounce::chimeEndingWakesNothing()
{
    Harness h(Harness::At(10, 0));
    frmMain& w = *h.window;
    w.mnuOptionsCountdown->trigger();
    h.typeTime(QStringLiteral("0015"));
    h.setTotal(QStringLiteral("100"));
    h.start();
    h.clock.advance(5000);
    QCOMPARE(h.player->played.size(), 1);
    QVERIFY(w.tmrTimer().Enabled());
    h.player->finish();
    QCOMPARE(h.tickInterval(), 5000);
}

void TestAnnounce::stoppedRunStaysStopped_data()
{
    QTest::addColumn<QString>("playing");
    QTest::newRow("chime") << "Ding.wav";
    QTest::newRow("boarding complete") << "BoardComplete.wav";
}

void TestAnnounce::stoppedRunStaysStopped()
{
    QFETCH(QString, playing);
    ScriptedRandom rnd;
    rnd.fallback = 0.95f;
    Harness h(Harness::At(10, 0));
    h.random = std::ref(rnd);
    frmMain& w = *h.window;
    w.mnuOptionsCountdown->trigger();
    h.typeTime(QStringLiteral("0005"));
    h.setTotal(playing == "Ding.wav" ? QStringLiteral("500") : QStringLiteral("5"));
    Runner run(h);
    h.start();
    h.clock.advance(5000);
    QVERIFY(h.player->played.last().endsWith(playing));
    h.start();  // stopped by hand while the sound plays
    QVERIFY(!w.mnuFileStart->isChecked());
    h.player->finish();
    const int ticks = run.ticks.size();
    h.clock.advance(3600 * 1000);
    QCOMPARE(run.ticks.size(), ticks);
    QVERIFY(!w.tmrTimer().Enabled());
    QVERIFY(h.messages.shown.isEmpty());
    // The next start runs normally again.
    h.start();
    h.clock.advance(5000);
    QCOMPARE(run.ticks.size(), ticks + 1);
}

QTEST_MAIN(TestAnnounce)
#include "test_announce.moc"
