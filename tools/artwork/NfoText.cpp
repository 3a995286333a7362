// The NFO text: the disk's greeting, credits, saying and library credit in plain-ASCII frames.
//
// The text is composed on a grid of 68 lines by 88 columns so every frame lands on its exact
// column. Boxes are stacked like cards: the centre credits box lies on top of the greeting box,
// the right box and the lower box, hiding the parts of their frames it covers.
#include "Artwork.h"
#include "LogoLetters.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace artgen {
namespace {

constexpr int kLines = 68;
constexpr int kColumns = 88;
// The label shows the text as one caption, so its size is a property of the disk.
constexpr int kExpectedBytes = 4678;

class Sheet {
public:
    Sheet() : rows_(kLines, std::string(kColumns, ' ')) {}

    void put(int line, int column, const std::string& text) {
        for (std::size_t i = 0; i < text.size(); ++i) at(line, column + static_cast<int>(i)) = text[i];
    }

    void clear(int top, int left, int bottom, int right) {
        for (int line = top; line <= bottom; ++line)
            for (int column = left; column <= right; ++column) at(line, column) = ' ';
    }

    // A frame whose top edge is drawn with '_' on the top line and whose floor is the
    // underscores of the bottom line; the inside is cleared so the box hides what lies behind.
    void box(int top, int left, int bottom, int right) {
        clear(top, left, bottom, right);
        at(top, left) = '.';
        at(top, right) = '.';
        for (int column = left + 1; column < right; ++column) {
            at(top, column) = '_';
            at(bottom, column) = '_';
        }
        for (int line = top + 1; line < bottom; ++line) {
            at(line, left) = '|';
            at(line, right) = '|';
        }
        at(bottom, left) = 'l';
        at(bottom, right) = '|';
    }

    char& at(int line, int column) {
        if (line < 0 || line >= kLines || column < 0 || column >= kColumns) {
            std::fprintf(stderr, "artgen: NFO text outside its grid at %d,%d\n", line, column);
            std::abort();
        }
        return rows_[static_cast<std::size_t>(line)][static_cast<std::size_t>(column)];
    }

    QByteArray text() const {
        QByteArray out;
        for (int line = 0; line < kLines; ++line) {
            std::string row = rows_[static_cast<std::size_t>(line)];
            row.erase(row.find_last_not_of(' ') + 1);
            if (line > 0) out += "\r\n";
            out += QByteArray::fromStdString(row);
        }
        return out;
    }

private:
    std::vector<std::string> rows_;
};

// Sets the logo "Drelkin" in slanted outline block letters: each line down moves one column
// left, solid areas are outlined with '/' on their sides and '_' on their top and bottom.
void drawLogo(Sheet& sheet, int topLine, int leftColumn) {
    constexpr int kRows = kLogoRows;
    constexpr int kGap = 2;
    constexpr int kWidth = 70;
    std::vector<std::string> solid(kRows + 2, std::string(kWidth, '.'));
    int x = 0;
    for (const LogoLetter* letter : kLogoWord) {
        const int width = static_cast<int>(std::string(letter->rows[0]).size());
        for (int r = 0; r < kRows; ++r) {
            const int shift = kRows - 1 - r;
            for (int c = 0; c < width; ++c)
                if (letter->rows[r][c] == '#')
                    solid[static_cast<std::size_t>(r + 1)][static_cast<std::size_t>(x + c + shift)] = '#';
        }
        x += width + kGap;
    }
    auto filled = [&](int r, int c) {
        return r >= 0 && r < kRows + 2 && c >= 0 && c < kWidth &&
               solid[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] == '#';
    };
    for (int r = 0; r < kRows + 1; ++r) {
        for (int c = 0; c < kWidth; ++c) {
            char ch = ' ';
            if (filled(r, c)) {
                if (!filled(r, c - 1) || !filled(r, c + 1)) ch = '/';
                else if (!filled(r + 1, c)) ch = '_';
                else ch = ':';
            } else if (filled(r + 1, c) && filled(r + 1, c - 1)) {
                ch = '_';
            }
            if (ch != ' ') sheet.at(topLine + r, leftColumn + c) = ch;
        }
    }
}

void drawGreeting(Sheet& sheet) {
    sheet.box(19, 1, 44, 51);
    sheet.put(21, 10, "Kon ichi wa!");
    sheet.put(22, 10, "------------");
    sheet.put(24, 4, "We are proud to present our first prod -");
    sheet.put(25, 4, "Velsmoor, Part I -  to you.");
    sheet.put(26, 4, "This ModDisk shows some of our talents");
    sheet.put(27, 4, "in arts category. We hope that you'll enjoy");
    sheet.put(28, 4, "watching and listening our innovations.");
    sheet.put(30, 4, "But now, just relax, sit back and enjoy...");
    sheet.put(32, 4, "- Drelkin 2003");
}

// The narrow bridge from the greeting box down into the right box.
void drawConnector(Sheet& sheet) {
    sheet.put(26, 51, "|___.");
    for (int line = 27; line <= 32; ++line) sheet.put(line, 51, "|:::|");
    sheet.put(33, 51, "|___|");
    sheet.at(32, 55) = 'l';
}

void drawSaying(Sheet& sheet) {
    sheet.box(32, 55, 51, 87);
    const char* lines[] = {"\"Have you ever wondered", "why they say that", "first birth is", "the hardest one?\"", "",
        "\"Everybody just tell", "you so ...\"", "", "\"But when you face it", "by yourself ...\"", "",
        "\"Only then you are able", "to say what it's", "all about.\""};
    int line = 36;
    for (const char* text : lines) sheet.put(line++, 63, text);
}

void drawLibraryCredit(Sheet& sheet) {
    sheet.box(45, 7, 67, 49);
    sheet.put(58, 10, "[Drelkin] ...");
    sheet.put(59, 16, "Vesko - Marrow - Tilde");
    sheet.put(61, 10, "BASSMOD 1.6 ...");
    sheet.put(62, 10, "Copyright (c) 2003 by Cobalt Lantern");
    sheet.put(63, 10, "Software. Module music library,");
    sheet.put(64, 10, "all rights reserved.");
    sheet.put(65, 10, "[www.cobalt-lantern.example]");
}

void drawCredits(Sheet& sheet) {
    sheet.box(35, 12, 56, 61);
    sheet.put(37, 15, "Credits");
    sheet.put(38, 15, "-------");
    sheet.put(40, 15, "Code      : Vesko and Tilde");
    sheet.put(41, 15, "Music     : Marrow");
    sheet.put(42, 15, "Gfx       : Tilde");
    const char* greetings[] = {"Kasper, Ilona, Jori, Mebbe,", "Sauli [Ashgrove], Pirta, Otso,",
        "Runa, Tessu [Nordvolt], Hakon,", "Lumi, Veikka, Aune,", "[Pale Circuit] [Brimstone Ink]",
        "[Kettle Crew] [Orbweavers]", "[Ashgrove] [Nordvolt] [Halcyon 9]"};
    sheet.put(44, 15, "Greetings :");
    int line = 44;
    for (const char* text : greetings) sheet.put(line++, 27, text);
    sheet.put(52, 15, "and all the rest of you we");
    sheet.put(53, 15, "forgot to mention.");
}

void drawOrnaments(Sheet& sheet) {
    sheet.put(13, 12, "____   ___   __   _                              _   __   ___   ____");
    sheet.put(14, 11, "/___/  /__/  /_/  /_/  .  .  .  .  .  .  .  .  /_/  /_/  /__/  /___/");
    sheet.put(16, 5, "__  ___  ____  _____  ___________________________________  _____  ____  ___  __");
    sheet.put(17, 4, "/_/ /__/ /___/ /____/ /__________________________________/ /____/ /___/ /__/ /_/");
    sheet.put(13, 81, "vsk!");
}

} // namespace

QByteArray makeNfoText() {
    Sheet sheet;
    drawLogo(sheet, 1, 11);
    drawOrnaments(sheet);
    drawGreeting(sheet);
    drawSaying(sheet);
    drawConnector(sheet);
    drawLibraryCredit(sheet);
    drawCredits(sheet);
    QByteArray text = sheet.text();
    if (text.size() != kExpectedBytes)
        std::fprintf(stderr, "artgen: warning: NFO text is %lld bytes, not %d\n", static_cast<long long>(text.size()),
            kExpectedBytes);
    return text;
}

} // namespace artgen
