// The NFO text asset: its byte-level form, and every frame and quoted line at its line and column.
#include <gtest/gtest.h>

#include <QFile>

#include <string>
#include <vector>

namespace {

QByteArray nfoBytes()
{
    QFile file(":/assets/nfo.txt");
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

std::vector<std::string> nfoLines()
{
    std::vector<std::string> lines;
    const std::string text = nfoBytes().toStdString();
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            break;
        start = end + 2;
    }
    return lines;
}

class NfoText : public ::testing::Test {
protected:
    void SetUp() override { lines = nfoLines(); ASSERT_EQ(lines.size(), 68u); }

    char at(int line, int column) const
    {
        const std::string& l = lines[static_cast<std::size_t>(line)];
        return column < static_cast<int>(l.size()) ? l[static_cast<std::size_t>(column)] : ' ';
    }

    // The text at a line and column, padded with blanks past the end of the line.
    std::string textAt(int line, int column, std::size_t length) const
    {
        std::string out;
        for (std::size_t i = 0; i < length; ++i)
            out += at(line, column + static_cast<int>(i));
        return out;
    }

    void expectFrame(int line, int column) const
    {
        const char c = at(line, column);
        EXPECT_TRUE(c == '|' || c == 'l' || c == '.') << "no frame at line " << line << ", column " << column << ": '" << c << "'";
    }

    void expectFrameColumn(int column, int firstLine, int lastLine) const
    {
        for (int line = firstLine; line <= lastLine; ++line)
            expectFrame(line, column);
    }

    // The top edge of a box: corners '.' and underscores between.
    void expectTopEdge(int line, int left, int right) const
    {
        EXPECT_EQ(at(line, left), '.') << "line " << line;
        EXPECT_EQ(at(line, right), '.') << "line " << line;
        EXPECT_EQ(textAt(line, left + 1, static_cast<std::size_t>(right - left - 1)), std::string(static_cast<std::size_t>(right - left - 1), '_'))
            << "line " << line;
    }

    std::vector<std::string> lines;
};

TEST(NfoTextBytes, SizeEncodingAndLineBreaks)
{
    const QByteArray text = nfoBytes();
    EXPECT_EQ(text.size(), 4678);
    int crlf = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        ASSERT_LE(c, 0x7F) << "byte " << i;
        ASSERT_NE(c, '\t') << "byte " << i;
        if (c == '\r') {
            ASSERT_LT(i + 1, text.size());
            ASSERT_EQ(text[i + 1], '\n') << "lone CR at " << i;
            ++crlf;
        } else if (c == '\n') {
            ASSERT_GT(i, 0);
            ASSERT_EQ(text[i - 1], '\r') << "lone LF at " << i;
        } else {
            ASSERT_GE(c, 0x20) << "control byte at " << i;
        }
    }
    EXPECT_EQ(crlf, 67);
    EXPECT_FALSE(text.endsWith("\r\n"));
}

TEST_F(NfoText, FirstLineEmptyLongestEightyEightAndFitsTheLabel)
{
    EXPECT_TRUE(lines[0].empty());
    std::size_t longest = 0;
    for (const std::string& l : lines)
        longest = std::max(longest, l.size());
    EXPECT_EQ(longest, 88u);
    // 88 cells of 6 pixels must fit the label's 529 pixels, or the label would wrap lines.
    EXPECT_LE(longest * 6, 529u);
    for (int line = 1; line <= 18; ++line)
        EXPECT_LE(lines[static_cast<std::size_t>(line)].size(), 85u) << "logo line " << line;
    // The widest lines are the right box's.
    for (int line = 32; line <= 51; ++line)
        EXPECT_EQ(lines[static_cast<std::size_t>(line)].size(), 88u) << "line " << line;
}

TEST_F(NfoText, LogoWithSignatureTag)
{
    for (int line = 1; line <= 12; ++line)
        EXPECT_NE(lines[static_cast<std::size_t>(line)].find_first_of("/_"), std::string::npos) << "line " << line;
    const std::string& tagLine = lines[13];
    const std::size_t tag = tagLine.find("vsk!");
    ASSERT_NE(tag, std::string::npos);
    EXPECT_EQ(tag + 4, tagLine.size()) << "tag ends line 13";
    EXPECT_GE(tag, 70u);
    for (int line = 1; line <= 18; ++line)
        EXPECT_EQ(lines[static_cast<std::size_t>(line)].find('|'), std::string::npos) << "no frames in the logo, line " << line;
}

TEST_F(NfoText, GreetingBoxFramesAndLines)
{
    expectTopEdge(19, 1, 51);
    expectFrameColumn(1, 20, 44);
    // The right edge shows until the credits box covers it.
    expectFrameColumn(51, 20, 34);
    EXPECT_EQ(textAt(21, 10, 12), "Kon ichi wa!");
    EXPECT_EQ(textAt(22, 10, 12), "------------");
    const char* body[] = {"We are proud to present our first prod -",
                          "Velsmoor, Part I -  to you.",
                          "This ModDisk shows some of our talents",
                          "in arts category. We hope that you'll enjoy",
                          "watching and listening our innovations.",
                          "",
                          "But now, just relax, sit back and enjoy...",
                          "",
                          "- Drelkin 2003"};
    int line = 24;
    for (const std::string text : body) {
        EXPECT_EQ(textAt(line, 2, 2), "  ") << "line " << line;
        EXPECT_EQ(textAt(line, 4, text.size()), text) << "line " << line;
        // Padded with blanks up to the frame.
        EXPECT_EQ(textAt(line, 4 + static_cast<int>(text.size()), 47 - text.size()), std::string(47 - text.size(), ' ')) << "line " << line;
        ++line;
    }
    EXPECT_EQ(textAt(23, 2, 49), std::string(49, ' '));
    EXPECT_EQ(textAt(20, 2, 49), std::string(49, ' '));
}

TEST_F(NfoText, ConnectingFrame)
{
    for (int line = 26; line <= 33; ++line) {
        expectFrame(line, 51);
        expectFrame(line, 55);
        for (int column = 52; column <= 54; ++column)
            EXPECT_NE(at(line, column), ' ') << "line " << line << ", column " << column;
    }
    EXPECT_EQ(textAt(26, 52, 3), "___");
    EXPECT_EQ(textAt(33, 52, 3), "___");
    EXPECT_EQ(textAt(25, 52, 4), "    ");
}

TEST_F(NfoText, RightBoxWithTheSaying)
{
    EXPECT_EQ(at(32, 87), '.');
    expectFrameColumn(87, 33, 51);
    EXPECT_EQ(textAt(51, 62, 25), std::string(25, '_'));
    const char* saying[] = {"\"Have you ever wondered", "why they say that", "first birth is", "the hardest one?\"", "",
                            "\"Everybody just tell", "you so ...\"", "",
                            "\"But when you face it", "by yourself ...\"", "",
                            "\"Only then you are able", "to say what it's", "all about.\""};
    int line = 36;
    for (const std::string text : saying) {
        EXPECT_EQ(textAt(line, 63, text.size()), text) << "line " << line;
        EXPECT_EQ(textAt(line, 63 + static_cast<int>(text.size()), 24 - text.size()), std::string(24 - text.size(), ' ')) << "line " << line;
        ++line;
    }
    // The saying lies between the centre box's right edge and the right border.
    for (int line = 35; line <= 51; ++line)
        expectFrame(line, 61);
}

TEST_F(NfoText, CentreCreditsBox)
{
    expectTopEdge(35, 12, 61);
    expectFrameColumn(12, 36, 56);
    expectFrameColumn(61, 36, 56);
    EXPECT_EQ(textAt(56, 13, 48), std::string(48, '_'));
    EXPECT_EQ(textAt(37, 15, 7), "Credits");
    EXPECT_EQ(textAt(38, 15, 8), "------- ");
    EXPECT_EQ(textAt(40, 15, 27), "Code      : Vesko and Tilde");
    EXPECT_EQ(textAt(41, 15, 18), "Music     : Marrow");
    EXPECT_EQ(textAt(42, 15, 17), "Gfx       : Tilde");
    EXPECT_EQ(textAt(44, 15, 12), "Greetings : ");
    // Seven lines of greetings, people first, groups in brackets last.
    for (int line = 44; line <= 50; ++line) {
        const std::string names = textAt(line, 27, 34);
        EXPECT_NE(names.find_first_not_of(' '), std::string::npos) << "line " << line;
        EXPECT_EQ(names.back(), ' ') << "names run into the frame on line " << line;
    }
    EXPECT_EQ(textAt(51, 13, 48), std::string(48, ' '));
    EXPECT_EQ(textAt(47, 27, 5), "Lumi,");
    EXPECT_EQ(at(48, 27), '[');
    EXPECT_EQ(at(50, 27), '[');
    EXPECT_EQ(textAt(52, 15, 26), "and all the rest of you we");
    EXPECT_EQ(textAt(53, 15, 18), "forgot to mention.");
}

TEST_F(NfoText, LowerBoxWithGroupAndLibraryCredit)
{
    EXPECT_EQ(at(45, 7), '.');
    expectFrameColumn(7, 46, 67);
    // Its right edge shows below the credits box.
    expectFrameColumn(49, 57, 66);
    EXPECT_EQ(textAt(67, 8, 41), std::string(41, '_'));
    EXPECT_EQ(lines[67].size(), 50u);
    EXPECT_EQ(textAt(58, 10, 13), "[Drelkin] ...");
    const std::string members = lines[59];
    for (const char* who : {"Vesko", "Marrow", "Tilde"})
        EXPECT_NE(members.find(who), std::string::npos) << who;
    EXPECT_EQ(textAt(61, 10, 15), "BASSMOD 1.6 ...");
    EXPECT_NE(lines[62].find("2003"), std::string::npos);
    EXPECT_EQ(textAt(64, 10, 21), "all rights reserved. ");
    EXPECT_EQ(textAt(65, 10, 28), "[www.cobalt-lantern.example]");
}

TEST_F(NfoText, NothingOutsideTheFramesBelowTheLogo)
{
    // Every line from the greeting box down ends at one of the frame columns.
    for (int line = 19; line < 68; ++line) {
        const std::string& l = lines[static_cast<std::size_t>(line)];
        ASSERT_FALSE(l.empty()) << "line " << line;
        const int last = static_cast<int>(l.size()) - 1;
        EXPECT_TRUE(last == 49 || last == 51 || last == 55 || last == 61 || last == 87) << "line " << line << " ends at column " << last;
    }
}

} // namespace
