// A folder of modules measured as a set: each tune, then the figures that compare tunes.
#pragma once

#include "Features.h"

#include <filesystem>
#include <ostream>
#include <vector>

namespace musicstats {

struct SetStats {
    std::filesystem::path folder;
    std::vector<TuneStats> tunes;
    double identification = 0;      // share of all excerpts whose nearest other excerpt is of their own tune
    double spectrumCorrelation = 0; // median over all pairs of tunes
};

// Files in `folder` (not below it) with an extension libopenmpt reads, in name order.
std::vector<std::filesystem::path> moduleFiles(const std::filesystem::path& folder);

TuneStats measureFile(const std::filesystem::path& path, double maxSeconds);

// Measures every module of the folder on `jobs` threads; a file that fails is reported
// on `errors` and left out.
SetStats measureFolder(const std::filesystem::path& folder, unsigned jobs, double maxSeconds, std::ostream& errors);

// Fills the figures that need the whole set: excerpt identification and spectrum correlation.
void compareTunes(SetStats& set);

double median(std::vector<double> values);
double correlation(const std::vector<double>& a, const std::vector<double>& b);

} // namespace musicstats
