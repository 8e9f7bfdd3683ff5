// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The timer's rules: enabled flag and interval kept apart, interval 0
// never ticks, a new interval counts from when it is set. Driven by the
// test clock, plus a short check on the real event loop.
#include "common/Timer.h"
#include "support/FakeClock.h"
#include "support/ProgramProbe.h"

#include <QElapsedTimer>
#include <QtTest>

namespace {

const QDateTime kStart(QDate(2026, 5, 10), QTime(10, 0), Qt::UTC);

qint64 elapsed(const common::FakeClock& clock)
{
    return kStart.msecsTo(clock.now());
}

QString join(const QList<qint64>& ticks)
{
    QStringList parts;
    for (qint64 t : ticks)
        parts << QString::number(t);
    return parts.join(u',');
}

}  // namespace

class TestTimer : public QObject {
    Q_OBJECT

private slots:
    void script_data();
    void script();

    void handlerChangesInterval();
    void handlerDisables();
    void handlerSeesItsOwnMoment();
    void twoTimersInOrder();
    void nextTickQueries();

    void realLoopTicks();
    void realLoopNewIntervalCountsFromSet();
    void realLoopStaysQuiet_data();
    void realLoopStaysQuiet();
};

void TestTimer::script_data()
{
    // Steps: I<ms> sets the interval, E1/E0 enables/disables, A<ms> lets
    // time pass. Ticks are the milliseconds from the start at which they
    // fired.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("ticks");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("interval");

    QTest::newRow("new timer is enabled at 0 and silent") << "A10000"
                                                          << "" << true << 0;
    QTest::newRow("interval 0 never ticks even enabled") << "E0 E1 A10000"
                                                         << "" << true << 0;
    QTest::newRow("interval on an enabled timer starts it") << "I1000 A2500"
                                                            << "1000,2000" << true << 1000;
    QTest::newRow("setting the interval does not enable") << "E0 I1000 A5000"
                                                          << "" << false << 1000;
    QTest::newRow("disabled stops ticking") << "I1000 A1500 E0 A5000"
                                            << "1000" << false << 1000;
    QTest::newRow("enabling counts from then") << "E0 I1000 A300 E1 A2500"
                                               << "1300,2300" << true << 1000;
    QTest::newRow("same interval again restarts the count") << "I1000 A600 I1000 A1500"
                                                            << "1600" << true << 1000;
    QTest::newRow("shorter interval from when set") << "I1000 A600 I300 A700"
                                                    << "900,1200" << true << 300;
    QTest::newRow("longer interval from when set") << "I1000 A900 I5000 A5000"
                                                   << "5900" << true << 5000;
    QTest::newRow("interval 0 stops, enabled kept") << "I1000 A1500 I0 A5000"
                                                    << "1000" << true << 0;
    QTest::newRow("interval back after 0") << "I1000 A500 I0 A500 I1000 A2500"
                                           << "2000,3000" << true << 1000;
    QTest::newRow("enabling an enabled timer keeps its count") << "I1000 A600 E1 A500"
                                                               << "1000" << true << 1000;
    QTest::newRow("disable and enable restarts the count") << "I1000 A600 E0 E1 A1200"
                                                           << "1600" << true << 1000;
    QTest::newRow("interval set while disabled waits for enabling") << "I1000 E0 A700 I500 A700 E1 A1100"
                                                                    << "1900,2400" << true << 500;
    QTest::newRow("each tick at its own moment, end included") << "I5000 A20000"
                                                               << "5000,10000,15000,20000" << true << 5000;
    QTest::newRow("small steps add up") << "I1000 A400 A400 A400 A400 A400"
                                        << "1000,2000" << true << 1000;
    QTest::newRow("interval 1") << "I1 A5"
                                << "1,2,3,4,5" << true << 1;
}

void TestTimer::script()
{
    QFETCH(QString, steps);
    QFETCH(QString, ticks);
    QFETCH(bool, enabled);
    QFETCH(int, interval);

    common::FakeClock clock(kStart);
    common::Timer timer(clock);
    QList<qint64> fired;
    connect(&timer, &common::Timer::Tick, this, [&] { fired << elapsed(clock); });

    for (const QString& step : steps.split(u' ', Qt::SkipEmptyParts)) {
        const int n = step.mid(1).toInt();
        switch (step.at(0).toLatin1()) {
        case 'I': timer.setInterval(n); break;
        case 'E': timer.setEnabled(n != 0); break;
        case 'A': clock.advance(n); break;
        default: QFAIL(qPrintable(QStringLiteral("bad step ") + step));
        }
    }
    QCOMPARE(join(fired), ticks);
    QCOMPARE(timer.Enabled(), enabled);
    QCOMPARE(ProgramProbe::Interval(timer), interval);
}

void TestTimer::handlerChangesInterval()
{
    common::FakeClock clock(kStart);
    common::Timer timer(clock);
    QList<qint64> fired;
    connect(&timer, &common::Timer::Tick, this, [&] {
        fired << elapsed(clock);
        if (fired.size() == 1)
            timer.setInterval(300);  // the tick's own change decides the next one
    });
    timer.setInterval(1000);
    QCOMPARE(clock.advance(2000), 4);
    QCOMPARE(join(fired), QStringLiteral("1000,1300,1600,1900"));
}

void TestTimer::handlerDisables()
{
    common::FakeClock clock(kStart);
    common::Timer timer(clock);
    int count = 0;
    connect(&timer, &common::Timer::Tick, this, [&] {
        ++count;
        timer.setEnabled(false);
    });
    timer.setInterval(1000);
    QCOMPARE(clock.advance(10000), 1);
    QCOMPARE(count, 1);

    // The same with interval 0, the way a finished run stops its timer.
    common::Timer second(clock);
    int secondCount = 0;
    connect(&second, &common::Timer::Tick, this, [&] {
        ++secondCount;
        second.setInterval(0);
    });
    second.setInterval(500);
    clock.advance(10000);
    QCOMPARE(secondCount, 1);
    QVERIFY(second.Enabled());
    QVERIFY(!second.running());
}

void TestTimer::handlerSeesItsOwnMoment()
{
    // Several due ticks in one advance each see the clock at their moment,
    // and a time moved past them ends at the target.
    common::FakeClock clock(kStart);
    common::Timer timer(clock);
    QList<QTime> seen;
    connect(&timer, &common::Timer::Tick, this, [&] { seen << clock.now().time(); });
    timer.setInterval(60000);
    clock.advance(150000);
    QCOMPARE(seen, (QList<QTime>{QTime(10, 1), QTime(10, 2)}));
    QCOMPARE(clock.now().time(), QTime(10, 2, 30));
}

void TestTimer::twoTimersInOrder()
{
    common::FakeClock clock(kStart);
    common::Timer a(clock);
    common::Timer b(clock);
    QStringList order;
    connect(&a, &common::Timer::Tick, this, [&] { order << QStringLiteral("a%1").arg(elapsed(clock)); });
    connect(&b, &common::Timer::Tick, this, [&] { order << QStringLiteral("b%1").arg(elapsed(clock)); });
    b.setInterval(700);
    a.setInterval(300);
    QCOMPARE(clock.advance(2000), 8);
    QCOMPARE(order.join(u' '), QStringLiteral("a300 a600 b700 a900 a1200 b1400 a1500 a1800"));
}

void TestTimer::nextTickQueries()
{
    common::FakeClock clock(kStart);
    common::Timer timer(clock);
    QCOMPARE(clock.msToNextTick(), qint64(-1));
    QVERIFY(!clock.advanceToNextTick(200));
    QCOMPARE(elapsed(clock), qint64(200));

    int count = 0;
    connect(&timer, &common::Timer::Tick, this, [&] { ++count; });
    timer.setInterval(1000);
    QCOMPARE(clock.msToNextTick(), qint64(1000));
    clock.advance(600);
    QCOMPARE(clock.msToNextTick(), qint64(400));
    QVERIFY(!clock.advanceToNextTick(399));
    QCOMPARE(count, 0);
    QVERIFY(clock.advanceToNextTick(1));
    QCOMPARE(count, 1);
    QCOMPARE(elapsed(clock), qint64(1200));
    timer.setEnabled(false);
    QCOMPARE(clock.msToNextTick(), qint64(-1));
}

void TestTimer::realLoopTicks()
{
    common::Timer timer(common::SystemClock::instance());
    int count = 0;
    connect(&timer, &common::Timer::Tick, this, [&] { ++count; });
    QElapsedTimer watch;
    timer.setInterval(50);
    watch.start();
    QTest::qWait(300);
    timer.setEnabled(false);
    const qint64 ms = watch.elapsed();
    // A loaded machine may run late, but the count follows the time that
    // really passed.
    const int expected = static_cast<int>(ms / 50);
    QVERIFY2(count >= 2 && count >= expected - 2 && count <= expected + 1,
             qPrintable(QStringLiteral("%1 ticks in %2 ms").arg(count).arg(ms)));
    const int atStop = count;
    QTest::qWait(150);
    QCOMPARE(count, atStop);
}

void TestTimer::realLoopNewIntervalCountsFromSet()
{
    common::Timer timer(common::SystemClock::instance());
    QElapsedTimer watch;
    QList<qint64> fired;
    connect(&timer, &common::Timer::Tick, this, [&] { fired << watch.elapsed(); });
    timer.setInterval(400);
    QTest::qWait(250);
    watch.start();
    timer.setInterval(400);  // the first count would tick 150 ms from here
    fired.clear();  // a late wait may have let the first one through
    QTRY_VERIFY_WITH_TIMEOUT(!fired.isEmpty(), 2000);
    timer.setEnabled(false);
    // Coarse timers may fire up to 5 % early.
    QVERIFY2(fired.first() >= 380,
             qPrintable(QStringLiteral("ticked %1 ms after the new interval").arg(fired.first())));
}

void TestTimer::realLoopStaysQuiet_data()
{
    QTest::addColumn<bool>("disableFirst");
    QTest::addColumn<int>("interval");

    QTest::newRow("interval 0, enabled") << false << 0;
    QTest::newRow("interval set on a disabled timer") << true << 50;
}

void TestTimer::realLoopStaysQuiet()
{
    QFETCH(bool, disableFirst);
    QFETCH(int, interval);

    common::Timer timer(common::SystemClock::instance());
    int count = 0;
    connect(&timer, &common::Timer::Tick, this, [&] { ++count; });
    if (disableFirst)
        timer.setEnabled(false);
    timer.setInterval(interval);
    QTest::qWait(200);
    QCOMPARE(count, 0);
}

QTEST_GUILESS_MAIN(TestTimer)
#include "test_timer.moc"
