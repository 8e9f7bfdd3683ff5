// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QLabel>

namespace common {
class Clock;
class Timer;
}  // namespace common

// The status bar's clock panel, hours and minutes. It wakes just past each
// minute, and whenever Update is called.
class ClockPanel : public QLabel {
    Q_OBJECT
public:
    ClockPanel(common::Clock& clock, QWidget* parent);

    // Anything that ticks anyway may call it, so a clock that was set shows sooner.
    void Update();
    void Stop();

private:
    const common::Clock& m_clock;
    common::Timer* m_timer = nullptr;
};
