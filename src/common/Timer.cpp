// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/Timer.h"

#include "common/Clock.h"

namespace common {

Timer::Timer(Clock& clock, QObject* parent)
    : QObject(parent), m_backend(clock.makeTimer([this] {
          if (running())
              emit Tick();
      }))
{ }

Timer::~Timer() = default;

void Timer::setEnabled(bool on)
{
    if (on == m_enabled)
        return;
    m_enabled = on;
    restart();
}

void Timer::setInterval(int ms)
{
    m_interval = ms < 0 ? 0 : ms;
    restart();
}

void Timer::setPrecise(bool on)
{
    m_backend->setPrecise(on);
}

void Timer::restart()
{
    if (running())
        m_backend->start(m_interval);
    else
        m_backend->stop();
}

}  // namespace common
