#include "Collection.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cmath>
#include <mutex>
#include <set>
#include <thread>

namespace musicstats {

namespace {

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

struct Excerpt {
    std::size_t tune;
    Timbre timbre;
};

// First, middle and last segment of every tune, each only once for short tunes.
std::vector<Excerpt> pickExcerpts(const std::vector<TuneStats>& tunes) {
    std::vector<Excerpt> out;
    for (std::size_t t = 0; t < tunes.size(); ++t) {
        const std::size_t n = tunes[t].segments.size();
        if (n == 0) continue;
        const std::set<std::size_t> picks{0, n / 2, n - 1};
        for (std::size_t i : picks) out.push_back({t, tunes[t].segments[i]});
    }
    return out;
}

// Scales each coefficient to zero mean and unit deviation over every segment of the set.
void standardise(std::vector<Excerpt>& excerpts, const std::vector<TuneStats>& tunes) {
    Timbre mean{}, sq{};
    double n = 0;
    for (const TuneStats& t : tunes) {
        for (const Timbre& s : t.segments) {
            for (std::size_t c = 0; c < s.size(); ++c) {
                mean[c] += s[c];
                sq[c] += s[c] * s[c];
            }
            n += 1;
        }
    }
    if (n == 0) return;
    for (std::size_t c = 0; c < mean.size(); ++c) {
        mean[c] /= n;
        const double sd = std::sqrt(std::max(0.0, sq[c] / n - mean[c] * mean[c]));
        for (Excerpt& e : excerpts) e.timbre[c] = sd > 0 ? (e.timbre[c] - mean[c]) / sd : 0;
    }
}

} // namespace

double median(std::vector<double> values) {
    if (values.empty()) return std::nan("");
    std::sort(values.begin(), values.end());
    const std::size_t m = values.size() / 2;
    return values.size() % 2 ? values[m] : 0.5 * (values[m - 1] + values[m]);
}

double correlation(const std::vector<double>& a, const std::vector<double>& b) {
    const std::size_t n = std::min(a.size(), b.size());
    if (n < 2) return std::nan("");
    double ma = 0, mb = 0;
    for (std::size_t i = 0; i < n; ++i) {
        ma += a[i];
        mb += b[i];
    }
    ma /= static_cast<double>(n);
    mb /= static_cast<double>(n);
    double ab = 0, aa = 0, bb = 0;
    for (std::size_t i = 0; i < n; ++i) {
        ab += (a[i] - ma) * (b[i] - mb);
        aa += (a[i] - ma) * (a[i] - ma);
        bb += (b[i] - mb) * (b[i] - mb);
    }
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : std::nan("");
}

std::vector<std::filesystem::path> moduleFiles(const std::filesystem::path& folder) {
    std::set<std::string> known;
    for (const std::string& e : openmpt::get_supported_extensions()) known.insert(lower(e));
    std::vector<std::filesystem::path> out;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        const std::string ext = lower(entry.path().extension().string());
        if (ext.size() > 1 && known.count(ext.substr(1))) out.push_back(entry.path());
    }
    std::sort(out.begin(), out.end());
    return out;
}

TuneStats measureFile(const std::filesystem::path& path, double maxSeconds) {
    TuneStats stats;
    stats.name = path.filename().string();
    const std::vector<std::uint8_t> bytes = readModuleFile(path);
    auto module = loadModule(bytes);
    const Rendering rendering = renderModule(*module, maxSeconds);
    stats.patterns = measurePatterns(*module, rendering.rows);
    const double rowsPerSecond =
        rendering.seconds() > 0 ? static_cast<double>(rendering.rows.size()) / rendering.seconds() : 0;
    const auto [rowsPerBeat, rowsPerBar] = rowsPerBeatAndBar(bytes, rowsPerSecond);
    stats.composition = measureComposition(*module, rendering.rows, rowsPerBeat, rowsPerBar);
    stats.composition.minutes = rendering.seconds() / 60;
    measureSound(rendering, stats);
    stats.soloChannels = soloSparseChannels(bytes, rendering, stats.composition, maxSeconds);
    return stats;
}

SetStats measureFolder(const std::filesystem::path& folder, unsigned jobs, double maxSeconds, std::ostream& errors) {
    SetStats set;
    set.folder = folder;
    const auto files = moduleFiles(folder);
    std::vector<TuneStats> results(files.size());
    std::vector<bool> ok(files.size(), false);
    std::atomic<std::size_t> next{0};
    std::mutex errorLock;
    const auto work = [&] {
        for (std::size_t i = next++; i < files.size(); i = next++) {
            try {
                results[i] = measureFile(files[i], maxSeconds);
                ok[i] = true;
            } catch (const std::exception& e) {
                std::lock_guard lock(errorLock);
                errors << "musicstats: skipping " << files[i].string() << ": " << e.what() << '\n';
            }
        }
    };
    std::vector<std::thread> threads;
    for (unsigned j = 1; j < std::max(1u, jobs); ++j) threads.emplace_back(work);
    work();
    for (std::thread& t : threads) t.join();
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (ok[i]) set.tunes.push_back(std::move(results[i]));
    }
    compareTunes(set);
    return set;
}

void compareTunes(SetStats& set) {
    auto& tunes = set.tunes;
    std::vector<Excerpt> excerpts = pickExcerpts(tunes);
    standardise(excerpts, tunes);
    for (TuneStats& t : tunes) {
        t.excerpts = t.identified = 0;
        t.nearest.clear();
    }
    std::size_t identified = 0;
    for (std::size_t i = 0; i < excerpts.size(); ++i) {
        double best = INFINITY;
        std::size_t nearest = i;
        for (std::size_t j = 0; j < excerpts.size(); ++j) {
            if (j == i) continue;
            double d = 0;
            for (std::size_t c = 0; c < excerpts[i].timbre.size(); ++c) {
                const double diff = excerpts[i].timbre[c] - excerpts[j].timbre[c];
                d += diff * diff;
            }
            if (d < best) {
                best = d;
                nearest = j;
            }
        }
        TuneStats& t = tunes[excerpts[i].tune];
        ++t.excerpts;
        t.nearest.push_back(tunes[excerpts[nearest].tune].name);
        if (nearest != i && excerpts[nearest].tune == excerpts[i].tune) {
            ++t.identified;
            ++identified;
        }
    }
    set.identification =
        excerpts.empty() ? std::nan("") : static_cast<double>(identified) / static_cast<double>(excerpts.size());

    std::vector<double> pairs;
    std::vector<std::vector<double>> perTune(tunes.size());
    for (std::size_t a = 0; a < tunes.size(); ++a) {
        for (std::size_t b = a + 1; b < tunes.size(); ++b) {
            const double r = correlation(tunes[a].thirdOctaveDb, tunes[b].thirdOctaveDb);
            if (std::isnan(r)) continue;
            pairs.push_back(r);
            perTune[a].push_back(r);
            perTune[b].push_back(r);
        }
    }
    set.spectrumCorrelation = median(pairs);
    std::vector<CompositionStats*> compositions;
    for (TuneStats& t : tunes) compositions.push_back(&t.composition);
    compareCompositions(compositions);
    for (std::size_t t = 0; t < tunes.size(); ++t) tunes[t].spectrumCorrelation = median(perTune[t]);
}

} // namespace musicstats
