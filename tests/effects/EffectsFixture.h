// A main window cut down to the controls the effects touch, its timers on a virtual clock and
// wired the way start-up wires them, and a module library that reports scripted CPU loads.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../support/EffectsAccess.h"
#include "effects/Effects.h"
#include "forms/Controls.h"
#include "forms/Timer.h"
#include "player/ModuleLibrary.h"

namespace effects::test {

class ScriptedLibrary final : public player::ModuleLibrary {
public:
    std::deque<float> loads; // handed out one per GetCPU call; the last one repeats
    int cpuCalls = 0;
    bool failCpu = false;

    std::uint32_t GetVersion() override { return 0x10006; }
    std::int32_t Init(std::int32_t, std::uint32_t, std::uint32_t) override { return 1; }
    std::int32_t MusicLoad(std::int32_t, const void*, std::uint32_t, std::uint32_t, std::uint32_t) override {
        return 1;
    }
    std::int32_t MusicPlay() override { return 1; }
    std::int32_t MusicFree() override { return 1; }
    std::int32_t ErrorGetCode() override { return 0; }
    float GetCPU() override {
        ++cpuCalls;
        if (failCpu) throw player::LibraryError("BASSMOD_GetCPU is missing");
        if (loads.empty()) return 0.0f;
        const float v = loads.front();
        if (loads.size() > 1) loads.pop_front();
        return v;
    }
};

class EffectsFixture : public ::testing::Test {
protected:
    static constexpr float kViewportWidth = 7695.0f;
    static constexpr float kStripDesignLeft = 7680.0f;

    forms::VirtualClock clock;
    forms::Timer Timer1{clock, "Timer1"};
    forms::Timer Timer2{clock, "Timer2"};
    forms::Timer Timer3{clock, "Timer3"};
    forms::Timer Timer4{clock, "Timer4"};
    std::unique_ptr<forms::Form> form;
    forms::Picture* Picture2 = nullptr;
    forms::Picture* Picture3 = nullptr;
    forms::Label* lbl1 = nullptr;
    forms::Label* lbl2 = nullptr;
    forms::Label* lblCPU = nullptr;
    forms::Label* lblCPU2 = nullptr;
    ScriptedLibrary library;
    std::unique_ptr<Effects> fx;

    // Called after each handler has run, with the timer that ticked.
    std::function<void(const forms::Timer&)> afterTick;

    void SetUp() override {
        form = std::make_unique<forms::Form>("frmMain", 7800, 7470);
        lblCPU = &form->addLabel("lblCPU", 1320, 6960, 615, 135);
        lblCPU2 = &form->addLabel("lblCPU2", 1335, 6990, 615, 135);
        lbl2 = &form->addLabel("lbl2", 75, 7230, 7650, 195);
        Picture2 = &form->addPicture("Picture2", 60, 0, 7695, 315);
        Picture3 = &Picture2->addPicture("Picture3", kStripDesignLeft, 60, 7755, 240);
        Picture3->setScale(1.8201163f, 1);
        lbl1 = &Picture3->addLabel("lbl1", 120, 30, 14115, 195);
        for (forms::Label* l : {lblCPU, lblCPU2}) {
            l->setCaption("...");
            l->setForeColor(0x0000C0);
        }
        lbl1->setCaption("...");
        for (forms::Label* l : {lbl1, lbl2}) {
            l->setForeColor(0xFFFFFF);
            l->setBackColor(0x000000);
            l->setOpaque(true);
        }
        lbl2->setAlignment(forms::Label::Align::Center);

        EffectsControls c;
        c.lbl1 = lbl1;
        c.lbl2 = lbl2;
        c.lblCPU = lblCPU;
        c.lblCPU2 = lblCPU2;
        c.Picture2 = Picture2;
        c.Picture3 = Picture3;
        c.Timer2 = &Timer2;
        c.Timer3 = &Timer3;
        fx = std::make_unique<Effects>(c, [this] { return library.GetCPU(); });

        wire(Timer1, [this] { fx->Timer1_Timer(); });
        wire(Timer2, [this] { fx->Timer2_Timer(); });
        wire(Timer3, [this] { fx->Timer3_Timer(); });
        wire(Timer4, [this] { fx->Timer4_Timer(); });
    }

    EffectsState& state() { return EffectsTestAccess::state(*fx); }

    void TearDown() override {
        fx.reset();
        form.reset();
    }

    // The timer steps of start-up: intervals, then the title pulse on and the fade clock off,
    // then the scroller and the message clock. The clock reads 0 when it is done.
    void startUp() {
        state().tickerStep = 0;
        state().titleStep = 0;
        Timer1.setInterval(30);
        Timer2.setInterval(75);
        Timer3.setInterval(5500);
        Timer4.setInterval(75);
        Timer4.setEnabled(true);
        Timer2.setEnabled(false);
        lbl1->setCaption("Velsmoor, Part I [Orvantis]");
        Timer1.setEnabled(true);
        Timer3.setEnabled(true);
    }

private:
    void wire(forms::Timer& t, std::function<void()> handler) {
        t.onTimer = [this, &t, handler = std::move(handler)] {
            handler();
            if (afterTick) afterTick(t);
        };
    }
};

} // namespace effects::test
