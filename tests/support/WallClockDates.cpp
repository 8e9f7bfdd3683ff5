// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/WallClockDates.h"

namespace common {

namespace {
constexpr qint64 kMsPerDay = 86400000;
const QDate kEpoch(1899, 12, 30);
}  // namespace

Date FromQDateTime(const QDateTime& wallClock)
{
    const qint64 days = kEpoch.daysTo(wallClock.date());
    const qint64 ms = wallClock.time().msecsSinceStartOfDay();
    return FromMillis(days * kMsPerDay + ms);
}

QDateTime ToQDateTime(Date value)
{
    const qint64 ms = ToMillis(value);
    const qint64 days = ms >= 0 ? ms / kMsPerDay : -((-ms + kMsPerDay - 1) / kMsPerDay);
    const qint64 rest = ms - days * kMsPerDay;
    return QDateTime(kEpoch.addDays(days), QTime::fromMSecsSinceStartOfDay(static_cast<int>(rest)), Qt::UTC);
}

}  // namespace common
