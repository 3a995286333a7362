// Runs a copy of the program from a scratch folder of its own, headless, with every error box
// dismissed automatically, and gathers what it reported.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QTemporaryDir>

namespace e2e {

struct RunResult {
    bool finished = false; // ended by itself (not stopped by the test)
    int exitCode = -1;
    std::string stderrText;
    std::vector<std::string> boxes;   // each "Error box:" text, line breaks as "\n"
    std::vector<std::string> libraryCalls; // the fake library's call log
};

class ProgramFolder {
public:
    // The program alone in a fresh folder; add a library and music as the test needs.
    ProgramFolder();
    const std::string& path() const { return path_; }
    void addFakeLibrary(const std::string& fakeName);
    void addRealLibrary();
    void addMods();

    // Starts the program with the folder's parent as current directory (never its own folder)
    // and waits up to runMs; a program still running then gets SIGTERM.
    RunResult run(int runMs, const std::map<std::string, std::string>& extraEnv = {}) const;

private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::string path_;
};

} // namespace e2e
