// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QDateTime>
#include <functional>
#include <memory>

namespace common {

// What wakes one timer: once started it calls back every interval until
// stopped or started again.
class TimerBackend {
public:
    virtual ~TimerBackend() = default;
    virtual void start(int ms) = 0;
    virtual void stop() = 0;
    virtual void setPrecise(bool) { }
};

// Where the program reads the present moment and what its timers run on, so
// that one clock drives both. now() is the local time with its zone.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    // A backend for one timer; `due` is called each time it falls due.
    virtual std::unique_ptr<TimerBackend> makeTimer(std::function<void()> due);
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override;
    static SystemClock& instance();
};

}  // namespace common
