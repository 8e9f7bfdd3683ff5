// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QDateTime>
#include <QString>

namespace common {

class Clock;

// A date-time is a count of days since 30 December 1899 with the time of day
// as the fraction; the program keeps its moments on the UTC timeline.
using Date = double;

// Day numbers on the UTC timeline count real time, also across a daylight-
// saving change; every zone's offset is whole minutes, so minute boundaries
// counted there are the wall clock's.
Date NowUtc(const Clock& clock);
Date UtcValue(const QDateTime& moment);
// The wall clock at a moment of the UTC timeline, in the zone of `zoneOf`.
QDateTime WallClockAt(Date utc, const QDateTime& zoneOf);
// The next moment, the present minute included, at which the wall clock of
// now's zone shows the time of day `hhmm` (seconds 0); a time that the clock
// skips that day gives the moment it jumps past it. On the UTC timeline.
Date NextWallClockTime(const QDateTime& now, Date hhmm);

// Reads "hh:mm" as a time of day (seconds 0). Throws Fault::NotANumber for
// anything that is not a whole time of day 00:00..23:59.
Date ReadTimeOfDay(const QString& hhmm);
bool IsTimeOfDay(const QString& hhmm);

// Whole units from a to b, counted as unit boundaries crossed: both moments
// are cut to the unit, then subtracted. Positive when b is the later one.
qint64 MinutesBetween(Date a, Date b);
qint64 SecondsBetween(Date a, Date b);

// Milliseconds since the epoch of the day count.
qint64 ToMillis(Date value);
Date FromMillis(qint64 ms);

}  // namespace common
