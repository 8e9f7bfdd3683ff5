// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QDateTime>
#include <functional>
#include <memory>

namespace common {

// What wakes one timer: once started it calls back every interval, counted
// from the start, until stopped or started again.
class TimerBackend {
public:
    virtual ~TimerBackend() = default;
    virtual void start(int ms) = 0;
    virtual void stop() = 0;
    // Exact to the millisecond instead of coarse timing.
    virtual void setPrecise(bool) { }
};

// Where the program reads the present moment, and what its timers run on, so
// that one clock drives both. now() is the local wall-clock time with its
// zone, so both the clock face and the real moment can be read from it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    // A backend for one timer; `due` is called each time it falls due. It
    // runs on the event loop unless the clock drives its timers itself.
    virtual std::unique_ptr<TimerBackend> makeTimer(std::function<void()> due);
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override;
    static SystemClock& instance();
};

}  // namespace common
