// Plays a score into a tracker song: its sections cut into patterns, its instruments
// synthesised and band-limited to the notes the score gives them.
#pragma once

#include "Score.h"

#include "modwriter/Song.h"

namespace composer::score {

modwriter::Song realise(const Score& score);

}  // namespace composer::score
