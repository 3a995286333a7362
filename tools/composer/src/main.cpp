// composer: writes the disk's own tunes into the given folder from their scores.
// composer --check SCORE... reads scores and reports their mistakes without writing anything;
// composer --score SCORE MODULE writes one score's module.
#include "Composer.h"
#include "Realise.h"
#include "Score.h"

#include <chrono>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc >= 2 && std::string(argv[1]) == "--check") {
        int bad = 0;
        for (int i = 2; i < argc; ++i) {
            try {
                const auto s = composer::score::load(argv[i]);
                const auto song = composer::score::realise(s);
                std::cout << argv[i] << ": " << s.rows() << " rows, " << composer::score::playSeconds(song) << " s\n";
                // Drums that stop before their section ends are most often a miscounted groove.
                for (const auto& sec : s.sections) {
                    for (const auto& pl : sec.lines) {
                        if (pl.kind == composer::score::Placement::Kind::Drums && pl.rows < sec.rows) {
                            std::cout << argv[i] << ":" << pl.line << ": note: the drums stop " << sec.rows - pl.rows
                                      << " rows before the end of section " << sec.name << "\n";
                        }
                    }
                }
            } catch (const std::exception& e) {
                std::cerr << e.what() << '\n';
                ++bad;
            }
        }
        return bad ? 1 : 0;
    }
    if (argc == 4 && std::string(argv[1]) == "--score") {
        try {
            const auto s = composer::score::load(argv[2]);
            modwriter::saveSong(composer::score::realise(s), s.format, argv[3]);
            return 0;
        } catch (const std::exception& e) {
            std::cerr << e.what() << '\n';
            return 1;
        }
    }
    if (argc != 3) {
        std::cerr
            << "usage: composer OUTPUT_DIR SCORES_DIR\n       composer --check SCORE...\n       composer --score SCORE MODULE\n";
        return 2;
    }
    try {
        const auto start = std::chrono::steady_clock::now();
        std::vector<std::string> errors;
        const int count = composer::writeCatalogue(argv[1], argv[2], errors);
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
        for (const std::string& e : errors) std::cerr << e << '\n';
        std::cout << "composer: wrote " << count << " modules to " << argv[1] << " in " << ms << " ms\n";
        return errors.empty() ? 0 : 1;
    } catch (const std::exception& e) {
        std::cerr << "composer: " << e.what() << '\n';
        return 1;
    }
}
