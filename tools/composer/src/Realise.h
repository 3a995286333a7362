// Plays a score into a tracker song: its sections cut into patterns, its instruments
// synthesised and band-limited to the notes the score gives them.
#pragma once

#include "Score.h"

#include "modwriter/Song.h"

namespace composer::score {

// The song must last the score's seconds (within half a second), tempo and speed changes counted.
modwriter::Song realise(const Score& score);

// How long a song plays: rows at their speed and tempo, up to the end of its order.
double playSeconds(const modwriter::Song& song);

} // namespace composer::score
