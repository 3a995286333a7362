// The one label font of the program: fixed-pitch bold bitmap glyphs in 6 x 8 pixel cells.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

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

// Whether the font has a glyph for every character of the UTF-8 text.
bool canDraw(std::string_view text);

// What a label draws in place of a character the font has no glyph for.
inline constexpr char kMissingGlyph = '?';

// The cells a line of UTF-8 text takes, one byte each: every character beyond ASCII becomes one
// kMissingGlyph, as does each byte that is not part of a well-formed character.
std::string cellsFor(std::string_view text);

} // namespace forms
