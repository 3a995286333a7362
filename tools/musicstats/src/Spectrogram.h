// Short-time power spectra and mel-band levels of a mono signal.
#pragma once

#include <cstddef>
#include <vector>

namespace musicstats {

struct Spectrogram {
    std::size_t frames = 0;
    std::size_t bins = 0;
    double binHz = 0;
    std::vector<float> power; // frame-major: frame f's bins start at f * bins

    const float* frame(std::size_t f) const { return power.data() + f * bins; }
};

// Hann frames of frameSize samples every hop samples; the last partial frame is dropped.
Spectrogram powerSpectrogram(const std::vector<float>& mono, std::size_t frameSize, std::size_t hop, double rate);

// Triangular filters equally spaced on the mel scale from 0 Hz to half the rate.
class MelBank {
public:
    MelBank(std::size_t frameSize, int bands, double rate);
    int bands() const { return bands_; }
    void apply(const float* power, float* out) const;

private:
    struct Filter {
        std::size_t first = 0;
        std::vector<float> weights;
    };
    int bands_;
    std::vector<Filter> filters_;
};

// Band levels in dB, frame-major, floored 80 dB below the loudest value (silence stays finite).
std::vector<float> melLevelsDb(const Spectrogram& s, const MelBank& bank);

// Floors values in place at `range` dB below their maximum.
void floorBelowMax(std::vector<float>& db, float range);

inline constexpr float kTopDb = 80;

} // namespace musicstats
