#include "Fft.h"

#include <fftw3.h>

#include <cmath>
#include <mutex>
#include <numbers>

namespace musicstats {

namespace {

// FFTW's planner is not thread-safe; executing a plan is.
std::mutex& plannerLock() {
    static std::mutex m;
    return m;
}

} // namespace

PowerSpectrum::PowerSpectrum(std::size_t frameSize) : size_(frameSize), window_(frameSize) {
    for (std::size_t i = 0; i < size_; ++i) {
        window_[i] = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(size_));
    }
    std::lock_guard lock(plannerLock());
    in_ = fftw_alloc_real(size_);
    auto* out = fftw_alloc_complex(bins());
    out_ = out;
    plan_ = fftw_plan_dft_r2c_1d(static_cast<int>(size_), in_, out, FFTW_ESTIMATE);
}

PowerSpectrum::~PowerSpectrum() {
    std::lock_guard lock(plannerLock());
    fftw_destroy_plan(static_cast<fftw_plan>(plan_));
    fftw_free(in_);
    fftw_free(out_);
}

void PowerSpectrum::compute(const float* samples, float* out) {
    for (std::size_t i = 0; i < size_; ++i) in_[i] = window_[i] * samples[i];
    fftw_execute(static_cast<fftw_plan>(plan_));
    const auto* x = static_cast<const fftw_complex*>(out_);
    for (std::size_t k = 0; k < bins(); ++k) out[k] = static_cast<float>(x[k][0] * x[k][0] + x[k][1] * x[k][1]);
}

} // namespace musicstats
