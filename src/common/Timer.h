// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QObject>
#include <memory>

namespace common {

class Clock;
class TimerBackend;

// A timer whose enabled flag and interval are kept apart, so that the
// boarding can switch it off while a sound plays and on again at the same
// interval: an interval of 0 never ticks, even when enabled; setting the
// interval neither enables nor disables; a newly set interval counts from the
// moment it is set; enabling an enabled timer changes nothing.
class Timer : public QObject {
    Q_OBJECT
public:
    explicit Timer(Clock& clock, QObject* parent = nullptr);
    ~Timer() override;

    bool Enabled() const { return m_enabled; }
    void setEnabled(bool on);
    void setInterval(int ms);

    // Exact to the millisecond instead of the default coarse timing, for a
    // timer that must land on a boundary (the clock panel's minute).
    void setPrecise(bool on);

    // True while the timer would deliver ticks.
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
