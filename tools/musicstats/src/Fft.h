// Power spectrum of Hann-windowed frames through FFTW; one object per thread.
#pragma once

#include <cstddef>
#include <vector>

namespace musicstats {

class PowerSpectrum {
public:
    explicit PowerSpectrum(std::size_t frameSize);
    ~PowerSpectrum();
    PowerSpectrum(const PowerSpectrum&) = delete;
    PowerSpectrum& operator=(const PowerSpectrum&) = delete;

    std::size_t frameSize() const { return size_; }
    std::size_t bins() const { return size_ / 2 + 1; }

    // |X(k)|^2 of frameSize samples from `samples`, written to out[0..bins()).
    void compute(const float* samples, float* out);

private:
    std::size_t size_;
    std::vector<double> window_;
    double* in_;
    void* out_;
    void* plan_;
};

} // namespace musicstats
