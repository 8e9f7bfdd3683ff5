#include "platform/Clock.h"

#include "platform/Timer.h"

#include <algorithm>
#include <limits>

namespace plat {

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

SystemClock& SystemClock::instance()
{
    static SystemClock clock;
    return clock;
}

FakeClock::FakeClock(const QDateTime& start) : m_now(start) {}

FakeClock::~FakeClock() = default;

void FakeClock::set(const QDateTime& moment)
{
    m_now = moment;
}

FakeClock::Entry* FakeClock::find(Timer* t)
{
    for (auto& e : m_timers)
        if (e.timer == t)
            return &e;
    return nullptr;
}

void FakeClock::attach(Timer* t)
{
    m_timers.push_back({t, 0, false});
}

void FakeClock::detach(Timer* t)
{
    m_timers.erase(std::remove_if(m_timers.begin(), m_timers.end(),
                                  [t](const Entry& e) { return e.timer == t; }),
                   m_timers.end());
}

void FakeClock::rearm(Timer* t)
{
    Entry* e = find(t);
    if (!e)
        return;
    e->armed = t->running();
    e->due = m_now.toMSecsSinceEpoch() + t->Interval();
}

FakeClock::Entry* FakeClock::nextDue()
{
    Entry* best = nullptr;
    for (auto& e : m_timers)
        if (e.armed && (!best || e.due < best->due))
            best = &e;
    return best;
}

qint64 FakeClock::msToNextTick() const
{
    qint64 best = -1;
    for (const auto& e : m_timers)
        if (e.armed && (best < 0 || e.due - m_now.toMSecsSinceEpoch() < best))
            best = e.due - m_now.toMSecsSinceEpoch();
    return best < 0 ? -1 : std::max<qint64>(best, 0);
}

int FakeClock::advance(qint64 ms)
{
    const qint64 target = m_now.toMSecsSinceEpoch() + ms;
    int fired = 0;
    for (;;) {
        Entry* e = nextDue();
        if (!e || e->due > target)
            break;
        // addMSecs keeps the start's zone; rebuilding from a time spec would
        // drop a fixed offset or named zone and jump the wall clock.
        m_now = m_now.addMSecs(std::max<qint64>(e->due - m_now.toMSecsSinceEpoch(), 0));
        Timer* t = e->timer;
        // Re-armed before the tick, so a tick that changes the timer wins.
        e->due = m_now.toMSecsSinceEpoch() + t->Interval();
        t->fire();
        ++fired;
    }
    // A tick may itself have moved time on (a test's box left open a while);
    // time never runs backwards.
    if (m_now.toMSecsSinceEpoch() < target)
        m_now = m_now.addMSecs(target - m_now.toMSecsSinceEpoch());
    return fired;
}

bool FakeClock::advanceToNextTick(qint64 maxMs)
{
    const qint64 wait = msToNextTick();
    if (wait < 0 || wait > maxMs) {
        advance(maxMs);
        return false;
    }
    return advance(wait) > 0;
}

}  // namespace plat
