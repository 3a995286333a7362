// Lattice value noise used for the textures of the skin and the buttons.
#include "Artwork.h"

#include <cmath>

namespace artgen {

ValueNoise::ValueNoise(std::uint64_t seed, int cells)
    : cells_(cells), lattice_(static_cast<std::size_t>(cells * cells)) {
    Random random(seed);
    for (double& v : lattice_) v = random.unit();
}

double ValueNoise::at(double x, double y) const {
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const int x0 = static_cast<int>(fx);
    const int y0 = static_cast<int>(fy);
    auto wrap = [this](int v) { return ((v % cells_) + cells_) % cells_; };
    auto value = [&](int ix, int iy) { return lattice_[static_cast<std::size_t>(wrap(iy) * cells_ + wrap(ix))]; };
    // Smoothstep weights keep the texture free of visible lattice creases.
    const double tx = x - fx;
    const double ty = y - fy;
    const double sx = tx * tx * (3 - 2 * tx);
    const double sy = ty * ty * (3 - 2 * ty);
    const double top = value(x0, y0) + (value(x0 + 1, y0) - value(x0, y0)) * sx;
    const double bottom = value(x0, y0 + 1) + (value(x0 + 1, y0 + 1) - value(x0, y0 + 1)) * sx;
    return top + (bottom - top) * sy;
}

double ValueNoise::fractal(double x, double y, double cellSize, int octaves) const {
    double sum = 0;
    double weight = 1;
    double total = 0;
    double scale = 1.0 / cellSize;
    for (int i = 0; i < octaves; ++i) {
        // Each octave is shifted so the lattices of the octaves do not line up.
        sum += weight * at(x * scale + i * 17.31, y * scale + i * 5.77);
        total += weight;
        weight *= 0.5;
        scale *= 2;
    }
    return sum / total;
}

} // namespace artgen
