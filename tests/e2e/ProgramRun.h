// Runs a copy of the program from a scratch folder of its own, headless, with every error box
// dismissed automatically, and gathers what it reported.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QTemporaryDir>

namespace e2e {

struct RunResult {
    bool finished = false; // ended by itself (not stopped by the test)
    int exitCode = -1;
    std::string stderrText;
    std::vector<std::string> boxes;        // each "Error box:" text, line breaks as "\n"
    std::vector<std::string> libraryCalls; // the fake library's call log
};

// Variables for one run: a value to set, or nullopt to remove the variable.
using EnvChanges = std::map<std::string, std::optional<std::string>>;

std::vector<std::string> readLines(const std::string& file);
// Each "Error box:" text in a program's stderr with whatever followed it up to the next box;
// tests look at how each one starts.
std::vector<std::string> boxesIn(const std::string& err);

class ProgramFolder {
public:
    // The program alone in a fresh folder named name (any bytes but '/'); add a library and
    // music as the test needs.
    explicit ProgramFolder(const std::string& name = "disk");
    ~ProgramFolder();
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;
    const std::string& path() const { return path_; }
    void addFakeLibrary(const std::string& fakeName);
    void addRealLibrary();
    void addMods();

    // Starts the program with the folder's parent as current directory (never its own folder)
    // and waits up to runMs; a program still running then gets SIGTERM. With settled given, a
    // program still running after runMs is given up to 30 s more until settled(stderr so far)
    // holds, then half a second to show that it goes on.
    // The file the fake library writes its calls to during run().
    std::string callLog() const;

    RunResult run(int runMs, const EnvChanges& extraEnv = {},
        const std::function<bool(const std::string&)>& settled = {}) const;

private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::string path_;
    std::string launcher_; // what is started: the program, or a link to it with a plain name
};

} // namespace e2e
