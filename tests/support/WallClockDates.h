// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include "common/DateTime.h"

#include <QDateTime>
#include <QString>

namespace common {

// Day numbers read off a clock face: the date and time fields as they stand,
// no zone applied. Tests state their moments this way.
Date FromQDateTime(const QDateTime& wallClock);
QDateTime ToQDateTime(Date value);

}  // namespace common
