// Small seeded generator so every run of the composer makes the same bytes.
#pragma once

#include <cstdint>

namespace composer {

class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed ^ 0x9E3779B97F4A7C15ull) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double real() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
    // Uniform in [-1, 1).
    double bipolar() { return real() * 2.0 - 1.0; }
    // Uniform integer in [lo, hi].
    int range(int lo, int hi) { return lo + static_cast<int>(next() % static_cast<std::uint64_t>(hi - lo + 1)); }
    bool chance(double p) { return real() < p; }

private:
    std::uint64_t state_;
};

} // namespace composer
