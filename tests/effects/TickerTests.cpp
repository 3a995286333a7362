// The message ticker's timeline on the virtual clock, from the moment the message clock runs.
#include <vector>

#include "EffectsFixture.h"
#include "effects/MessageTable.h"

namespace effects::test {
namespace {

struct Observation {
    std::int64_t t;
    bool messageClock; // Timer3 ticked, else Timer2
    std::string caption;
    forms::Colour colour;
    std::int16_t index;
};

struct Change {
    std::int64_t t;
    std::int16_t index;
};

class Ticker : public EffectsFixture {
protected:
    std::vector<Observation> seen;
    std::vector<Change> changes; // when messageIndex moved, and to what
    std::int16_t lastIndex = 0;  // a member: the tick observer outlives run()

    void run(std::int64_t ms) {
        lastIndex = state().messageIndex;
        afterTick = [this](const forms::Timer& t) {
            if (&t != &Timer2 && &t != &Timer3) return;
            seen.push_back({clock.now(), &t == &Timer3, lbl2->Caption(), lbl2->ForeColor(), state().messageIndex});
            if (state().messageIndex != lastIndex) {
                changes.push_back({clock.now(), state().messageIndex});
                lastIndex = state().messageIndex;
            }
        };
        startUp();
        ASSERT_EQ(clock.now(), 0);
        clock.advance(ms);
    }

    static int turnOf(std::int16_t index) { return index >= 1 && index <= 4 ? 3000 : 5500; }
};

TEST_F(Ticker, LineAndTableStayBlankUntilTheFirstBlackStepThenShowEntryOne) {
    run(5949);
    for (const std::string& m : state().messages) EXPECT_EQ(m, "");
    EXPECT_EQ(state().messageIndex, 0);
    clock.advance(1);
    EXPECT_EQ(state().messages, messageTexts());
    clock.advance(7000 - 5950);
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(seen.front().messageClock);
    EXPECT_EQ(seen.front().t, 5500);
    for (const Observation& o : seen) {
        if (o.t >= 5950) break;
        EXPECT_EQ(o.caption, "") << o.t;
    }
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes.front().t, 5950);
    EXPECT_EQ(changes.front().index, 1);
    EXPECT_EQ(lbl2->Caption(), "This can't be good for me!");
    EXPECT_EQ(lbl2->ForeColor(), 0xFFFFFFu); // faded in by 6.325 s
    EXPECT_FALSE(Timer2.Enabled());
}

TEST_F(Ticker, EachMessageStaysItsTurnAndTheCycleTakes182AndAHalfSeconds) {
    run(5950 + 2 * 182500 + 100);
    // Two whole cycles of 35 changes, plus the first change of the third.
    ASSERT_EQ(changes.size(), 71u);
    for (std::size_t i = 0; i < changes.size(); ++i) {
        EXPECT_EQ(changes[i].index, static_cast<std::int16_t>((i + 1) % 35)) << i;
        if (i + 1 < changes.size()) {
            EXPECT_EQ(changes[i + 1].t - changes[i].t, turnOf(changes[i].index)) << "entry " << changes[i].index;
        }
    }
    EXPECT_EQ(changes[35].t - changes[0].t, 182500);
    EXPECT_EQ(changes[70].t - changes[35].t, 182500);
    // Entry 0 comes after entry 34 and gets the long turn, then entry 1 the short one.
    EXPECT_EQ(changes[34].index, 0);
    EXPECT_EQ(changes[33].index, 34);
}

// Over one cycle: the text changes only at black steps, always to the current entry, and every
// fade run is eleven steps 75 ms apart that never overlap the next.
TEST_F(Ticker, TextChangesOnlyAtBlackStepsInFadeRunsOfElevenSteps) {
    run(5950 + 182500 + 100);
    std::string shown;
    std::size_t messageClockTicks = 0;
    std::int64_t runStart = -1;
    int steps = 0;
    for (const Observation& o : seen) {
        if (o.messageClock) {
            ++messageClockTicks;
            EXPECT_EQ(o.caption, shown) << "a message-clock tick changed the text at " << o.t;
            if (runStart >= 0) {
                EXPECT_EQ(steps, 11) << "run from " << runStart;
            }
            runStart = o.t;
            steps = 0;
        } else {
            EXPECT_EQ(o.t, runStart + 75 * ++steps);
            if (o.caption != shown) {
                EXPECT_EQ(o.colour, 0u) << "text changed while visible at " << o.t;
            }
        }
        if (o.t >= 5950) {
            EXPECT_EQ(o.caption, messageTexts()[static_cast<std::size_t>(o.index)]) << o.t;
        }
        shown = o.caption;
    }
    EXPECT_EQ(messageClockTicks, 36u);
}

TEST_F(Ticker, MessageClockRetimesItselfFromTheIndexItFinds) {
    state().messageIndex = 3;
    Timer3.setInterval(5500);
    fx->Timer3_Timer();
    EXPECT_EQ(Timer3.Interval(), 3000);
    EXPECT_TRUE(Timer2.Enabled());

    Timer2.setInterval(40);
    state().messageIndex = 4;
    fx->Timer3_Timer();
    EXPECT_EQ(Timer3.Interval(), 5500);
    EXPECT_EQ(Timer2.Interval(), 75);

    // An index outside the table leaves the line alone.
    state().messages = messageTexts();
    lbl2->setCaption("kept");
    for (std::int16_t index : {std::int16_t{-3}, std::int16_t{35}}) {
        state().messageIndex = index;
        fx->Timer3_Timer();
        EXPECT_EQ(lbl2->Caption(), "kept") << index;
    }
}

TEST_F(Ticker, InfosRefillsEveryEntryAndWrapsAfterTheLast) {
    state().messages[11] = "scribbled";
    state().messageIndex = 33;
    fx->Infos();
    EXPECT_EQ(state().messages, messageTexts());
    EXPECT_EQ(state().messageIndex, 34);
    fx->Infos();
    EXPECT_EQ(state().messageIndex, 0);
    state().messageIndex = 120;
    fx->Infos();
    EXPECT_EQ(state().messageIndex, 0);
}

} // namespace
} // namespace effects::test
