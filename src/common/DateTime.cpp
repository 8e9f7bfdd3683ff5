// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/DateTime.h"

#include "common/Clock.h"
#include "common/Conversions.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <vector>

namespace common {

namespace {
constexpr qint64 kMsPerDay = 86400000;
constexpr qint64 kMsPerHour = 3600000;
constexpr qint64 kMsPerMinute = 60000;
// 1970-01-01 on the day count.
constexpr qint64 kUnixEpochMs = 25569 * kMsPerDay;

// Rounds down; every divisor here is positive.
qint64 floorDiv(qint64 a, qint64 b)
{
    return a / b - (a % b < 0);
}
}  // namespace

qint64 ToMillis(Date value)
{
    return static_cast<qint64>(std::llround(value * static_cast<double>(kMsPerDay)));
}

Date FromMillis(qint64 ms)
{
    return static_cast<double>(ms) / static_cast<double>(kMsPerDay);
}

Date NowUtc(const Clock& clock)
{
    return UtcValue(clock.now());
}

Date UtcValue(const QDateTime& moment)
{
    return FromMillis(moment.toMSecsSinceEpoch() + kUnixEpochMs);
}

QDateTime WallClockAt(Date utc, const QDateTime& zoneOf)
{
    QDateTime t = zoneOf;
    t.setMSecsSinceEpoch(ToMillis(utc) - kUnixEpochMs);
    return t;
}

Date NextWallClockTime(const QDateTime& now, Date hhmm)
{
    const qint64 timeOfDay = ToMillis(hhmm) - floorDiv(ToMillis(hhmm), kMsPerDay) * kMsPerDay;
    const qint64 presentMinute = floorDiv(now.toMSecsSinceEpoch(), kMsPerMinute) * kMsPerMinute;
    auto offsetAt = [&now](qint64 unixMs) {
        QDateTime t = now;
        t.setMSecsSinceEpoch(unixMs);
        return t.offsetFromUtc() * 1000LL;
    };
    for (int day = 0; day <= 2; ++day) {
        // The wall-clock reading as if it were UTC, then the moments that
        // show it under the offsets in force around it.
        const qint64 wall =
            QDateTime(now.date().addDays(day), QTime(0, 0), Qt::UTC).toMSecsSinceEpoch() + timeOfDay;
        const qint64 before = offsetAt(wall - 15 * kMsPerHour);
        const qint64 after = offsetAt(wall + 15 * kMsPerHour);
        std::vector<qint64> moments;
        if (offsetAt(wall - before) == before)
            moments.push_back(wall - before);
        if (after != before && offsetAt(wall - after) == after)
            moments.push_back(wall - after);
        if (moments.empty()) {
            // Skipped by the clock: the first minute at which it shows a
            // later time, the moment it jumps.
            qint64 lo = wall - std::max(before, after);
            qint64 hi = wall - std::min(before, after);
            while (hi - lo > kMsPerMinute) {
                const qint64 mid = lo + (hi - lo) / kMsPerMinute / 2 * kMsPerMinute;
                if (mid + offsetAt(mid) >= wall)
                    hi = mid;
                else
                    lo = mid;
            }
            moments.push_back(hi);
        }
        std::sort(moments.begin(), moments.end());
        for (const qint64 m : moments)
            if (m >= presentMinute)
                return FromMillis(m + kUnixEpochMs);
    }
    return FromMillis(presentMinute + kUnixEpochMs);  // not reached: every day has the time or its jump
}

bool IsTimeOfDay(const QString& hhmm)
{
    // \z, not $: "$" also matches before a final line feed.
    static const QRegularExpression re(QStringLiteral("\\A([01][0-9]|2[0-3]):[0-5][0-9]\\z"));
    return re.match(hhmm).hasMatch();
}

Date ReadTimeOfDay(const QString& hhmm)
{
    if (!IsTimeOfDay(hhmm))
        throw RuntimeError(Fault::NotANumber);
    return FromMillis(QTime::fromString(hhmm, QStringLiteral("HH:mm")).msecsSinceStartOfDay());
}

qint64 MinutesBetween(Date a, Date b)
{
    return floorDiv(ToMillis(b), 60000) - floorDiv(ToMillis(a), 60000);
}

qint64 SecondsBetween(Date a, Date b)
{
    return floorDiv(ToMillis(b), 1000) - floorDiv(ToMillis(a), 1000);
}

}  // namespace common
