// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The timer's rules: enabled flag and interval kept apart, interval 0
// never ticks, a new interval counts from when it is set. Driven by the
// test clock.
#include "common/Clock.h"
#include "support/FakeClock.h"

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
};

void TestTimer::script_data()
{
    // Steps: I<ms> sets the interval, E1/E0 enables/disables, A<ms> lets
    // time pass. Ticks are the milliseconds from the start at which they
    // fired.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("ticks");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("interval 0 never ticks even enabled") << "E0 E1 A10000"
                                                         << "" << true;
    QTest::newRow("interval on an enabled timer starts it") << "I1000 A2500"
                                                            << "1000,2000" << true;
    QTest::newRow("setting the interval does not enable") << "E0 I1000 A5000"
                                                          << "" << false;
    QTest::newRow("disabled stops ticking") << "I1000 A1500 E0 A5000"
                                            << "1000" << false;
    QTest::newRow("enabling counts from then") << "E0 I1000 A300 E1 A2500"
                                               << "1300,2300" << true;
    QTest::newRow("same interval again restarts the count") << "I1000 A600 I1000 A1500"
                                                            << "1600" << true;
    QTest::newRow("shorter interval from when set") << "I1000 A600 I300 A700"
                                                    << "900,1200" << true;
    QTest::newRow("interval 0 stops, enabled kept") << "I1000 A1500 I0 A5000"
                                                    << "1000" << true;
    QTest::newRow("interval back after 0") << "I1000 A500 I0 A500 I1000 A2500"
                                           << "2000,3000" << true;
    QTest::newRow("disable and enable restarts the count") << "I1000 A600 E0 E1 A1200"
                                                           << "1600" << true;
}

void TestTimer::script()
{
    QFETCH(QString, steps);
    QFETCH(QString, ticks);
    QFETCH(bool, enabled);

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

QTEST_GUILESS_MAIN(TestTimer)
#include "test_timer.moc"
