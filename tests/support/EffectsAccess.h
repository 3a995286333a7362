// Lets tests set the effects' steps and messages without running the timers up to them.
#pragma once

#include "effects/Effects.h"

namespace effects {
struct EffectsTestAccess {
    static EffectsState& state(Effects& fx) { return fx.state_; }
};
} // namespace effects
