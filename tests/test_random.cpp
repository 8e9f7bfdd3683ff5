// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The arrivals the real generator produces: over many ticks the means and
// shares must be those of the rules, tightly enough that a slip in a formula
// (or in the generator's range) shows; and its seed's every bit counts.
#include "boarding/clsCommon.h"
#include "common/DateTime.h"
#include "common/Random.h"
#include "support/FakeClock.h"
#include "support/Fakes.h"
#include "support/WallClockDates.h"

#include <QtTest>

#include <cmath>
#include <vector>

namespace {

// Six standard errors: a correct rule fails by chance about once in 10^9.
constexpr double kSigmas = 6.0;
constexpr int kCalls = 300000;

// The real generator, counting what it hands out.
struct CountingRandom {
    float operator()()
    {
        ++draws;
        return inner();
    }
    common::Random inner{5489u};
    qint64 draws = 0;
};

double tolerance(double p, int n)
{
    return kSigmas * std::sqrt(p * (1.0 - p) / n);
}

}  // namespace

class TestRandom : public QObject {
    Q_OBJECT

private slots:
    void arrivalStatistics_data();
    void arrivalStatistics();

    void generatorSeeding();
};

void TestRandom::arrivalStatistics_data()
{
    QTest::addColumn<int>("totalPax");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QList<double>>("shares");  // expected share of 0, 1, 2, ...
    QTest::addColumn<double>("drawsPerCall");

    auto tenMinuteRule = [](int cap) {
        QList<double> s(cap, 0.4 / cap);
        s[0] += 0.6;  // k <= 3, or a second draw that lands on 0
        return s;
    };
    // 11 to 20: one in six brings one passenger.
    QTest::newRow("m 15") << 150 << 15 << QList<double>{5.0 / 6.0, 1.0 / 6.0} << 1.0;
    // 10 or less: two ticks in five bring 0 to limit - 1, evenly; the limit
    // is 10, one more per 120 booked from 1,320.
    QTest::newRow("m 10, 150 booked") << 150 << 10 << tenMinuteRule(10) << 1.4;
    QTest::newRow("m 5, 1320 booked") << 1320 << 5 << tenMinuteRule(11) << 1.4;
    // Over 20 minutes nothing comes and nothing is drawn.
    QTest::newRow("m 21") << 150 << 21 << QList<double>{1.0} << 0.0;
}

void TestRandom::arrivalStatistics()
{
    QFETCH(int, totalPax);
    QFETCH(int, minutes);
    QFETCH(QList<double>, shares);
    QFETCH(double, drawsPerCall);

    CountingRandom random{
        common::Random(20260510u + static_cast<quint64>(minutes) * 1000u + static_cast<quint64>(totalPax))};

    const QDateTime departure(QDate(2026, 5, 10), QTime(11, 0), Qt::UTC);
    common::FakeClock clock(departure.addSecs(-60LL * minutes + 30));
    clsCommon gate(clock, std::ref(random));
    const common::Date dep = common::FromQDateTime(departure);

    std::vector<qint64> counts(shares.size(), 0);
    double sum = 0.0;
    for (int i = 0; i < kCalls; ++i) {
        const int n = gate.CountDown(static_cast<qint16>(totalPax), dep);
        QVERIFY2(n >= 0 && n < shares.size(), qPrintable(QStringLiteral("%1 arrivals").arg(n)));
        ++counts[n];
        sum += n;
    }

    // The mean, within six standard errors of the rule's distribution.
    double mean = 0.0;
    double square = 0.0;
    for (int v = 0; v < shares.size(); ++v) {
        mean += v * shares[v];
        square += double(v) * v * shares[v];
    }
    const double sd = std::sqrt(std::max(square - mean * mean, 0.0));
    const double tol = kSigmas * sd / std::sqrt(double(kCalls));
    const double observed = sum / kCalls;
    QVERIFY2(std::fabs(observed - mean) <= tol,
             qPrintable(QStringLiteral("mean %1, expected %2 +- %3").arg(observed).arg(mean).arg(tol)));
    // Each value's share: zeros from both roads, the rest spread evenly.
    for (int v = 0; v < shares.size(); ++v) {
        const double share = double(counts[v]) / kCalls;
        const double t = tolerance(shares[v], kCalls);
        QVERIFY2(std::fabs(share - shares[v]) <= t,
                 qPrintable(QStringLiteral("share of %1: %2, expected %3 +- %4")
                                .arg(v)
                                .arg(share)
                                .arg(shares[v])
                                .arg(t)));
    }
    // Draws: exactly one per call between 11 and 20, 1 + 2/5 within 10.
    const double draws = double(random.draws) / kCalls;
    if (drawsPerCall == 0.0 || drawsPerCall == 1.0) {
        QCOMPARE(random.draws, qint64(drawsPerCall) * kCalls);
    } else {
        const double t = tolerance(drawsPerCall - 1.0, kCalls);
        QVERIFY2(
            std::fabs(draws - drawsPerCall) <= t,
            qPrintable(
                QStringLiteral("%1 draws per call, expected %2 +- %3").arg(draws).arg(drawsPerCall).arg(t)));
    }
}

void TestRandom::generatorSeeding()
{
    auto firstValues = [](quint64 seed) {
        common::Random gen(seed);
        QList<float> out;
        for (int i = 0; i < 100; ++i)
            out << gen();
        return out;
    };
    // A seed from the clock differs from the next run's in any of its bits.
    QVERIFY(firstValues(42) != firstValues(43));
    QVERIFY(firstValues(42) != firstValues(42 + (quint64(1) << 32)));
}

QTEST_GUILESS_MAIN(TestRandom)
#include "test_random.moc"
