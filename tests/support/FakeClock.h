// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include "common/Clock.h"

#include <vector>

namespace common {

// A clock for tests: it stands still until advanced, and advancing it fires
// the timers that fall due on the way, in order, each at its own moment.
// Timers made on it never touch the real event loop.
class FakeClock final : public Clock {
public:
    explicit FakeClock(const QDateTime& start);
    ~FakeClock() override;

    QDateTime now() const override { return m_now; }
    std::unique_ptr<TimerBackend> makeTimer(std::function<void()> due) override;

    void set(const QDateTime& moment);
    // Moves time forward by ms, firing every due timer; returns ticks fired.
    int advance(qint64 ms);
    // Moves to the next due timer and fires it; false when none is due within
    // maxMs (time then moves by maxMs).
    bool advanceToNextTick(qint64 maxMs);
    // Milliseconds until the next timer falls due, or -1 when none is armed.
    qint64 msToNextTick() const;
    // The interval of the n-th timer made on this clock while it runs; -1
    // while it is stopped.
    int interval(std::size_t timer) const;

private:
    class Backend;
    struct Entry {
        Backend* backend;
        std::function<void()> due;
        int interval;
        qint64 dueAt;
        bool armed;
    };
    Entry* find(const Backend* b);
    Entry* nextDue();
    QDateTime m_now;
    std::vector<Entry> m_timers;
};

}  // namespace common
