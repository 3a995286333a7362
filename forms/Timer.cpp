#include "forms/Timer.h"

#include <QTimer>

namespace forms {

Timer::Timer(TimerClock& clock, std::string name) : clock_(clock), name_(std::move(name)) {}

Timer::~Timer() { clock_.forget(*this); }

void Timer::setInterval(int ms) {
    interval_ = ms < 0 ? 0 : ms;
    rearm();
}

void Timer::setEnabled(bool on) {
    if (on == enabled_)
        return;
    enabled_ = on;
    rearm();
}

void Timer::rearm() {
    if (live())
        clock_.arm(*this, interval_);
    else
        clock_.disarm(*this);
}

void Timer::tick() {
    if (!live() || inHandler_ || !onTimer)
        return;
    inHandler_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{inHandler_};
    onTimer();
}

void VirtualClock::arm(Timer& timer, int intervalMs) {
    entries_[&timer] = Entry{now_ + intervalMs, seq_++};
}

void VirtualClock::disarm(Timer& timer) { entries_.erase(&timer); }

bool VirtualClock::isArmed(const Timer& timer) const {
    return entries_.count(const_cast<Timer*>(&timer)) != 0;
}

bool VirtualClock::fireNext(std::int64_t until) {
    auto next = entries_.end();
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->second.due > until)
            continue;
        if (next == entries_.end() || it->second.due < next->second.due ||
            (it->second.due == next->second.due && it->second.seq < next->second.seq))
            next = it;
    }
    if (next == entries_.end())
        return false;
    Timer* timer = next->first;
    now_ = next->second.due;
    // The next period starts now; the handler may re-arm with a new interval.
    next->second = Entry{now_ + timer->Interval(), seq_++};
    timer->tick();
    return true;
}

void VirtualClock::advance(std::int64_t ms) {
    const std::int64_t until = now_ + ms;
    while (fireNext(until)) {
    }
    now_ = until;
}

bool VirtualClock::advanceToNextTick(std::int64_t limitMs) {
    return fireNext(now_ + limitMs);
}

QtTimerClock::QtTimerClock() = default;
QtTimerClock::~QtTimerClock() = default;

void QtTimerClock::arm(Timer& timer, int intervalMs) {
    auto& qt = timers_[&timer];
    if (!qt) {
        qt = std::make_unique<QTimer>();
        qt->setTimerType(Qt::PreciseTimer);
        QObject::connect(qt.get(), &QTimer::timeout, [t = &timer] { t->tick(); });
    }
    qt->start(intervalMs);
}

void QtTimerClock::disarm(Timer& timer) {
    auto it = timers_.find(&timer);
    if (it != timers_.end())
        it->second->stop();
}

// Windows that come and go (the NFO window) make a timer each time; without this every one
// would leave its QTimer behind.
void QtTimerClock::forget(Timer& timer) {
    auto it = timers_.find(&timer);
    if (it == timers_.end())
        return;
    it->second->stop();
    // The timer may be going away from inside its own tick.
    it->second.release()->deleteLater();
    timers_.erase(it);
}

} // namespace forms
