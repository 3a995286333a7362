// The label font's glyph data: every printable character drawn, distinct, and kept to its cell.
#include <gtest/gtest.h>

#include "BitmapFont.h"

#include <set>
#include <string>

namespace {

using forms::Glyph;

bool lit(const Glyph& g, int row, int column) { return (g[static_cast<std::size_t>(row)] >> (5 - column)) & 1; }

bool rowUsed(const Glyph& g, int row) { return g[static_cast<std::size_t>(row)] != 0; }

TEST(LabelFont, PrintableGlyphsAreDrawnExceptSpace) {
    for (int c = 0x21; c <= 0x7E; ++c) {
        const Glyph& g = forms::glyphFor(static_cast<unsigned char>(c));
        int pixels = 0;
        for (int row = 0; row < forms::kGlyphHeight; ++row)
            for (int column = 0; column < forms::kGlyphWidth; ++column) pixels += lit(g, row, column);
        EXPECT_GE(pixels, 3) << "'" << static_cast<char>(c) << "'";
    }
    EXPECT_EQ(forms::glyphFor(' '), Glyph{});
}

TEST(LabelFont, SpacingColumnStaysBlankAndNoBitsBeyondTheCell) {
    for (std::size_t i = 0; i < forms::kGlyphs.size(); ++i)
        for (int row = 0; row < forms::kGlyphHeight; ++row)
            EXPECT_EQ(forms::kGlyphs[i][static_cast<std::size_t>(row)] & ~0x3E, 0)
                << "'" << static_cast<char>(0x20 + i) << "' row " << row;
}

TEST(LabelFont, NoTwoGlyphsAlike) {
    std::set<Glyph> seen;
    for (std::size_t i = 0; i < forms::kGlyphs.size(); ++i)
        EXPECT_TRUE(seen.insert(forms::kGlyphs[i]).second)
            << "'" << static_cast<char>(0x20 + i) << "' repeats an earlier glyph";
}

TEST(LabelFont, GlyphForLooksUpInCodeOrderAndBlanksTheRest) {
    EXPECT_EQ(&forms::glyphFor('A'), &forms::kGlyphs['A' - 0x20]);
    EXPECT_EQ(&forms::glyphFor('~'), &forms::kGlyphs.back());
    for (unsigned c : {0x00u, 0x0Du, 0x0Au, 0x1Fu, 0x7Fu, 0x80u, 0xB0u, 0xFFu})
        EXPECT_EQ(forms::glyphFor(static_cast<unsigned char>(c)), Glyph{}) << c;
}

TEST(LabelFont, EachCharacterBeyondTheFontTakesOneVisibleCell) {
    const struct {
        const char* text;
        const char* cells;
    } kCases[] = {
        {"0.457 Track", "0.457 Track"},
        {"0\xD9\xAB"
         "457",
            "0?457"},               // the Arabic decimal separator
        {"\xDB\xB1\xDB\xB2", "??"}, // Persian digits
        {"Mus ik \xC3\xA4 \xE6\x97\xA5", "Mus ik ? ?"},
        {"\xF0\x9F\x8E\xB5!", "?!"}, // four bytes, one character
        {"\x80\xFF", "??"},          // stray bytes, one cell each
        {"\xE2\x80"
         "x",
            "?x"}, // a cut-off character
        {"", ""},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(forms::cellsFor(c.text), c.cells) << c.text;
        EXPECT_EQ(forms::canDraw(c.text), std::string(c.text) == c.cells) << c.text;
    }
    EXPECT_NE(forms::glyphFor(forms::kMissingGlyph), Glyph{});
}

TEST(LabelFont, LettersShareBaselineCapHeightAndXHeight) {
    // Capitals and digits fill rows 0 to 6; only the descenders reach row 7.
    for (const char c : std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789")) {
        const Glyph& g = forms::glyphFor(static_cast<unsigned char>(c));
        EXPECT_TRUE(rowUsed(g, 0) && rowUsed(g, 6) && !rowUsed(g, 7)) << c;
    }
    const std::string descenders = "gjpqy";
    const std::string xHeight = "acemnorsuvwxz";
    for (char c = 'a'; c <= 'z'; ++c) {
        const Glyph& g = forms::glyphFor(static_cast<unsigned char>(c));
        EXPECT_EQ(rowUsed(g, 7), descenders.find(c) != std::string::npos) << c;
        if (xHeight.find(c) != std::string::npos) {
            EXPECT_FALSE(rowUsed(g, 0) || rowUsed(g, 1)) << c;
            EXPECT_TRUE(rowUsed(g, 2) && rowUsed(g, 6)) << c;
        }
    }
    EXPECT_TRUE(rowUsed(forms::glyphFor('_'), 7));
}

TEST(LabelFont, StrokesAreBold) {
    // The face is bold: most letters have horizontally adjacent lit pixels in most rows.
    for (const char* word : {"ABCDEFGHIJKLOPQRSTUZ", "abcdefghijklnopqrstuyz0123456789"}) {
        for (const char* c = word; *c; ++c) {
            const Glyph& g = forms::glyphFor(static_cast<unsigned char>(*c));
            int boldRows = 0;
            int usedRows = 0;
            for (int row = 0; row < forms::kGlyphHeight; ++row) {
                if (!rowUsed(g, row)) continue;
                ++usedRows;
                for (int column = 0; column + 1 < 5; ++column)
                    if (lit(g, row, column) && lit(g, row, column + 1)) {
                        ++boldRows;
                        break;
                    }
            }
            EXPECT_GE(boldRows * 4, usedRows * 3) << *c;
        }
    }
}

} // namespace
