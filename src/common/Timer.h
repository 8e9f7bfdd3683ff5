// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QObject>
#include <memory>

namespace common {

class Clock;
class TimerBackend;

// A timer whose enabled flag and interval are kept apart, so that a run can
// switch it off while a sound plays and on again at the same interval. An
// interval of 0 never ticks; a newly set interval counts from then.
class Timer : public QObject {
    Q_OBJECT
public:
    explicit Timer(Clock& clock, QObject* parent = nullptr);
    ~Timer() override;

    bool Enabled() const { return m_enabled; }
    void setEnabled(bool on);
    void setInterval(int ms);

    // For a timer that must land on a boundary (the clock panel's minute).
    void setPrecise(bool on);
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
