// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The gate's rules: which status it shows at each minute, when it chimes,
// and how many passengers one tick brings (with scripted random values).
#include "boarding/clsCommon.h"
#include "common/DateTime.h"
#include "common/Random.h"
#include "support/FakeClock.h"
#include "support/Fakes.h"
#include "support/WallClockDates.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

const QDateTime kDeparture(QDate(2026, 5, 10), QTime(11, 0), Qt::UTC);

// A clock that counts how often it is read.
class CountingClock final : public common::Clock {
public:
    QDateTime now() const override
    {
        ++reads;
        return moment;
    }
    QDateTime moment = kDeparture;
    mutable int reads = 0;
};

// The present moment m whole minutes before the departure, plus some
// seconds into that minute.
QDateTime minutesBefore(int m, int seconds = 0, int ms = 0)
{
    return kDeparture.addSecs(-60LL * m + seconds).addMSecs(ms);
}

}  // namespace

class TestGateRules : public QObject {
    Q_OBJECT

private slots:
    void gateState_data();
    void gateState();

    void gateStateEvents_data();
    void gateStateEvents();

    void countDown_data();
    void countDown();
};

void TestGateRules::gateState_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QDateTime>("present");
    QTest::addColumn<QDateTime>("departure");
    QTest::addColumn<QString>("text");

    const QString closed = clsCommon::kGateClosed;
    const QString go = clsCommon::kGoToGate;
    const QString finalCall = clsCommon::kFinalCall;

    struct Row {
        int state;
        int m;
        QString text;
    };
    const Row rows[] = {
        {0, 21, closed}, {0, 20, go},     {0, 6, go},     {0, 5, finalCall}, {0, -4, finalCall},
        {0, -5, closed}, {1, 21, closed}, {1, 20, go},    {1, 5, finalCall}, {1, 1, finalCall},
        {1, 0, closed},  {1, -4, closed}, {2, 5, closed},
    };
    // Each minute holds from its first to its last millisecond.
    for (const Row& r : rows) {
        QTest::addRow("state %d m %d first ms", r.state, r.m)
            << r.state << minutesBefore(r.m) << kDeparture << r.text;
        QTest::addRow("state %d m %d last ms", r.state, r.m)
            << r.state << minutesBefore(r.m, 59, 999) << kDeparture << r.text;
    }

    // Seconds do not count on either side.
    QTest::newRow("dep 11:00:30 at 10:40:59 is m 20")
        << 0 << minutesBefore(20, 59) << kDeparture.addSecs(30) << go;
    QTest::newRow("dep 11:00:00 at 10:39:59 is m 21") << 0 << minutesBefore(21, 59) << kDeparture << closed;
    QTest::newRow("dep 11:05:59 at 11:00:00 is m 5")
        << 0 << minutesBefore(0) << kDeparture.addSecs(5 * 60 + 59) << finalCall;
    QTest::newRow("state 1 dep 11:00:59 at 11:00:00 is m 0")
        << 1 << minutesBefore(0) << kDeparture.addSecs(59) << closed;

    // The minutes are not narrowed to 16 bits here.
    QTest::newRow("state 0 far ahead") << 0 << kDeparture.addDays(-40) << kDeparture << closed;
    QTest::newRow("state 0 m -65536") << 0 << minutesBefore(-65536) << kDeparture << closed;

    // Over midnight, the day counts.
    QTest::newRow("departure after midnight") << 0 << QDateTime(QDate(2026, 5, 10), QTime(23, 50), Qt::UTC)
                                              << QDateTime(QDate(2026, 5, 11), QTime(0, 5), Qt::UTC) << go;
}

void TestGateRules::gateState()
{
    QFETCH(int, state);
    QFETCH(QDateTime, present);
    QFETCH(QDateTime, departure);
    QFETCH(QString, text);

    CountingClock clock;
    clock.moment = present;
    clsCommon gate(clock, common::Random(1));
    QSignalSpy spy(&gate, &clsCommon::GateStateChanged);

    const qint32 State = state;
    const QString got = gate.GateState(common::FromQDateTime(departure), State);
    QCOMPARE(got, text);
    // Starting from nothing, only an open gate or a final call chimes.
    const bool chimes = text == clsCommon::kGoToGate || text == clsCommon::kFinalCall;
    QCOMPARE(spy.count(), chimes ? 1 : 0);
}

void TestGateRules::gateStateEvents_data()
{
    // Steps: <state>@<m> calls GateState at m minutes before departure; C
    // calls Clear. Raised: per step 1 or 0 for a GateState call, "-" for
    // Clear.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("raised");

    QTest::newRow("repeated text raises once") << "0@20 0@20 0@15 0@6"
                                               << "1 0 0 0";
    QTest::newRow("again after Clear") << "0@20 C 0@19"
                                       << "1 - 1";
    QTest::newRow("final call after open gate") << "0@20 0@5 0@-4"
                                                << "1 1 0";
    QTest::newRow("gate closed never raises") << "0@21 0@-5 1@0 2@5"
                                              << "0 0 0 0";
    QTest::newRow("final call then closed") << "0@5 0@-5"
                                            << "1 0";
    QTest::newRow("open gate after closed") << "0@20 0@21 0@20"
                                            << "1 0 1";
    QTest::newRow("final call after closed") << "0@5 2@5 0@5"
                                             << "1 0 1";
    QTest::newRow("state 1 keeps the text") << "0@6 1@6 1@5 1@1 1@0"
                                            << "1 0 1 0 0";
    QTest::newRow("back to the earlier text") << "0@6 0@5 1@6"
                                              << "1 1 1";
    QTest::newRow("all aboard before the gate opens") << "1@30 1@21 1@20 1@5 1@0"
                                                      << "0 0 1 1 0";
    QTest::newRow("Clear after closed") << "0@-5 C 0@-4"
                                        << "0 - 1";
    QTest::newRow("Clear raises nothing") << "0@10 C C"
                                          << "1 - -";
}

void TestGateRules::gateStateEvents()
{
    QFETCH(QString, steps);
    QFETCH(QString, raised);

    CountingClock clock;
    clsCommon gate(clock, common::Random(1));
    QSignalSpy spy(&gate, &clsCommon::GateStateChanged);
    const common::Date dep = common::FromQDateTime(kDeparture);

    QStringList got;
    for (const QString& step : steps.split(u' ', Qt::SkipEmptyParts)) {
        const int before = spy.count();
        if (step == QLatin1String("C")) {
            gate.Clear();
            QCOMPARE(spy.count(), before);
            got << QStringLiteral("-");
            continue;
        }
        const qint32 state = step.section(u'@', 0, 0).toInt();
        clock.moment = minutesBefore(step.section(u'@', 1, 1).toInt(), 30);
        gate.GateState(dep, state);
        got << QString::number(spy.count() - before);
    }
    QCOMPARE(got.join(u' '), raised);
}

void TestGateRules::countDown_data()
{
    QTest::addColumn<int>("totalPax");
    QTest::addColumn<QDateTime>("present");
    QTest::addColumn<QList<float>>("values");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("draws");

    // The thresholds as the code forms them: the single value widened to
    // double, then multiplied. 1.2 * r >= 1 from 0.8333333731f; 5 * r >= 3
    // from 0.6000000238f; the largest value below 1 is 0.99999994f.
    const float belowSixth = 0.8333333135f;
    const float atSixth = 0.8333333731f;
    const float belowK4 = 0.5999999642f;
    const float atK4 = 0.6000000238f;
    const float top = std::nextafter(1.0f, 0.0f);

    using V = QList<float>;
    // More than 20 minutes: nothing, and the generator is left alone.
    QTest::newRow("m 21") << 150 << minutesBefore(21, 30) << V{top, top} << 0 << 0;
    QTest::newRow("m 32767") << 150 << minutesBefore(32767) << V{top} << 0 << 0;

    // 11 to 20: one draw, 1 from five sixths on.
    QTest::newRow("m 20 first ms, below 5/6") << 150 << minutesBefore(20) << V{belowSixth, top} << 0 << 1;
    QTest::newRow("m 20 at 5/6") << 150 << minutesBefore(20) << V{atSixth, top} << 1 << 1;
    QTest::newRow("m 15 top is still 1") << 150 << minutesBefore(15) << V{top, top} << 1 << 1;
    QTest::newRow("m 15 big flight is still 1") << 32767 << minutesBefore(15) << V{top, top} << 1 << 1;

    // 10 or less: k = floor(5 r1) + 1; a second draw only when k >= 4.
    QTest::newRow("m 10 k 1") << 150 << minutesBefore(10) << V{0.0f, top} << 0 << 1;
    QTest::newRow("m 10 k 3 just below") << 150 << minutesBefore(10, 30) << V{belowK4, top} << 0 << 1;
    QTest::newRow("m 10 k 4") << 150 << minutesBefore(10, 30) << V{atK4, 0.5f} << 5 << 2;
    QTest::newRow("m 10 k 5") << 150 << minutesBefore(10, 30) << V{top, 0.25f} << 2 << 2;
    QTest::newRow("m 10 second draw top") << 150 << minutesBefore(10) << V{atK4, top} << 9 << 2;
    QTest::newRow("m 10 second draw just below 0.1")
        << 150 << minutesBefore(10) << V{atK4, std::nextafter(0.1f, 0.0f)} << 0 << 2;
    QTest::newRow("m 10 second draw 0.1") << 150 << minutesBefore(10) << V{atK4, 0.1f} << 1 << 2;
    QTest::newRow("m 0") << 150 << minutesBefore(0) << V{atK4, top} << 9 << 2;

    // After departure the 10-minute rule goes on.
    QTest::newRow("m -30") << 150 << minutesBefore(-30) << V{atK4, 0.5f} << 5 << 2;
    QTest::newRow("m -32768") << 150 << minutesBefore(-32768) << V{atK4, top} << 9 << 2;

    // The group limit: at least 10, one more per 120 booked.
    QTest::newRow("0 booked, limit 10") << 0 << minutesBefore(5) << V{atK4, top} << 9 << 2;
    QTest::newRow("1201 booked, limit 10") << 1201 << minutesBefore(5) << V{atK4, top} << 9 << 2;
    QTest::newRow("1320 booked, limit 11") << 1320 << minutesBefore(5) << V{atK4, top} << 10 << 2;
    QTest::newRow("1440 booked, limit 12") << 1440 << minutesBefore(5) << V{atK4, top} << 11 << 2;
    QTest::newRow("32767 booked, limit 273") << 32767 << minutesBefore(5) << V{atK4, top} << 272 << 2;

    // Minutes that do not fit 16 bits count as the nearest end of the range.
    QTest::newRow("m 32768 is far ahead") << 150 << minutesBefore(32768) << V{top} << 0 << 0;
    QTest::newRow("23 days ahead") << 150 << kDeparture.addDays(-23) << V{top} << 0 << 0;
    QTest::newRow("30 days past") << 150 << kDeparture.addDays(30) << V{atK4, top} << 9 << 2;
}

void TestGateRules::countDown()
{
    QFETCH(int, totalPax);
    QFETCH(QDateTime, present);
    QFETCH(QList<float>, values);
    QFETCH(int, expected);
    QFETCH(int, draws);

    ScriptedRandom random;
    random.values.assign(values.begin(), values.end());
    random.fallback = 0.5f;

    CountingClock clock;
    clock.moment = present;
    clsCommon gate(clock, std::ref(random));
    QSignalSpy spy(&gate, &clsCommon::GateStateChanged);

    const qint16 got = gate.CountDown(static_cast<qint16>(totalPax), common::FromQDateTime(kDeparture));
    QCOMPARE(static_cast<int>(got), expected);
    QCOMPARE(random.draws, draws);
    // Arrivals never chime.
    QCOMPARE(spy.count(), 0);
}

QTEST_GUILESS_MAIN(TestGateRules)
#include "test_gate_rules.moc"
