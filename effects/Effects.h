// The main window's timed effects: the title pulse and scroller, the message ticker with its
// fade, and the CPU read-out. The window wires its timers' ticks to the handlers here.
#pragma once

#include <cstdint>
#include <functional>

#include "effects/MessageTable.h"

namespace forms {
class Label;
class Picture;
class Timer;
} // namespace forms

namespace effects {

// The main-window controls the effects touch; the window owns them.
struct EffectsControls {
    forms::Label* lbl1 = nullptr;       // title line inside the strip; pulses
    forms::Label* lbl2 = nullptr;       // message line; fades between messages
    forms::Label* lblCPU = nullptr;     // CPU read-out
    forms::Label* lblCPU2 = nullptr;    // its shadow twin
    forms::Picture* Picture2 = nullptr; // the viewport of the scroller
    forms::Picture* Picture3 = nullptr; // the moving strip that carries lbl1
    forms::Timer* Timer2 = nullptr;     // message fade clock
    forms::Timer* Timer3 = nullptr;     // message clock
};

// The steps of the message fade and the title pulse, and the message table with its place.
struct EffectsState {
    std::int16_t tickerStep = 0;
    std::int16_t titleStep = 0;
    MessageTable messages{};
    std::int16_t messageIndex = 0;
};

// Twips the strip moves left on each tick.
inline constexpr float kScrollStep = 20.0f;
// Added to the title label's Left to give the strip's restart position: the strip's design width.
inline constexpr float kRestartOffset = 7755.0f;

class Effects {
public:
    // The CPU load as the module library reports it; whoever owns the library hands it in, so
    // that the effects know nothing of the player.
    using CpuReading = std::function<float()>;

    // Throws std::invalid_argument when a control or the reading is missing.
    Effects(const EffectsControls& controls, CpuReading cpuLoad);

    const EffectsState& state() const { return state_; }

    // Start-up's part: the fade and the pulse begin again from their first step.
    void restartSteps();

    // Scroller step, then the CPU load into lblCPU and lblCPU2 (one library reading each).
    // Whatever the reading throws (the library's LibraryError) propagates to the caller.
    void Timer1_Timer();
    // One step of the message fade; after step 10 the fade clock stops itself.
    void Timer2_Timer();
    // Starts a message change: rewrites the line, re-times itself, starts the fade clock.
    void Timer3_Timer();
    // One step of the title pulse.
    void Timer4_Timer();

    // Title colour for titleStep.
    void Flash2();
    // Message line step for tickerStep; at black it swaps in the next message.
    void Flash();
    // Refills the message table and advances messageIndex.
    void Infos();

private:
    friend struct EffectsTestAccess; // tests set up a state without running up to it

    EffectsState state_;
    EffectsControls c_;
    CpuReading cpuLoad_;
};

} // namespace effects
