// The NFO text asset: its byte-level form, and every frame and quoted line at its line and column.
#include <gtest/gtest.h>

#include <QFile>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::string nfoBytes() {
    QFile file(":/assets/nfo.txt");
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll().toStdString();
}

class NfoText : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string text = nfoBytes();
        for (std::size_t start = 0;;) {
            const std::size_t end = text.find("\r\n", start);
            lines.push_back(text.substr(start, end == std::string::npos ? end : end - start));
            if (end == std::string::npos) break;
            start = end + 2;
        }
        ASSERT_EQ(lines.size(), 68u);
    }

    // The text at a line and column, padded with blanks past the end of the line.
    std::string textAt(int line, int column, std::size_t length) const {
        std::string l = lines[static_cast<std::size_t>(line)];
        l.resize(std::max(l.size(), static_cast<std::size_t>(column) + length), ' ');
        return l.substr(static_cast<std::size_t>(column), length);
    }

    void expectFrames(int column, int firstLine, int lastLine) const {
        for (int line = firstLine; line <= lastLine; ++line) {
            const char c = textAt(line, column, 1)[0];
            EXPECT_TRUE(c == '|' || c == 'l' || c == '.')
                << "no frame at line " << line << ", column " << column << ": '" << c << "'";
        }
    }

    std::vector<std::string> lines;
};

TEST(NfoTextBytes, SizeEncodingAndLineBreaks) {
    const std::string text = nfoBytes();
    EXPECT_EQ(text.size(), 4678u);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        ASSERT_TRUE((c >= 0x20 && c <= 0x7E) || c == '\r' || c == '\n') << "byte " << i << " is " << int(c);
    }
    // As many CR LF pairs as CRs and as LFs: no lone line break of either kind.
    std::size_t pairs = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++pairs;
    EXPECT_EQ(pairs, 67u);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 67);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 67);
}

TEST_F(NfoText, LineLengthsFitTheLabel) {
    EXPECT_TRUE(lines[0].empty());
    std::size_t longest = 0;
    for (const std::string& l : lines) longest = std::max(longest, l.size());
    EXPECT_EQ(longest, 88u);
    // 88 cells of 6 pixels must fit the label's 529 pixels, or the label would wrap lines.
    EXPECT_LE(longest * 6, 529u);
    for (int line = 1; line <= 18; ++line)
        EXPECT_LE(lines[static_cast<std::size_t>(line)].size(), 85u) << "logo line " << line;
    for (int line = 32; line <= 51; ++line)
        EXPECT_EQ(lines[static_cast<std::size_t>(line)].size(), 88u) << "the right box's line " << line;
    EXPECT_EQ(lines[67].size(), 50u);
    // Every line from the greeting box down ends at one of the frame columns.
    for (int line = 19; line < 68; ++line) {
        const int last = static_cast<int>(lines[static_cast<std::size_t>(line)].size()) - 1;
        EXPECT_TRUE(last == 49 || last == 51 || last == 55 || last == 61 || last == 87)
            << "line " << line << " ends at column " << last;
    }
}

TEST_F(NfoText, LogoWithSignatureTag) {
    for (int line = 1; line <= 12; ++line)
        EXPECT_NE(lines[static_cast<std::size_t>(line)].find_first_of("/_"), std::string::npos) << "line " << line;
    for (int line = 1; line <= 18; ++line)
        EXPECT_EQ(lines[static_cast<std::size_t>(line)].find('|'), std::string::npos)
            << "no frames in the logo, line " << line;
    const std::size_t tag = lines[13].find("vsk!");
    ASSERT_NE(tag, std::string::npos);
    EXPECT_EQ(tag + 4, lines[13].size()) << "the tag ends line 13";
    EXPECT_GE(tag, 70u);
}

TEST_F(NfoText, FramesOfEveryBox) {
    const struct {
        int column, firstLine, lastLine;
    } frames[] = {
        {1, 20, 44}, {51, 20, 34},  // greeting box; its right edge until the credits box covers it
        {55, 26, 33},               // connecting frame (its left side is the greeting box's edge)
        {87, 33, 51}, {61, 35, 56}, // right box; centre box's right edge, the saying's left
        {12, 36, 56},               // centre box's left edge
        {7, 46, 67}, {49, 57, 66},  // lower box; its right edge below the credits box
    };
    for (const auto& f : frames) expectFrames(f.column, f.firstLine, f.lastLine);
    for (int line = 26; line <= 33; ++line)
        EXPECT_EQ(textAt(line, 52, 3).find(' '), std::string::npos) << "connecting frame, line " << line;
}

// Quoted lines and edges, each padded with blanks to the given width (its frame).
struct Quote {
    int line, column;
    std::string text;
    std::size_t width = 0;
};

TEST_F(NfoText, QuotedLinesAndEdgesInPlace) {
    std::vector<Quote> quotes = {
        // greeting box
        {19, 1, "." + std::string(49, '_') + "."},
        {20, 2, "", 49},
        {21, 10, "Kon ichi wa!"},
        {22, 10, "------------"},
        {23, 2, "", 49},
        // connecting frame
        {25, 52, "    "},
        {26, 52, "___"},
        {33, 52, "___"},
        // right box
        {32, 87, "."},
        {51, 62, std::string(25, '_')},
        // centre box
        {35, 12, "." + std::string(48, '_') + "."},
        {37, 15, "Credits"},
        {38, 15, "------- "},
        {40, 15, "Code      : Vesko and Tilde"},
        {41, 15, "Music     : Marrow"},
        {42, 15, "Gfx       : Tilde"},
        {44, 15, "Greetings : "},
        {47, 27, "Lumi,"},
        {48, 27, "["},
        {50, 27, "["},
        {51, 13, "", 48},
        {52, 15, "and all the rest of you we"},
        {53, 15, "forgot to mention."},
        {56, 13, std::string(48, '_')},
        // lower box
        {45, 7, "."},
        {58, 10, "[Drelkin] ..."},
        {61, 10, "BASSMOD 1.6 ..."},
        {64, 10, "all rights reserved. "},
        {65, 10, "[www.cobalt-lantern.example]"},
        {67, 8, std::string(41, '_')},
    };
    const char* greeting[] = {"We are proud to present our first prod -", "Velsmoor, Part I -  to you.",
        "This ModDisk shows some of our talents", "in arts category. We hope that you'll enjoy",
        "watching and listening our innovations.", "", "But now, just relax, sit back and enjoy...", "",
        "- Drelkin 2003"};
    for (int i = 0; i < 9; ++i) quotes.push_back({24 + i, 2, "  " + std::string(greeting[i]), 49});
    const char* saying[] = {"\"Have you ever wondered", "why they say that", "first birth is", "the hardest one?\"", "",
        "\"Everybody just tell", "you so ...\"", "", "\"But when you face it", "by yourself ...\"", "",
        "\"Only then you are able", "to say what it's", "all about.\""};
    for (int i = 0; i < 14; ++i) quotes.push_back({36 + i, 63, saying[i], 24});

    for (const Quote& q : quotes) {
        const std::string padded = q.text + std::string(q.width > q.text.size() ? q.width - q.text.size() : 0, ' ');
        EXPECT_EQ(textAt(q.line, q.column, padded.size()), padded) << "line " << q.line << ", column " << q.column;
    }
}

TEST_F(NfoText, GreetingsMembersAndNotice) {
    // Seven lines of greetings, kept clear of the frame.
    for (int line = 44; line <= 50; ++line) {
        const std::string names = textAt(line, 27, 34);
        EXPECT_NE(names.find_first_not_of(' '), std::string::npos) << "line " << line;
        EXPECT_EQ(names.back(), ' ') << "names run into the frame on line " << line;
    }
    for (const char* who : {"Vesko", "Marrow", "Tilde"}) EXPECT_NE(lines[59].find(who), std::string::npos) << who;
    EXPECT_NE(lines[62].find("2003"), std::string::npos);
}

} // namespace
