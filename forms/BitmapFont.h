// The one label font of the program: fixed-pitch bold bitmap glyphs in 6 x 8 pixel cells.
#pragma once

#include <array>
#include <cstdint>

namespace forms {

inline constexpr int kGlyphWidth = 6;
inline constexpr int kGlyphHeight = 8;

// One glyph: eight rows, top first; in each row bit (5 - column) lights the pixel at that
// column (0 = leftmost). The cell includes its own spacing: column 5 and row 7 are normally
// left blank except for descenders.
using Glyph = std::array<std::uint8_t, kGlyphHeight>;

// Glyphs for the printable ASCII range 0x20 (space) to 0x7E (tilde), in code order.
extern const std::array<Glyph, 95> kGlyphs;

// The glyph drawn for a byte; bytes outside the printable range draw as a blank cell.
const Glyph& glyphFor(unsigned char c);

} // namespace forms
