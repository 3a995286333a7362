// Interval timers with an Interval and an Enabled state, driven by a clock: QTimer in the
// program, a virtual clock in tests.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

class QElapsedTimer;
class QTimer;

namespace forms {

class Timer;

// What a timer needs from time itself.
class TimerClock {
public:
    virtual ~TimerClock() = default;
    // Starts (or restarts) the countdown of a live timer: its next tick is intervalMs from now.
    virtual void arm(Timer& timer, int intervalMs) = 0;
    // The timer is no longer live: no further ticks.
    virtual void disarm(Timer& timer) = 0;
    // The timer is going away: no further ticks, and nothing kept for it.
    virtual void forget(Timer& timer) { disarm(timer); }
};

// A timer fires only while it is enabled and its interval is above 0. Enabling a timer that is
// already enabled keeps its running countdown; a new interval restarts the countdown from now.
class Timer {
public:
    Timer(TimerClock& clock, std::string name);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    int Interval() const { return interval_; }
    void setInterval(int ms);
    bool Enabled() const { return enabled_; }
    void setEnabled(bool on);
    bool live() const { return enabled_ && interval_ > 0; }
    const std::string& name() const { return name_; }

    std::function<void()> onTimer;

    // Called by the clock when a tick is due. A tick that comes while the timer's own handler
    // is still running (from inside a yield to pending events) is dropped.
    void tick();

private:
    void rearm();

    TimerClock& clock_;
    std::string name_;
    int interval_ = 0;
    bool enabled_ = true;
    bool inHandler_ = false;
};

// Virtual milliseconds for tests: advance() fires every due tick in time order, one handler at
// a time; ticks due at the same moment fire in the order their timers were armed.
class VirtualClock : public TimerClock {
public:
    void arm(Timer& timer, int intervalMs) override;
    void disarm(Timer& timer) override;

    std::int64_t now() const { return now_; }
    void advance(std::int64_t ms);
    // Runs until the next due tick (if any within limitMs) has fired; returns false if none.
    bool advanceToNextTick(std::int64_t limitMs = 1'000'000'000);
    bool isArmed(const Timer& timer) const;

private:
    struct Entry {
        std::int64_t due;
        std::uint64_t seq;
    };
    bool fireNext(std::int64_t until);

    std::int64_t now_ = 0;
    std::uint64_t seq_ = 0;
    std::map<Timer*, Entry> entries_;
};

// Real time on the UI thread's event loop, with one system timer for all timers: ticks that
// fall due within the same millisecond (the system timer's resolution) run in one wake-up, so
// the window is repainted and flushed once for them.
class QtTimerClock : public TimerClock {
public:
    QtTimerClock();
    ~QtTimerClock() override;
    void arm(Timer& timer, int intervalMs) override;
    void disarm(Timer& timer) override;

private:
    struct Entry {
        std::int64_t due; // nanoseconds on elapsed_
        std::uint64_t seq;
    };
    std::int64_t now() const;
    void fireDue();
    void schedule();

    std::unique_ptr<QElapsedTimer> elapsed_;
    std::unique_ptr<QTimer> wake_;
    std::uint64_t seq_ = 0;
    std::map<Timer*, Entry> entries_;
};

} // namespace forms
