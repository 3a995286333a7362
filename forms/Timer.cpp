#include "forms/Timer.h"

#include <algorithm>

#include <QElapsedTimer>
#include <QTimer>

namespace forms {

Timer::Timer(TimerClock& clock, std::string name) : clock_(clock), name_(std::move(name)) {}

Timer::~Timer() { clock_.forget(*this); }

void Timer::setInterval(int ms) {
    interval_ = ms < 0 ? 0 : ms;
    rearm();
}

void Timer::setEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    rearm();
}

void Timer::rearm() {
    if (live()) clock_.arm(*this, interval_);
    else clock_.disarm(*this);
}

void Timer::tick() {
    if (!live() || inHandler_ || !onTimer) return;
    inHandler_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{inHandler_};
    onTimer();
}

void VirtualClock::arm(Timer& timer, int intervalMs) { entries_[&timer] = Entry{now_ + intervalMs, seq_++}; }

void VirtualClock::disarm(Timer& timer) { entries_.erase(&timer); }

bool VirtualClock::isArmed(const Timer& timer) const { return entries_.count(const_cast<Timer*>(&timer)) != 0; }

bool VirtualClock::fireNext(std::int64_t until) {
    auto next = entries_.end();
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->second.due > until) continue;
        if (next == entries_.end() || it->second.due < next->second.due ||
            (it->second.due == next->second.due && it->second.seq < next->second.seq))
            next = it;
    }
    if (next == entries_.end()) return false;
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

bool VirtualClock::advanceToNextTick(std::int64_t limitMs) { return fireNext(now_ + limitMs); }

namespace {
constexpr std::int64_t kNanosecondsPerMs = 1'000'000;
} // namespace

QtTimerClock::QtTimerClock() : elapsed_(std::make_unique<QElapsedTimer>()), wake_(std::make_unique<QTimer>()) {
    elapsed_->start();
    wake_->setSingleShot(true);
    wake_->setTimerType(Qt::PreciseTimer);
    QObject::connect(wake_.get(), &QTimer::timeout, [this] { fireDue(); });
}

QtTimerClock::~QtTimerClock() = default;

std::int64_t QtTimerClock::now() const { return elapsed_->nsecsElapsed(); }

void QtTimerClock::arm(Timer& timer, int intervalMs) {
    entries_[&timer] = Entry{now() + intervalMs * kNanosecondsPerMs, seq_++};
    schedule();
}

void QtTimerClock::disarm(Timer& timer) {
    if (entries_.erase(&timer)) schedule();
}

void QtTimerClock::schedule() {
    if (entries_.empty()) {
        wake_->stop();
        return;
    }
    std::int64_t next = entries_.begin()->second.due;
    for (const auto& [timer, entry] : entries_) next = std::min(next, entry.due);
    const std::int64_t wait = next - now();
    wake_->start(wait <= 0 ? 0 : static_cast<int>((wait + kNanosecondsPerMs - 1) / kNanosecondsPerMs));
}

void QtTimerClock::fireDue() {
    // One tick at a time, earliest first; a handler may arm or disarm any timer, or run a nested
    // event loop in which further ticks come, so the table is read afresh for each.
    for (;;) {
        const std::int64_t t = now();
        auto next = entries_.end();
        for (auto it = entries_.begin(); it != entries_.end(); ++it) {
            if (it->second.due > t + kNanosecondsPerMs) continue;
            if (next == entries_.end() || it->second.due < next->second.due ||
                (it->second.due == next->second.due && it->second.seq < next->second.seq))
                next = it;
        }
        if (next == entries_.end()) break;
        Timer* timer = next->first;
        // The next period counts from when this one was due, so ticks keep their pace; one
        // that is already over (the loop was held up) starts afresh from now.
        const std::int64_t period = timer->Interval() * kNanosecondsPerMs;
        if (period <= 0) {
            entries_.erase(next);
            continue;
        }
        std::int64_t due = next->second.due + period;
        if (due <= t) due = t + period;
        next->second = Entry{due, seq_++};
        schedule();
        timer->tick();
    }
    schedule();
}

} // namespace forms
