#include <gtest/gtest.h>

#include <string>
#include <vector>

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
    EXPECT_EQ(r.log, (std::vector<std::string>{"a@30", "a@60", "b@75", "a@90", "a@120",
                                               "b@150", "a@150"}));
}

TEST(Timer, DisabledInsideItsOwnTickFiresNoMore) {
    Recorder r;
    forms::Timer t(r.clock, "t");
    int n = 0;
    t.onTimer = [&] {
        if (++n == 11)
            t.setEnabled(false);
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

} // namespace
