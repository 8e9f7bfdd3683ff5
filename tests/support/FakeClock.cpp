// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/FakeClock.h"

#include <algorithm>
#include <optional>

namespace common {

// One timer's entry in the fake clock's list, kept for as long as the timer.
class FakeClock::Backend final : public TimerBackend {
public:
    Backend(FakeClock& clock, std::function<void()> due) : m_clock(clock)
    {
        m_clock.m_timers.push_back({this, std::move(due), 0, 0, false});
    }
    ~Backend() override
    {
        auto& all = m_clock.m_timers;
        all.erase(
            std::remove_if(all.begin(), all.end(), [this](const Entry& e) { return e.backend == this; }),
            all.end());
    }
    void start(int ms) override
    {
        Entry* e = m_clock.find(this);
        e->armed = true;
        e->interval = ms;
        e->dueAt = m_clock.m_now.toMSecsSinceEpoch() + ms;
    }
    void stop() override { m_clock.find(this)->armed = false; }

private:
    FakeClock& m_clock;
};

FakeClock::FakeClock(const QDateTime& start) : m_now(start) { }

FakeClock::~FakeClock() = default;

std::unique_ptr<TimerBackend> FakeClock::makeTimer(std::function<void()> due)
{
    return std::make_unique<Backend>(*this, std::move(due));
}

void FakeClock::set(const QDateTime& moment)
{
    m_now = moment;
}

FakeClock::Entry* FakeClock::find(const Backend* b)
{
    for (auto& e : m_timers)
        if (e.backend == b)
            return &e;
    return nullptr;
}

FakeClock::Entry* FakeClock::nextDue()
{
    Entry* best = nullptr;
    for (auto& e : m_timers)
        if (e.armed && (!best || e.dueAt < best->dueAt))
            best = &e;
    return best;
}

qint64 FakeClock::msToNextTick() const
{
    // An overdue timer is due now; -1 only when none is armed.
    std::optional<qint64> best;
    for (const auto& e : m_timers)
        if (e.armed && (!best || e.dueAt - m_now.toMSecsSinceEpoch() < *best))
            best = e.dueAt - m_now.toMSecsSinceEpoch();
    return best ? std::max<qint64>(*best, 0) : -1;
}

int FakeClock::interval(std::size_t timer) const
{
    return m_timers.at(timer).armed ? m_timers.at(timer).interval : -1;
}

int FakeClock::advance(qint64 ms)
{
    const qint64 target = m_now.toMSecsSinceEpoch() + ms;
    int fired = 0;
    for (;;) {
        Entry* e = nextDue();
        if (!e || e->dueAt > target)
            break;
        // addMSecs keeps the start's zone; rebuilding from a time spec would
        // drop a fixed offset or named zone and jump the wall clock.
        m_now = m_now.addMSecs(std::max<qint64>(e->dueAt - m_now.toMSecsSinceEpoch(), 0));
        // Re-armed before the tick, so a tick that changes the timer wins.
        e->dueAt = m_now.toMSecsSinceEpoch() + e->interval;
        // A copy: the tick may end the timer, and its entry with it.
        const std::function<void()> due = e->due;
        due();
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

}  // namespace common
