#include "Spectrogram.h"

#include "Fft.h"

#include <algorithm>
#include <cmath>

namespace musicstats {

namespace {

double hzToMel(double hz) { return 2595 * std::log10(1 + hz / 700); }
double melToHz(double mel) { return 700 * (std::pow(10, mel / 2595) - 1); }

} // namespace

Spectrogram powerSpectrogram(const std::vector<float>& mono, std::size_t frameSize, std::size_t hop, double rate) {
    Spectrogram s;
    PowerSpectrum fft(frameSize);
    s.bins = fft.bins();
    s.binHz = rate / static_cast<double>(frameSize);
    s.frames = mono.size() < frameSize ? 0 : (mono.size() - frameSize) / hop + 1;
    s.power.resize(s.frames * s.bins);
    for (std::size_t f = 0; f < s.frames; ++f) fft.compute(mono.data() + f * hop, s.power.data() + f * s.bins);
    return s;
}

MelBank::MelBank(std::size_t frameSize, int bands, double rate) : bands_(bands) {
    const std::size_t bins = frameSize / 2 + 1;
    const double binHz = rate / static_cast<double>(frameSize);
    const double top = hzToMel(rate / 2);
    for (int b = 0; b < bands; ++b) {
        const double lo = melToHz(top * b / (bands + 1));
        const double mid = melToHz(top * (b + 1) / (bands + 1));
        const double hi = melToHz(top * (b + 2) / (bands + 1));
        Filter f;
        f.first = bins;
        for (std::size_t k = 0; k < bins; ++k) {
            const double hz = static_cast<double>(k) * binHz;
            const double w = hz <= lo || hz >= hi ? 0 : hz <= mid ? (hz - lo) / (mid - lo) : (hi - hz) / (hi - mid);
            if (w <= 0) continue;
            if (f.first == bins) f.first = k;
            f.weights.resize(k - f.first + 1, 0.0f);
            f.weights.back() = static_cast<float>(w);
        }
        // A band narrower than one bin takes the bin nearest its centre.
        if (f.weights.empty()) {
            f.first = std::min(bins - 1, static_cast<std::size_t>(std::lround(mid / binHz)));
            f.weights = {1.0f};
        }
        filters_.push_back(std::move(f));
    }
}

void MelBank::apply(const float* power, float* out) const {
    for (std::size_t b = 0; b < filters_.size(); ++b) {
        const Filter& f = filters_[b];
        float sum = 0;
        for (std::size_t i = 0; i < f.weights.size(); ++i) sum += f.weights[i] * power[f.first + i];
        out[b] = sum;
    }
}

void floorBelowMax(std::vector<float>& db, float range) {
    if (db.empty()) return;
    const float floor = *std::max_element(db.begin(), db.end()) - range;
    for (float& v : db) v = std::max(v, floor);
}

std::vector<float> melLevelsDb(const Spectrogram& s, const MelBank& bank) {
    const auto bands = static_cast<std::size_t>(bank.bands());
    std::vector<float> out(s.frames * bands);
    for (std::size_t f = 0; f < s.frames; ++f) {
        float* row = out.data() + f * bands;
        bank.apply(s.frame(f), row);
        for (std::size_t b = 0; b < bands; ++b) row[b] = 10 * std::log10(std::max(row[b], 1e-10f));
    }
    floorBelowMax(out, kTopDb);
    return out;
}

} // namespace musicstats
