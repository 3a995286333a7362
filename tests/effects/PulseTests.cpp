// Title pulse, message fade colours and out-of-range step counters.
#include <vector>

#include "EffectsFixture.h"
#include "effects/MessageTable.h"
#include "effects/PulseRamp.h"

namespace effects::test {
namespace {

constexpr forms::Colour kWhite = 0xFFFFFF;
constexpr forms::Colour kSentinel = 0x123456;

class TitlePulse : public EffectsFixture {};

TEST_F(TitlePulse, VisitsTheRampWithWhiteTwiceAtEachSeam) {
    std::vector<forms::Colour> seen;
    std::vector<std::int64_t> at;
    afterTick = [&](const forms::Timer& t) {
        if (&t != &Timer4) return;
        seen.push_back(lbl1->ForeColor());
        at.push_back(clock.now());
    };
    startUp();
    clock.advance(33 * 75);

    const std::vector<forms::Colour> firstPeriods = {0xFFFFFF, 0xE0E0E0, 0xC0C0C0, 0x808080, 0x404040, 0x000000,
        0x404040, 0x808080, 0xC0C0C0, 0xE0E0E0, 0xFFFFFF, 0xFFFFFF, 0xE0E0E0, 0xC0C0C0, 0x808080, 0x404040, 0x000000,
        0x404040, 0x808080, 0xC0C0C0, 0xE0E0E0, 0xFFFFFF, 0xFFFFFF, 0xE0E0E0};
    ASSERT_EQ(seen.size(), 33u);
    EXPECT_EQ(std::vector<forms::Colour>(seen.begin(), seen.begin() + 24), firstPeriods);
    for (std::size_t i = 0; i < at.size(); ++i) EXPECT_EQ(at[i], 75 * static_cast<int>(i + 1));
    EXPECT_EQ(state().titleStep, 0); // 33 ticks are three whole periods
}

TEST_F(TitlePulse, OutOfRangeCountersChangeNoColourAndWrapToZero) {
    for (std::int16_t step : {std::int16_t{11}, std::int16_t{-1}, std::int16_t{32767}, std::int16_t{-32768}}) {
        lbl1->setForeColor(kSentinel);
        state().titleStep = step;
        fx->Flash2();
        EXPECT_EQ(lbl1->ForeColor(), kSentinel) << step;
        EXPECT_EQ(state().titleStep, step);
        fx->Timer4_Timer();
        EXPECT_EQ(lbl1->ForeColor(), kSentinel) << step;
        EXPECT_EQ(state().titleStep, step >= 10 ? 0 : step + 1) << step;
    }
}

// One fade run started by a message-clock tick with the line showing `index`.
struct FadeRun {
    std::vector<forms::Colour> colours;
    std::vector<std::string> captions;
    std::vector<std::int64_t> times;
};

class MessageFade : public EffectsFixture {
protected:
    FadeRun runFrom(std::int16_t index) {
        state().messages = messageTexts();
        state().messageIndex = index;
        lbl2->setCaption(state().messages[static_cast<std::size_t>(index)]);
        FadeRun run;
        afterTick = [&](const forms::Timer& t) {
            if (&t != &Timer2) return;
            run.colours.push_back(lbl2->ForeColor());
            run.captions.push_back(lbl2->Caption());
            run.times.push_back(clock.now());
        };
        startUp();
        Timer1.setEnabled(false);
        Timer4.setEnabled(false);
        clock.advance(5500 + 825);
        afterTick = nullptr;
        return run;
    }

    static std::string entry(int i) { return messageTexts()[static_cast<std::size_t>(i)]; }
};

TEST_F(MessageFade, AccentMessagesFadeOutAlongTheAccentRampOthersAlongThePlainOne) {
    const std::vector<forms::Colour> accent = {0xB1C9C2, 0xA9AA7D, 0x51518E, 0x633A76, 0x274D24, 0x000000, 0x404040,
        0x808080, 0xC0C0C0, 0xE0E0E0, 0xFFFFFF};
    const std::vector<forms::Colour> plain(PulseRamp.begin(), PulseRamp.end());
    for (std::int16_t index : {6, 14, 29, 32, 34, 0, 1, 5, 7, 13, 15, 28, 30, 31, 33}) {
        SCOPED_TRACE(index);
        TearDown();
        SetUp();
        EXPECT_EQ(runFrom(index).colours, isAccentMessage(index) ? accent : plain);
    }
}

TEST_F(MessageFade, SwapsTheTextOnceAtTheBlackStepOnly) {
    const FadeRun run = runFrom(9);
    ASSERT_EQ(run.captions.size(), 11u);
    for (std::size_t s = 0; s < 11; ++s) {
        EXPECT_EQ(run.times[s], 5500 + 75 * static_cast<int>(s + 1));
        EXPECT_EQ(run.captions[s], s < 5 ? entry(9) : entry(10)) << "step " << s;
    }
    EXPECT_EQ(state().messageIndex, 10);
    EXPECT_EQ(state().tickerStep, 0);
    EXPECT_FALSE(Timer2.Enabled());
    EXPECT_FALSE(clock.isArmed(Timer2));
}

TEST_F(MessageFade, TheLastMessageWrapsToTheBlankEntry) {
    const FadeRun run = runFrom(34);
    EXPECT_EQ(run.captions[4], "Velsmoor, Part I");
    EXPECT_EQ(run.captions[5], "");
    EXPECT_EQ(state().messageIndex, 0);
}

TEST_F(MessageFade, OutOfRangeCountersChangeNothingAndTheFadeClockRecovers) {
    Timer2.setInterval(75);
    for (std::int16_t step : {std::int16_t{11}, std::int16_t{-1}}) {
        state().messages = messageTexts();
        state().messages[3] = "changed";
        state().messageIndex = 4;
        lbl2->setCaption("shown");
        lbl2->setForeColor(kSentinel);
        state().tickerStep = step;
        fx->Flash();
        EXPECT_EQ(lbl2->ForeColor(), kSentinel) << step;
        EXPECT_EQ(lbl2->Caption(), "shown") << step;
        EXPECT_EQ(state().messageIndex, 4) << step;
        EXPECT_EQ(state().messages[3], "changed") << step; // Infos did not run

        Timer2.setEnabled(true);
        fx->Timer2_Timer();
        EXPECT_EQ(state().tickerStep, 0) << step;
        EXPECT_EQ(Timer2.Enabled(), step < 0) << "the clock stops only after the last step";
    }
}

} // namespace
} // namespace effects::test
