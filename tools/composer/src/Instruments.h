// The instruments of a tune: which synthesised samples it plays and, in IT songs,
// how each instrument releases and overlaps.
#pragma once

#include "Tune.h"

#include "modwriter/Song.h"

#include <vector>

namespace composer {

// topNotes[i] is the highest note instrument i + 1 plays; pitched samples are band-limited to it.
// centreNotes[i] is the note it plays on average, where the tune's colour is matched.
std::vector<modwriter::Sample> makeSamples(const TuneSpec& t, const std::vector<int>& topNotes, const std::vector<int>& centreNotes);
// In IT songs the lead's notes below an octave under its top note play an extra sample after the bed.
std::vector<modwriter::Instrument> makeInstruments(const std::vector<modwriter::Sample>& samples, const TuneSpec& t,
                                                   const std::vector<int>& topNotes);

}  // namespace composer
