#include "effects/Effects.h"

#include <stdexcept>
#include <utility>

#include "effects/CpuText.h"
#include "effects/MessageTable.h"
#include "effects/PulseRamp.h"
#include "forms/Controls.h"
#include "forms/Timer.h"

namespace effects {

namespace {

constexpr int kShortMessageMs = 3000;
constexpr int kLongMessageMs = 5500;
constexpr int kFadeStepMs = 75;
// Messages below this index get the short turn: the tick that finds them chooses it.
constexpr std::int16_t kFirstLongMessage = 4;
constexpr std::int16_t kBlackStep = 5;
constexpr std::int16_t kLastMessage = 34;

} // namespace

Effects::Effects(const EffectsControls& controls, CpuReading cpuLoad) : c_(controls), cpuLoad_(std::move(cpuLoad)) {
    if (!c_.lbl1 || !c_.lbl2 || !c_.lblCPU || !c_.lblCPU2 || !c_.Picture2 || !c_.Picture3 || !c_.Timer2 || !c_.Timer3)
        throw std::invalid_argument("effects: a control of the main window is missing");
    if (!cpuLoad_) throw std::invalid_argument("effects: no CPU reading");
}

void Effects::restartSteps() {
    state_.tickerStep = 0;
    state_.titleStep = 0;
}

void Effects::Flash2() {
    if (!isRampStep(state_.titleStep)) return;
    c_.lbl1->setForeColor(PulseRamp[static_cast<std::size_t>(state_.titleStep)]);
}

void Effects::Timer4_Timer() {
    Flash2();
    state_.titleStep = nextRampStep(state_.titleStep);
}

void Effects::Flash() {
    const std::int16_t s = state_.tickerStep;
    if (!isRampStep(s)) return;
    const auto step = static_cast<std::size_t>(s);
    if (s < kBlackStep) {
        // The accent test looks at the outgoing message: the index only moves at black.
        c_.lbl2->setForeColor(isAccentMessage(state_.messageIndex) ? AccentRamp[step] : PulseRamp[step]);
    } else if (s == kBlackStep) {
        // Swap the text only while it is invisible.
        c_.lbl2->setForeColor(PulseRamp[step]);
        Infos();
        if (const std::string* text = messageAt(state_.messages, state_.messageIndex)) c_.lbl2->setCaption(*text);
    } else {
        c_.lbl2->setForeColor(PulseRamp[step]);
    }
}

void Effects::Infos() {
    state_.messages = messageTexts();
    state_.messageIndex =
        state_.messageIndex >= kLastMessage ? std::int16_t{0} : static_cast<std::int16_t>(state_.messageIndex + 1);
}

void Effects::Timer3_Timer() {
    if (const std::string* text = messageAt(state_.messages, state_.messageIndex)) c_.lbl2->setCaption(*text);
    if (state_.messageIndex < kFirstLongMessage) {
        c_.Timer3->setInterval(kShortMessageMs);
    } else {
        c_.Timer3->setInterval(kLongMessageMs);
        c_.Timer2->setInterval(kFadeStepMs);
    }
    c_.Timer2->setEnabled(true);
}

void Effects::Timer2_Timer() {
    Flash();
    if (state_.tickerStep >= 10) {
        state_.tickerStep = 0;
        c_.Timer2->setEnabled(false);
    } else {
        ++state_.tickerStep;
    }
}

void Effects::Timer1_Timer() {
    // Positions stay single-precision floats and are never rounded to pixels: from a restart
    // at 7755 + 0.0282 every value down to -7705 is exact in a float, so a pass is always 773
    // moves and the restart comes on the 774th tick.
    const float w = c_.Picture2->Width();
    const float l = c_.Picture3->Left();
    if (-w > l) c_.Picture3->setLeft(c_.lbl1->Left() + kRestartOffset);
    else c_.Picture3->setLeft(l - kScrollStep);

    // Each label gets its own reading, so the twins may differ in the last digit for a tick.
    c_.lblCPU->setCaption(formatCpuLoad(cpuLoad_()));
    c_.lblCPU2->setCaption(formatCpuLoad(cpuLoad_()));
}

} // namespace effects
