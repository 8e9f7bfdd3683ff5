// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include "common/DateTime.h"

#include <QDateTime>
#include <QString>

namespace common {

class Clock;

// Day numbers read off a clock face: the date and time fields as they stand,
// no zone applied. Tests state their moments this way.
Date FromQDateTime(const QDateTime& wallClock);
QDateTime ToQDateTime(Date value);
Date Now(const Clock& clock);
// "hh:nn": hours 00..23 and minutes, the seconds dropped.
QString FormatHHNN(Date value);
Date DateAddDays(Date value, int days);

}  // namespace common
