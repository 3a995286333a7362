// The six skin buttons: the word in tiny dotted pixel letters on a bevelled orange plate.
#include "Artwork.h"

#include <QPainter>

#include <algorithm>
#include <cstring>
#include <string>

namespace artgen {
namespace {

// Five-row pixel letters for the button words, '#' lit; widths vary.
struct TinyLetter {
    char ch;
    const char* rows[5];
};

constexpr TinyLetter kTiny[] = {
    {'a', {"###", "..#", "###", "#.#", "###"}},
    {'e', {"###", "#.#", "###", "#..", "###"}},
    {'f', {"###", "#..", "##.", "#..", "#.."}},
    {'i', {"#", ".", "#", "#", "#"}},
    {'l', {"#.", "#.", "#.", "#.", "##"}},
    {'n', {"##.", "#.#", "#.#", "#.#", "#.#"}},
    {'o', {"###", "#.#", "#.#", "#.#", "###"}},
    {'p', {"###", "#.#", "###", "#..", "#.."}},
    {'r', {"##.", "#.#", "#..", "#..", "#.."}},
    {'s', {"###", "#..", "###", "..#", "###"}},
    {'t', {".#.", "###", ".#.", ".#.", ".##"}},
    {'v', {"#.#", "#.#", "#.#", "#.#", ".#."}},
    {'x', {"#.#", "#.#", ".#.", "#.#", "#.#"}},
    {'y', {"#.#", "#.#", "###", "..#", "###"}},
};

const TinyLetter& tiny(char ch) {
    for (const TinyLetter& l : kTiny)
        if (l.ch == ch) return l;
    return kTiny[0];
}

// The word spelled with a dot between letters, as columns of five-bit pixel rows.
std::vector<std::string> spell(const char* word) {
    std::vector<std::string> rows(5);
    for (const char* c = word; *c; ++c) {
        if (c != word)
            for (int r = 0; r < 5; ++r) rows[static_cast<std::size_t>(r)] += (r == 4) ? ".#." : "...";
        const TinyLetter& l = tiny(*c);
        for (int r = 0; r < 5; ++r) rows[static_cast<std::size_t>(r)] += l.rows[r];
    }
    return rows;
}

} // namespace

QImage makeButton(const char* word, int width, int height, bool lit) {
    QImage image(width, height, QImage::Format_RGB32);
    // The same orange texture as the skin, seeded by the word so each button has its own grain.
    std::uint64_t seed = 0xB0770000;
    for (const char* c = word; *c; ++c) seed = seed * 131 + static_cast<unsigned char>(*c);
    const ValueNoise noise(seed, 16);
    Random grain(seed ^ 0x77);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const double n = noise.fractal(x, y * 3.0, 9, 3);
            const double v = 0.75 + 0.35 * n - 0.25 * (static_cast<double>(y) / height);
            const int g = static_cast<int>(grain.next() % 9) - 4;
            line[x] = qRgb(std::clamp(static_cast<int>(196 * v) + g, 0, 255),
                std::clamp(static_cast<int>(98 * v) + g / 2, 0, 255), std::clamp(static_cast<int>(28 * v), 0, 255));
        }
    }
    QPainter p(&image);
    // Raised bevel: bright top-left, dark bottom-right, dark outer line.
    p.fillRect(QRect(0, 0, width, 1), QColor(255, 200, 130));
    p.fillRect(QRect(0, 0, 1, height), QColor(255, 200, 130));
    p.fillRect(QRect(0, height - 1, width, 1), QColor(40, 14, 2));
    p.fillRect(QRect(width - 1, 0, 1, height), QColor(40, 14, 2));
    p.fillRect(QRect(1, height - 2, width - 2, 1), QColor(110, 46, 8));
    p.fillRect(QRect(width - 2, 1, 1, height - 2), QColor(110, 46, 8));
    p.end();

    const std::vector<std::string> rows = spell(word);
    const int textWidth = static_cast<int>(rows[0].size());
    const int left = (width - textWidth) / 2;
    const int top = (height - 5) / 2;
    const QRgb ink = lit ? qRgb(255, 255, 255) : qRgb(150, 146, 140);
    const QRgb shadow = qRgb(48, 16, 2);
    for (int pass = 0; pass < 2; ++pass) {
        for (int r = 0; r < 5; ++r)
            for (int c = 0; c < textWidth; ++c)
                if (rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] == '#')
                    image.setPixel(left + c + (pass == 0), top + r + (pass == 0), pass == 0 ? shadow : ink);
    }
    return image;
}

} // namespace artgen
