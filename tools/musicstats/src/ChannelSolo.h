// Each sparsely written channel rendered alone, to find a sound held under a whole tune: one that
// sounds through most of it, close to the level of the mix, with almost no notes and no pitch.
#pragma once

#include "Composition.h"
#include "Rendering.h"

#include <cstdint>
#include <vector>

namespace musicstats {

constexpr int kSoloRate = 22050;          // a held sound is no less held for missing its top octave
constexpr double kFewNotesPerMinute = 6;  // only channels this sparse are rendered alone
constexpr double kNearMixDb = 20;         // a channel sounds when it is within this of the mix
constexpr double kHeldShare = 0.6;        // ... for this share of the tune
constexpr double kNoisyFluctuation = 0.8; // nepers a frequency of its band moves from frame to frame (noise: 1)

struct SoloChannel {
    int channel = 0;
    double notesPerMinute = 0;
    double soundingShare = 0; // of the tune's length
    double levelDb = 0;       // median over the sounding stretches, against the mix
    double fluctuation = 0;   // median over the sounding stretches: how little any partial holds still
    bool heldNoise = false;
};

// Renders each channel with a note-on now and then but no more than kFewNotesPerMinute alone,
// beside `mix` (the whole tune at kRate), and describes it.
std::vector<SoloChannel> soloSparseChannels(const std::vector<std::uint8_t>& bytes, const Rendering& mix,
    const CompositionStats& composition, double maxSeconds);

} // namespace musicstats
