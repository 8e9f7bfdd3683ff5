// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/Clock.h"

#include <QTimer>

namespace common {

namespace {

class EventLoopTimer final : public TimerBackend {
public:
    explicit EventLoopTimer(std::function<void()> due)
    {
        QObject::connect(&m_timer, &QTimer::timeout, std::move(due));
    }
    void start(int ms) override { m_timer.start(ms); }
    void stop() override { m_timer.stop(); }
    void setPrecise(bool on) override { m_timer.setTimerType(on ? Qt::PreciseTimer : Qt::CoarseTimer); }

private:
    QTimer m_timer;
};

}  // namespace

std::unique_ptr<TimerBackend> Clock::makeTimer(std::function<void()> due)
{
    return std::make_unique<EventLoopTimer>(std::move(due));
}

QDateTime SystemClock::now() const
{
    // The instant first: the wall clock repeats an hour in autumn.
    return QDateTime::fromMSecsSinceEpoch(QDateTime::currentMSecsSinceEpoch());
}

SystemClock& SystemClock::instance()
{
    static SystemClock clock;
    return clock;
}

Timer::Timer(Clock& clock, QObject* parent)
    : QObject(parent), m_backend(clock.makeTimer([this] {
          if (running())
              emit Tick();
      }))
{ }

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

void Timer::restart()
{
    if (running())
        m_backend->start(m_interval);
    else
        m_backend->stop();
}

}  // namespace common
