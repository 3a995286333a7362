// musicstats: how a folder of modules sounds and is written, beside a folder of reference modules.
#include "Collection.h"
#include "Report.h"

#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <thread>

namespace {

void usage(std::ostream& out) {
    out << "usage: musicstats [--tsv] [--targets] [--spectra] [--shared] [--jobs N] [--max-seconds S] FOLDER [REFERENCE_FOLDER]\n"
           "  Renders every module in FOLDER (and REFERENCE_FOLDER) once at 44.1 kHz and prints\n"
           "  per-tune figures, their medians and, with a reference folder, both sets side by side;\n"
           "  sparse channels are also rendered alone, and the pattern data is read for chords,\n"
           "  the busiest line and the figures, drum bars and chord runs tunes share.\n"
           "  --tsv          tab-separated values instead of tables\n"
           "  --targets      judge FOLDER's medians against the disk's targets (pass/fail)\n"
           "  --spectra      also each tune's band levels and its excerpts' nearest neighbours\n"
           "  --shared       also the tunes each tune shares figures, drum bars and chord runs with\n"
           "  --jobs N       tunes measured at once (default: number of cores)\n"
           "  --max-seconds  render at most this long per tune (default 600)\n";
}

} // namespace

int main(int argc, char** argv) {
    musicstats::ReportOptions options;
    unsigned jobs = std::max(1u, std::thread::hardware_concurrency());
    double maxSeconds = 600;
    std::vector<std::string> folders;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--tsv") {
            options.tsv = true;
        } else if (arg == "--spectra") {
            options.spectra = true;
        } else if (arg == "--shared") {
            options.shared = true;
        } else if (arg == "--targets") {
            options.targets = true;
        } else if ((arg == "--jobs" || arg == "--max-seconds") && i + 1 < argc) {
            const double v = std::atof(argv[++i]);
            if (v <= 0) {
                std::cerr << "musicstats: " << arg << " needs a positive number\n";
                return 2;
            }
            if (arg == "--jobs") jobs = static_cast<unsigned>(v);
            else maxSeconds = v;
        } else if (arg == "--help" || arg == "-h") {
            usage(std::cout);
            return 0;
        } else if (!arg.empty() && arg[0] == '-') {
            std::cerr << "musicstats: unknown option " << arg << '\n';
            usage(std::cerr);
            return 2;
        } else {
            folders.push_back(arg);
        }
    }
    if (folders.empty() || folders.size() > 2) {
        usage(std::cerr);
        return 2;
    }
    for (const std::string& f : folders) {
        std::error_code ec;
        if (!std::filesystem::is_directory(f, ec)) {
            std::cerr << "musicstats: " << f << " is not a folder\n";
            return 2;
        }
    }
    try {
        const auto ours = musicstats::measureFolder(folders[0], jobs, maxSeconds, std::cerr);
        if (ours.tunes.empty()) {
            std::cerr << "musicstats: no module could be read in " << folders[0] << '\n';
            return 1;
        }
        std::optional<musicstats::SetStats> reference;
        if (folders.size() == 2) reference = musicstats::measureFolder(folders[1], jobs, maxSeconds, std::cerr);
        musicstats::printReport(std::cout, ours, reference ? &*reference : nullptr, options);
    } catch (const std::exception& e) {
        std::cerr << "musicstats: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
