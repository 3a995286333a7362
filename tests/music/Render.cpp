#include "Render.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <fstream>
#include <iterator>
#include <numbers>
#include <sstream>

namespace musictest {

namespace {

std::ostream& quietLog() {
    static std::ostringstream sink;
    sink.str({});
    return sink;
}

void fft(std::vector<std::complex<double>>& a) {
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const double angle = -2 * std::numbers::pi / static_cast<double>(len);
        const std::complex<double> step(std::cos(angle), std::sin(angle));
        for (std::size_t i = 0; i < n; i += len) {
            std::complex<double> w(1);
            for (std::size_t k = 0; k < len / 2; ++k) {
                const auto u = a[i + k];
                const auto v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
                w *= step;
            }
        }
    }
}

double toDb(double power) { return 10 * std::log10(std::max(power, 1e-20)); }

} // namespace

std::unique_ptr<openmpt::module> load(const std::vector<std::uint8_t>& bytes) {
    auto m = std::make_unique<openmpt::module>(bytes, quietLog());
    m->select_subsong(0);
    m->ctl_set_text("play.at_end", "stop");
    return m;
}

std::unique_ptr<openmpt::module> loadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return load(bytes);
}

std::vector<float> render(openmpt::module& m, double maxSeconds) {
    std::vector<float> out;
    std::vector<float> block(2 * 8192);
    const std::size_t limit = static_cast<std::size_t>(maxSeconds * kRate) * 2;
    while (out.size() < limit) {
        const std::size_t frames = m.read_interleaved_stereo(kRate, 8192, block.data());
        if (frames == 0) break;
        out.insert(out.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(2 * frames));
    }
    return out;
}

Analysis analyse(const std::vector<float>& stereo) {
    Analysis a;
    const std::size_t frames = stereo.size() / 2;
    a.seconds = static_cast<double>(frames) / kRate;
    if (frames == 0) return a;

    double sum = 0, peak = 0;
    std::vector<double> perSecond;
    double second = 0;
    for (std::size_t i = 0; i < frames; ++i) {
        const double l = stereo[2 * i], r = stereo[2 * i + 1];
        const double e = 0.5 * (l * l + r * r);
        sum += e;
        second += e;
        peak = std::max({peak, std::abs(l), std::abs(r)});
        if ((i + 1) % kRate == 0) {
            perSecond.push_back(second / kRate);
            second = 0;
        }
    }
    a.rmsDb = toDb(sum / static_cast<double>(frames));
    a.peakDb = 20 * std::log10(std::max(peak, 1e-10));
    double quietest = 1e9;
    for (std::size_t s = 2; s + 10 <= perSecond.size(); ++s) {
        double w = 0;
        for (std::size_t k = s; k < s + 10; ++k) w += perSecond[k];
        quietest = std::min(quietest, w / 10);
    }
    a.quietestWindowDb = quietest < 1e9 ? toDb(quietest) : -200;

    constexpr std::size_t kFrame = 2048;
    constexpr int kBands = 32;
    std::vector<double> bands(kBands, 0);
    std::vector<std::complex<double>> buf(kFrame);
    int count = 0;
    double air = 0, total = 1e-30;
    for (std::size_t start = 0; start + kFrame <= frames; start += kRate / 4) {
        for (std::size_t i = 0; i < kFrame; ++i) {
            const double w = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(i) / kFrame);
            buf[i] = w * 0.5 * (stereo[2 * (start + i)] + stereo[2 * (start + i) + 1]);
        }
        fft(buf);
        for (std::size_t k = 1; k < kFrame / 2; ++k) {
            const double hz = static_cast<double>(k) * kRate / kFrame;
            total += std::norm(buf[k]);
            if (hz >= 15000) air += std::norm(buf[k]);
            if (hz < 40 || hz >= 16000) continue;
            const int band = static_cast<int>(kBands * std::log(hz / 40) / std::log(16000.0 / 40));
            bands[static_cast<std::size_t>(band)] += std::norm(buf[k]);
        }
        ++count;
    }
    double mean = 0;
    for (double& b : bands) {
        b = toDb(b / std::max(count, 1));
        mean += b;
    }
    mean /= kBands;
    for (double& b : bands) b -= mean;
    a.fingerprint = bands;
    a.airDb = 10 * std::log10(std::max(air, 1e-30) / total);
    return a;
}

double fingerprintDistance(const std::vector<double>& a, const std::vector<double>& b) {
    double d = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) d += std::abs(a[i] - b[i]);
    return d / static_cast<double>(std::max<std::size_t>(1, std::min(a.size(), b.size())));
}

double dominantFrequency(const std::vector<float>& stereo, double fromSeconds, double seconds) {
    std::size_t n = 1;
    while (n * 2 <= static_cast<std::size_t>(seconds * kRate)) n *= 2;
    const std::size_t start = static_cast<std::size_t>(fromSeconds * kRate);
    std::vector<std::complex<double>> buf(n);
    for (std::size_t i = 0; i < n && 2 * (start + i) < stereo.size(); ++i) {
        const double w = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(n));
        buf[i] = w * stereo[2 * (start + i)];
    }
    fft(buf);
    std::size_t best = 1;
    for (std::size_t k = 1; k < n / 2; ++k) {
        if (std::norm(buf[k]) > std::norm(buf[best])) best = k;
    }
    return static_cast<double>(best) * kRate / static_cast<double>(n);
}

} // namespace musictest
