#pragma once
#include "platform/DateTime.h"

#include <QObject>
#include <QString>

namespace plat {
class Clock;
}

// The rules of the simulated gate: how many passengers reach the aircraft in
// one tick, and which status the gate shows.
class clsCommon : public QObject {
    Q_OBJECT
public:
    explicit clsCommon(const plat::Clock& clock, QObject* parent = nullptr);

    static inline const QString kGoToGate = QStringLiteral("Go to gate");
    static inline const QString kFinalCall = QStringLiteral("Final call");
    static inline const QString kGateClosed = QStringLiteral("Gate closed");

    // Passengers arriving in this tick. TimeLeft and DepTime are moments on
    // the UTC timeline (plat::NowUtc); minutes beyond 16 bits count as the
    // nearest end of that range.
    qint16 CountDown(qint16 TotalPAX, plat::Date TimeLeft);
    // The status text; raises GateStateChanged for a newly opened gate or a
    // new final call, before it stores and returns the text.
    QString GateState(plat::Date DepTime, const qint32& State);
    void Clear();

signals:
    void GateStateChanged();

private:
    qint64 MinutesToDeparture(plat::Date departure) const;

    const plat::Clock& m_clock;
    QString m_sLastState;

    friend struct BoardingProbe;  // tests look inside through one peer
};
