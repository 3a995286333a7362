// Stand-in glyph data (blank cells), used only until the real glyph table is in the tree.
#include "forms/BitmapFont.h"

namespace forms {
const std::array<Glyph, 95> kGlyphs{};
const Glyph& glyphFor(unsigned char c) {
    static const Glyph blank{};
    return (c >= 0x20 && c <= 0x7E) ? kGlyphs[c - 0x20] : blank;
}
} // namespace forms
