// What a run without a user needs: an error box that also writes to stderr and can press its
// own OK, and a clock that never ticks (the program with its timers stopped, for measuring).
// The program takes them as its environment asks; tests and measurements start it that way.
#pragma once

#include <string>

#include "forms/ErrorBox.h"
#include "forms/Timer.h"

namespace player {

// Every box is also written to stderr, so that a start without a screen still tells why it
// ended. With autoDismissMs >= 0 the box presses OK by itself after that many milliseconds.
class ReportingErrorBox final : public forms::ErrorBox {
public:
    explicit ReportingErrorBox(int autoDismissMs) : autoDismissMs_(autoDismissMs) {}

    void show(const std::string& text, const std::string& title) override;

    // The text as written to stderr: line breaks of the box as plain newlines.
    static std::string plainText(const std::string& text);

private:
    int autoDismissMs_;
    forms::QtErrorBox box_;
};

class StoppedClock final : public forms::TimerClock {
public:
    void arm(forms::Timer&, int) override {}
    void disarm(forms::Timer&) override {}
};

// An integer from the environment, or fallback when it is not set.
int environmentInt(const char* name, int fallback);

} // namespace player
