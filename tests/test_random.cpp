// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The arrivals' generator, and the arrivals it produces: over many ticks
// with the real generator the means and shares must be those of the rules,
// tightly enough that a slip in a formula shows.
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

    void generatorRange();
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

void TestRandom::generatorRange()
{
    // Many values, so that a mapping which can round up to 1 (or wrap below
    // 0) would very likely show.
    common::Random gen(1234567u);
    const int n = 1 << 25;
    float lo = 1.0f;
    float hi = 0.0f;
    double sum = 0.0;
    std::vector<qint64> tenths(10, 0);
    for (int i = 0; i < n; ++i) {
        const float v = gen();
        if (!(v >= 0.0f && v < 1.0f))
            QFAIL(qPrintable(QStringLiteral("value %1 out of [0, 1)").arg(double(v), 0, 'g', 10)));
        lo = std::min(lo, v);
        hi = std::max(hi, v);
        sum += v;
        ++tenths[static_cast<int>(double(v) * 10.0)];
    }
    // Both ends are reached.
    QVERIFY(lo < 1e-6f);
    QVERIFY(hi > 1.0f - 1e-6f);
    // Uniform: the mean and every tenth of the range.
    const double meanTol = kSigmas * std::sqrt(1.0 / 12.0 / n);
    QVERIFY2(std::fabs(sum / n - 0.5) <= meanTol, qPrintable(QString::number(sum / n)));
    for (int b = 0; b < 10; ++b) {
        const double share = double(tenths[b]) / n;
        QVERIFY2(std::fabs(share - 0.1) <= tolerance(0.1, n),
                 qPrintable(QStringLiteral("tenth %1: %2").arg(b).arg(share)));
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
    QCOMPARE(firstValues(42), firstValues(42));
    QVERIFY(firstValues(42) != firstValues(43));
    // A seed from the clock differs from the next run's in any of its bits.
    QVERIFY(firstValues(42) != firstValues(42 + (quint64(1) << 32)));
    QVERIFY(firstValues(quint64(1) << 40) != firstValues(quint64(1) << 41));
}

QTEST_GUILESS_MAIN(TestRandom)
#include "test_random.moc"
