// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QLabel>

namespace common {
class Clock;
class Timer;
}  // namespace common

// The status bar's clock panel: the time of day in hours and minutes. It
// wakes once a minute, just past the minute, and whenever Update is called.
class ClockPanel : public QLabel {
    Q_OBJECT
public:
    ClockPanel(common::Clock& clock, QWidget* parent);

    // Shows the time now and sleeps until the next minute; anything that
    // ticks anyway may call it, so a clock that was set shows sooner.
    void Update();
    // Stops the panel's own wake-ups.
    void Stop();

private:
    const common::Clock& m_clock;
    common::Timer* m_timer = nullptr;
};
