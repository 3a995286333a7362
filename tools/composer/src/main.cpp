// composer: writes the disk's own tunes into the given folder.
#include "Composer.h"

#include <chrono>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: composer OUTPUT_DIR\n";
        return 2;
    }
    try {
        const auto start = std::chrono::steady_clock::now();
        const int count = composer::writeCatalogue(argv[1]);
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
        std::cout << "composer: wrote " << count << " modules to " << argv[1] << " in " << ms << " ms\n";
    } catch (const std::exception& e) {
        std::cerr << "composer: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
