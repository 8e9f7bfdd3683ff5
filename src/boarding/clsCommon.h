// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include "common/DateTime.h"

#include <QObject>
#include <QString>
#include <functional>

namespace common {
class Clock;
}

// The rules of the simulated gate: how many passengers reach the aircraft in
// one tick, and which status the gate shows.
class clsCommon : public QObject {
    Q_OBJECT
public:
    clsCommon(const common::Clock& clock, std::function<float()> random, QObject* parent = nullptr);

    static inline const QString kGoToGate = QStringLiteral("Go to gate");
    static inline const QString kFinalCall = QStringLiteral("Final call");
    static inline const QString kGateClosed = QStringLiteral("Gate closed");

    // Passengers arriving in this tick. TimeLeft, like DepTime below, is the
    // departure moment on the UTC timeline, not a span.
    qint16 CountDown(qint16 TotalPAX, common::Date TimeLeft);
    // The status text; raises GateStateChanged for a newly opened gate or a
    // new final call.
    QString GateState(common::Date DepTime, const qint32& State);
    void Clear();

signals:
    void GateStateChanged();

private:
    qint64 MinutesToDeparture(common::Date departure) const;

    const common::Clock& m_clock;
    std::function<float()> m_random;
    QString m_sLastState;
};
