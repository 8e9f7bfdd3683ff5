// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include "support/Harness.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>

// Runs a boarding in fake time: advances the clock tick by tick, lets each
// announcement the tick paused for end after its length, and records what
// every tick left behind.
struct TickRecord {
    QDateTime at;
    // The gate state as the window shows it: 0 while the bar shows, 1 once
    // boarded, 2 once the aircraft has left (the gate-departure sound or the
    // half-minute wait began); 0 again once stopped.
    qint32 state;
    bool running;  // File > Start checked
    bool enabled;
    int interval;  // the timer's, while it runs; -1 while it is off
    QString status;
    QString remaining;
    QString aboard;
    bool barVisible;
    int barValue;
};

class Runner {
public:
    explicit Runner(Harness& h);

    // Length in ms of each sound by file name; a missing name lasts 0 ms.
    QMap<QString, int> lengths;
    // Called after every tick with its record (may throw a QtTest failure
    // through a flag; see failures).
    std::function<void(const TickRecord&)> afterTick;

    // Runs until the run stops itself or the fake time limit passes; true when
    // it stopped.
    bool runToStop(qint64 limitMs);
    // One step: the next tick or the end of a sound, whichever comes first.
    // False when nothing is left to happen within limitMs.
    bool step(qint64 limitMs);

    QList<TickRecord> ticks;
    // Sounds in the order they started, with the moment each started.
    QStringList sounds;
    QList<QDateTime> soundTimes;
    QStringList statuses;  // distinct status texts in the order shown

    qint64 nowMs() const { return m_h.clock.now().toMSecsSinceEpoch(); }
    bool soundPlaying() const { return m_soundEndsAt >= 0; }

private:
    void onTick();
    void notePlays();
    Harness& m_h;
    qint64 m_soundEndsAt = -1;
    int m_seenPlays = 0;
    bool m_departed = false;
};
