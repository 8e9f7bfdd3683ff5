#include "platform/Timer.h"

#include "platform/Clock.h"

namespace plat {

Timer::Timer(Clock& clock, QObject* parent) : QObject(parent), m_clock(clock)
{
    m_qtimer.setSingleShot(false);
    connect(&m_qtimer, &QTimer::timeout, this, &Timer::fire);
    if (m_clock.drivesTimers())
        m_clock.attach(this);
}

Timer::~Timer()
{
    if (m_clock.drivesTimers())
        m_clock.detach(this);
}

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
    if (m_clock.drivesTimers()) {
        m_clock.rearm(this);
        return;
    }
    if (running())
        m_qtimer.start(m_interval);
    else
        m_qtimer.stop();
}

void Timer::fire()
{
    if (running())
        emit Tick();
}

}  // namespace plat
