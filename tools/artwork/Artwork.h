// Pieces of the artwork generator: each writes or returns one asset of the program.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstdint>
#include <vector>

namespace artgen {

// Small deterministic random source (SplitMix64), so every run draws the same pixels.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double unit() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }

private:
    std::uint64_t state_;
};

// Smooth value noise in [0, 1], tiled on a lattice of the given cell size.
class ValueNoise {
public:
    ValueNoise(std::uint64_t seed, int cells);
    double at(double x, double y) const;
    // Several octaves summed, each half the size and half the weight of the one before.
    double fractal(double x, double y, double cellSize, int octaves) const;

private:
    int cells_;
    std::vector<double> lattice_;
};

QImage makeSkin();
QImage makeButton(const char* word, int width, int height, bool lit);
QImage makeNfoBackground();

// The emblem at one size, 32-bit with alpha.
QImage makeIconImage(int size);
// An ICO container holding each image twice: with a 256-colour palette and in 32-bit colour.
QByteArray makeIco(const std::vector<QImage>& images);

QByteArray makeNfoText();

// Review sheets that are not assets: the label font, and the NFO text as its window shows it.
QImage makeFontPreview();
QImage makeNfoPreview(const QByteArray& text, const QImage& background);
QImage makeSkinPreview(const QImage& skin, const std::vector<QImage>& buttons);

// Draws text in the label font onto an image at pixel position x, y (top-left of the first cell).
void drawBitmapText(QImage& image, int x, int y, const QByteArray& text, QRgb colour);

} // namespace artgen
