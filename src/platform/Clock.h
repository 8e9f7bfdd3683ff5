#pragma once
#include <QDateTime>
#include <QObject>
#include <vector>

namespace plat {

class Timer;

// Where the program reads the present moment. now() is the local wall-clock
// time; only its date and time fields are used, so a daylight-saving change
// never shifts a departure.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;

    // A clock that also drives the program's timers (the fake clock of the
    // tests) returns true; timers then never touch the real event loop.
    virtual bool drivesTimers() const { return false; }

protected:
    friend class Timer;
    virtual void attach(Timer*) {}
    virtual void detach(Timer*) {}
    virtual void rearm(Timer*) {}
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override;
    static SystemClock& instance();
};

// A clock for tests: it stands still until advanced, and advancing it fires
// the timers that fall due on the way, in order, each at its own moment.
class FakeClock final : public Clock {
public:
    explicit FakeClock(const QDateTime& start);
    ~FakeClock() override;

    QDateTime now() const override { return m_now; }
    bool drivesTimers() const override { return true; }

    void set(const QDateTime& moment);
    // Moves time forward by ms, firing every due timer; returns ticks fired.
    int advance(qint64 ms);
    // Moves to the next due timer and fires it; false when none is due within
    // maxMs (time then moves by maxMs).
    bool advanceToNextTick(qint64 maxMs);
    // Milliseconds until the next timer falls due, or -1 when none is armed.
    qint64 msToNextTick() const;

protected:
    void attach(Timer* t) override;
    void detach(Timer* t) override;
    void rearm(Timer* t) override;

private:
    struct Entry { Timer* timer; qint64 due; bool armed; };
    Entry* find(Timer* t);
    Entry* nextDue();
    QDateTime m_now;
    std::vector<Entry> m_timers;
};

}  // namespace plat
