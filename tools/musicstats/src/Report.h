// Prints measured sets as readable tables or tab-separated values, with the targets if asked.
#pragma once

#include "Collection.h"

#include <ostream>

namespace musicstats {

struct ReportOptions {
    bool tsv = false;
    bool targets = false; // judge the first set's medians against the targets
    bool spectra = false; // also each tune's band levels and its excerpts' nearest neighbours
    bool shared = false;  // also, for each tune, the tunes it shares figures, drum bars and chord runs with
};

// `reference` may be null.
void printReport(std::ostream& out, const SetStats& ours, const SetStats* reference, const ReportOptions& options);

} // namespace musicstats
