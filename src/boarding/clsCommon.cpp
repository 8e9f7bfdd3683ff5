// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "boarding/clsCommon.h"

#include "common/Clock.h"

#include <algorithm>
#include <cmath>

clsCommon::clsCommon(const common::Clock& clock, std::function<float()> random, QObject* parent)
    : QObject(parent), m_clock(clock), m_random(std::move(random))
{ }

qint64 clsCommon::MinutesToDeparture(common::Date departure) const
{
    // Real minutes: a daylight-saving change does not move the departure.
    return common::MinutesBetween(common::NowUtc(m_clock), departure);
}

qint16 clsCommon::CountDown(qint16 TotalPAX, common::Date TimeLeft)
{
    // The group limit grows with big flights: one more per 120 booked.
    auto cap = static_cast<qint32>(std::floor(static_cast<double>(TotalPAX) / 120.0));

    // A clock set weeks away counts as the nearest end of the range: nobody comes
    // for a departure far ahead; for one long past the ten-minute rule holds.
    const auto m = static_cast<qint16>(std::clamp<qint64>(MinutesToDeparture(TimeLeft), -32768, 32767));

    if (m > 20)
        return 0;
    if (m > 10)  // a trickle: one passenger now and then
        return static_cast<qint16>(std::floor(1.2 * static_cast<double>(m_random())));
    if (cap < 10)
        cap = 10;
    const auto k = static_cast<qint32>(std::floor(5.0 * static_cast<double>(m_random()))) + 1;
    if (k <= 3)
        return 0;
    return static_cast<qint16>(std::floor(cap * static_cast<double>(m_random())));
}

QString clsCommon::GateState(common::Date DepTime, const qint32& State)
{
    QString text;
    switch (State) {
    case 0:
    case 1: {
        // The gate opens 20 minutes before departure also when everybody is
        // aboard early (a ferry flight is at once). The final call ends with
        // the departure minute, or five minutes later while passengers still
        // come.
        const qint64 finalCallUntil = State == 0 ? -5 : 0;
        const qint64 m = MinutesToDeparture(DepTime);
        if (m > 20)
            text = kGateClosed;  // not open yet
        else if (m > 5)
            text = kGoToGate;
        else if (m > finalCallUntil)
            text = kFinalCall;
        else
            text = kGateClosed;
        break;
    }
    case 2: text = kGateClosed; break;
    default: break;
    }

    if ((text == kGoToGate || text == kFinalCall) && text != m_sLastState)
        emit GateStateChanged();
    m_sLastState = text;
    return text;
}

void clsCommon::Clear()
{
    m_sLastState.clear();
}
