// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QDateTime>
#include <QObject>
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

// A timer whose enabled flag and interval are kept apart, so that a run can
// switch it off while a sound plays and on again at the same interval. An
// interval of 0 never ticks; a newly set interval counts from then.
class Timer : public QObject {
    Q_OBJECT
public:
    explicit Timer(Clock& clock, QObject* parent = nullptr);

    bool Enabled() const { return m_enabled; }
    void setEnabled(bool on);
    void setInterval(int ms);

    // For a timer that must land on a boundary (the clock panel's minute).
    void setPrecise(bool on) { m_backend->setPrecise(on); }
    bool running() const { return m_enabled && m_interval > 0; }

signals:
    void Tick();

private:
    void restart();
    std::unique_ptr<TimerBackend> m_backend;
    bool m_enabled = true;
    int m_interval = 0;
};

}  // namespace common
