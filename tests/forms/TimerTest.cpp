#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "forms/Timer.h"

namespace {

struct Recorder {
    forms::VirtualClock clock;
    std::vector<std::string> log;
    void watch(forms::Timer& t) {
        t.onTimer = [this, &t] { log.push_back(t.name() + "@" + std::to_string(clock.now())); };
    }
};

TEST(Timer, FiresOnlyWhileEnabledWithAnIntervalAboveZero) {
    Recorder r;
    forms::Timer t(r.clock, "t");
    r.watch(t);
    EXPECT_TRUE(t.Enabled()); // created enabled with interval 0: silent
    r.clock.advance(5000);
    EXPECT_TRUE(r.log.empty());

    t.setInterval(100);
    r.clock.advance(250);
    EXPECT_EQ(r.log, (std::vector<std::string>{"t@5100", "t@5200"}));

    t.setEnabled(false);
    r.clock.advance(1000);
    EXPECT_EQ(r.log.size(), 2u);
}

TEST(Timer, EnablingAnEnabledTimerKeepsItsCountdown) {
    Recorder r;
    forms::Timer t(r.clock, "t");
    r.watch(t);
    t.setInterval(100);
    for (int i = 0; i < 10; ++i) {
        r.clock.advance(30);
        t.setEnabled(true); // a hover enabling it again and again must not starve it
    }
    EXPECT_EQ(r.log, (std::vector<std::string>{"t@100", "t@200", "t@300"}));
}

TEST(Timer, NewIntervalTakesEffectFromTheTickThatSetsIt) {
    Recorder r;
    forms::Timer t(r.clock, "t");
    int ticks = 0;
    t.onTimer = [&] {
        r.log.push_back(std::to_string(r.clock.now()));
        t.setInterval(++ticks < 2 ? 3000 : 5500);
    };
    t.setInterval(5500);
    r.clock.advance(20000);
    EXPECT_EQ(r.log, (std::vector<std::string>{"5500", "8500", "14000", "19500"}));
}

TEST(Timer, DueTicksFireInTimeOrderThenInArmOrder) {
    Recorder r;
    forms::Timer a(r.clock, "a"), b(r.clock, "b");
    r.watch(a);
    r.watch(b);
    b.setInterval(75);
    a.setInterval(30);
    r.clock.advance(150);
    EXPECT_EQ(r.log, (std::vector<std::string>{"a@30", "a@60", "b@75", "a@90", "a@120", "b@150", "a@150"}));
}

TEST(Timer, DisabledInsideItsOwnTickFiresNoMore) {
    Recorder r;
    forms::Timer t(r.clock, "t");
    int n = 0;
    t.onTimer = [&] {
        if (++n == 11) t.setEnabled(false);
    };
    t.setInterval(75);
    r.clock.advance(10000);
    EXPECT_EQ(n, 11);
    EXPECT_FALSE(r.clock.isArmed(t));
}

TEST(Timer, DestroyedTimerLeavesTheClock) {
    Recorder r;
    {
        forms::Timer t(r.clock, "t");
        r.watch(t);
        t.setInterval(10);
    }
    r.clock.advance(100); // must not touch the dead timer
    EXPECT_TRUE(r.log.empty());
}

// The program's own clock on a real event loop, with bounds loose enough for a loaded machine:
// a tick never comes before its time (k ticks of P ms take at least k * P ms, so a double tick
// shows), and every live timer does tick.
TEST(QtTimerClock, TicksEachTimerAtItsIntervalOnTheRealEventLoop) {
    forms::QtTimerClock clock;
    QElapsedTimer elapsed;
    std::vector<double> steady, changed, stopped, nested;
    const auto ms = [&] { return static_cast<double>(elapsed.nsecsElapsed()) / 1e6; };

    forms::Timer a(clock, "a");
    a.onTimer = [&] { steady.push_back(ms()); };
    // Changes its interval in its second tick; the new one counts from that tick.
    forms::Timer b(clock, "b");
    b.onTimer = [&] {
        changed.push_back(ms());
        if (changed.size() == 2) b.setInterval(250);
    };
    forms::Timer c(clock, "c");
    c.onTimer = [&] {
        stopped.push_back(ms());
        if (stopped.size() == 3) c.setEnabled(false);
    };
    // Destroyed before it is due: it never ticks, and nothing touches it afterwards.
    auto doomed = std::make_unique<forms::Timer>(clock, "doomed");
    bool doomedTicked = false;
    doomed->onTimer = [&] { doomedTicked = true; };
    // Yields to the event loop inside its tick, as the drag handlers do: the other timers go on.
    forms::Timer d(clock, "d");
    std::size_t steadyDuringYield = 0;
    d.onTimer = [&] {
        nested.push_back(ms());
        if (nested.size() == 1) {
            const std::size_t before = steady.size();
            QEventLoop yield;
            QTimer::singleShot(120, &yield, &QEventLoop::quit);
            yield.exec();
            steadyDuringYield = steady.size() - before;
        }
    };

    elapsed.start();
    a.setInterval(40);
    b.setInterval(100);
    c.setInterval(30);
    doomed->setInterval(500);
    d.setInterval(60);
    QTimer::singleShot(100, [&] { doomed.reset(); });
    // 700 ms, or on a machine too busy for that, until b and d have shown what they do (3 s at
    // most).
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if ((ms() >= 700 && changed.size() >= 3 && nested.size() >= 2) || ms() >= 3000) loop.quit();
    });
    check.start(20);
    loop.exec();
    const double end = ms();
    a.setEnabled(false);
    b.setEnabled(false);
    d.setEnabled(false);

    const auto neverEarly = [](const std::vector<double>& ticks, double from, double period, const char* which) {
        for (std::size_t k = 0; k < ticks.size(); ++k)
            EXPECT_GE(ticks[k] - from, (static_cast<double>(k) + 1) * period - 2.0)
                << which << ": tick " << k + 1 << " came early or twice";
    };
    neverEarly(steady, 0, 40, "a");
    EXPECT_GE(steady.size(), 4u) << "a 40 ms timer in " << end << " ms";

    ASSERT_GE(changed.size(), 3u) << "b never ticked at its new interval";
    neverEarly({changed.begin(), changed.begin() + 2}, 0, 100, "b");
    neverEarly({changed.begin() + 2, changed.end()}, changed[1], 250, "b after the change");

    EXPECT_EQ(stopped.size(), 3u) << "c was disabled in its third tick";
    neverEarly(stopped, 0, 30, "c");
    EXPECT_FALSE(doomedTicked);

    ASSERT_GE(nested.size(), 2u);
    neverEarly(nested, 0, 60, "d");
    EXPECT_GE(steadyDuringYield, 1u) << "a stood still while d yielded";
}

} // namespace
